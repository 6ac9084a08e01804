#include "printing/printoutput.h"

#include "app/dialogs.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>

namespace PrintOutput {
namespace {
int g_lastJob = 0;

QString printDir()
{
    return qEnvironmentVariable("VELARIX_PRINT_DIR");
}

QString nextPdfPath(const QString &name, Kind kind)
{
    QDir dir(printDir());
    dir.mkpath(QStringLiteral("."));
    int highest = g_lastJob;
    static const QRegularExpression numbered(QStringLiteral("^(\\d{4})-"));
    for (const QString &file : dir.entryList({ QStringLiteral("*.pdf") }, QDir::Files)) {
        const auto match = numbered.match(file);
        if (match.hasMatch())
            highest = qMax(highest, match.captured(1).toInt());
    }
    g_lastJob = highest + 1;
    QString safeName = name;
    for (QChar &c : safeName) {
        if (!(c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')))
            c = QLatin1Char('_');
    }
    return dir.filePath(
        QStringLiteral("%1-%2-%3.pdf")
            .arg(g_lastJob, 4, 10, QLatin1Char('0'))
            .arg(safeName,
                kind == Kind::Dokument ? QStringLiteral("dokument") : QStringLiteral("etikett")));
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

bool setPrinter(QPrinter &printer, const QString &name, Kind kind, QWidget *parent)
{
    if (!isInstalled(name)) {
        Dialogs::critical(parent, QStringLiteral("Fehler"),
            QStringLiteral("Der Drucker %1 ist nicht verfügbar!").arg(name));
        return false;
    }
    if (!printDir().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(nextPdfPath(name, kind));
    } else {
        printer.setPrinterName(name);
    }
    return true;
}

} // namespace PrintOutput
