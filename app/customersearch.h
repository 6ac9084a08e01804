#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

class QListWidget;
class QListWidgetItem;
class QWidget;

// One row of Kunde, as cached for the customer searches.
struct Kundendaten
{
    int id = 0;
    QString name;
    QString vorname;
    QString telefon;
    QString plz;
    QString ort;
    QString strasse;
};

// The shop's customers in memory, for the pages that pick a customer from a list (goods
// intake, payout). load() reads them; search() filters them without touching the database and
// shows the hits in the page's list, one item per customer: the number, a blank and the
// customer text (the six fields joined by single blanks, as stored), with the number as the
// item's Qt::UserRole data. How the customers are kept and listed is this class's own affair;
// pages go through these calls only.
class CustomerSearch
{
public:
    // How the search text is compared with the customer text, letter case ignored either way.
    enum class Match {
        Simplified, // both with white space simplified
        AsTyped, // the text as typed, within the customer text as stored
    };
    // The order of the cache and so of the hits.
    enum class Order { ByName, ByNumber };

    explicit CustomerSearch(Match match = Match::Simplified, Order order = Order::ByName);

    // The list the hits are shown in; set once, after the page's form is built.
    void setList(QListWidget *list);

    // Reads the highest customer number and every customer. A failed read shows "SQL-Fehler"
    // (parent: the page) and goes on; the customer read failing leaves no customers.
    void load(QWidget *parent);
    // The highest customer number as the last load read it; none when that read failed.
    std::optional<qint64> highestId() const { return m_highestId; }

    // Lists the customers whose text holds the search text; an empty text lists every one.
    void search(const QString &text);
    // Empties the list; the customers stay.
    void clearList();

    // The customer a listed item stands for; none for an item of no cached customer.
    std::optional<Kundendaten> customerOf(const QListWidgetItem *item) const;
    std::optional<Kundendaten> find(int id) const;

private:
    void makeTexts();

    Match m_match;
    Order m_order;
    QListWidget *m_list = nullptr;
    QList<Kundendaten> m_kunden;
    std::optional<qint64> m_highestId;
    // The customer texts as listed and, for Match::Simplified, as compared, in cache order;
    // made by the first search after a load, so that a page entry without a search and a
    // customer chosen by number never pay for them.
    QStringList m_texts;
    QStringList m_searchTexts;
    bool m_textsMade = false;
};
