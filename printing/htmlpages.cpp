#include "printing/htmlpages.h"

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

void RowList::append(const QByteArray &row)
{
    m_bytes += row;
    m_ends.append(m_bytes.size());
}

void FilledDocument::replace(const QByteArray &key, const QByteArray &value)
{
    m_head.replace(key, value);
    if (m_hasList)
        m_tail.replace(key, value);
}

void FilledDocument::putRows(const QByteArray &key, const RowList &rows)
{
    if (!m_hasList) {
        const qsizetype at = m_head.indexOf(key);
        if (at < 0)
            return;
        m_tail = m_head.mid(at + key.size());
        m_head.truncate(at);
        m_rows = rows;
        m_hasList = true;
        m_tail.replace(key, rows.bytes());
        return;
    }
    replace(key, rows.bytes());
}

namespace {

// A document of up to this many rows is laid out whole, as it always was. A longer list goes
// a page at a time: the text engine's cost per row grows with the pages that one table spans.
constexpr qsizetype kWholeRows = 200;
constexpr qsizetype kFirstWindowRows = 60;

QString fromLatin1(const QByteArray &bytes, qsizetype from = 0, qsizetype to = -1)
{
    if (to < 0)
        to = bytes.size();
    return QString::fromLatin1(bytes.constData() + from, to - from);
}

// Templates may use the browser forms "</br>" and align=middle, which the text engine does
// not know.
void fixMarkup(QString &html)
{
    static const QRegularExpression lineBreak(
        QStringLiteral("</br\\s*>"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression middle(
        QStringLiteral("(<[^>]*\\balign\\s*=\\s*)([\"']?)middle\\2"),
        QRegularExpression::CaseInsensitiveOption);
    html.replace(lineBreak, QStringLiteral("<br>"));
    html.replace(middle, QStringLiteral("\\1\"center\""));
}

// The text ends at its first NUL byte. Only a template can hold one: values drop control
// characters, and so the rows never do.
void cutAtNul(QByteArray &head, QByteArray &tail, bool &withRows)
{
    const qsizetype inHead = head.indexOf('\0');
    if (inHead >= 0) {
        head.truncate(inHead);
        tail.clear();
        withRows = false;
    }
    const qsizetype inTail = tail.indexOf('\0');
    if (inTail >= 0)
        tail.truncate(inTail);
}

// Where the list stands in the text before it: the table that holds the rows, and what a
// page after the first starts with (the text up to the body, the table's opening tag and its
// headings). Empty when the rows do not stand directly in a table of the body.
struct ListTable
{
    QString continuation;
    int index = -1; // of the list's table among the document's tables, in text order
};

ListTable findListTable(const QString &head)
{
    ListTable found;
    static const QRegularExpression tableTag(
        QStringLiteral("<(/?)table\\b"), QRegularExpression::CaseInsensitiveOption);
    int depth = 0, opened = 0;
    qsizetype listTable = -1;
    for (auto it = tableTag.globalMatch(head); it.hasNext();) {
        const auto m = it.next();
        if (m.capturedLength(1) == 0) {
            ++depth;
            ++opened;
            listTable = m.capturedStart();
        } else {
            --depth;
        }
    }
    // A list in a nested table or outside any table is laid out in one piece.
    if (depth != 1)
        return found;

    static const QRegularExpression body(
        QStringLiteral("<body\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
    const auto bodyMatch = body.match(head);
    const qsizetype bodyEnd = bodyMatch.hasMatch() ? bodyMatch.capturedEnd() : 0;
    if (bodyEnd > listTable)
        return found;

    static const QRegularExpression thead(QStringLiteral("<thead\\b.*?</thead\\s*>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto theadMatch = thead.match(head, listTable);
    qsizetype openingEnd;
    if (theadMatch.hasMatch()) {
        openingEnd = theadMatch.capturedEnd();
    } else {
        openingEnd = head.indexOf(QLatin1Char('>'), listTable);
        if (openingEnd < 0)
            return found;
        ++openingEnd;
    }
    found.continuation = head.left(bodyEnd) + head.mid(listTable, openingEnd - listTable);
    found.index = opened - 1;
    return found;
}

QTextTable *tableAt(QTextDocument &document, int index)
{
    int seen = 0;
    QList<QTextFrame *> frames = { document.rootFrame() };
    // Depth first, children in text order: the tables in the order of their tags.
    while (!frames.isEmpty()) {
        QTextFrame *frame = frames.takeFirst();
        if (QTextTable *table = qobject_cast<QTextTable *>(frame)) {
            if (seen++ == index)
                return table;
        }
        frames = frame->childFrames() + frames;
    }
    return nullptr;
}

// Paints pages on the device one after the other, as QTextDocument::print paints them.
class PagePainter
{
public:
    PagePainter(QPagedPaintDevice &device, const QSizeF &pageSize)
        : m_device(device)
        , m_pageSize(pageSize)
    { }

    bool begin()
    {
        if (!m_painter.begin(&m_device))
            return false;
        m_painter.scale(
            m_device.width() / m_pageSize.width(), m_device.height() / m_pageSize.height());
        return true;
    }

    bool paint(QTextDocument &document, int page)
    {
        if (m_pages++ > 0 && !m_device.newPage())
            return false;
        const qreal top = page * m_pageSize.height();
        const QRectF view(0, top, m_pageSize.width(), m_pageSize.height());
        m_painter.save();
        m_painter.translate(0, -top);
        m_painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view;
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&m_painter, context);
        m_painter.restore();
        return true;
    }

    bool end() { return m_painter.end(); }

private:
    QPagedPaintDevice &m_device;
    QSizeF m_pageSize;
    QPainter m_painter;
    int m_pages = 0;
};

qreal rowTop(QTextDocument &document, QTextTable *table, int row)
{
    const QTextBlock block = table->cellAt(row, 0).firstCursorPosition().block();
    return document.documentLayout()->blockBoundingRect(block).top();
}

qreal rowBottom(QTextDocument &document, QTextTable *table, int row)
{
    qreal bottom = 0;
    for (int column = 0; column < table->columns(); ++column) {
        const QTextBlock block = table->cellAt(row, column).lastCursorPosition().block();
        bottom = qMax(bottom, document.documentLayout()->blockBoundingRect(block).bottom());
    }
    return bottom;
}

} // namespace

bool printHtmlPages(QPagedPaintDevice &device, const FilledDocument &document)
{
    const QSizeF pageSize
        = QRectF(device.pageLayout().paintRectPixels(device.logicalDpiX())).size();
    QByteArray headBytes = document.head(), tailBytes = document.tail();
    bool withRows = true;
    cutAtNul(headBytes, tailBytes, withRows);
    const QString head = fromLatin1(headBytes);
    const QString tail = fromLatin1(tailBytes);
    const RowList &rows = document.rows();
    const qsizetype rowCount = withRows ? rows.size() : 0;
    auto rowsText = [&rows](qsizetype from, qsizetype to) {
        return from < to ? fromLatin1(rows.bytes(), rows.begin(from), rows.begin(to)) : QString();
    };

    ListTable listTable;
    if (rowCount > kWholeRows)
        listTable = findListTable(head);

    PagePainter painter(device, pageSize);
    if (!painter.begin())
        return false;

    // Each window holds the rows of about one page and some more: its first page is complete
    // once a row starts on the next one.
    qsizetype first = 0; // the first row not yet printed
    qsizetype window = kFirstWindowRows;
    bool headPrinted = false;
    for (;;) {
        const bool last = listTable.index < 0 || rowCount - first <= window;
        const qsizetype to = last ? rowCount : first + window;
        QString html = (headPrinted ? listTable.continuation : head) + rowsText(first, to)
            + (last ? tail : QStringLiteral("</table>"));
        fixMarkup(html);
        QTextDocument page;
        page.setHtml(html);
        // A document with the page's size prints as laid out, without page numbers.
        page.setPageSize(pageSize);

        if (last) {
            for (int i = 0; i < page.pageCount(); ++i) {
                if (!painter.paint(page, i))
                    return false;
            }
            return painter.end();
        }

        // The pages before the one where the window's last row starts are complete: print
        // them, and start the next window with the first row of that page.
        QTextTable *table = tableAt(page, headPrinted ? 0 : listTable.index);
        if (!table || table->rows() < window) {
            listTable.index = -1; // not the table looked for: the rest in one piece
            continue;
        }
        const int firstRow = table->rows() - int(window);
        const qreal height = pageSize.height();
        auto top = [&](qsizetype row) { return rowTop(page, table, firstRow + int(row)); };
        int cut = int(top(window - 1) / height);
        if (cut == 0) {
            // Shorter rows than the last page had: a few more.
            window += window / 4 + 4;
            continue;
        }
        qsizetype next = window - 1;
        for (;;) {
            while (next > 0 && top(next - 1) >= cut * height)
                --next;
            // A row that runs on over a page break: cut before the page it starts on.
            if (next == 0 || rowBottom(page, table, firstRow + int(next) - 1) <= cut * height)
                break;
            cut = int(top(next - 1) / height);
        }
        if (next == 0 || cut == 0) {
            // The window must reach the page after the one the row runs on to.
            window *= 2;
            continue;
        }
        for (int i = 0; i < cut; ++i) {
            if (!painter.paint(page, i))
                return false;
        }
        // The rows of the page just printed tell how many the next window needs.
        qsizetype lastPage = next;
        while (lastPage > 0 && top(lastPage - 1) >= (cut - 1) * height)
            --lastPage;
        const qsizetype perPage = next - lastPage;
        window = qMax(perPage + perPage / 16 + 4, headPrinted ? 0 : window);
        headPrinted = true;
        first += next;
    }
}
