#include "app/customersearch.h"

#include "app/sql.h"

#include <QListWidget>
#include <QSqlQuery>

namespace {

// One allocation per customer.
QString customerText(const Kundendaten &k)
{
    QString text;
    text.reserve(k.name.size() + k.vorname.size() + k.telefon.size() + k.plz.size() + k.ort.size()
        + k.strasse.size() + 5);
    text.append(k.name)
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

} // namespace

CustomerSearch::CustomerSearch(Match match, Order order)
    : m_match(match)
    , m_order(order)
{ }

void CustomerSearch::setList(QListWidget *list)
{
    m_list = list;
    // A search can list most of the customers; laid out in batches, the first ones show at
    // once and the next keystroke is not held up by the rest.
    m_list->setLayoutMode(QListView::Batched);
}

void CustomerSearch::load(QWidget *parent)
{
    QSqlQuery query;
    m_highestId.reset();
    if (execOrWarn(query, QStringLiteral("SELECT MAX(ID) FROM Kunde"), parent) && query.next())
        m_highestId = query.value(0).toLongLong();
    m_kunden.clear();
    m_texts.clear();
    m_searchTexts.clear();
    m_textsMade = false;
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
}

void CustomerSearch::makeTexts()
{
    m_texts.reserve(m_kunden.size());
    for (const Kundendaten &k : qAsConst(m_kunden))
        m_texts.append(customerText(k));
    if (m_match == Match::Simplified) {
        m_searchTexts.reserve(m_kunden.size());
        for (const QString &text : qAsConst(m_texts))
            m_searchTexts.append(text.simplified());
    }
    m_textsMade = true;
}

void CustomerSearch::search(const QString &text)
{
    if (!m_list)
        return;
    m_list->clear();
    if (!m_textsMade)
        makeTexts();
    const bool simplified = m_match == Match::Simplified;
    const QString needle = simplified ? text.simplified() : text;
    const QStringList &haystack = simplified ? m_searchTexts : m_texts;
    m_list->setUpdatesEnabled(false);
    for (int i = 0; i < m_kunden.size(); ++i) {
        if (!haystack.at(i).contains(needle, Qt::CaseInsensitive))
            continue;
        const int id = m_kunden.at(i).id;
        // Filled before it joins the list: each change of a listed item is announced.
        auto *item = new QListWidgetItem(QString::number(id) + QLatin1Char(' ') + m_texts.at(i));
        item->setData(Qt::UserRole, id);
        m_list->addItem(item);
    }
    m_list->setUpdatesEnabled(true);
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
