#include "printing/printoutput.h"

#include "app/dialogs.h"
#include "app/savefile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>

namespace PrintOutput {
namespace {
qint64 g_lastJob = 0;

// The PDF files are drawn at screen resolution, as the print system's printers are driven, so
// that documents lay out alike on paper and in the files, whatever the screen.
constexpr int kResolution = 96;

QString printDir()
{
    return qEnvironmentVariable("VELARIX_PRINT_DIR");
}

// The next job's file: numbered after the highest number in the folder (however many digits
// it has) and after this run's last job, and never a name that is taken.
QString nextPdfPath(const QString &name, Kind kind)
{
    QDir dir(printDir());
    dir.mkpath(QStringLiteral("."));
    qint64 highest = g_lastJob;
    static const QRegularExpression numbered(QStringLiteral("^(\\d+)-"));
    for (const QString &file : dir.entryList({ QStringLiteral("*.pdf") }, QDir::Files)) {
        const auto match = numbered.match(file);
        if (match.hasMatch())
            highest = qMax(highest, match.captured(1).toLongLong());
    }
    QString safeName = name;
    for (QChar &c : safeName) {
        if (!(c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')))
            c = QLatin1Char('_');
    }
    const QString suffix
        = kind == Kind::Dokument ? QStringLiteral("dokument") : QStringLiteral("etikett");
    QString path;
    do {
        g_lastJob = ++highest;
        path = dir.filePath(QStringLiteral("%1-%2-%3.pdf")
                                .arg(g_lastJob, 4, 10, QLatin1Char('0'))
                                .arg(safeName, suffix));
    } while (QFileInfo::exists(path));
    return path;
}

// Size, orientation and margins one by one: a printer that cannot print to the edge refuses
// the margins but still takes the paper.
void applyLayout(QPagedPaintDevice &device, const QPageLayout &layout)
{
    device.setPageSize(layout.pageSize());
    device.setPageOrientation(layout.orientation());
    device.setPageMargins(layout.margins(), layout.units());
}

} // namespace

QStringList installedPrinters()
{
    if (qEnvironmentVariableIsSet("VELARIX_PRINTERS"))
        return qEnvironmentVariable("VELARIX_PRINTERS").split(QLatin1Char(';'), Qt::SkipEmptyParts);
    return QPrinterInfo::availablePrinterNames();
}

bool isInstalled(const QString &name)
{
    if (name.isEmpty())
        return false;
    if (!qEnvironmentVariableIsSet("VELARIX_PRINTERS") && !printDir().isEmpty())
        return true;
    return installedPrinters().contains(name);
}

bool checkInstalled(const QString &name, QWidget *parent)
{
    if (isInstalled(name))
        return true;
    Dialogs::critical(parent, QStringLiteral("Fehler"),
        QStringLiteral("Der Drucker %1 ist nicht verfügbar!").arg(name));
    return false;
}

QByteArray renderPdf(const QPageLayout &layout, const Paint &paint)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        // The writer finishes the file when it goes.
        QPdfWriter writer(&buffer);
        writer.setResolution(kResolution);
        applyLayout(writer, layout);
        if (!paint(writer))
            return QByteArray();
    }
    return bytes;
}

bool print(
    const QString &name, Kind kind, const QPageLayout &layout, const Paint &paint, QString *failure)
{
    if (!printDir().isEmpty()) {
        const QByteArray pdf = renderPdf(layout, paint);
        return !pdf.isEmpty() && saveFile(nextPdfPath(name, kind), pdf, failure);
    }
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setPrinterName(name);
    applyLayout(printer, layout);
    return paint(printer) && printer.printerState() != QPrinter::Error;
}

} // namespace PrintOutput
