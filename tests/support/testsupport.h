#pragma once

#include "app/dialogs.h"

#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <QtGlobal>

// A fresh working folder for one test: the templates, "kategorien.txt", a new "db.sqlite"
// with the full schema on the default connection, print jobs as PDF files in "print/", and
// the dialog seam in test mode. The previous working directory comes back on destruction.
class TestWorkdir
{
public:
    explicit TestWorkdir(bool createSchema = true);
    ~TestWorkdir();

    QString path(const QString &name = QString()) const;
    QString printDir() const;
    QStringList printedFiles() const; // file names in job order
    // Runs one statement on the default connection; fails the test with the error text.
    static void exec(const QString &statement);
    // The first column of the first row of a query, or an invalid value.
    static QVariant scalar(const QString &statement);
    // Replaces (or removes) the setting's rows in Systemdaten.
    static void setSetting(const QString &name, const QString &value);
    static void removeSetting(const QString &name);
    // Both printers set to the test queues "Buero" (documents) and "Etiketten" (labels).
    static void setPrinters();
    // The number of rows in a table.
    static int rowCount(const char *table);

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// A full disk for the test's own writes while it lives: no file of the process grows past
// the given size, and a write beyond it fails (EFBIG) instead of ending the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    qint64 m_previous = -1;
    void (*m_handler)(int) = nullptr;
};

// The text of a printed PDF (pdftotext -layout), and its page count and page size in mm.
QString pdfText(const QString &file);
// The text in the order it was drawn (pdftotext -raw): the lines of one table cell stay
// together, where the layout text puts the neighbouring cells' lines between them.
QString pdfTextInOrder(const QString &file);
int pdfPageCount(const QString &file);
QSizeF pdfPageSizeMm(const QString &file);

// A printed word and its box in points.
struct PdfWord
{
    QString text;
    QRectF box;
};
// The words of one page (1-based) of a printed PDF, and the page's size in points.
QList<PdfWord> pdfWords(const QString &file, int page = 1, QSizeF *pageSize = nullptr);
// The page (1-based) rendered in grey at the resolution, one pixel per 72/dpi points.
QImage pdfPageImage(const QString &file, int page, int dpi);

// Today's date (or days from today) as the program writes dates: "dd.MM.yyyy".
QString today(int days = 0);

// Messages recorded by the dialog seam, as "Kind|title|text" lines, for readable checks.
QStringList dialogLog();

// The debug lines written while it lives; other messages pass on.
class DebugLines
{
public:
    DebugLines() { s_previous = qInstallMessageHandler(record); }
    ~DebugLines()
    {
        qInstallMessageHandler(s_previous);
        s_lines.clear();
    }
    QStringList lines() const { return s_lines; }

private:
    static void record(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type == QtDebugMsg)
            s_lines << message;
        else
            s_previous(type, context, message);
    }
    static inline QStringList s_lines;
    static inline QtMessageHandler s_previous = nullptr;
};
