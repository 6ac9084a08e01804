#pragma once

#include "printing/records/auszahlung.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QtGlobal>

// One running commission contract whose term has run out: a row of the expired list and its
// end document.
struct AbgelaufenerVertrag
{
    qint64 id = 0; // contract number
    int kunde = 0; // customer number
    double offen = 0.0; // consignor's share of the contract's unpaid sales
    double summeOffen = 0.0;
    double summeAusgezahlt = 0.0;
    QString name; // "Name, Vorname"
    QString telefon;
    QDateTime ende; // datum plus laufzeit days, time of day kept
    QDateTime datum;
    QList<ArtikelAbrechnung> artikel;
};
