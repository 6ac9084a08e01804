#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QVariant;
class QWidget;

// The pieces every CSV file of the program is written with: Windows-1252, no byte-order mark,
// ";" between fields and never inside one, CR LF after every line.

// A text from the database as one field: ";" and line breaks become blanks, since the cash
// register and the shop read one record per line. NULL gives an empty field.
QString feld(const QVariant &value);

// A price with at most two decimals, trailing zeros dropped, never in exponent form:
// 12.5, 20, 1234.57, 1000000.
QString csvPreis(double value);

// The header line and the records, each ended by CR LF, in Windows-1252.
QByteArray csvText(const QStringList &header, const QList<QStringList> &records);

// The 19 columns of the online shop's layout.
const QStringList &shopCsvHeader();

// Writes the whole file or leaves the old one; a failure shows the warning "Fehler" with the
// path and the reason and returns false.
bool writeFile(const QString &path, const QByteArray &bytes, QWidget *parent = nullptr);
