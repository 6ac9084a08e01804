#include "payout/abgelaufene.h"
#include "support/formcheck.h"
#include "support/pagehelpers.h"
#include "support/printhelpers.h"
#include "support/shopfixture.h"
#include "support/testsupport.h"
#include "support/windowdriver.h"

#include "app/menulabel.h"

#include <QFrame>
#include <QHeaderView>
#include <QLayout>
#include <QMap>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QtTest>

using namespace pages;

namespace {

QString stamp(int daysAgo, const QTime &time)
{
    return QDateTime(QDate::currentDate().addDays(-daysAgo), time)
        .toString("yyyy-MM-dd hh:mm:ss.zzz");
}

// Beside the shop fixture (102 runs for 80 more days, 101 has ended, 103 is a cash purchase),
// three expired contracts that still run:
//   104  Muster (1), Vertragsende NULL, 100 days old, 90 days
//          1 Wanderschuhe 4 pieces at 5.00: 1 given back, 2 sold and paid, 1 sold unpaid
//          2 Rucksack     1 piece at 2.50, sold unpaid
//          3 Regenschirm  1 piece at 1.00, sold with the payout date "-1"
//   105  Beispiel (2), Vertragsende "", 200 days old, 60 days, no articles
//   106  customer 99, who is not stored, Vertragsende "-1", 95 days old, 90 days
//          1 Bilderrahmen 1 piece at 3.00, untouched
struct Expired
{
    static constexpr int kEnde104 = 10, kEnde105 = 140, kEnde106 = 5; // days ago

    Expired()
    {
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        TestWorkdir::exec(
            QString("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, "
                    "Laufzeit, Vertragsende) VALUES (104, 1, '%1', 5, 90, NULL), "
                    "(105, 2, '%2', 5, 60, ''), (106, 99, '%3', 5, 90, '-1')")
                .arg(stamp(100, QTime(10, 0)), stamp(200, QTime(11, 0)), stamp(95, QTime(12, 0))));
        TestWorkdir::exec(
            "INSERT INTO Artikel (ID, Vertrag, Bezeichnung, EinkaufsPreis, "
            "VerkaufsPreis, EinkaufsMenge) VALUES (20, 104, 'Wanderschuhe', 5, 12, "
            "4), (21, 104, 'Rucksack', 2.5, 6, 1), (22, 104, 'Regenschirm', 1, 3, 1), "
            "(23, 106, 'Bilderrahmen', 3, 8, 1)");
        TestWorkdir::exec(
            QString("INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, "
                    "VerkaufsMenge, Artikel, Auszahldatum) VALUES "
                    "('%1', 5, 12, 2, 20, '%5'), ('%2', 5, 12, 1, 20, NULL), "
                    "('%3', 2.5, 6, 1, 21, NULL), ('%4', 1, 3, 1, 22, '-1')")
                .arg(paidSale, openSales.at(0), openSales.at(1), openSales.at(2), paidOn));
        TestWorkdir::exec(QString("INSERT INTO Zurueckgegeben (DateTime, Anzahl, Artikel) "
                                  "VALUES ('%1', 1, 20)")
                              .arg(stamp(11, QTime(9, 0))));
    }

    TestWorkdir dir;
    ShopFixture shop;
    Abgelaufene page;
    const QString paidSale = stamp(40, QTime(10, 0));
    const QString paidOn = stamp(30, QTime(16, 0));
    // The unpaid sales of 104: NULL, NULL and "-1".
    const QStringList openSales
        = { stamp(20, QTime(10, 0)), stamp(15, QTime(10, 0)), stamp(12, QTime(10, 0)) };

    QTableWidget *table() { return pages::table(page, "tableWidget"); }

    QStringList rows() { return tableRows(table()); }

