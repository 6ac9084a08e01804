#pragma once

#include "printing/records/auszahlung.h"

#include <QHash>
#include <QList>
#include <QtGlobal>

class QWidget;

// What each article of some contracts has brought the consignor: his share of the sales paid
// out and of those still open (the sale's EinkaufsPreis times its VerkaufsMenge, unpaid while
// Auszahldatum IS NULL), the pieces sold and given back, and the article's prices. One
// statement for all the contracts, however many: the payout page reads a customer's contracts
// with it, the expired-contracts page every expired one.
//
// The result holds, per contract number, its articles in the order they were stored; a
// contract without articles has no entry. ok is false when the read failed: the box
// "SQL-Fehler" has been shown and the result is empty.
QHash<qint64, QList<ArtikelAbrechnung>> readAbrechnung(
    const QList<qint64> &vertraege, QWidget *parent, bool *ok = nullptr);

// Per contract number the consignor's share of its unpaid sales, the sum of its articles'
// offen; a contract without such sales has no entry. Cheaper than the whole settlement, for a
// list of many contracts. ok as above.
QHash<qint64, double> readOffen(
    const QList<qint64> &vertraege, QWidget *parent, bool *ok = nullptr);
