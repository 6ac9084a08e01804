#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// A contract as goods intake and the services page fill it, for the contract, its labels and
// its export.

// One article of a contract as entered; its place in the list (from 1) is its artikelNr.
struct Vertragsartikel
{
    QString bezeichnung;
    QString ean;
    QString isbn;
    QString images;
    QString beschreibung;
    double einkaufsPreis = 0.0;
    double verkaufsPreis = 0.0;
    int menge = 0;
    int kategorie = 0;
};

// A whole contract as handed to printing.
struct Vertragsdaten
{
    QString name; // "Name, Vorname (Telefon)"
    QList<Vertragsartikel> artikel;
    QDateTime datum;
    QDateTime ende; // null: datum plus laufzeit days
    qint64 vertragNr = 0;
    int kundeNr = 0;
    int laufzeit = 0; // -1 marks a cash purchase
    double standgebuehr = 0.0; // a cash purchase holds minus the amount paid
};
