#include "payout/auszahlung.h"
#include "support/pagehelpers.h"
#include "support/printhelpers.h"
#include "support/shopfixture.h"
#include "support/testsupport.h"
#include "support/windowdriver.h"

#include <QMap>
#include <QSqlQuery>
#include <QtTest>

using namespace pages;

namespace {

// Beside the shop fixture, two more running contracts of Muster (1):
//   104  end prepared ("-1"), 30 days old, 90 days
//          1 Bilderrahmen  1 piece at 3.00, sold and paid out: nothing open
//   105  Vertragsende "", 5 days old, 60 days
//          1 Wanderschuhe  4 pieces at 5.00: 1 given back, 2 sold and paid, 1 sold unpaid
//          2 Rucksack      1 piece at 7.00, untouched
// and a customer 15 without telephone, so that 14 is a number without a customer.
void addContracts(const ShopFixture &shop)
{
    const QString paid = shop.stamp(3, QTime(17, 0));
    TestWorkdir::exec("INSERT INTO Kunde (ID, Name, Vorname, Telefon, PLZ, Ort, Strasse) "
                      "VALUES (15, 'Ohnefon', 'Otto', '', '20095', 'Hamburg', 'Weg 2')");
    TestWorkdir::exec(QString("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit, "
                              "Vertragsende) VALUES (104, 1, '%1', 5, 90, '-1'), "
                              "(105, 1, '%2', 5, 60, '')")
                          .arg(shop.stamp(30, QTime(10, 0)), shop.stamp(5, QTime(11, 0))));
    TestWorkdir::exec("INSERT INTO Artikel (ID, Vertrag, Bezeichnung, EinkaufsPreis, "
                      "VerkaufsPreis, EinkaufsMenge) VALUES (9, 104, 'Bilderrahmen', 3, 8, 1), "
                      "(10, 105, 'Wanderschuhe', 5, 12, 4), (11, 105, 'Rucksack', 7, 15, 1)");
    TestWorkdir::exec(
        QString("INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, VerkaufsMenge, "
                "Artikel, Auszahldatum) VALUES ('%1', 3, 8, 1, 9, '%4'), "
                "('%2', 5, 12, 2, 10, '%4'), ('%3', 5, 12, 1, 10, NULL)")
            .arg(shop.stamp(20, QTime(10, 0)), shop.stamp(4, QTime(10, 0)),
                shop.stamp(2, QTime(10, 30)), paid));
    TestWorkdir::exec(QString("INSERT INTO Zurueckgegeben (DateTime, Anzahl, Artikel) "
                              "VALUES ('%1', 1, 10)")
                          .arg(shop.stamp(3, QTime(9, 0))));
}

// The payout page on the shop fixture, entered as the menu enters it.
struct Payout
{
    Payout()
    {
        addContracts(shop);
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
    }
    TestWorkdir dir;
    ShopFixture shop;
    Auszahlung page;

    QLineEdit *knr() { return edit(page, "lineEditKNR"); }
    QLineEdit *vertrag() { return edit(page, "lineEditVertrag"); }
    QTableWidget *table() { return pages::table(page, "tableWidget"); }
    QString status() { return label(page, "label_status")->text(); }

    QStringList rows() { return tableRows(table()); }

    // A click on the check box of the contract's row, as the user ticks it.
    void tick(qint64 vertragNr, int column)
    {
        const auto found = table()->findItems(QString::number(vertragNr), Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        QVERIFY(clickCheckBox(table(), found.first()->row(), column));
    }
};

// Every sale's payout date by its key.
QMap<QString, QString> payoutDates()
{
    QMap<QString, QString> dates;
    QSqlQuery query("SELECT DateTime, Auszahldatum FROM Verkauf");
    while (query.next())
        dates.insert(query.value(0).toString(), query.value(1).toString());
    return dates;
}

QStringList changedKeys(const QMap<QString, QString> &before, const QMap<QString, QString> &after)
{
    QStringList keys;
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        if (after.value(it.key()) != it.value())
            keys << it.key();
    return keys;
}

QString vertragsende(int vertrag)
{
    QSqlQuery query(QString("SELECT Vertragsende FROM Vertrag WHERE ID = %1").arg(vertrag));
    return query.next() ? query.value(0).toString() : QString("?");
}

double einkaufsSumme(int vertrag)
{
    return TestWorkdir::scalar(
        QString("SELECT TOTAL(EinkaufsPreis) FROM Artikel WHERE Vertrag = %1").arg(vertrag))
        .toDouble();
}

// The stored key of a moment so many days back, as the shop fixture writes it.
QString stamp(int daysAgo, const QTime &time)
{
    return QDateTime(QDate::currentDate().addDays(-daysAgo), time)
        .toString("yyyy-MM-dd hh:mm:ss.zzz");
}

const QString kTimestamp = "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}$";

} // namespace

class TestPayout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanup() { qunsetenv("VELARIX_PRINTERS"); }

