#include "app/customersearch.h"

#include "app/sql.h"
#include "app/textwidgets.h"

#include <QFontMetricsF>
#include <QHelpEvent>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

// Where the customer text starts in its item text: after the number and the blank.
int textStart(int id)
{
    int length = id < 0 ? 2 : 1;
    for (qint64 rest = qAbs(qint64(id)); rest >= 10; rest /= 10)
        ++length;
    return length + 1;
}

// Whether simplifying would change the text: white space at an end, other than a single
// blank, or two in a row.
bool needsSimplifying(QStringView text)
{
    bool afterSpace = true; // a blank at the start counts
    for (const QChar ch : text) {
        if (ch.isSpace()) {
            if (afterSpace || ch != QLatin1Char(' '))
                return true;
            afterSpace = true;
        } else {
            afterSpace = false;
        }
    }
    return afterSpace && !text.isEmpty();
}

// Temporary table and triggers of this connection that count its changes to Kunde; they go
// with the connection, so a reopened one (after the backup page) starts without them.
bool watchKunde()
{
    QSqlQuery query;
    bool ok = query.exec(
        QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS KundeAenderungen AS SELECT 0 AS n"));
    for (const char *change : { "INSERT", "UPDATE", "DELETE" }) {
        ok = ok
            && query.exec(QStringLiteral("CREATE TEMP TRIGGER IF NOT EXISTS KundeAenderungen_%1 "
                                         "AFTER %1 ON main.Kunde "
                                         "BEGIN UPDATE KundeAenderungen SET n = n + 1; END")
                              .arg(QLatin1String(change)));
    }
    return ok;
}

// ---- the list's item size ---------------------------------------------------------------

// Laying out a text costs Qt far more than adding up its characters' advances, and the
// sum is as wide as the laid-out text give or take kerning: good enough to make room for
// it. Texts beyond Latin-1 (marks, pairs, other scripts) are laid out for real.
class TextWidths
{
public:
    // True when the font differs from the one measured with so far.
    bool setFont(const QFont &font)
    {
        if (m_metrics && font == m_font)
            return false;
        m_font = font;
        m_metrics.emplace(font);
        std::fill(std::begin(m_latin1), std::end(m_latin1), -1.0);
        return true;
    }

    int of(QStringView text)
    {
        if (!m_metrics)
            return 0;
        qreal width = 0;
        for (const QChar ch : text) {
            const char16_t u = ch.unicode();
            if (u >= 256)
                return int(std::ceil(m_metrics->horizontalAdvance(text.toString())));
            qreal &advance = m_latin1[u];
            if (advance < 0)
                advance = m_metrics->horizontalAdvance(ch);
            width += advance;
        }
        return int(std::ceil(width));
    }

    // Room for what the sums miss: a pair kerned apart, a script's run rounded up.
    static constexpr int kSlack = 4;

private:
    QFont m_font;
    std::optional<QFontMetricsF> m_metrics;
    qreal m_latin1[256];
};

} // namespace

// With uniform item sizes Qt asks for the size of one item only and gives it to all, instead
// of laying out the text of every listed customer after each keystroke. That one size is
// made as wide as the widest listed text, so every customer's text shows whole (scrolled to
// where it is wider than the list). The list shows the start of a long text: its tool tip
// holds the whole, made only when it is asked for.
class CustomerSearch::ListDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
        const QModelIndex &index) override
    {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QToolTip::showText(
            event->globalPos(), plainToolTip(index.data(Qt::DisplayRole).toString()), view);
        return true;
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const int wider
            = widest + TextWidths::kSlack - widths.of(index.data(Qt::DisplayRole).toString());
        if (wider > 0)
            size.rwidth() += wider;
        return size;
    }

    mutable TextWidths widths;
    int widest = 0;
};

// ---- the cache ----------------------------------------------------------------------------

CustomerSearch::CustomerSearch(Match match, Order order)
    : m_match(match)
    , m_order(order)
{ }

void CustomerSearch::setList(QListWidget *list)
{
    m_list = list;
    m_list->setUniformItemSizes(true);
    m_delegate = new ListDelegate(m_list);
    m_list->setItemDelegate(m_delegate);
}

std::optional<CustomerSearch::Stamp> CustomerSearch::currentStamp()
{
    QSqlQuery query;
    if (!query.exec(QStringLiteral("SELECT n, (SELECT data_version FROM pragma_data_version), "
                                   "(SELECT schema_version FROM pragma_schema_version) "
                                   "FROM temp.KundeAenderungen"))
        || !query.next())
        return std::nullopt;
    return Stamp { query.value(0).toLongLong(), query.value(1).toLongLong(),
        query.value(2).toLongLong() };
}

