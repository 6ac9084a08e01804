#include "app/customersearch.h"

#include "app/sql.h"

#include <QFontMetricsF>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSqlQuery>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cmath>

namespace {

// "number text" in one allocation per customer.
QString labelOf(const Kundendaten &k)
{
    const QString number = QString::number(k.id);
    QString text;
    text.reserve(number.size() + k.name.size() + k.vorname.size() + k.telefon.size() + k.plz.size()
        + k.ort.size() + k.strasse.size() + 6);
    text.append(number)
        .append(QLatin1Char(' '))
        .append(k.name)
        .append(QLatin1Char(' '))
        .append(k.vorname)
        .append(QLatin1Char(' '))
        .append(k.telefon)
        .append(QLatin1Char(' '))
        .append(k.plz)
        .append(QLatin1Char(' '))
        .append(k.ort)
        .append(QLatin1Char(' '))
        .append(k.strasse);
    return text;
}

// Where the customer text starts in its label: after the number and the blank.
int textStart(int id)
{
    int length = id < 0 ? 2 : 1;
    for (qint64 rest = qAbs(qint64(id)); rest >= 10; rest /= 10)
        ++length;
    return length + 1;
}

// The name order of "ORDER BY Name, Vorname, ID": SQLite compares the UTF-8 bytes.
bool beforeByName(const Kundendaten &a, const Kundendaten &b)
{
    const int name = a.name.toUtf8().compare(b.name.toUtf8());
    if (name != 0)
        return name < 0;
    const int vorname = a.vorname.toUtf8().compare(b.vorname.toUtf8());
    if (vorname != 0)
        return vorname < 0;
    return a.id < b.id;
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

} // namespace

// ---- the list's item size ---------------------------------------------------------------

namespace {

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
// where it is wider than the list).
class CustomerSearch::ListDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

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
    m_labels.clear();
    m_searchTexts.clear();
    m_widths.clear();
    m_textsMade = false;
    m_hitsValid = false;
    m_hits.clear();

    QSqlQuery query;
    m_highestId.reset();
    if (execOrWarn(query, QStringLiteral("SELECT MAX(ID) FROM Kunde"), parent) && query.next())
        m_highestId = query.value(0).toLongLong();
    // Read once from start to end: the driver need not keep a copy of every row.
    query.setForwardOnly(true);
    const QString statement = m_order == Order::ByName
        ? QStringLiteral("SELECT ID, Name, Vorname, Telefon, PLZ, Ort, Strasse FROM Kunde "
                         "ORDER BY Name, Vorname, ID")
        : QStringLiteral("SELECT ID, Name, Vorname, Telefon, PLZ, Ort, Strasse FROM Kunde "
                         "ORDER BY ID");
    if (!execOrWarn(query, statement, parent))
        return;
    while (query.next()) {
        Kundendaten k;
        k.id = query.value(0).toInt();
        k.name = query.value(1).toString();
        k.vorname = query.value(2).toString();
        k.telefon = query.value(3).toString();
        k.plz = query.value(4).toString();
        k.ort = query.value(5).toString();
        k.strasse = query.value(6).toString();
        m_kunden.append(std::move(k));
    }
    if (m_highestId)
        m_stamp = stamp; // else the highest number is read again next time
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

    const auto at = m_order == Order::ByName
        ? std::upper_bound(m_kunden.begin(), m_kunden.end(), kunde, beforeByName)
        : std::upper_bound(m_kunden.begin(), m_kunden.end(), kunde,
            [](const Kundendaten &a, const Kundendaten &b) { return a.id < b.id; });
    const int i = int(at - m_kunden.begin());
    if (m_textsMade) {
        const QString label = labelOf(kunde);
        if (m_match == Match::Simplified)
            m_searchTexts.insert(i, label.mid(textStart(kunde.id)).simplified());
        if (m_delegate && m_widths.size() == m_kunden.size())
            m_widths.insert(i, m_delegate->widths.of(label));
        m_labels.insert(i, label);
    }
    m_kunden.insert(i, kunde);
    m_highestId = qMax(m_highestId.value_or(0), qint64(kunde.id));
    m_hitsValid = false;
    m_stamp = now;
}

// ---- the search -------------------------------------------------------------------------

void CustomerSearch::makeTexts()
{
    const bool simplified = m_match == Match::Simplified;
    m_labels.reserve(m_kunden.size());
    if (simplified)
        m_searchTexts.reserve(m_kunden.size());
    for (const Kundendaten &k : qAsConst(m_kunden)) {
        m_labels.append(labelOf(k));
        if (simplified)
            m_searchTexts.append(m_labels.last().mid(textStart(k.id)).simplified());
    }
    m_textsMade = true;
}

QStringView CustomerSearch::searchText(int i) const
{
    if (m_match == Match::Simplified)
        return m_searchTexts.at(i);
    return QStringView(m_labels.at(i)).mid(textStart(m_kunden.at(i).id));
}

void CustomerSearch::search(const QString &text)
{
    if (!m_list)
        return;
    if (!m_textsMade)
        makeTexts();
    const QString needle = m_match == Match::Simplified ? text.simplified() : text;
    QVector<int> hits;
    if (m_hitsValid && needle.contains(m_lastNeedle, Qt::CaseInsensitive)) {
        // Narrower than the last search: only its hits can still match.
        hits.reserve(m_hits.size());
        for (const int i : qAsConst(m_hits)) {
            if (searchText(i).contains(needle, Qt::CaseInsensitive))
                hits.append(i);
        }
    } else {
        hits.reserve(m_kunden.size());
        for (int i = 0; i < m_kunden.size(); ++i) {
            if (searchText(i).contains(needle, Qt::CaseInsensitive))
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
    if (m_delegate->widths.setFont(m_list->font()) || m_widths.size() != m_kunden.size()) {
        m_widths.resize(m_kunden.size());
        for (int i = 0; i < m_kunden.size(); ++i)
            m_widths[i] = m_delegate->widths.of(m_labels.at(i));
    }
    QStringList labels;
    labels.reserve(m_hits.size());
    int widest = 0;
    for (const int i : qAsConst(m_hits)) {
        labels.append(m_labels.at(i));
        widest = qMax(widest, m_widths.at(i));
    }
    m_list->clear();
    m_delegate->widest = widest;
    // All items in one insertion: one announcement to the view, not one per customer.
    m_list->addItems(labels);
    // The number is shown by no view, so no view needs to hear of it.
    const QSignalBlocker quiet(m_list->model());
    for (int row = 0; row < m_hits.size(); ++row)
        m_list->item(row)->setData(Qt::UserRole, m_kunden.at(m_hits.at(row)).id);
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
    for (const Kundendaten &k : m_kunden) {
        if (k.id == id)
            return k;
    }
    return std::nullopt;
}
