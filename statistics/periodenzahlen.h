#pragma once

#include "printing/records/inventur.h"

#include <QDateTime>

#include <array>

class QWidget;

// The figures of a period that come straight from the database (all but the selling value of
// the cash purchases in stock, which needs the stock list). A statement that fails shows
// "SQL-Fehler" (parent); gezeigt then says which columns of the statistics table have no
// sound figure.
struct Periodenzahlen
{
    InventurStatistik statistik;
    std::array<bool, 12> gezeigt {};
};

Periodenzahlen periodenzahlen(const QDateTime &anfang, const QDateTime &ende, QWidget *parent);
