#pragma once

#include <QByteArray>
#include <QString>

// The articles of one contract as a CSV file: "Kassenexport" for the cash register, "CSV" for
// the online shop. Windows-1252, no byte-order mark, CR LF after every line, ";" between
// fields and never inside one.

// Writes the contract's file. With a folder: a time-stamped file there in the cash-register
// layout, without a question (the automatic export after a contract). Without one: a save
// dialog on the desktop that also chooses the layout. Returns true when the file was written;
// a cancelled dialog writes nothing and says nothing, articles that cannot be read ("SQL-Fehler")
// write nothing, and a file that cannot be written shows the warning "Fehler" with its path and
// the reason and leaves an existing file as it was.
bool exportVertrag(qint64 vertragNr, const QString &folder = QString());

// The complete file contents in each layout: the header line and one line per article; empty
// when the articles could not be read.
QByteArray kassenExportCsv(qint64 vertragNr);
QByteArray shopExportCsv(qint64 vertragNr);
