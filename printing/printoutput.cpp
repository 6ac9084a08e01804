#include "printing/printoutput.h"

#include "app/dialogs.h"
#include "app/savefile.h"
#include "platform/printsystem.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
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

QByteArray renderPdf(const QPageLayout &layout, const QString &title, const Paint &paint)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        // The writer finishes the file when it goes.
        QPdfWriter writer(&buffer);
        writer.setResolution(kResolution);
        writer.setTitle(title);
        writer.setPageLayout(layout);
        if (!paint(writer))
            return QByteArray();
    }
    return bytes;
}

QString mediaName(const QPageLayout &layout)
{
    const QPageSize size = layout.pageSize();
    if (size.id() != QPageSize::Custom)
        return size.key();
    const QSizeF mm = size.size(QPageSize::Millimeter);
    return QStringLiteral("Custom.%1x%2mm")
        .arg(QString::number(mm.width(), 'g', 6), QString::number(mm.height(), 'g', 6));
}

bool print(const QString &name, Kind kind, const QString &title, const QPageLayout &layout,
    const Paint &paint, QString *failure)
{
    const QByteArray pdf = renderPdf(layout, title, paint);
    if (pdf.isEmpty())
        return false;
    if (!printDir().isEmpty())
        return saveFile(nextPdfPath(name, kind), pdf, failure);
    return PrintSystem::submitPdf(name, title, mediaName(layout), pdf, failure);
}

} // namespace PrintOutput