    // --- customer and contracts ---------------------------------------------------------

    void customerTable()
    {
        Payout p;
        QVERIFY(enter(p.page));
        QVERIFY(QApplication::focusWidget() == p.knr());
        QTest::keyClicks(p.knr(), "1");
        QCOMPARE(customerFieldTexts(p.page),
            QStringList(
                { "Muster", "Max", "0171 1234567", "12345", "Musterhausen", "Hauptstraße 1" }));
        // 101 has ended and 103 is a cash purchase of another customer; "" runs like NULL.
        QCOMPARE(p.rows(),
            QStringList({ "102|" + today(80) + "|4.50 €|4 Stk.|6.50 €|[ ]|[ ]|[ ]",
                "104|" + today(60) + "|3.00 €|0 Stk.|0.00 €||[x]|[ ]",
                "105|" + today(55) + "|10.00 €|1 Stk.|5.00 €|[ ]|[ ]|[ ]",
                "Gesamt:||17.50 €||11.50 €|||" }));

        // Digit by digit: 14 has no customer and shows no one, 15 is the next customer.
        QTest::keyClicks(p.knr(), "4");
        QCOMPARE(customerFieldTexts(p.page), QStringList({ "", "", "", "", "", "" }));
        QCOMPARE(p.rows(), QStringList({ "Gesamt:||0.00 €||0.00 €|||" }));
        QTest::keyClick(p.knr(), Qt::Key_Backspace);
        QTest::keyClicks(p.knr(), "5");
        QCOMPARE(edit(p.page, "lineEditNA")->text(), QString("Ohnefon"));

        // The cash purchase of Beispiel is never listed.
        type(p.knr(), "2");
        QCOMPARE(edit(p.page, "lineEditNA")->text(), QString("Beispiel"));
        QCOMPARE(p.rows(), QStringList({ "Gesamt:||0.00 €||0.00 €|||" }));

        type(p.knr(), "");
        QCOMPARE(customerFieldTexts(p.page), QStringList({ "", "", "", "", "", "" }));
        QCOMPARE(p.table()->rowCount(), 0);
        QCOMPARE(dialogLog(), QStringList());
    }

