#include "support/pagehelpers.h"
#include "support/testsupport.h"

#include "app/customersearch.h"

#include <QListWidget>
#include <QtTest>

using Match = CustomerSearch::Match;
using Order = CustomerSearch::Order;

Q_DECLARE_METATYPE(CustomerSearch::Match)
Q_DECLARE_METATYPE(CustomerSearch::Order)

namespace {

// Numbers not in name order, a customer without first name and telephone, one without
// telephone, and a name stored with two blanks.
void addCustomers()
{
    TestWorkdir::exec("INSERT INTO Kunde (ID, Name, Vorname, Telefon, PLZ, Ort, Strasse) VALUES "
                      "(1, 'Meyer', 'Hans', '0401', '20095', 'Hamburg', 'Weg 1'),"
                      "(2, 'Schulz', '', '', '12345', 'Berlin', 'Ring 3'),"
                      "(3, 'Abel', 'Anna', '', '20099', 'Hamburg', 'Allee 2'),"
                      "(4, 'Van  Dyke', 'Otto', '0404', '50667', 'Köln', 'Dom 4')");
}

// The customers above, loaded into a search that shows its hits in its own list.
struct Loaded
{
    explicit Loaded(Match match = Match::Simplified, Order order = Order::ByName)
        : search(match, order)
    {
        addCustomers();
        search.setList(&list);
        search.load(&list);
    }
    TestWorkdir dir;
    QListWidget list;
    CustomerSearch search;
};

} // namespace

class TestCustomerSearch : public QObject
{
    Q_OBJECT
private slots:
    // The intake page compares simplified texts; the payout page the text as typed.
    void search_data()
    {
        QTest::addColumn<Match>("match");
        QTest::addColumn<Order>("order");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("ids");
        const Match simplified = Match::Simplified, asTyped = Match::AsTyped;
        const Order byName = Order::ByName, byNumber = Order::ByNumber;
        QTest::newRow("empty text, by name")
            << simplified << byName << "" << QList<int> { 3, 1, 2, 4 };
        QTest::newRow("empty text, by number")
            << asTyped << byNumber << "" << QList<int> { 1, 2, 3, 4 };
        QTest::newRow("letter case") << asTyped << byNumber << "MEYER hans" << QList<int> { 1 };
        QTest::newRow("word order") << asTyped << byNumber << "hans meyer" << QList<int> {};
        QTest::newRow("two blanks typed, as typed")
            << asTyped << byNumber << "meyer  hans" << QList<int> {};
        QTest::newRow("two blanks typed, simplified")
            << simplified << byName << "  meyer  hans " << QList<int> { 1 };
        QTest::newRow("no telephone, as typed")
            << asTyped << byNumber << "anna 20099" << QList<int> {};
        QTest::newRow("no telephone, simplified")
            << simplified << byName << "anna 20099" << QList<int> { 3 };
        QTest::newRow("stored two blanks, as typed")
            << asTyped << byNumber << "van  dyke" << QList<int> { 4 };
        QTest::newRow("stored two blanks, one typed")
            << asTyped << byNumber << "van dyke" << QList<int> {};
        QTest::newRow("stored two blanks, simplified")
            << simplified << byName << "van dyke" << QList<int> { 4 };
        QTest::newRow("several hits") << asTyped << byNumber << "hamburg" << QList<int> { 1, 3 };
    }
    void search()
    {
        QFETCH(Match, match);
        QFETCH(Order, order);
        QFETCH(QString, text);
        QFETCH(QList<int>, ids);
        Loaded l(match, order);
        l.search.search("a"); // its hits go with the next search
        l.search.search(text);
        QCOMPARE(pages::listedIds(l.list), ids);
        QCOMPARE(l.search.highestId(), std::optional<qint64>(4));
        QCOMPARE(dialogLog(), QStringList());
    }

    void itemsShowTheCustomerAsStored()
    {
        Loaded l;
        l.search.search("a");
        QCOMPARE(pages::listedTexts(l.list),
            QStringList(
                { "3 Abel Anna  20099 Hamburg Allee 2", "1 Meyer Hans 0401 20095 Hamburg Weg 1",
                    "4 Van  Dyke Otto 0404 50667 Köln Dom 4" }));
        const std::optional<Kundendaten> chosen = l.search.customerOf(l.list.item(0));
        QVERIFY(chosen);
        QCOMPARE(chosen->id, 3);
        QCOMPARE(QStringList({ chosen->name, chosen->vorname, chosen->telefon, chosen->plz,
                     chosen->ort, chosen->strasse }),
            QStringList({ "Abel", "Anna", "", "20099", "Hamburg", "Allee 2" }));
        QVERIFY(!l.search.find(99));

        // A customer stored meanwhile shows after the next load only.
        TestWorkdir::exec("INSERT INTO Kunde (ID, Name) VALUES (7, 'Abendroth')");
        l.search.search("aben");
        QCOMPARE(pages::listedIds(l.list), QList<int>());
        l.search.load(&l.list);
        l.search.search("aben");
        QCOMPARE(pages::listedIds(l.list), QList<int>({ 7 }));
        QCOMPARE(l.search.highestId(), std::optional<qint64>(7));
    }

    void failedReadLeavesNoCustomers()
    {
        Loaded l;
        TestWorkdir::exec("DROP TABLE Kunde");
        l.search.load(&l.list);
        l.search.search("");
        QCOMPARE(l.list.count(), 0);
        QVERIFY(!l.search.highestId());
        const QStringList log = dialogLog();
        QCOMPARE(log.size(), 2);
        for (const QString &line : log)
            QVERIFY2(line.startsWith("Warning|SQL-Fehler|no such table: Kunde"), qPrintable(line));
    }
};

QTEST_MAIN(TestCustomerSearch)
#include "tst_customersearch.moc"
