#include "printing/artikelbarcode.h"
#include "support/tilldriver.h"

#include <QSqlQuery>
#include <QtTest>

using namespace pages;
using Shop = ShopFixture;

namespace {

const QString kCodeRefused = "Critical|Fehler|Barcode konnte nicht eingelesen werden,\n"
                             "bitte Artikel eintippen!";

int salesCount()
{
    return TestWorkdir::scalar("SELECT COUNT(*) FROM Verkauf").toInt();
}

// The row stored last: EinkaufsPreis, VerkaufsPreis, VerkaufsMenge, Artikel.
QVariantList lastSale()
{
    QSqlQuery query("SELECT EinkaufsPreis, VerkaufsPreis, VerkaufsMenge, Artikel FROM Verkauf "
                    "ORDER BY rowid DESC LIMIT 1");
    if (!query.next())
        return {};
    return { query.value(0).toDouble(), query.value(1).toDouble(), query.value(2).toInt(),
        query.value(3).toInt() };
}

QString code(const Shop::Artikel &a)
{
    return ArtikelBarcode::encode(a.vertrag, a.nr);
}

} // namespace

class TestBooking : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // --- by label code ------------------------------------------------------------------

    void codeBooksItsArticle()
    {
        Till t;
        TestWorkdir::setSetting("Etikettendrucker", "Etiketten");
        QVERIFY(t.enter());
        const int listed = t.list()->rowCount();
        t.select(Shop::vertragAnkauf, 3); // typed numbers: the code wins
        QVERIFY(t.scan(code(Shop::jacke)));
        QCOMPARE(lastSale(), (QVariantList { 4.5, 9.9, 1, Shop::jacke.id }));
        QCOMPARE(t.label("labelBarcodeStatus"), QString("Barcode Ok 1"));
        QCOMPARE(t.code()->text(), QString());
        QCOMPARE(t.list()->rowCount(), listed + 1);

        QVERIFY(t.scan(code(Shop::lampe)));
        QCOMPARE(lastSale(), (QVariantList { 10.0, 25.0, 1, Shop::lampe.id }));
        QCOMPARE(t.label("labelBarcodeStatus"), QString("Barcode Ok 2"));
        QCOMPARE(salesCount(), t.shop.sales().size() + 2);

        // The list after the bookings is the list read anew.
        const QStringList shown = t.listed();
        QVERIFY(shown.first().endsWith("|102|3|Tischlampe Messing|1|25.00 €"));
        t.page.refreshPage(false);
        QCOMPARE(t.listed(), shown);
        QCOMPARE(dialogLog(), QStringList());
    }

    void refusedCodes_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("code");
        const auto wrongCheck
            = QString::number(ArtikelBarcode::codeValue(102, 1) + 1, 36).toUpper();
        QTest::newRow("wrong check number") << "" << wrongCheck;
        QTest::newRow("0") << ""
                           << "0";
        QTest::newRow("A") << ""
                           << "A";
        QTest::newRow("x!") << ""
                            << "x!";
        QTest::newRow("2T: no contract digits") << ""
                                                << "2T";
        QTest::newRow("deleted contract")
            << "DELETE FROM Vertrag WHERE ID = 101" << ArtikelBarcode::encode(101, 2);
        QTest::newRow("article past the count") << "" << ArtikelBarcode::encode(102, 4);
    }
    void refusedCodes()
    {
        QFETCH(QString, setup);
        QFETCH(QString, code);
        Till t;
        TestWorkdir::setSetting("Etikettendrucker", "Etiketten");
        if (!setup.isEmpty())
            TestWorkdir::exec(setup);
        QVERIFY(t.enter());
        const int before = salesCount();
        t.select(Shop::vertragLaufend, 1);
        QVERIFY(t.scan(code));
        QCOMPARE(dialogLog(), QStringList(kCodeRefused));
        QCOMPARE(salesCount(), before);
        // refreshed: code and boxes empty, no article
        QCOMPARE(t.code()->text(), QString());
        QCOMPARE(t.vertrag()->text(), QString());
        QCOMPARE(t.label("labelBezeichnung"), QString());
    }

    // --- the stored row -----------------------------------------------------------------

    void storedRow_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("vertrag");
        QTest::addColumn<int>("artikel");
        QTest::addColumn<QString>("typedCount"); // empty: as selected
        QTest::addColumn<QString>("typedPrice");
        QTest::addColumn<bool>("direct"); // sell(now, count, sellPrice) instead of Return
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("sellPrice");
        QTest::addColumn<QVariantList>("stored"); // EK, VK, Menge, Artikel; empty: refused
        const QString none;
        QTest::newRow("running commission") << none << 102 << 1 << none << none << false << -1
                                            << -1.0 << QVariantList { 4.5, 9.9, 1, Shop::jacke.id };
        QTest::newRow("cash purchase") << none << 103 << 3 << none << none << false << -1 << -1.0
                                       << QVariantList { 0.0, 25.0, 1, Shop::jeans.id };
        QTest::newRow("ended contract") << none << 101 << 2 << none << none << false << -1 << -1.0
                                        << QVariantList { 0.0, 4.0, 1, Shop::wollschal.id };
        QTest::newRow("without article") << none << 50 << 1 << none << "7" << false << -1 << -1.0
                                         << QVariantList { 0.0, 7.0, 1, -1 };
        QTest::newRow("price at full precision")
            << none << 102 << 3 << none << "12345,67" << false << -1 << -1.0
            << QVariantList { 10.0, 12345.67, 1, Shop::lampe.id };
        const QString threeLamps = "UPDATE Artikel SET EinkaufsMenge = 3 WHERE ID = 7";
        QTest::newRow("count above the stock")
            << threeLamps << 102 << 3 << none << none << true << 5 << -1.0
            << QVariantList { 10.0, 25.0, 3, Shop::lampe.id };
        QTest::newRow("count -1 books the box")
            << threeLamps << 102 << 3 << "2" << none << true << -1 << -1.0
            << QVariantList { 10.0, 25.0, 2, Shop::lampe.id };
        QTest::newRow("count 0") << none << 102 << 3 << none << none << true << 0 << -1.0
                                 << QVariantList {};
        QTest::newRow("sellPrice 9.999") << none << 102 << 3 << none << none << true << -1 << 9.999
                                         << QVariantList { 10.0, 10.0, 1, Shop::lampe.id };
        QTest::newRow("sellPrice 0 keeps the box")
            << none << 102 << 3 << none << none << true << -1 << 0.0
            << QVariantList { 10.0, 25.0, 1, Shop::lampe.id };
    }
    void storedRow()
    {
        QFETCH(QString, setup);
        QFETCH(int, vertrag);
        QFETCH(int, artikel);
        QFETCH(QString, typedCount);
        QFETCH(QString, typedPrice);
        QFETCH(bool, direct);
        QFETCH(int, count);
        QFETCH(double, sellPrice);
        QFETCH(QVariantList, stored);
        Till t;
        if (!setup.isEmpty())
            TestWorkdir::exec(setup);
        QVERIFY(t.enter());
        const int before = salesCount();
        t.select(vertrag, artikel);
        if (!typedCount.isEmpty())
            type(t.anzahl(), typedCount);
        if (!typedPrice.isEmpty())
            type(t.preis(), typedPrice);
        bool booked = false;
        if (direct)
            t.page.sell(QDateTime(), count, sellPrice, &booked);
        else
            QVERIFY(t.confirm());
        if (stored.isEmpty()) {
            QCOMPARE(dialogLog(), QStringList("Warning|Warnung|Bitte alle Felder ausfüllen!"));
            QCOMPARE(salesCount(), before);
            QVERIFY(!booked);
            return;
        }
        QCOMPARE(dialogLog(), QStringList());
        QCOMPARE(salesCount(), before + 1);
        QCOMPARE(lastSale(), stored);
        QCOMPARE(booked, direct);
        QCOMPARE(t.vertrag()->text(), QString()); // refreshed
    }

    // Refused entries keep everything as typed and put the clerk back on the position.
    void refusals_data()
    {
        QTest::addColumn<int>("artikel");
        QTest::addColumn<QString>("typedCount");
        QTest::addColumn<QString>("message");
        QTest::newRow("stock 0") << 2 << ""
                                 << "Kein Bestand!";
        QTest::newRow("no position") << 0 << ""
                                     << "Bitte alle Felder ausfüllen!";
        QTest::newRow("quantity 0") << 1 << "0"
                                    << "Bitte alle Felder ausfüllen!";
    }
    void refusals()
    {
        QFETCH(int, artikel);
        QFETCH(QString, typedCount);
        QFETCH(QString, message);
        Till t;
        QVERIFY(t.enter());
        const int before = salesCount();
        t.select(Shop::vertragLaufend, artikel);
        if (!typedCount.isEmpty())
            type(t.anzahl(), typedCount);
        const QString name = t.label("labelBezeichnung");
        t.vertrag()->setFocus();
        QVERIFY(t.confirm());
        QCOMPARE(dialogLog(), QStringList("Warning|Warnung|" + message));
        QCOMPARE(salesCount(), before);
        QCOMPARE(t.vertrag()->text(), QString("102"));
        QCOMPARE(t.artikel()->value(), artikel);
        QCOMPARE(t.label("labelBezeichnung"), name);
        QVERIFY(t.artikel()->hasFocus());
    }

    // --- write-off ----------------------------------------------------------------------

    void writeOff_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("vertrag");
        QTest::addColumn<int>("artikel");
        QTest::addColumn<bool>("booked");
        const QString none;
        QTest::newRow("ended contract") << none << 101 << 2 << true;
        QTest::newRow("running, NULL") << none << 102 << 1 << false;
        QTest::newRow("running, empty")
            << "UPDATE Vertrag SET Vertragsende = '' WHERE ID = 102" << 102 << 1 << false;
        QTest::newRow("end prepared")
            << "UPDATE Vertrag SET Vertragsende = '-1' WHERE ID = 102" << 102 << 1 << false;
        QTest::newRow("cash purchase") << none << 103 << 3 << false;
        QTest::newRow("missing article") << none << 50 << 1 << false;
    }
    void writeOff()
    {
        QFETCH(QString, setup);
        QFETCH(int, vertrag);
        QFETCH(int, artikel);
        QFETCH(bool, booked);
        Till t;
        if (!setup.isEmpty())
            TestWorkdir::exec(setup);
        QVERIFY(t.enter(true));
        QCOMPARE(t.label("label_15"), QString("Austragen"));
        for (const char *hidden : { "label_6", "doubleSpinBoxPreis", "toolButtonImport" })
            QVERIFY(child<QWidget>(t.page, hidden)->isHidden());
        const int before = salesCount();
        // An ended contract shown first must not let the next one through.
        t.select(Shop::vertragBeendet, 2);
        t.select(vertrag, artikel);
        QVERIFY(t.confirm());
        if (booked) {
            QCOMPARE(dialogLog(), QStringList());
            QCOMPARE(lastSale(), (QVariantList { 0.0, 0.0, 1, Shop::wollschal.id }));
        } else {
            QCOMPARE(dialogLog(),
                QStringList("Warning|Warnung|Artikel aus laufenden Verträgen können nicht "
                            "ausgetragen werden!"));
            QCOMPARE(salesCount(), before);
        }
    }

    // --- keys and failures --------------------------------------------------------------

    void bookingsOfOneMillisecondGetConsecutiveKeys()
    {
        Till t;
        QVERIFY(t.enter());
        // The fixture's last sale holds the key of that moment already.
        const QString taken = t.shop.sales().last().dateTime;
        const QDateTime moment = QDateTime::fromString(taken, "yyyy-MM-dd hh:mm:ss.zzz");
        for (int i = 0; i < 2; ++i) {
            t.select(Shop::vertragLaufend, 3);
            bool booked = false;
            t.page.sell(moment, -1, -1, &booked);
            QVERIFY(booked);
        }
        QSqlQuery query("SELECT DateTime FROM Verkauf WHERE Artikel = 7 ORDER BY DateTime");
        QStringList keys;
        while (query.next())
            keys << query.value(0).toString();
        QCOMPARE(keys,
            (QStringList { moment.addMSecs(1).toString("yyyy-MM-dd hh:mm:ss.zzz"),
                moment.addMSecs(2).toString("yyyy-MM-dd hh:mm:ss.zzz") }));
    }

    void failedInsertIsNoBooking()
    {
        Till t;
        TestWorkdir::setSetting("Etikettendrucker", "Etiketten");
        QVERIFY(t.enter());
        QVERIFY(t.scan(code(Shop::jacke)));
        QCOMPARE(t.label("labelBarcodeStatus"), QString("Barcode Ok 1"));
        TestWorkdir::exec("CREATE TRIGGER gesperrt BEFORE INSERT ON Verkauf "
                          "BEGIN SELECT RAISE(ABORT, 'Kasse gesperrt'); END");
        const int before = salesCount();
        t.select(Shop::vertragLaufend, 3);
        bool booked = true;
        t.page.sell(QDateTime(), -1, -1, &booked);
        QVERIFY(!booked);
        QCOMPARE(salesCount(), before);
        QCOMPARE(dialogLog().size(), 1);
        QVERIFY(dialogLog().first().startsWith("Warning|SQL-Fehler|Kasse gesperrt"));
        QCOMPARE(t.label("labelBarcodeStatus"), QString("Barcode Ok 1"));
        QCOMPARE(t.label("labelBezeichnung"), QString("Tischlampe Messing")); // not refreshed

        TestWorkdir::exec("DROP TRIGGER gesperrt");
        QVERIFY(t.confirm());
        QCOMPARE(salesCount(), before + 1);
        QCOMPARE(t.label("labelBarcodeStatus"), QString("Barcode Ok 2"));
    }

    // --- deleting a sale ----------------------------------------------------------------

    void deleteWithoutCurrentRowDoesNothing()
    {
        Till t;
        QVERIFY(t.enter());
        const QStringList listed = t.listed();
        click(button(t.page, "pushButtonLoeschen"));
        QCOMPARE(t.listed(), listed);
        QCOMPARE(salesCount(), t.shop.sales().size());
        QCOMPARE(dialogLog(), QStringList());
    }

    void deleteSale_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("sale"); // index in the fixture's sales
        QTest::addColumn<QString>("box"); // empty: deleted without a question
        QTest::newRow("unpaid") << "" << 6 << "";
        QTest::newRow("paid out") << "" << 4
                                  << "Critical|Fehler|Bereits ausgezahlt, löschen nicht möglich!";
        QTest::newRow("check fails") << "ALTER TABLE Verkauf RENAME COLUMN Auszahldatum TO Bezahlt"
                                     << 6 << "Warning|SQL-Fehler";
    }
    void deleteSale()
    {
        QFETCH(QString, setup);
        QFETCH(int, sale);
        QFETCH(QString, box);
        Till t;
        QVERIFY(t.enter());
        const QString key = t.shop.sales().at(sale).dateTime;
        QVERIFY(t.clickSale(key));
        if (!setup.isEmpty())
            TestWorkdir::exec(setup);
        click(button(t.page, "pushButtonLoeschen"));
        const int left
            = TestWorkdir::scalar("SELECT COUNT(*) FROM Verkauf WHERE DateTime = '" + key + "'")
                  .toInt();
        if (box.isEmpty()) {
            QCOMPARE(dialogLog(), QStringList());
            QCOMPARE(left, 0);
            QCOMPARE(t.list()->findItems(key, Qt::MatchExactly).size(), 0);
        } else {
            QCOMPARE(dialogLog().size(), 1);
            QVERIFY2(dialogLog().first().startsWith(box), qPrintable(dialogLog().first()));
            QCOMPARE(left, 1);
            QCOMPARE(t.list()->findItems(key, Qt::MatchExactly).size(), 1);
        }
        QCOMPARE(salesCount(), t.shop.sales().size() - (box.isEmpty() ? 1 : 0));
    }
};

QTEST_MAIN(TestBooking)
#include "tst_booking.moc"
