#include "support/pagehelpers.h"
#include "support/printhelpers.h"
#include "support/shopfixture.h"
#include "support/testsupport.h"
#include "support/windowdriver.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLocale>
#include <QtTest>

#include <algorithm>

using namespace pages;

namespace {

// Two commission contracts of Max Muster past their term and not ended, beside the shop of
// ShopFixture: the expired contracts page lists them.
void addExpiredContracts(const ShopFixture &shop)
{
    for (int id : { 104, 105 }) {
        TestWorkdir::exec(QStringLiteral("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, "
                                         "Laufzeit) VALUES (%1, 1, '%2', 5, 30)")
                              .arg(id)
                              .arg(shop.stamp(40 + id - 104, QTime(9, 0))));
        TestWorkdir::exec(
            QStringLiteral("INSERT INTO Artikel (Vertrag, Bezeichnung, EinkaufsPreis, "
                           "VerkaufsPreis, EinkaufsMenge) "
                           "VALUES (%1, 'Vase', 2, 5, 1)")
                .arg(id));
    }
}

// The program with the shop's data, both printers set, so that every table has rows and the
// sale pages show the code field.
struct KeyboardShop : Shell
{
    ShopFixture shop;
    KeyboardShop()
    {
        addExpiredContracts(shop);
        TestWorkdir::setPrinters();
    }
};

QString nameOf(const QWidget *w)
{
    return w ? w->objectName() : QStringLiteral("(none)");
}

QWidget *focused()
{
    return QApplication::focusWidget();
}

// One Tab (forward) or Shift+Tab on the focused widget. A table must keep its current cell:
// Tab is not for moving inside it.
void tabOnce(bool forward, QStringList *faults)
{
    QWidget *from = focused();
    auto *view = qobject_cast<QAbstractItemView *>(from);
    const QModelIndex cell = view ? view->currentIndex() : QModelIndex();
    if (forward)
        QTest::keyClick(from, Qt::Key_Tab);
    else
        QTest::keyClick(from, Qt::Key_Backtab, Qt::ShiftModifier);
    if (view && view->currentIndex() != cell)
        *faults << nameOf(view) + QLatin1String(" moved its current cell on Tab");
}

// The arrows move inside a table with rows to move to, and keep the focus there.
void arrowDownInside(QAbstractItemView *view, QStringList *faults)
{
    if (view->model()->rowCount() < 2)
        return;
    const int before = view->currentIndex().row();
    QTest::keyClick(view, Qt::Key_Down);
    const int after = view->currentIndex().row();
    if (focused() != view || after == before || (before >= 0 && after != before + 1))
        *faults << QStringLiteral("%1: Down went from row %2 to row %3, the focus to %4")
                       .arg(nameOf(view))
                       .arg(before)
                       .arg(after)
                       .arg(nameOf(focused()));
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // as start-up sets it
    }