    // Numbers above the highest customer and contract at page entry cannot be typed.
    void numbersAboveTheHighestAreRefused()
    {
        Payout p;
        QVERIFY(enter(p.page));
        QTest::keyClicks(p.knr(), "16");
        QCOMPARE(p.knr()->text(), QString("1"));
        QTest::keyClicks(p.vertrag(), "1069");
        QCOMPARE(p.vertrag()->text(), QString("10"));
        TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde, Laufzeit) VALUES (106, 1, 90)");
        QVERIFY(enter(p.page));
        QTest::keyClicks(p.vertrag(), "106");
        QCOMPARE(p.vertrag()->text(), QString("106"));
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("ids");
        QTest::newRow("empty lists everyone") << "" << QList<int> { 1, 2, 15 };
        QTest::newRow("letter case") << "MUSTER max" << QList<int> { 1 };
        QTest::newRow("word order") << "max muster" << QList<int> {};
        QTest::newRow("two blanks") << "muster  max" << QList<int> {};
        QTest::newRow("no telephone, one blank") << "otto 20095" << QList<int> {};
        QTest::newRow("no telephone, two blanks") << "otto  20095" << QList<int> { 15 };
        QTest::newRow("street") << "weg" << QList<int> { 2, 15 };
    }
    void search()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, ids);
        Payout p;
        QVERIFY(enter(p.page));
        QLineEdit *field = edit(p.page, "lineEditSearch");
        type(field, "x");
        type(field, text);
        QCOMPARE(listedIds(p.page), ids);
        if (ids.isEmpty())
            return;
        // A click on the first hit loads that customer by his number.
        QListWidget *hits = list(p.page, "listWidget");
        QTest::mouseClick(
            hits->viewport(), Qt::LeftButton, {}, hits->visualItemRect(hits->item(0)).center());
        QCOMPARE(p.knr()->text(), QString::number(ids.first()));
        QVERIFY(!edit(p.page, "lineEditNA")->text().isEmpty());
    }

    void entryForgetsTheLastCustomer()
    {
        Payout p;
        QVERIFY(enter(p.page));
        type(edit(p.page, "lineEditSearch"), "muster");
        type(p.vertrag(), "102");
        QCOMPARE(p.table()->rowCount(), 4);
        QVERIFY(enter(p.page));
        for (const char *name : { "lineEditKNR", "lineEditVertrag", "lineEditSearch" })
            QCOMPARE(edit(p.page, name)->text(), QString());
        QCOMPARE(customerFieldTexts(p.page), QStringList({ "", "", "", "", "", "" }));
        QCOMPARE(list(p.page, "listWidget")->count(), 0);
        QCOMPARE(p.table()->rowCount(), 0);
        QCOMPARE(p.status(), QString());
        QVERIFY(QApplication::focusWidget() == p.knr());

        // Nothing of the last customer is left to pay out.
        click(button(p.page, "pushButtonPrint"));
        QCOMPARE(dialogLog(),
            QStringList(
                { "Warning|Information|Keine offenen Auszahlungen oder ausgewählte Verträge." }));
    }

    void contractNumber_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("name"); // of the customer shown
        QTest::addColumn<int>("rows");
        QTest::newRow("no such contract") << "100"
                                          << "Vertrag nicht vorhanden"
                                          << "" << 0;
        QTest::newRow("cash purchase") << "103"
                                       << "Vertrag ist ein Kaufvertrag"
                                       << "" << 0;
        QTest::newRow("ended") << "101"
                               << "Vertrag wurde beendet"
                               << "" << 0;
        QTest::newRow("running") << "102"
                                 << ""
                                 << "Muster" << 4;
        QTest::newRow("end prepared") << "104"
                                      << ""
                                      << "Muster" << 4;
        QTest::newRow("end empty text") << "105"
                                        << ""
                                        << "Muster" << 4;
    }
    void contractNumber()
    {
        QFETCH(QString, number);
        QFETCH(QString, status);
        QFETCH(QString, name);
        QFETCH(int, rows);
        Payout p;
        QVERIFY(enter(p.page));
        QTest::keyClicks(p.knr(), "2");
        QTest::keyClicks(p.vertrag(), number);
        QCOMPARE(p.status(), status);
        QCOMPARE(edit(p.page, "lineEditNA")->text(), name);
        QCOMPARE(p.table()->rowCount(), rows);
        QCOMPARE(p.knr()->text(), QString("2"));

        // Deleting the number only clears the status.
        type(p.vertrag(), "");
        QCOMPARE(p.status(), QString());
        QCOMPARE(p.table()->rowCount(), rows);
        QCOMPARE(dialogLog(), QStringList());
    }

    // --- paying out, preparing, ending --------------------------------------------------

    void payout_data()
    {
        QTest::addColumn<QStringList>("ticks"); // contract:column
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("documents"); // title, then what else it must show
        QTest::addColumn<QStringList>("stamped"); // sales that get the payout date
        QTest::addColumn<QString>("ende102");
        QTest::addColumn<double>("ek102");
        const QStringList open102
            = { stamp(1, QTime(11, 45, 10, 500)), stamp(1, QTime(15, 30, 0, 250)) };
        const QString open105 = stamp(2, QTime(10, 30));
        const QString nothing
            = "Warning|Information|Keine offenen Auszahlungen oder ausgewählte Verträge.";

        QTest::newRow("nothing ticked, 104 prepared already")
            << QStringList() << "" << QStringList { nothing } << QStringList() << QStringList()
            << "" << 16.5;
        QTest::newRow("pay out") << QStringList { "102:5" } << "" << QStringList()
                                 << QStringList { "Auszahlung - Kommissionsvertrag Nr: 102",
                                        "Offener Betrag: 6.50 €" }
                                 << open102 << "" << 16.5;
        QTest::newRow("prepare pays the open share")
            << QStringList { "102:6" } << "" << QStringList()
            << QStringList { "Vorbereiten - Kommissionsvertrag Nr: 102", "abgeholt wird" }
            << open102 << "-1" << 16.5;
        QTest::newRow("end wins") << QStringList { "102:5", "102:6", "102:7" } << ""
                                  << QStringList()
                                  << QStringList { "Beenden - Kommissionsvertrag Nr: 102",
                                         "Der Vertrag endet hiermit." }
                                  << open102 << "stamp" << 0.0;
        QTest::newRow("two contracts in table order")
            << QStringList { "105:7", "102:5" } << "" << QStringList()
            << QStringList { "Auszahlung - Kommissionsvertrag Nr: 102",
                   "Beenden - Kommissionsvertrag Nr: 105" }
            << (open102 + QStringList { open105 }) << "" << 16.5;
        QTest::newRow("no document printer")
            << QStringList { "102:5" } << "no printer"
            << QStringList { "Critical|Fehler|Bitte einen Vertragsdrucker auswählen!" }
            << QStringList() << QStringList() << "" << 16.5;
        QTest::newRow("printer not installed")
            << QStringList { "102:7" } << "unknown printer"
            << QStringList { "Critical|Fehler|Der Drucker Buero ist nicht verfügbar!" }
            << QStringList() << QStringList() << "" << 16.5;
        QTest::newRow("failing update")
            << QStringList { "102:7" } << "trigger"
            << QStringList { "Warning|SQL-Fehler|gesperrt Unable to fetch row" } << QStringList()
            << QStringList() << "" << 16.5;
    }
    void payout()
    {
        QFETCH(QStringList, ticks);
        QFETCH(QString, fault);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, documents);
        QFETCH(QStringList, stamped);
        QFETCH(QString, ende102);
        QFETCH(double, ek102);
        Payout p;
        if (fault == "no printer")
            TestWorkdir::setSetting("Vertragsdrucker", "");
        if (fault == "unknown printer")
            qputenv("VELARIX_PRINTERS", "Etiketten");
        if (fault == "trigger")
            TestWorkdir::exec("CREATE TRIGGER sperre BEFORE UPDATE ON Vertrag "
                              "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
        QVERIFY(enter(p.page));
        QTest::keyClicks(p.knr(), "1");
        for (const QString &t : ticks)
            p.tick(t.section(':', 0, 0).toLongLong(), t.section(':', 1).toInt());
        const QMap<QString, QString> before = payoutDates();

        click(button(p.page, "pushButtonPrint"));

        QCOMPARE(dialogLog(), boxes);
        const QMap<QString, QString> after = payoutDates();
        QStringList changed = changedKeys(before, after);
        changed.sort();
        stamped.sort();
        QCOMPARE(changed, stamped);
        for (const QString &key : stamped)
            QVERIFY(QRegularExpression(kTimestamp).match(after.value(key)).hasMatch());
        if (ende102 == "stamp")
            QVERIFY(QRegularExpression(kTimestamp).match(vertragsende(102)).hasMatch());
        else
            QCOMPARE(vertragsende(102), ende102);
        QCOMPARE(einkaufsSumme(102), ek102);

        const QStringList printed = printedTexts(p.dir);
        QStringList titles;
        for (const QString &text : printed) {
            const auto m = QRegularExpression("(\\w+ - Kommissionsvertrag Nr: \\d+)").match(text);
            titles << m.captured(1);
        }
        QStringList expectedTitles;
        for (const QString &d : documents)
            if (d.contains("Kommissionsvertrag Nr:"))
                expectedTitles << d;
        QCOMPARE(titles, expectedTitles);
        for (const QString &d : documents)
            if (!d.contains("Kommissionsvertrag Nr:"))
                VERIFY_CONTAINS(printed.first(), d);

        // Done: the page starts again; not done: the ticks stay for another try.
        QCOMPARE(p.table()->rowCount(), printed.isEmpty() ? 4 : 0);
        QCOMPARE(p.knr()->text(), printed.isEmpty() ? QString("1") : QString());
    }

    // A customer's second payout stamps only the sales since the first.
    void secondPayoutStampsOnlyNewSales()
    {
        Payout p;
        QVERIFY(enter(p.page));
        QTest::keyClicks(p.knr(), "1");
        p.tick(102, 5);
        click(button(p.page, "pushButtonPrint"));
        const QMap<QString, QString> first = payoutDates();
        const QString newSale = p.shop.stamp(0, QTime(0, 0, 1));
        TestWorkdir::exec(QString("INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, "
                                  "VerkaufsMenge, Artikel) VALUES ('%1', 4.5, 9.9, 1, 2)")
                              .arg(newSale));
        QTest::keyClicks(p.knr(), "1");
        QCOMPARE(p.rows().first(), "102|" + today(80) + "|11.00 €|3 Stk.|4.50 €|[ ]|[ ]|[ ]");
        p.tick(102, 5);
        click(button(p.page, "pushButtonPrint"));
        QCOMPARE(changedKeys(first, payoutDates()), QStringList());
        QVERIFY(!payoutDates().value(newSale).isEmpty());
        QCOMPARE(printedTexts(p.dir).size(), 2);
        QCOMPARE(dialogLog(), QStringList());
    }

    // --- detail dialog ------------------------------------------------------------------

    void detailDialog()
    {
        Payout p;
        TestWorkdir::exec("UPDATE Vertrag SET Vertragsende = '2020-01-01 10:00:00.000' "
                          "WHERE ID = 104");
        QVERIFY(enter(p.page));
        QStringList shown;
        QString kunde;
        QStringList boldRows;
        Dialogs::setExecHook([&](QDialog &dialog) {
            auto *table = dialog.findChild<QTableWidget *>("tableWidget");
            kunde = dialog.findChild<QLabel *>("label_name")->text();
            for (int r = 0; r < table->rowCount(); ++r) {
                QStringList cells;
                bool bold = false;
                for (int c = 0; c < table->columnCount(); ++c) {
                    const QTableWidgetItem *item = table->item(r, c);
                    cells << (item ? item->text() : QString());
                    bold = bold || (item && item->font().bold());
                }
                shown << cells.join('|');
                if (bold)
                    boldRows << QString::number(r);
            }
            return int(QDialog::Accepted);
        });

        click(button(p.page, "pushButtonDetail"));
        QCOMPARE(shown, QStringList());
        QCOMPARE(kunde, QString());

        QTest::keyClicks(p.knr(), "1");
        click(button(p.page, "pushButtonDetail"));
        QCOMPARE(shown,
            QStringList({
                "102|1|Damenjacke Wolle|4.50 €|9.90 €|5|2|2|4.50 €|4.50 €",
                "|2|Kinderstiefel 28|2.00 €|5.00 €|1|1|0|0.00 €|2.00 €",
                "|3|Tischlampe Messing|10.00 €|25.00 €|2|0|2|0.00 €|0.00 €",
                "||Summe:|||8|3|4|4.50 €|6.50 €",
                "105|1|Wanderschuhe|5.00 €|12.00 €|4|3|0|10.00 €|5.00 €",
                "|2|Rucksack|7.00 €|15.00 €|1|0|1|0.00 €|0.00 €",
                "||Summe:|||5|3|1|10.00 €|5.00 €",
            }));
        QCOMPARE(boldRows, QStringList({ "3", "6" }));
        QCOMPARE(kunde, QString("Kunde: Muster, Max"));
        QCOMPARE(dialogLog(),
            QStringList(
                { "Dialog|MainWindow|DetailAuszahlung", "Dialog|MainWindow|DetailAuszahlung" }));
    }

    void freshDatabaseShowsNoBox()
    {
        Shell s;
        QVERIFY(s.start());
        s.key("4");
        QVERIFY(s.expectPage("swSellout"));
        // No customer yet: no number can be typed.
        QTest::keyClicks(s.field("swSellout", "lineEditKNR"), "1");
        QCOMPARE(s.field<QLineEdit>("swSellout", "lineEditKNR")->text(), QString());
        QCOMPARE(dialogLog(), QStringList());
    }
};

QTEST_MAIN(TestPayout)
#include "tst_payout.moc"
