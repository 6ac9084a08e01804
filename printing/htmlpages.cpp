#include "printing/htmlpages.h"

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

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

// Parses the next window on a thread of its own while the window before it is laid out.
// Where that window starts is only known once the layout is done, so the parser takes a few
// rows more on either side of where it likely starts; the rows outside the window are
// removed before its layout, which leaves the document that the window's own text gives.
class AheadParser
{
public:
    // The continuation with the rows [from, to), parsed.
    using Parse = std::function<std::unique_ptr<QTextDocument>(qsizetype from, qsizetype to)>;

    explicit AheadParser(Parse parse)
        : m_parse(std::move(parse))
        , m_user(QThread::currentThread())
        , m_thread(QThread::create([this] { run(); }))
    {
        m_thread->start();
    }

    // False when the system gave no thread: the caller goes on without it.
    bool started() const { return m_thread->isRunning() || m_thread->isFinished(); }

    ~AheadParser()
    {
        {
            std::unique_lock lock(m_mutex);
            m_stop = true;
            m_changed.notify_all();
        }
        m_thread->wait();
    }

    void request(qsizetype from, qsizetype to)
    {
        std::unique_lock lock(m_mutex);
        while (m_requested)
            m_changed.wait(lock);
        m_parsed.reset();
        m_from = from;
        m_to = to;
        m_requested = true;
        m_changed.notify_all();
    }

    // The continuation with the rows [from, to), when the last request holds them; else null.
    std::unique_ptr<QTextDocument> take(qsizetype from, qsizetype to)
    {
        std::unique_lock lock(m_mutex);
        while (m_requested)
            m_changed.wait(lock);
        std::unique_ptr<QTextDocument> document = std::move(m_parsed);
        lock.unlock();
        if (!document || from < m_from || to > m_to)
            return nullptr;
        QTextTable *table = tableAt(*document, 0);
        const qsizetype parsedRows = m_to - m_from;
        if (!table || table->rows() < parsedRows)
            return nullptr;
        // The headings come first.
        const int firstRow = table->rows() - int(parsedRows);
        if (to < m_to)
            table->removeRows(firstRow + int(to - m_from), int(m_to - to));
        if (from > m_from)
            table->removeRows(firstRow, int(from - m_from));
        return document;
    }

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            while (!m_requested && !m_stop)
                m_changed.wait(lock);
            if (m_stop)
                return;
            const qsizetype from = m_from, to = m_to;
            lock.unlock();
            std::unique_ptr<QTextDocument> document = m_parse(from, to);
            document->setUndoRedoEnabled(false);
            document->moveToThread(m_user);
            lock.lock();
            m_parsed = std::move(document);
            m_requested = false;
            m_changed.notify_all();
        }
    }

    const Parse m_parse;
    QThread *m_user;
    std::unique_ptr<QThread> m_thread;
    // The standard ones, which the thread sanitizer sees through.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::unique_ptr<QTextDocument> m_parsed;
    qsizetype m_from = 0, m_to = 0;
    bool m_requested = false;
    bool m_stop = false;
};

// A laid-out piece of the document and how many of its pages are complete.
struct Window
{
    std::unique_ptr<QTextDocument> document;
    int pages = 0;
};

// Lays the document out window by window. Each window holds the rows of about one page and
// some more: its first page is complete once a row starts on the next one.
class WindowChain
{
public:
    WindowChain(const FilledDocument &document, const QSizeF &pageSize)
        : m_rows(document.rows())
        , m_pageSize(pageSize)
    {
        QByteArray headBytes = document.head(), tailBytes = document.tail();
        bool withRows = true;
        cutAtNul(headBytes, tailBytes, withRows);
        m_head = fromLatin1(headBytes);
        m_tail = fromLatin1(tailBytes);
        m_rowCount = withRows ? m_rows.size() : 0;
        if (m_rowCount > kWholeRows)
            m_listTable = findListTable(m_head);
    }

    // False when the document is laid out in one piece.
    bool windowed() const { return m_listTable.index >= 0; }
    bool atEnd() const { return m_atEnd; }

    // Parses the windows after the first on a thread of its own, if given one.
    void parseAhead(AheadParser *ahead) { m_ahead = ahead; }

