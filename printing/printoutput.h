#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <functional>

class QPagedPaintDevice;
class QWidget;

// Where print jobs go. Normally to the print system's queue of that name; with
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

// The job rendered once into PDF bytes in memory, with its title as the document's title;
// empty when painting failed.
QByteArray renderPdf(const QPageLayout &layout, const QString &title, const Paint &paint);

// The paper of a layout as the print system names it: "A4", "A5", "Custom.999x20mm".
QString mediaName(const QPageLayout &layout);

// Prints one job on an installed printer: rendered once into PDF bytes, which either go, complete
// or not at all, into the print folder as its next numbered file, or to the print system's
// queue of that name as one job with the title and the layout's paper. False when it was not
// printed; *failure then holds what more there is to tell (a file that could not be written,
// the print system's reason for refusing the job).
bool print(const QString &name, Kind kind, const QString &title, const QPageLayout &layout,
    const Paint &paint, QString *failure);

} // namespace PrintOutput
