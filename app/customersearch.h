#pragma once

#include <QString>
#include <QVector>
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

    // Brings the customers up to date: reads the highest customer number and every customer
    // unless nothing can have changed since the last read (no customer written on this
    // connection, nothing committed by another one, the connection not reopened). A failed
    // read shows "SQL-Fehler" (parent: the page) and goes on; the customer read failing
    // leaves no customers, and the next load reads again.
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

    // A customer this program has just stored (and committed): it joins the cache in its
    // place, so the next load need not read them all again. When anything else has changed
    // since the last read the cache is left to the next load.
    void added(const Kundendaten &kunde);

private:
    // What the customers were read from: the connection's own count of changes to Kunde
    // (kept by temporary triggers, gone when the connection closes) and SQLite's counters
    // of commits by other connections and of schema changes.
    struct Stamp
    {
        qint64 kundeChanges = 0;
        qint64 dataVersion = 0;
        qint64 schemaVersion = 0;
        bool operator==(const Stamp &o) const
        {
            return kundeChanges == o.kundeChanges && dataVersion == o.dataVersion
                && schemaVersion == o.schemaVersion;
        }
    };
    // One cached customer as listed: the item text ("number text") with the places where
    // its six fields end, so that the fields need no strings of their own; for
    // Match::Simplified the simplified customer text where it differs; the text's width in
    // the list's font.
    struct Entry
    {
        QString label;
        QString simplified;
        int id = 0;
        int ends[6] = {};
        int width = 0;
    };

    static std::optional<Stamp> currentStamp();
    static Entry entryOf(int id, const QString (&fields)[6]);
    static Kundendaten customerOfEntry(const Entry &e);
    void read(QWidget *parent);
    bool readCustomers(QWidget *parent);
    void prepareEntry(Entry &e) const;
    void measureTexts();
    QStringView searchText(const Entry &e) const;
    void showHits();

    Match m_match;
    Order m_order;
    QListWidget *m_list = nullptr;
    QVector<Entry> m_kunden;
    std::optional<qint64> m_highestId;
    std::optional<Stamp> m_stamp; // none: read at the next load

    // The last search: its text and its hits (indexes into the cache). A text that holds
    // the last one can only find some of its hits.
    QString m_lastNeedle;
    QVector<int> m_hits;
    bool m_hitsValid = false;

    // The list's item delegate: it measures the texts and gives every item the size of the
    // widest listed one.
    class ListDelegate;
    ListDelegate *m_delegate = nullptr;
};
