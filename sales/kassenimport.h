#pragma once

#include <QDate>
#include <QString>
#include <QTime>

// The cash register's sales journal: text lines of 27 fields separated by ";" (no quoting,
// every double quote removed), Windows-1252, ended by LF or CR LF. A line that begins with
// "\"Datum\";" is a header, wherever it stands; empty lines are skipped.
namespace Kassenimport {

enum class LineKind { Empty, Header, Data };

// What the till books of one data line. Fields read: 0 date "dd.MM.yy" (20yy), 1 time
// "hh:mm", 3 quantity, 4 contract "/" article in digits, "Vertr:" before them or not, 18 price
// ("," or "." as decimal point, no thousands separator); every other field must only be there.
struct Line
{
    QDate date;
    QTime time; // hours and minutes
    int menge = 0;
    qint64 vertrag = 0;
    int artikel = 0;
    double preis = 0.0; // 0: none given, the article's own price is booked
};

LineKind kind(const QString &line);
// Reads a data line; false for one the till cannot book as it stands: not 27 fields, a date
// or time that is none, a quantity or reference that is no number, a price given that is no
// number. Whether contract, article and stock are there is the page's to check.
bool parse(const QString &line, Line *out);

} // namespace Kassenimport