    // A window after the first: the continuation with the rows [from, to).
    std::unique_ptr<QTextDocument> parse(qsizetype from, qsizetype to) const
    {
        return parse(m_listTable.continuation + rowsText(from, to) + QStringLiteral("</table>"));
    }

    // The next window; after the last one, atEnd().
    Window next()
    {
        for (bool firstTry = true;; firstTry = false) {
            const bool last = m_listTable.index < 0 || m_rowCount - m_first <= m_window;
            const qsizetype to = last ? m_rowCount : m_first + m_window;
            std::unique_ptr<QTextDocument> page;
            const bool ahead = m_ahead && m_headDone && !last && firstTry;
            if (ahead)
                page = m_ahead->take(m_first, to);
            if (!page) {
                page = parse((m_headDone ? m_listTable.continuation : m_head)
                    + rowsText(m_first, to) + (last ? m_tail : QStringLiteral("</table>")));
            }
            if (ahead) {
                // The next window likely starts as many rows on as the last page held.
                const qsizetype from = m_first + m_perPage, slack = m_perPage / 8 + 2;
                if (from + m_window + slack < m_rowCount)
                    m_ahead->request(qMax(m_first, from - slack), from + m_window + slack);
            }
            // A document with the page's size prints as laid out, without page numbers.
            page->setPageSize(m_pageSize);

            if (last) {
                m_atEnd = true;
                const int pages = page->pageCount();
                return { std::move(page), pages };
            }

            // The pages before the one where the window's last row starts are complete: they
            // are printed, and the next window starts with the first row of that page.
            QTextTable *table = tableAt(*page, m_headDone ? 0 : m_listTable.index);
            if (!table || table->rows() < m_window) {
                m_listTable.index = -1; // not the table looked for: the rest in one piece
                continue;
            }
            const int firstRow = table->rows() - int(m_window);
            const qreal height = m_pageSize.height();
            auto top = [&](qsizetype row) { return rowTop(*page, table, firstRow + int(row)); };
            int cut = int(top(m_window - 1) / height);
            if (cut == 0) {
                // Shorter rows than the last page had: a few more.
                m_window += m_window / 4 + 4;
                continue;
            }
            qsizetype next = m_window - 1;
            for (;;) {
                while (next > 0 && top(next - 1) >= cut * height)
                    --next;
                // A row that runs on over a page break: cut before the page it starts on.
                if (next == 0 || rowBottom(*page, table, firstRow + int(next) - 1) <= cut * height)
                    break;
                cut = int(top(next - 1) / height);
            }
            if (next == 0 || cut == 0) {
                // The window must reach the page after the one the row runs on to.
                m_window *= 2;
                continue;
            }
            // The rows of the last complete page tell how many the next window needs.
            qsizetype lastPage = next;
            while (lastPage > 0 && top(lastPage - 1) >= (cut - 1) * height)
                --lastPage;
            const qsizetype perPage = next - lastPage;
            m_perPage = perPage;
            m_window = qMax(perPage + perPage / 16 + 4, m_headDone ? 0 : m_window);
            m_headDone = true;
            m_first += next;
            return { std::move(page), cut };
        }
    }

private:
    static std::unique_ptr<QTextDocument> parse(QString html)
    {
        fixMarkup(html);
        auto page = std::make_unique<QTextDocument>();
        page->setHtml(html);
        return page;
    }

    QString rowsText(qsizetype from, qsizetype to) const
    {
        return from < to ? fromLatin1(m_rows.bytes(), m_rows.begin(from), m_rows.begin(to))
                         : QString();
    }

    const RowList &m_rows;
    const QSizeF m_pageSize;
    QString m_head, m_tail;
    qsizetype m_rowCount = 0;
    ListTable m_listTable;
    qsizetype m_first = 0; // the first row not yet laid out on a complete page
    qsizetype m_window = kFirstWindowRows;
    qsizetype m_perPage = 0;
    bool m_headDone = false;
    AheadParser *m_ahead = nullptr;
    bool m_atEnd = false;
};

