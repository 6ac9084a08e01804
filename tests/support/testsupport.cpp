#include "support/testsupport.h"

#include "app/database.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

static void copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QString &name : source.entryList(QDir::Files))
        QFile::copy(source.filePath(name), QDir(to).filePath(name));
}

TestWorkdir::TestWorkdir(bool createSchema)
    : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
    const QString src = QStringLiteral(VELARIX_SOURCE_DIR);
    copyFolder(QDir(src).filePath("Templates"), path("Templates"));
    QFile::copy(QDir(src).filePath("kategorien.txt"), path("kategorien.txt"));
    qputenv("VELARIX_PRINT_DIR", printDir().toLocal8Bit());
    Dialogs::setTestMode(true);
    Dialogs::clearAnswers();
    Dialogs::takeRecords();
    openDatabase();
    if (createSchema)
        ensureSchema();
}

TestWorkdir::~TestWorkdir()
{
    {
        QSqlDatabase db = QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
    Dialogs::clearAnswers();
    Dialogs::takeRecords();
    Dialogs::setExecHook({});
    QDir::setCurrent(m_previous);
}

QString TestWorkdir::path(const QString &name) const
{
    return name.isEmpty() ? m_dir.path() : QDir(m_dir.path()).filePath(name);
}

QString TestWorkdir::printDir() const
{
    return path(QStringLiteral("print"));
}

QStringList TestWorkdir::printedFiles() const
{
    return QDir(printDir()).entryList({ QStringLiteral("*.pdf") }, QDir::Files, QDir::Name);
}

void TestWorkdir::exec(const QString &statement)
{
    QSqlQuery query;
    if (!query.exec(statement))
        QTest::qFail(qPrintable(statement + QLatin1String(": ") + query.lastError().text()),
            __FILE__, __LINE__);
}

QVariant TestWorkdir::scalar(const QString &statement)
{
    QSqlQuery query;
    if (!query.exec(statement) || !query.next())
        return QVariant();
    return query.value(0);
}

void TestWorkdir::removeSetting(const QString &name)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("DELETE FROM Systemdaten WHERE Name = ?"));
    query.addBindValue(name);
    if (!query.exec())
        QTest::qFail(qPrintable(query.lastError().text()), __FILE__, __LINE__);
}

void TestWorkdir::setPrinters()
{
    setSetting(QStringLiteral("Vertragsdrucker"), QStringLiteral("Buero"));
    setSetting(QStringLiteral("Etikettendrucker"), QStringLiteral("Etiketten"));
}

int TestWorkdir::rowCount(const char *table)
{
    return scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table))).toInt();
}

void TestWorkdir::setSetting(const QString &name, const QString &value)
{
    removeSetting(name);
    QSqlQuery query;
    query.prepare(QStringLiteral("INSERT INTO Systemdaten (Name, Wert) VALUES (?, ?)"));
    query.addBindValue(name);
    query.addBindValue(value);
    if (!query.exec())
        QTest::qFail(qPrintable(query.lastError().text()), __FILE__, __LINE__);
}

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    m_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_previous = qint64(limit.rlim_cur);
    limit.rlim_cur = rlim_t(bytes);
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        QTest::qFail("setrlimit(RLIMIT_FSIZE) failed", __FILE__, __LINE__);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_previous);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_handler);
}

static QString run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pdfText(const QString &file)
{
    return run(
        QStringLiteral("pdftotext"), { QStringLiteral("-layout"), file, QStringLiteral("-") });
}

QString pdfTextInOrder(const QString &file)
{
    return run(QStringLiteral("pdftotext"), { QStringLiteral("-raw"), file, QStringLiteral("-") });
}

static QString pdfInfo(const QString &file)
{
    return run(QStringLiteral("pdfinfo"), { file });
}

int pdfPageCount(const QString &file)
{
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(pdfInfo(file));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QSizeF pdfPageSizeMm(const QString &file)
{
    const auto m = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts"))
                       .match(pdfInfo(file));
    if (!m.hasMatch())
        return QSizeF();
    const double toMm = 25.4 / 72.0;
    return QSizeF(m.captured(1).toDouble() * toMm, m.captured(2).toDouble() * toMm);
}

QList<PdfWord> pdfWords(const QString &file, int page, QSizeF *pageSize)
{
    const QString number = QString::number(page);
    const QString html = run(QStringLiteral("pdftotext"),
        { QStringLiteral("-bbox"), QStringLiteral("-f"), number, QStringLiteral("-l"), number, file,
            QStringLiteral("-") });
    const auto pageMatch
        = QRegularExpression(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""))
              .match(html);
    if (pageSize && pageMatch.hasMatch())
        *pageSize = QSizeF(pageMatch.captured(1).toDouble(), pageMatch.captured(2).toDouble());
    QList<PdfWord> words;
    static const QRegularExpression wordPattern(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">"
        "([^<]*)</word>"));
    auto it = wordPattern.globalMatch(html);
    while (it.hasNext()) {
        const auto m = it.next();
        words.append({ m.captured(5),
            QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())) });
    }
    return words;
}

QImage pdfPageImage(const QString &file, int page, int dpi)
{
    const QString number = QString::number(page);
    const QString prefix = file + QStringLiteral(".page") + number;
    run(QStringLiteral("pdftoppm"),
        { QStringLiteral("-f"), number, QStringLiteral("-l"), number, QStringLiteral("-r"),
            QString::number(dpi), QStringLiteral("-gray"), QStringLiteral("-png"),
            QStringLiteral("-singlefile"), file, prefix });
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
}

QString today(int days)
{
    return QDate::currentDate().addDays(days).toString(QStringLiteral("dd.MM.yyyy"));
}

QStringList dialogLog()
{
    QStringList lines;
    for (const Dialogs::Record &r : Dialogs::records())
        lines << QStringLiteral("%1|%2|%3").arg(Dialogs::kindName(r.kind), r.title, r.text);
    return lines;
}