CustomerSearch::Entry CustomerSearch::entryOf(int id, const QString (&fields)[6])
{
    Entry e;
    e.id = id;
    const QString number = QString::number(id);
    int length = number.size() + 6;
    for (const QString &field : fields)
        length += field.size();
    e.label.reserve(length);
    e.label.append(number);
    for (int i = 0; i < 6; ++i) {
        e.label.append(QLatin1Char(' ')).append(fields[i]);
        e.ends[i] = int(e.label.size());
    }
    return e;
}

Kundendaten CustomerSearch::customerOfEntry(const Entry &e)
{
    QString fields[6];
    int start = textStart(e.id);
    for (int i = 0; i < 6; ++i) {
        fields[i] = e.label.mid(start, e.ends[i] - start);
        start = e.ends[i] + 1;
    }
    return { e.id, fields[0], fields[1], fields[2], fields[3], fields[4], fields[5] };
}

void CustomerSearch::prepareEntry(Entry &e) const
{
    if (m_match == Match::Simplified) {
        const QStringView text = QStringView(e.label).mid(textStart(e.id));
        if (needsSimplifying(text))
            e.simplified = text.toString().simplified();
    }
    if (m_delegate)
        e.width = m_delegate->widths.of(e.label);
}

QStringView CustomerSearch::searchText(const Entry &e) const
{
    if (!e.simplified.isNull())
        return e.simplified;
    return QStringView(e.label).mid(textStart(e.id));
}

void CustomerSearch::load(QWidget *parent)
{
    if (m_stamp && currentStamp() == m_stamp)
        return;
    read(parent);
}

void CustomerSearch::read(QWidget *parent)
{
    // Stamped before the read: a change made meanwhile makes the next load read again.
    const std::optional<Stamp> stamp = watchKunde() ? currentStamp() : std::nullopt;
    m_stamp.reset();
    m_kunden.clear();
    m_hitsValid = false;
    m_hits.clear();
    if (m_delegate)
        m_delegate->widths.setFont(m_list->font());

    // Both reads see the same rows, whatever other connections commit meanwhile.
    QSqlDatabase db = QSqlDatabase::database();
    const bool snapshot = db.transaction();
    const bool ok = readCustomers(parent);
    if (snapshot)
        db.commit();
    if (!ok)
        m_kunden.clear();
    else if (m_highestId)
        m_stamp = stamp; // else the highest number is read again next time
}

bool CustomerSearch::readCustomers(QWidget *parent)
{
    QSqlQuery query;
    m_highestId.reset();
    if (execOrWarn(query, QStringLiteral("SELECT MAX(ID) FROM Kunde"), parent) && query.next())
        m_highestId = query.value(0).toLongLong();
    // In the table's own order every page of it is read once. In name order SQLite would
    // fetch each customer from its page on its own (the name index holds only names and
    // numbers), at twice the cost; the name order comes from that index as numbers instead.
    query.setForwardOnly(true);
    if (!execOrWarn(query,
            QStringLiteral("SELECT ID, Name, Vorname, Telefon, PLZ, Ort, Strasse FROM Kunde "
                           "ORDER BY ID"),
            parent))
        return false;
    QVector<Entry> byNumber;
    QString fields[6];
    while (query.next()) {
        for (int i = 0; i < 6; ++i)
            fields[i] = query.value(i + 1).toString();
        byNumber.append(entryOf(query.value(0).toInt(), fields));
        prepareEntry(byNumber.last());
    }
    if (m_order == Order::ByNumber) {
        m_kunden = std::move(byNumber);
        return true;
    }
    if (!execOrWarn(
            query, QStringLiteral("SELECT ID FROM Kunde ORDER BY Name, Vorname, ID"), parent))
        return false;
    m_kunden.reserve(byNumber.size());
    while (query.next()) {
        const int id = query.value(0).toInt();
        const auto at = std::lower_bound(byNumber.begin(), byNumber.end(), id,
            [](const Entry &e, int number) { return e.id < number; });
        if (at != byNumber.end() && at->id == id)
            m_kunden.append(std::move(*at));
    }
    return true;
}