// A text layout keeps the font engine it last used. The engines belong to the thread that
// loaded them, so before a window goes from one thread to the other, every block lets go of
// its engine; the other thread then takes its own.
void releaseFontEngines(QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (QTextLayout *layout = block.layout())
            layout->setFont(layout->font());
    }
}

// Lays the windows out on a thread of its own, a few ahead of the caller, who draws them:
// a window's cut needs only the window before it, and drawing is a third of the work. The
// windows stay the layout thread's objects: it also deletes them once they are drawn.
class LayoutThread
{
public:
    explicit LayoutThread(WindowChain &chain)
        : m_chain(chain)
        , m_thread(QThread::create([this] { run(); }))
    {
        m_thread->start();
    }

    // False when the system gave no thread: the caller lays the windows out itself.
    bool started() const { return m_thread->isRunning() || m_thread->isFinished(); }

    ~LayoutThread()
    {
        {
            std::unique_lock lock(m_mutex);
            m_stop = true;
            m_changed.notify_all();
        }
        m_thread->wait();
    }

    // The next window in order; an empty one after the last.
    Window take()
    {
        std::unique_lock lock(m_mutex);
        while (m_ready.empty() && !m_done)
            m_changed.wait(lock);
        if (m_ready.empty())
            return {};
        Window window = std::move(m_ready.front());
        m_ready.pop_front();
        m_changed.notify_all();
        return window;
    }

    // Hands a drawn window back.
    void drawn(Window window)
    {
        std::unique_lock lock(m_mutex);
        m_drawn.push_back(std::move(window));
    }

private:
    // Enough to keep the drawing busy, few enough to keep memory small.
    static constexpr size_t kAhead = 3;

    void run()
    {
        // The parser only pays with a core of its own.
        std::unique_ptr<AheadParser> ahead;
        if (QThread::idealThreadCount() >= 3) {
            ahead = std::make_unique<AheadParser>(
                [this](qsizetype from, qsizetype to) { return m_chain.parse(from, to); });
            if (!ahead->started())
                ahead.reset();
        }
        m_chain.parseAhead(ahead.get());
        std::deque<Window> drawn;
        while (!m_chain.atEnd()) {
            Window window = m_chain.next();
            releaseFontEngines(*window.document);
            std::unique_lock lock(m_mutex);
            while (m_ready.size() >= kAhead && !m_stop)
                m_changed.wait(lock);
            if (m_stop)
                break;
            m_ready.push_back(std::move(window));
            m_changed.notify_all();
            drawn.swap(m_drawn);
            lock.unlock();
            drawn.clear();
        }
        m_chain.parseAhead(nullptr);
        std::unique_lock lock(m_mutex);
        m_done = true;
        m_changed.notify_all();
        // After the last window, or told to stop: what is left goes with the caller's last
        // take() or here.
        while (!m_stop)
            m_changed.wait(lock);
        m_ready.clear();
        m_drawn.clear();
    }

    WindowChain &m_chain;
    std::unique_ptr<QThread> m_thread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Window> m_ready;
    std::deque<Window> m_drawn;
    bool m_done = false;
    bool m_stop = false;
};

} // namespace

bool printHtmlPages(QPagedPaintDevice &device, const FilledDocument &document)
{
    const QSizeF pageSize
        = QRectF(device.pageLayout().paintRectPixels(device.logicalDpiX())).size();
    WindowChain chain(document, pageSize);
    PagePainter painter(device, pageSize);
    if (!painter.begin())
        return false;
    auto paint = [&painter](const Window &window) {
        for (int i = 0; i < window.pages; ++i) {
            if (!painter.paint(*window.document, i))
                return false;
        }
        return true;
    };

    auto oneThread = [&] {
        while (!chain.atEnd()) {
            if (!paint(chain.next()))
                return false;
        }
        return painter.end();
    };

    // On a single core the threads would only add their own cost.
    if (!chain.windowed() || QThread::idealThreadCount() < 2)
        return oneThread();
    LayoutThread layout(chain);
    if (!layout.started())
        return oneThread();
    for (Window window = layout.take(); window.document; window = layout.take()) {
        const bool painted = paint(window);
        releaseFontEngines(*window.document);
        layout.drawn(std::move(window));
        if (!painted)
            return false;
    }
    return painter.end();
}
