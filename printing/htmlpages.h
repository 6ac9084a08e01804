#pragma once

#include <QByteArray>
#include <QList>

class QPagedPaintDevice;

// The rows of a document's list as Latin-1 bytes, one after the other.
class RowList
{
public:
    void append(const QByteArray &row);
    qsizetype size() const { return m_ends.size(); }
    // Where the row starts in bytes(); for size(), where the last one ends.
    qsizetype begin(qsizetype row) const { return row == 0 ? 0 : m_ends.at(row - 1); }
    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
    QList<qsizetype> m_ends;
};

// A document filled from its template, as Latin-1 bytes. Once a list has gone in, its rows
// stay apart from the text before and after them, so that a list of any length can be laid
// out a few pages at a time.
class FilledDocument
{
public:
    explicit FilledDocument(const QByteArray &text = QByteArray())
        : m_head(text)
    { }

    // Every occurrence of key becomes value. The rows of a list never hold a key, so the
    // text around them is all there is to search.
    void replace(const QByteArray &key, const QByteArray &value);
    // The first occurrence of key becomes the list; any further one gets the rows in full.
    void putRows(const QByteArray &key, const RowList &rows);
    // Edits the text before and after the list, part by part.
    template <class Edit> void editText(Edit edit)
    {
        edit(m_head);
        if (m_hasList)
            edit(m_tail);
    }

    const QByteArray &head() const { return m_head; }
    const QByteArray &tail() const { return m_tail; }
    const RowList &rows() const { return m_rows; }

private:
    QByteArray m_head; // the whole text while no list has gone in
    QByteArray m_tail;
    RowList m_rows;
    bool m_hasList = false;
};

// Lays the document's HTML out onto the pages of the device, in the device's paint rectangle
// (printer or PDF alike): a short document as one piece, a long list a few pages at a time,
// its table's headings (thead) repeated at the top of every page. False when the device
// would not start or refused a page; what went wrong is for the caller to say.
bool printHtmlPages(QPagedPaintDevice &device, const FilledDocument &document);