    // A click on the check box of the contract's row.
    void tick(qint64 vertragNr)
    {
        const auto found = table()->findItems(QString::number(vertragNr), Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        QVERIFY(clickCheckBox(table(), found.first()->row(), 6));
    }
};

QString ende(int daysAgo, const QTime &time)
{
    return QDate::currentDate().addDays(-daysAgo).toString("dd.MM.yyyy ") + time.toString();
}

const QString row104 = "104|Muster, Max|1|0171 1234567|" + ende(10, QTime(10, 0)) + "|7.50 €|[ ]";
const QString row105
    = "105|Beispiel, Erika|2|030 987654|" + ende(140, QTime(11, 0)) + "|0.00 €|[ ]";
const QString row106 = "106|, |99||" + ende(5, QTime(12, 0)) + "|0.00 €|[ ]";

// The whole shop as text, to tell that nothing was written.
QString snapshot()
{
    QStringList lines;
    for (const char *statement : { "SELECT ID, Vertragsende FROM Vertrag ORDER BY ID",
             "SELECT ID, EinkaufsPreis FROM Artikel ORDER BY ID",
             "SELECT DateTime, EinkaufsPreis, Auszahldatum FROM Verkauf ORDER BY DateTime" }) {
        QSqlQuery query(statement);
        while (query.next())
            lines << QStringList { query.value(0).toString(), query.value(1).toString(),
                query.value(2).toString() }
                         .join('|');
    }
    return lines.join('\n');
}

QString vertragsende(int vertrag)
{
    return TestWorkdir::scalar(
        QString("SELECT Vertragsende FROM Vertrag WHERE ID = %1").arg(vertrag))
        .toString();
}

const QRegularExpression kTimestamp("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}$");

QStringList titles(const QStringList &printed)
{
    QStringList found;
    for (const QString &text : printed)
        found << QRegularExpression("Beenden - Kommissionsvertrag Nr: \\d+").match(text).captured();
    return found;
}

} // namespace

class TestExpired : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanup() { qunsetenv("VELARIX_PRINTERS"); }

    // --- the list -----------------------------------------------------------------------

    void listing()
    {
        Expired e;
        QVERIFY(enter(e.page));
        // 102 has not expired, 101 has ended, 103 is a cash purchase.
        QCOMPARE(e.rows(), QStringList({ row104, row105, row106 }));

        // Read-only: a double click opens no editor.
        QTableWidget *t = e.table();
        QTest::mouseDClick(
            t->viewport(), Qt::LeftButton, {}, t->visualItemRect(t->item(0, 1)).center());
        QVERIFY(!t->findChild<QLineEdit *>());
        QCOMPARE(t->item(0, 1)->text(), QString("Muster, Max"));
        QCOMPARE(dialogLog(), QStringList());
    }

    void printList()
    {
        Expired e;
        QVERIFY(enter(e.page));
        click(button(e.page, "pushButtonPrint"));
        QStringList printed = printedTexts(e.dir);
        QCOMPARE(printed.size(), 1);
        const QString &list = printed.first();
        for (const QString &piece :
            { QString("104 Muster, Max 1 0171 1234567 ")
                    + QDate::currentDate().addDays(-10).toString("dd.MM.yyyy") + " 10:00:00 7.50 €",
                QString("105 Beispiel, Erika 2 030 987654"), QString("106 , 99") })
            VERIFY_CONTAINS(list, piece);
        VERIFY_LACKS(list, "102 Muster");

        // Nothing expired: an empty list is printed all the same.
        TestWorkdir::exec("UPDATE Vertrag SET Vertragsende = '2020-01-01 10:00:00.000'");
        QVERIFY(enter(e.page));
        QCOMPARE(e.table()->rowCount(), 0);
        click(button(e.page, "pushButtonPrint"));
        printed = printedTexts(e.dir);
        QCOMPARE(printed.size(), 2);
        VERIFY_CONTAINS(printed.last(), "Abgelaufene Verträge");
        VERIFY_LACKS(printed.last(), "Muster, Max");
        QCOMPARE(dialogLog(), QStringList());
    }

    // --- ending by the shop -------------------------------------------------------------

