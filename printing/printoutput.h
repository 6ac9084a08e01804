#pragma once

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

// Where print jobs go. Normally to the print system's printer of that name; with
// VELARIX_PRINT_DIR set, each job becomes a PDF file NNNN-<printer>-<kind>.pdf in that folder
// (for tests and for shops without paper). VELARIX_PRINTERS (";"-separated) replaces the list
// of installed printers.
namespace PrintOutput {

enum class Kind { Dokument, Etikett };

QStringList installedPrinters();
bool isInstalled(const QString &name);

// Aims the printer at the named printer (or the next PDF file). Set page size, orientation
// and margins afterwards, and do not set the printer name again. A name the print system
// does not have shows the critical box "Fehler" naming it and returns false.
bool setPrinter(QPrinter &printer, const QString &name, Kind kind, QWidget *parent);

} // namespace PrintOutput
