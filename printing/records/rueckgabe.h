#pragma once

#include <QDateTime>
#include <QString>

// One return of pieces to the consignor, as the return receipt prints it.
struct RueckgabeBeleg
{
    QString name; // "Name, Vorname"; empty when the customer is not found
    QDateTime vertragDatum; // null when the contract is not found
    QString bezeichnung;
    int artikelNr = 0; // position within the contract, from 1
    int anzahl = 0; // pieces given back now
    int bestand = 0; // stock after this return
    qint64 vertragNr = 0;
    int kundeNr = 0; // -1 when the contract is not found
};