    // Tab walks each page along its tab order and leaves every table and list on the way;
    // Shift+Tab walks back. The arrows move inside a table. Not here: the intake and services
    // pages, whose description fields keep a typed Tab as text (the intake page's walk is in
    // its form test).
    void tabWalksThePage_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("gated");
        QTest::addColumn<QStringList>("typed"); // "field=text", typed before the walk
        QTest::addColumn<QStringList>("chain");
        const QStringList sale = { "lineEditBarcode", "spinBoxVertrag", "spinBoxArtikel",
            "spinBoxAnzahl", "pushButton", "tableWidgetVerkauf", "pushButtonLoeschen" };
        QTest::newRow("sale") << int(Qt::Key_3) << "swSell" << false << QStringList() << sale;
        QTest::newRow("write-off")
            << int(Qt::Key_A) << "swAustragen" << false << QStringList() << sale;
        QTest::newRow("payout") << int(Qt::Key_4) << "swSellout" << false
                                << QStringList({ "lineEditSearch=e", "lineEditKNR=1" })
                                << QStringList({ "lineEditVertrag", "lineEditSearch", "lineEditKNR",
                                       "listWidget", "lineEditNA", "lineEditVNA", "lineEditTEL",
                                       "lineEditPLZ", "lineEditORT", "lineEditSTR", "tableWidget",
                                       "pushButtonPrint", "pushButtonDetail" });
        QTest::newRow("expired contracts")
            << int(Qt::Key_8) << "swAbgelaufene" << true << QStringList()
            << QStringList({ "pushButtonPrint", "pushButton_beenden", "tableWidget" });
        QTest::newRow("cash purchases") << int(Qt::Key_7) << "swAnkauf" << true << QStringList()
                                        << QStringList({ "tableWidget" });
        QTest::newRow("statistics")
            << int(Qt::Key_9) << "swInventur" << true << QStringList()
            << QStringList({ "dateTimeEditAnfang", "dateTimeEditEnde", "pushButtonHeute",
                   "pushButtonGestern", "pushButtonVorgestern", "pushButtonCalculate",
                   "pushButtonPrintStat", "tableWidget", "tableWidget_2" });
        QTest::newRow("settings") << int(Qt::Key_0) << "swSettings" << true << QStringList()
                                  << QStringList({ "spinBoxVerkauf", "spinBox_laufz",
                                         "spinBox_standg", "spinBox_max_standg", "comboBoxVertrag",
                                         "comboBoxEtikett", "lineEdit", "tableWidget",
                                         "lineEdit_Mo", "lineEdit_Di", "lineEdit_Mi", "lineEdit_Do",
                                         "lineEdit_Fr", "lineEdit_Sa", "lineEdit_beschr",
                                         "lineEdit_mpw", "lineEdit_pw", "lineEdit_stadt",
                                         "pushButton_save" });
        QTest::newRow("customers")
            << int(Qt::Key_5) << "swKunden" << false << QStringList({ "spinBox_KundeNr=1" })
            << QStringList({ "spinBox_KundeNr", "lineEdit_Name", "lineEdit_Vorname",
                   "lineEdit_Telefon", "lineEdit_PLZ", "lineEdit_Ort", "lineEdit_Str", "pushButton",
                   "pushButton_remove" });
        QTest::newRow("backup") << int(Qt::Key_6) << "swBackup" << false << QStringList()
                                << QStringList(
                                       { "pushButtonSichern", "pushButtonWiederherstellen" });
    }
    void tabWalksThePage()
    {
        QFETCH(int, key);
        QFETCH(QString, page);
        QFETCH(bool, gated);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, chain);
        KeyboardShop s;
        QVERIFY(s.start());
        if (gated)
            Dialogs::setNextAnswer(QString()); // the default password is empty
        QVERIFY(s.enter(Qt::Key(key), qPrintable(page)));
        QWidget *onPage = s.page(qPrintable(page));
        for (const QString &t : typed)
            type(s.field(qPrintable(page), qPrintable(t.section('=', 0, 0))), t.section('=', 1));

        // The chain as the page shows it now: what is hidden or disabled is passed over.
        QStringList expected;
        for (const QString &name : chain) {
            QWidget *w = s.field(qPrintable(page), qPrintable(name));
            QVERIFY(w);
            if (w->isVisible() && w->isEnabled())
                expected << name;
            if (auto *view = qobject_cast<QAbstractItemView *>(w))
                QVERIFY2(view->model()->rowCount() > 0, qPrintable(name + " has no rows"));
        }
        QVERIFY(!expected.isEmpty());
        QWidget *first = s.field(qPrintable(page), qPrintable(expected.first()));
        first->setFocus(Qt::TabFocusReason);
        QCOMPARE(focused(), first);

        // Round and back: every widget once, then the first again. A date-time edit takes a
        // Tab per section before the focus moves on.
        const int limit = 2 * onPage->findChildren<QWidget *>().size();
        const bool firstIsView = qobject_cast<QAbstractItemView *>(first);
        QStringList faults;
        for (const bool forward : { true, false }) {
            QStringList reached;
            QWidget *at = first;
            bool arrived = true, left = false;
            for (int i = 0; i < limit; ++i) {
                auto *view = qobject_cast<QAbstractItemView *>(at);
                if (view && forward && arrived)
                    arrowDownInside(view, &faults);
                tabOnce(forward, &faults);
                QWidget *now = focused();
                arrived = now != at;
                if ((arrived || (now == first && firstIsView)) && chain.contains(nameOf(now)))
                    reached << nameOf(now);
                at = now;
                left = left || now != first;
                if ((now == first && (left || firstIsView)) || !onPage->isAncestorOf(now))
                    break;
            }
            QStringList round = expected.mid(1);
            if (!forward)
                std::reverse(round.begin(), round.end());
            round << expected.first();
            QVERIFY2(reached == round,
                qPrintable(QLatin1String("reached ") + reached.join(QLatin1Char(' '))
                    + QLatin1String(", expected ") + round.join(QLatin1Char(' '))));
        }
        QCOMPARE(faults.join(QLatin1String("; ")), QString());
    }

    // The clerk's payout without the mouse: the customer number, Tab into the contract table,
    // the arrows to "Auszahlen" of the running contract, Space ticks it, Tab reaches "Drucken"
    // and Return pays out.
    void payoutByKeyboard()
    {
        KeyboardShop s;
        QVERIFY(s.start());
        QVERIFY(s.enter(Qt::Key_4, "swSellout"));
        QCOMPARE(nameOf(focused()), QString("lineEditKNR"));
        QTest::keyClicks(focused(), "1");
        auto *table = s.field<QTableWidget>("swSellout", "tableWidget");
        for (int i = 0; i < 10 && focused() != table; ++i)
            QTest::keyClick(focused(), Qt::Key_Tab);
        QCOMPARE(focused(), static_cast<QWidget *>(table));

        const int row = table->findItems("102", Qt::MatchExactly).value(0)->row();
        const int column = headerTexts(table).indexOf("Auszahlen");
        QVERIFY(row >= 0 && column > 0);
        QCOMPARE(table->currentRow(), 0);
        while (table->currentRow() < row)
            QTest::keyClick(table, Qt::Key_Down);
        while (table->currentColumn() < column)
            QTest::keyClick(table, Qt::Key_Right);
        QCOMPARE(table->currentRow(), row);
        QTest::keyClick(table, Qt::Key_Space);
        QCOMPARE(table->item(row, column)->checkState(), Qt::Checked);

        QTest::keyClick(table, Qt::Key_Tab);
        QCOMPARE(nameOf(focused()), QString("pushButtonPrint"));
        QTest::keyClick(focused(), Qt::Key_Return);
        QCOMPARE(dialogLog(), QStringList());
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Verkauf AS V JOIN Artikel AS A "
                                     "ON V.Artikel = A.ID WHERE A.Vertrag = 102 "
                                     "AND V.Auszahldatum IS NULL")
                     .toInt(),
            0);
        const QStringList printed = printedTexts(s.dir);
        QCOMPARE(printed.size(), 1);
        QVERIFY(printed.first().contains("Auszahlung - Kommissionsvertrag Nr: 102"));
    }

    // A rule cell is edited from the keyboard: typing or F2 opens it, Return commits it. Tab
    // in an open cell commits it as well and goes on to the rule's next cell; with no cell
    // open, Tab leaves the table.
    void ruleCellsByKeyboard()
    {
        KeyboardShop s;
        QVERIFY(s.start());
        Dialogs::setNextAnswer(QString()); // the default master password is empty
        QVERIFY(s.enter(Qt::Key_0, "swSettings"));
        auto *table = s.field<QTableWidget>("swSettings", "tableWidget");
        const auto range = [table](int r) { return table->item(r, 4)->text(); };
        const auto typeKeys = [](const char *keys) {
            for (const char *k = keys; *k; ++k)
                QTest::keyClick(focused(), *k);
        };
        s.field("swSettings", "lineEdit")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(focused(), Qt::Key_Tab);
        QCOMPARE(focused(), static_cast<QWidget *>(table));

        // The third rule's threshold, typed over.
        QTest::keyClick(table, Qt::Key_Down);
        QTest::keyClick(table, Qt::Key_Down);
        QTest::keyClick(table, Qt::Key_Right);
        typeKeys("3,5");
        QVERIFY(focused() != table);
        QTest::keyClick(focused(), Qt::Key_Return);
        QTRY_COMPARE(table->item(2, 1)->text(), QString("3.50"));
        QCOMPARE(range(2), QString("7.40 € -42.00 €"));
        QCOMPARE(range(1), QString("2.20 € -7.70 €"));
        QCOMPARE(focused(), static_cast<QWidget *>(table));

        // Its value, with F2.
        QTest::keyClick(table, Qt::Key_Right);
        QTest::keyClick(table, Qt::Key_Right);
        QTest::keyClick(table, Qt::Key_F2);
        QVERIFY(focused() != table);
        typeKeys("2");
        QTest::keyClick(focused(), Qt::Key_Return);
        QTRY_COMPARE(table->item(2, 3)->text(), QString("2.00"));
        QCOMPARE(range(2), QString("7.00 € -40.00 €"));

        // Its operator, left with Tab: committed, on through the value to the range.
        QTest::keyClick(table, Qt::Key_Left);
        typeKeys("+");
        QTest::keyClick(focused(), Qt::Key_Tab);
        QTRY_COMPARE(table->item(2, 2)->text(), QString("+"));
        QCOMPARE(range(2), QString("5.50 € -22.00 €"));
        QVERIFY(focused() != table); // the value's editor
        QTest::keyClick(focused(), Qt::Key_Tab);
        QTRY_COMPARE(focused(), static_cast<QWidget *>(table));
        QCOMPARE(table->currentColumn(), 4);
        QCOMPARE(table->item(2, 3)->text(), QString("2.00"));

        QTest::keyClick(table, Qt::Key_Tab);
        QCOMPARE(nameOf(focused()), QString("lineEdit_Mo"));
        QTest::keyClick(focused(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focused(), static_cast<QWidget *>(table));
        QTest::keyClick(table, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(nameOf(focused()), QString("lineEdit"));
        QCOMPARE(table->currentRow(), 2);
        QCOMPARE(table->currentColumn(), 4);
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