void CustomerSearch::added(const Kundendaten &kunde)
{
    if (!m_stamp)
        return;
    const std::optional<Stamp> now = currentStamp();
    Stamp expected = *m_stamp;
    ++expected.kundeChanges;
    if (!now || !(*now == expected))
        return; // something else changed as well: the next load reads them all

    const QString fields[6]
        = { kunde.name, kunde.vorname, kunde.telefon, kunde.plz, kunde.ort, kunde.strasse };
    Entry entry = entryOf(kunde.id, fields);
    prepareEntry(entry);
    // In the order of the read: by number, or by name as SQLite compares texts (their UTF-8
    // bytes), then number.
    const auto before = [this](const Entry &a, const Entry &b) {
        if (m_order == Order::ByName) {
            const int start = textStart(a.id), bStart = textStart(b.id);
            const QStringView aName = QStringView(a.label).mid(start, a.ends[0] - start);
            const QStringView bName = QStringView(b.label).mid(bStart, b.ends[0] - bStart);
            const int name = aName.toUtf8().compare(bName.toUtf8());
            if (name != 0)
                return name < 0;
            const QStringView aVorname
                = QStringView(a.label).mid(a.ends[0] + 1, a.ends[1] - a.ends[0] - 1);
            const QStringView bVorname
                = QStringView(b.label).mid(b.ends[0] + 1, b.ends[1] - b.ends[0] - 1);
            const int vorname = aVorname.toUtf8().compare(bVorname.toUtf8());
            if (vorname != 0)
                return vorname < 0;
        }
        return a.id < b.id;
    };
    m_kunden.insert(
        std::upper_bound(m_kunden.begin(), m_kunden.end(), entry, before), std::move(entry));
    m_highestId = qMax(m_highestId.value_or(0), qint64(kunde.id));
    m_hitsValid = false;
    m_stamp = now;
}

// ---- the search -------------------------------------------------------------------------

void CustomerSearch::measureTexts()
{
    if (m_delegate && m_delegate->widths.setFont(m_list->font())) {
        for (Entry &e : m_kunden)
            e.width = m_delegate->widths.of(e.label);
    }
}

void CustomerSearch::search(const QString &text)
{
    if (!m_list)
        return;
    const QString needle = m_match == Match::Simplified ? text.simplified() : text;
    QVector<int> hits;
    if (m_hitsValid && needle.contains(m_lastNeedle, Qt::CaseInsensitive)) {
        // Narrower than the last search: only its hits can still match.
        hits.reserve(m_hits.size());
        for (const int i : qAsConst(m_hits)) {
            if (searchText(m_kunden.at(i)).contains(needle, Qt::CaseInsensitive))
                hits.append(i);
        }
    } else {
        hits.reserve(m_kunden.size());
        for (int i = 0; i < m_kunden.size(); ++i) {
            if (searchText(m_kunden.at(i)).contains(needle, Qt::CaseInsensitive))
                hits.append(i);
        }
    }
    m_hits = std::move(hits);
    m_lastNeedle = needle;
    m_hitsValid = true;
    showHits();
}

void CustomerSearch::showHits()
{
    measureTexts(); // the list's font may have changed since the read
    QStringList labels;
    labels.reserve(m_hits.size());
    int widest = 0;
    for (const int i : qAsConst(m_hits)) {
        const Entry &e = m_kunden.at(i);
        labels.append(e.label);
        widest = qMax(widest, e.width);
    }
    m_list->clear();
    m_delegate->widest = widest;
    // All items in one insertion: one announcement to the view, not one per customer.
    m_list->addItems(labels);
    // The numbers go in without a change signal each: one for all of them afterwards.
    QAbstractItemModel *model = m_list->model();
    {
        const QSignalBlocker quiet(model);
        for (int row = 0; row < m_hits.size(); ++row)
            m_list->item(row)->setData(Qt::UserRole, m_kunden.at(m_hits.at(row)).id);
    }
    if (!m_hits.isEmpty())
        emit model->dataChanged(
            model->index(0, 0), model->index(int(m_hits.size()) - 1, 0), { Qt::UserRole });
}

void CustomerSearch::clearList()
{
    if (m_list)
        m_list->clear();
}

std::optional<Kundendaten> CustomerSearch::customerOf(const QListWidgetItem *item) const
{
    if (!item)
        return std::nullopt;
    return find(item->data(Qt::UserRole).toInt());
}

std::optional<Kundendaten> CustomerSearch::find(int id) const
{
    for (const Entry &e : m_kunden) {
        if (e.id == id)
            return customerOfEntry(e);
    }
    return std::nullopt;
}
