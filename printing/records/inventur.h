#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// The statistics page's records, for the statistics printout, the stock list and the shop CSV.

// One article in stock (also a row of the cash purchases overview).
struct InventurArtikel
{
    qint64 vertrag = 0;
    int artikelNr = 0;
    int menge = 0; // stock at the list's date; may be negative
    int laufzeit = 0; // -1 marks a cash purchase
    int kategorie = 0;
    QString bezeichnung;
    QString ean;
    QString isbn;
    QString images;
    QString beschreibung;
    double einkaufsPreis = 0.0;
    double verkaufsPreis = 0.0;
};

// The stock list at a date. Readers walk artikelIds in order and look each id up in artikel.
struct InventurListe
{
    QHash<qint64, InventurArtikel> artikel;
    QStringList artikelIds; // decimal Artikel.ID texts, in list order
    QDateTime inventurDatum;
};

// The figures of one period.
struct InventurStatistik
{
    QDateTime von;
    QDateTime bis;
    int kunden = 0;
    int vertraege = 0;
    int artikelmenge = 0;
    int verkauftZurueck = 0;
    double einkauf = 0.0;
    double verkauftVk = 0.0;
    double umsatz = 0.0;
    double offeneAuszahlungen = 0.0;
    double ankaufAuszahlung = 0.0;
    double standgebuehr = 0.0;
    double ankauf = 0.0;
    double offenerAnkaufVk = 0.0;
};
