#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Windows-1252, the code page of the cash register, the web shop and the shop's existing
// 8-bit files. A character the code page cannot hold is written as "?".
QByteArray toCp1252(const QString &text);
// The same, appended to out: for files written piece by piece.
void appendCp1252(QByteArray &out, QStringView text);
QString fromCp1252(const QByteArray &bytes);
