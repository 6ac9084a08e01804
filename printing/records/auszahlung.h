#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QtGlobal>

// The payout page's records, for the payout, prepare-end and end documents.

// Settlement figures of one article: what the consignor has been paid and what is still owed.
struct ArtikelAbrechnung
{
    QString bezeichnung;
    double ausgezahlt = 0.0; // consignor's share of the sales already paid out
    double offen = 0.0; // consignor's share of the sales not yet paid out
    double einkaufsPreis = 0.0;
    double verkaufsPreis = 0.0;
    int einkaufsMenge = 0; // pieces delivered
    int zurueckgegeben = 0; // pieces given back
    int verkauft = 0; // pieces sold, paid out or not
    qint64 id = 0; // Artikel.ID
};

// One running commission contract of the customer loaded on the payout page.
struct AuszahlungsVertrag
{
    QString name; // "Name, Vorname"
    QList<ArtikelAbrechnung> artikel; // in stored order, so position n is artikelNr n
    QDateTime datum;
    qint64 vertragNr = 0;
    int laufzeit = 0;
    int kundeNr = 0;
    double summeAusgezahlt = 0.0;
    double summeOffen = 0.0;
    bool endeVorbereitet = false; // Vertragsende is "-1"
};
