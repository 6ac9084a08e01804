#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <functional>

class QPagedPaintDevice;
class QWidget;

// Where print jobs go. Normally to the print system's printer of that name; with
// VELARIX_PRINT_DIR set, each job becomes a PDF file NNNN-<printer>-<kind>.pdf in that folder
// (for tests and for shops without paper). VELARIX_PRINTERS (";"-separated) replaces the list
// of installed printers.
namespace PrintOutput {

enum class Kind { Dokument, Etikett };

QStringList installedPrinters();
bool isInstalled(const QString &name);

// False, after the critical box "Fehler" naming it, for a printer the print system does not
// have.
bool checkInstalled(const QString &name, QWidget *parent);

// Paints one job on a device whose page layout is set; false when painting failed.
using Paint = std::function<bool(QPagedPaintDevice &device)>;

// The job rendered once into PDF bytes in memory; empty when painting failed.
QByteArray renderPdf(const QPageLayout &layout, const Paint &paint);

// Prints one job on an installed printer. With a print folder the job is rendered into PDF
// bytes and written, complete or not at all, as the folder's next numbered file; otherwise it
// is painted on the print system's printer of that name. False when it was not printed;
// *failure then holds what more there is to tell (a file that could not be written).
bool print(const QString &name, Kind kind, const QPageLayout &layout, const Paint &paint,
    QString *failure);

} // namespace PrintOutput
