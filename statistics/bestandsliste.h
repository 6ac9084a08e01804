#pragma once

#include "printing/records/inventur.h"

#include <QDateTime>
#include <QHash>

class QWidget;

// The stock at a moment: every article of the contracts concluded before it, with the pieces
// delivered less those sold, written off and given back before it. An article whose stock
// comes to exactly 0 is left out; a negative stock stays. A failed statement shows
// "SQL-Fehler" (parent) and counts as no rows.
//
// With ankaufPreise, the selling prices of the listed cash-purchase articles are noted there;
// ok tells whether every statement ran.
InventurListe bestandsliste(const QDateTime &stichtag, QWidget *parent,
    QHash<qint64, double> *ankaufPreise = nullptr, bool *ok = nullptr);