    void endingForfeitsTheOpenShare()
    {
        Expired e;
        QVERIFY(enter(e.page));
        e.tick(104);
        click(button(e.page, "pushButton_beenden"));
        QCOMPARE(dialogLog(), QStringList());

        QVERIFY(kTimestamp.match(vertragsende(104)).hasMatch());
        QCOMPARE(TestWorkdir::scalar("SELECT TOTAL(EinkaufsPreis) FROM Artikel WHERE Vertrag = 104")
                     .toDouble(),
            0.0);
        // The unpaid sales (NULL and "-1") are paid out now with a share of 0.
        for (const QString &key : e.openSales) {
            QSqlQuery sale(QString("SELECT EinkaufsPreis, Auszahldatum FROM Verkauf "
                                   "WHERE DateTime = '%1'")
                               .arg(key));
            QVERIFY(sale.next());
            QCOMPARE(sale.value(0).toDouble(), 0.0);
            QVERIFY2(kTimestamp.match(sale.value(1).toString()).hasMatch(),
                qPrintable(sale.value(1).toString()));
        }
        QSqlQuery paid(
            QString("SELECT EinkaufsPreis, Auszahldatum FROM Verkauf WHERE DateTime = '%1'")
                .arg(e.paidSale));
        QVERIFY(paid.next());
        QCOMPARE(paid.value(0).toDouble(), 5.0);
        QCOMPARE(paid.value(1).toString(), e.paidOn);
        // Other contracts keep theirs.
        QCOMPARE(
            TestWorkdir::scalar("SELECT EinkaufsPreis FROM Artikel WHERE ID = 23").toDouble(), 3.0);
        QCOMPARE(vertragsende(106), QString("-1"));

        // One end document, with the purchase prices as they were.
        const QStringList printed = printedTexts(e.dir);
        QCOMPARE(titles(printed), QStringList({ "Beenden - Kommissionsvertrag Nr: 104" }));
        for (const char *piece :
            { "Muster, Max hat seinen Vertrag nicht abgeholt", "1 Wanderschuhe 5.00 €",
                "2 Rucksack 2.50 €", "3 Regenschirm 1.00 €", "Offener Betrag: 7.50 €" })
            VERIFY_CONTAINS(printed.first(), QString::fromUtf8(piece));

        // Gone from the list, the other ticks too.
        QCOMPARE(e.rows(), QStringList({ row105, row106 }));
    }

    void ending_data()
    {
        QTest::addColumn<QList<int>>("ticks");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QList<int>>("ended"); // in printing order
        QTest::addColumn<QStringList>("listed"); // afterwards
        QTest::newRow("nothing ticked") << QList<int> {} << "" << QStringList() << QList<int> {}
                                        << QStringList { row104, row105, row106 };
        QTest::newRow("several, in table order")
            << QList<int> { 106, 104, 105 } << "" << QStringList() << QList<int> { 104, 105, 106 }
            << QStringList();
        QTest::newRow("no document printer")
            << QList<int> { 104 } << "no printer"
            << QStringList { "Critical|Fehler|Bitte einen Vertragsdrucker auswählen!" }
            << QList<int> {} << QStringList { row104 + "x", row105, row106 };
        QTest::newRow("printer not installed")
            << QList<int> { 105 } << "unknown printer"
            << QStringList { "Critical|Fehler|Der Drucker Buero ist nicht verfügbar!" }
            << QList<int> {} << QStringList { row104, row105 + "x", row106 };
        QTest::newRow("failing update, the others go on")
            << QList<int> { 104, 106 } << "trigger"
            << QStringList { "Warning|SQL-Fehler|gesperrt Unable to fetch row" }
            << QList<int> { 106 } << QStringList { row104, row105 };
    }
    void ending()
    {
        QFETCH(QList<int>, ticks);
        QFETCH(QString, fault);
        QFETCH(QStringList, boxes);
        QFETCH(QList<int>, ended);
        QFETCH(QStringList, listed);
        Expired e;
        if (fault == "no printer")
            TestWorkdir::setSetting("Vertragsdrucker", "");
        if (fault == "unknown printer")
            qputenv("VELARIX_PRINTERS", "Etiketten");
        // The forfeit of 104's unpaid sales fails after its prices were set to 0.
        if (fault == "trigger")
            TestWorkdir::exec("CREATE TRIGGER sperre BEFORE UPDATE ON Verkauf "
                              "WHEN OLD.Artikel = 21 BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
        QVERIFY(enter(e.page));
        for (int vertrag : ticks)
            e.tick(vertrag);
        const QString before = snapshot();

        click(button(e.page, "pushButton_beenden"));

        QCOMPARE(dialogLog(), boxes);
        QStringList expectedTitles;
        for (int vertrag : { 104, 105, 106 }) {
            const bool isEnded = ended.contains(vertrag);
            QCOMPARE(kTimestamp.match(vertragsende(vertrag)).hasMatch(), isEnded);
        }
        for (int vertrag : ended)
            expectedTitles << QString("Beenden - Kommissionsvertrag Nr: %1").arg(vertrag);
        QCOMPARE(titles(printedTexts(e.dir)), expectedTitles);
        if (ended.isEmpty())
            QCOMPARE(snapshot(), before);
        if (fault == "trigger")
            QCOMPARE(TestWorkdir::scalar("SELECT TOTAL(EinkaufsPreis) FROM Artikel "
                                         "WHERE Vertrag = 104")
                         .toDouble(),
                8.5);
        // A box leaves the ticks for another try; otherwise the page is read again.
        QStringList expected = listed;
        expected.replaceInStrings("[ ]x", "[x]");
        QCOMPARE(e.rows(), expected);
    }

    // --- the form -----------------------------------------------------------------------

    void form_data()
    {
        addFormRows({
            { "label_15", "QLabel", "gridLayout", 0, 0, 1, 1, "Abgelaufene Verträge", 18 },
            { "label_16", "MenuLabel", "gridLayout", 0, 3, 1, 1, "mit ESC zum Hauptmenü", 14, 0,
                Qt::AlignRight | Qt::AlignVCenter },
            { "frame", "QFrame", "gridLayout", 3, 0, 1, 4 },
            { "pushButtonPrint", "QPushButton", "gridLayout_2", 0, 0, 1, 1, "Liste drucken", 12 },
            { "pushButton_beenden", "QPushButton", "gridLayout_2", 0, 1, 1, 1,
                "Vertrag selbst beenden", 12 },
            // 16 pt: a usual name and telephone number fit beside the figures at 1280 pixels.
            { "tableWidget", "QTableWidget", "gridLayout", 4, 0, 1, 4, nullptr, 16 },
        });
    }
    void form()
    {
        QFETCH(FormCell, cell);
        TestWorkdir dir;
        Abgelaufene page;
        QCOMPARE(formMismatches(page, { cell }), QString());
        if (auto *b = page.findChild<QPushButton *>(cell.name))
            QVERIFY(b->autoDefault());
    }

    void formSettings()
    {
        TestWorkdir dir;
        Abgelaufene page;
        QCOMPARE(page.objectName(), QString("Abgelaufene"));
        QCOMPARE(page.windowTitle(), QString("Form"));
        QCOMPARE(page.size(), QSize(641, 375));
        QCOMPARE(child<QLabel>(page, "label_15")->frameShape(), QFrame::NoFrame);
        auto *frame = child<QFrame>(page, "frame");
        QCOMPARE(frame->frameShape(), QFrame::StyledPanel);
        QCOMPARE(frame->frameShadow(), QFrame::Raised);
        QCOMPARE(frame->layout()->contentsMargins(), QMargins());
        QCOMPARE(formSpacers(page),
            QStringList({ "gridLayout 1,0 1x1 20x15 Minimum/Fixed",
                "gridLayout_2 0,2 1x1 40x20 Expanding/Minimum" }));
        QTableWidget *t = table(page, "tableWidget");
        QCOMPARE(pages::headerTexts(t),
            QStringList({ "Vertragsnummer", "Name", "Kunde", "Telefonnummer", "Abgelaufen seit",
                "Offener Betrag", "Vertrag selbst beenden" }));
        QCOMPARE(Qt::Alignment(t->horizontalHeaderItem(5)->textAlignment()),
            Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(t->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(!t->tabKeyNavigation()); // Tab leaves the table; the arrows move inside

        QCOMPARE(ownMethods(Abgelaufene::staticMetaObject),
            QStringList({ "openMenu()", "openMenuSlot()", "print()", "selbstBeenden()" }));
        QSignalSpy spy(&page, &Abgelaufene::openMenu);
        QTest::mousePress(child<MenuLabel>(page, "label_16"), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
    }

    void freshDatabaseAsksOnlyThePassword()
    {
        Shell s;
        QVERIFY(s.start());
        Dialogs::setNextAnswer(QString(""));
        s.key("8");
        QVERIFY(s.expectPage("swAbgelaufene"));
        QCOMPARE(s.field<QTableWidget>("swAbgelaufene", "tableWidget")->rowCount(), 0);
        QCOMPARE(dialogLog(),
            QStringList({ "Text|Passwort|Bitte geben Sie das Passwort ein, um fortzufahren:" }));
    }
};

QTEST_MAIN(TestExpired)
#include "tst_expired.moc"
