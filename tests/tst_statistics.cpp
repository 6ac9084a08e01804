#include "support/formcheck.h"
#include "support/pagehelpers.h"
#include "support/printhelpers.h"
#include "support/statisticsdriver.h"
#include "support/windowdriver.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableWidget>
#include <QtTest>

#include <memory>

using pages::child;

namespace {

// A small shop around the period 10.03.2026 10:00:00 to 11.03.2026 10:00:00. Contract 1 and
// sale 1 fall into the start second, contract 3 and sale 4 into the end second.
void shop()
{
    for (const char *statement : {
             "INSERT INTO Kunde (ID, Name, Vorname) VALUES (1, 'Meier', 'Anna'), "
             "(2, 'Schulz', 'Bernd'), (3, 'Braun', 'Clara')",
             "INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit, Vertragsende) "
             "VALUES (1, 1, '2026-03-10 10:00:00.500', 5, 90, NULL), "
             "(2, 2, '2026-03-10 15:00:00.000', 4, 60, NULL), "
             "(3, 3, '2026-03-11 10:00:00.200', 2, 90, NULL), "
             "(4, 1, '2026-02-01 09:00:00.000', 5, 90, '2026-03-01 12:00:00.000'), "
             "(5, 2, '2026-01-15 09:00:00.000', 5, 90, '')",
             "INSERT INTO Artikel (ID, Vertrag, Bezeichnung, EinkaufsPreis, VerkaufsPreis, "
             "EinkaufsMenge) VALUES (1, 1, 'Jacke', 10, 20, 3), (2, 1, 'Hose', 2.5, 6, 2), "
             "(3, 2, 'Lampe', 4, 9, 1), (4, 3, 'Buch', 1, 3, 4), (5, 4, 'Vase', 4, 10, 2), "
             "(6, 5, 'Tasche', 8, 15, 2)",
             "INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, VerkaufsMenge, "
             "Artikel, Auszahldatum) VALUES "
             "('2026-03-10 10:00:00.300', 10, 20, 1, 1, NULL), "
             "('2026-03-10 12:00:00.000', 2.5, 6, 1, 2, NULL), "
             "('2026-03-10 13:00:00.000', 0, 7, 1, -1, NULL), "
             "('2026-03-11 10:00:00.100', 10, 22, 1, 1, NULL), "
             "('2026-02-10 10:00:00.000', 4, 10, 1, 5, NULL), "
             "('2026-02-20 10:00:00.000', 8, 15, 1, 6, NULL), "
             "('2026-01-20 10:00:00.000', 8, 15, 1, 6, '2026-03-10 16:00:00.000')",
             "INSERT INTO Zurueckgegeben (DateTime, Anzahl, Artikel) VALUES "
             "('2026-03-10 18:00:00.000', 1, 2)",
         })
        TestWorkdir::exec(QLatin1String(statement));
}

const QStringList kPeriodFigures = { "2 Stk.", "2 Stk.", "6 Stk.", "4 Stk.", "12.50 €", "33.00 €",
    "9.00 €", "8.00 €", "34.00 €", "29.50 €", "0.00 €", "20.50 €" };

} // namespace

class TestStatistics : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        // Fixed German locale as at start-up; the page's figures must not depend on it.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    // --- the form -------------------------------------------------------------------------

    void formWidgets_data()
    {
        const Qt::Alignment rechts = Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter;
        addFormRows({
            { "label_15", "QLabel", "gridLayout", 0, 0, 1, 3, "Statistik und Inventur", 18 },
            { "label_16", "MenuLabel", "gridLayout", 0, 4, 1, 1, "mit ESC zum Hauptmenü", 14, 0,
                rechts },
            { "gridLayout_2", "QGridLayout", "gridLayout", 2, 0, 1, 5 },
            { "label_date", "QLabel", "gridLayout", 7, 0, 1, 5, "", 8, FormCell::Bold },
            { "pushButtonPrintStat", "QPushButton", "gridLayout", 8, 0, 1, 1, "Statistik Drucken",
                12 },
            { "tableWidget", "QTableWidget", "gridLayout", 10, 0, 1, 5, nullptr, 12 },
            { "label_date2", "QLabel", "gridLayout", 11, 0, 1, 5, "", 8, FormCell::Bold },
            { "frame", "QFrame", "gridLayout", 12, 0, 1, 5 },
            { "pushButtonPrintInv", "QPushButton", "gridLayout", 13, 0, 1, 1, "Inventur Drucken",
                12 },
            { "tableWidget_2", "QTableWidget", "gridLayout", 14, 0, 1, 5 },
            { "label", "QLabel", "gridLayout_2", 0, 0, 1, 1, "Datum Anfang:", 14 },
            { "dateTimeEditAnfang", "QDateTimeEdit", "gridLayout_2", 0, 1, 1, 1 },
            { "pushButtonHeute", "QPushButton", "gridLayout_2", 0, 2, 1, 1, "heute", 12 },
            { "pushButtonGestern", "QPushButton", "gridLayout_2", 0, 3, 1, 1, "gestern", 12 },
            { "pushButtonVorgestern", "QPushButton", "gridLayout_2", 0, 4, 1, 1, "vorgestern", 12 },
            { "label_2", "QLabel", "gridLayout_2", 2, 0, 1, 1, "Datum Ende:", 14 },
            { "dateTimeEditEnde", "QDateTimeEdit", "gridLayout_2", 2, 1, 1, 1 },
            { "pushButtonCalculate", "QPushButton", "gridLayout_2", 2, 5, 1, 1, "Berechnen", 12 },
        });
    }

    void formWidgets()
    {
        QFETCH(FormCell, cell);
        TestWorkdir wd;
        Inventur page;
        QCOMPARE(formMismatches(page, { cell }), QString());
    }

    void formDetails()
    {
        TestWorkdir wd;
        Inventur page;
        QCOMPARE(page.objectName(), QString("Inventur"));
        QCOMPARE(page.size(), QSize(686, 577));
        QCOMPARE(formSpacers(page),
            QStringList({ "gridLayout 1,2 1x1 20x15 Minimum/Fixed",
                "gridLayout 4,2 1x1 20x40 Minimum/Fixed",
                "gridLayout_2 0,5 1x1 40x20 Expanding/Minimum",
                "gridLayout_2 2,6 1x1 40x20 Expanding/Minimum" }));

        // The export bar, left to right.
        QLayout *bar = child<QFrame>(page, "frame")->layout();
        QCOMPARE(bar->objectName(), QString("horizontalLayout"));
        QCOMPARE(bar->contentsMargins(), QMargins());
        QStringList barItems;
        for (int i = 0; i < bar->count(); ++i)
            barItems << bar->itemAt(i)->widget()->objectName();
        QCOMPARE(barItems,
            QStringList({ "pushButtonExport", "label_3", "spinBoxAbPreis", "comboBoxVertraege" }));
        QCOMPARE(child<QPushButton>(page, "pushButtonExport")->text(), QString("CSV Exportieren"));
        QCOMPARE(child<QPushButton>(page, "pushButtonExport")->font().pointSize(), 12);
        QCOMPARE(child<QLabel>(page, "label_3")->text(), QString("ab Preis:"));
        QCOMPARE(child<QLabel>(page, "label_3")->alignment(),
            Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter);
        const Qt::Alignment rechts = Qt::AlignRight | Qt::AlignVCenter;

        auto *figures = child<QTableWidget>(page, "tableWidget");
        const QStringList figureHeaders
            = { "Kunden", "Verträge", "Artikelmenge", "Verkauft + Zurück", "Einkauf",
                  "Verkauft Verkaufspreis", "Einnahme Standgebühr", "Ankauf + Auszahlung", "Kasse",
                  "Umsatz", "Offener Ankauf Verkaufspreis", "Offene Auszahlungen" };
        QCOMPARE(figures->columnCount(), 12);
        for (int c = 0; c < 12; ++c) {
            QCOMPARE(figures->horizontalHeaderItem(c)->text(), figureHeaders.at(c));
            QCOMPARE(Qt::Alignment(figures->horizontalHeaderItem(c)->textAlignment()),
                c >= 4 ? rechts : Qt::Alignment());
        }
        QCOMPARE(figures->maximumHeight(), 85);
        QCOMPARE(figures->minimumHeight(), 20);
        QCOMPARE(figures->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(!figures->tabKeyNavigation()); // Tab leaves the table; the arrows move inside
        QCOMPARE(figures->gridStyle(), Qt::SolidLine);
        QCOMPARE(figures->verticalHeader()->minimumSectionSize(), 15);
        // The page gives it its one row and hides the row numbers.
        QCOMPARE(figures->rowCount(), 1);
        QVERIFY(figures->verticalHeader()->isHidden());

        auto *stock = child<QTableWidget>(page, "tableWidget_2");
        const QStringList stockHeaders = { "Vertrag Nr.", "Artikel Nr.", "Bezeichnung", "Bestand",
            "Einzelspreis EK", "Einzelpreis VK", "Einkaufspreis", "Verkaufspreis", "" };
        QCOMPARE(stock->columnCount(), 9);
        for (int c = 0; c < 9; ++c) {
            QCOMPARE(stock->horizontalHeaderItem(c)->text(), stockHeaders.at(c));
            if (c >= 4 && c <= 7)
                QCOMPARE(Qt::Alignment(stock->horizontalHeaderItem(c)->textAlignment()), rechts);
        }
        QCOMPARE(stock->rowCount(), 3);
        QCOMPARE(stock->verticalHeaderItem(0)->text(), QString("Summe"));
        QVERIFY(stock->verticalHeaderItem(0)->font().bold());
        QCOMPARE(stock->verticalHeaderItem(1)->text(), QString());
        QCOMPARE(stock->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(!stock->tabKeyNavigation());
        QCOMPARE(stock->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);

        auto *spin = child<QSpinBox>(page, "spinBoxAbPreis");
        QCOMPARE(spin->minimum(), 0);
        QCOMPARE(spin->maximum(), 999999999);
        QCOMPARE(spin->suffix(), QString(" €"));
        QCOMPARE(spin->prefix(), QString());
        auto *combo = child<QComboBox>(page, "comboBoxVertraege");
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(0), QString("Beendete Verträge"));
        QCOMPARE(combo->itemText(1), QString("Alle Verträge"));
        QCOMPARE(combo->itemText(2), QString("Laufende Verträge"));
        QCOMPARE(combo->currentIndex(), 1); // chosen by the page
        QVERIFY(!child<QPushButton>(page, "pushButtonExport")->autoDefault());
        QVERIFY(child<QPushButton>(page, "pushButtonHeute")->autoDefault());
        QCOMPARE(child<QFrame>(page, "frame")->frameShape(), QFrame::StyledPanel);
        QCOMPARE(child<QFrame>(page, "frame")->frameShadow(), QFrame::Raised);

        // Tab order through the period, the buttons and both tables.
        const QStringList order = { "dateTimeEditAnfang", "dateTimeEditEnde", "pushButtonHeute",
            "pushButtonGestern", "pushButtonVorgestern", "pushButtonCalculate",
            "pushButtonPrintStat", "tableWidget", "tableWidget_2" };
        QCOMPARE(tabChain(page, order), order);
    }

    // --- the period figures ---------------------------------------------------------------

    void periodFigures_data()
    {
        QTest::addColumn<QDateTime>("anfang");
        QTest::addColumn<QStringList>("cells");
        // A stamp in the start second counts, one in the end second does not; sale 3 has no
        // article (sales columns only, never the open payouts), contract 5 ended with ''
        // counts as running, contract 4 has ended; the payout counts by its payout date.
        QTest::newRow("one day") << at("2026-03-10 10:00:00") << kPeriodFigures;
        QTest::newRow("one second later")
            << at("2026-03-10 10:00:01")
            << QStringList { "2 Stk.", "2 Stk.", "5 Stk.", "4 Stk.", "12.50 €", "35.00 €", "6.00 €",
                   "8.00 €", "33.00 €", "28.50 €", "0.00 €", "30.50 €" };
    }

    void periodFigures()
    {
        QFETCH(QDateTime, anfang);
        QFETCH(QStringList, cells);
        TestWorkdir wd;
        shop();
        StatisticsPage p;
        p.calculate(anfang, anfang.addDays(1));
        QCOMPARE(dialogLog(), QStringList());
        QCOMPARE(p.figureCells(), cells);
        QCOMPARE(p.label("label_date"),
            "Entsprechend dem Zeitraum von " + anfang.toString("dd.MM.yyyy hh:mm:ss") + " bis "
                + anfang.addDays(1).toString("dd.MM.yyyy hh:mm:ss"));
    }

    // A cash purchase stores minus the price paid as its fee: it is bought in (columns 4 and
    // 7), paid from the till (column 8) and no turnover; its pieces in stock are column 10.
    void cashPurchase()
    {
        TestWorkdir wd;
        shop();
        StatisticsPage p;
        const QDateTime anfang = at("2026-03-10 10:00:00");
        TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit) "
                          "VALUES (6, 3, '2026-03-10 14:00:00.000', -25, -1), "
                          "(7, 3, '2026-03-10 14:30:00.000', -10, -1)");
        TestWorkdir::exec("INSERT INTO Artikel (ID, Vertrag, Bezeichnung, EinkaufsPreis, "
                          "VerkaufsPreis, EinkaufsMenge) VALUES (9, 6, 'Radio', 20, 40, 2), "
                          "(8, 6, 'Uhr', 5, 12.5, 1), (7, 7, 'Kamera', 10, 19.99, 1)");
        TestWorkdir::exec("INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, "
                          "VerkaufsMenge, Artikel) VALUES ('2026-03-10 17:00:00.000', 0, "
                          "19.99, 2, 7)"); // one piece more than bought: stock -1
        DebugLines debug;
        p.calculate(anfang, anfang.addDays(1));
        QStringList expected = kPeriodFigures;
        expected[0] = "3 Stk.";
        expected[1] = "4 Stk.";
        expected[2] = "10 Stk.";
        expected[3] = "6 Stk.";
        expected[4] = "47.50 €"; // 12.50 + 25 + 10
        expected[5] = "72.98 €";
        expected[7] = "43.00 €"; // 8 + 25 + 10
        expected[8] = "38.98 €"; // 9 + 72.98 - 43
        expected[9] = "69.48 €"; // 72.98 + 9 - 47.50 + 35
        expected[10] = "72.51 €"; // 12.50 + 2 x 40 - 19.99
        QCOMPARE(p.figureCells(), expected);
        // One line per cash purchase in stock, in the order of the stock table.
        QCOMPARE(debug.lines(), QStringList({ "8   1   12.5 ", "9   2   40 ", "7   -1   19.99 " }));
    }

    // A cash purchase of 0.80 sold in two pieces of 0.10 and 0.70: the till is 0 + 0.8 - 0.8,
    // zero in cents but -1.1e-16 in doubles; page and printout both show "0.00 €".
    void figuresThatCancelShowNoMinus()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        TestWorkdir::exec("INSERT INTO Kunde (ID, Name, Vorname) VALUES (1, 'Meier', 'Anna')");
        TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit) "
                          "VALUES (1, 1, '2026-03-10 11:00:00.000', -0.8, -1)");
        TestWorkdir::exec("INSERT INTO Artikel (ID, Vertrag, Bezeichnung, EinkaufsPreis, "
                          "VerkaufsPreis, EinkaufsMenge) VALUES (1, 1, 'Knopf', 0.4, 0.1, 1), "
                          "(2, 1, 'Faden', 0.4, 0.7, 1)");
        TestWorkdir::exec(
            "INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, "
            "VerkaufsMenge, Artikel) VALUES ('2026-03-10 12:00:00.000', 0, 0.1, 1, 1), "
            "('2026-03-10 13:00:00.000', 0, 0.7, 1, 2)");
        StatisticsPage p;
        p.calculate(at("2026-03-10 10:00:00"), at("2026-03-11 10:00:00"));
        const QStringList cells = p.figureCells();
        QCOMPARE(cells.at(8), QString("0.00 €")); // Kasse
        QVERIFY2(!cells.join('|').contains("-0.00"), qPrintable(cells.join('|')));
        Dialogs::takeRecords();
        p.click("pushButtonPrintStat");
        const QStringList texts = printedTexts(wd);
        QCOMPARE(texts.size(), 1);
        VERIFY_CONTAINS(texts.at(0), "Kasse 0.00 €");
        VERIFY_LACKS(texts.at(0), "-0.00");
    }

    // --- the stock list -------------------------------------------------------------------

    void stockList()
    {
        TestWorkdir wd;
        TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit) "
                          "VALUES (5, 1, '2026-03-01 09:00:00.000', 5, 90), "
                          "(7, 1, '2026-03-02 09:00:00.000', -30, -1), "
                          "(8, 1, '2026-03-10 10:00:00.000', 5, 90)"); // in the end second
        // Contract 5: 3 delivered and 3 sold (and one returned) goes; 2 delivered and 3 sold
        // stays at -1; 5 delivered, 2 sold and 3 returned goes; 0 delivered stays; a sale
        // after the list's date does not count.
        TestWorkdir::exec(
            "INSERT INTO Artikel (ID, Vertrag, Bezeichnung, EinkaufsPreis, VerkaufsPreis, "
            "EinkaufsMenge) VALUES (50, 5, 'Sofa', 100, 250, 3), (51, 5, 'Stuhl', 2.5, 6, 2), "
            "(52, 5, 'Tisch', 20, 45, 5), (53, 5, 'Regal', 1, 2, 0), (54, 5, 'Lampe', 4, 9, 4), "
            "(70, 7, 'Radio', 15, 30, 2), (80, 8, 'Bild', 1, 2, 1)");
        TestWorkdir::exec("INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, "
                          "VerkaufsMenge, Artikel) VALUES "
                          "('2026-03-03 10:00:00.000', 100, 250, 3, 50), "
                          "('2026-03-03 11:00:00.000', 2.5, 6, 3, 51), "
                          "('2026-03-03 12:00:00.000', 20, 45, 2, 52), "
                          "('2026-03-10 10:00:00.000', 4, 9, 1, 54)");
        TestWorkdir::exec("INSERT INTO Zurueckgegeben (DateTime, Anzahl, Artikel) VALUES "
                          "('2026-03-04 10:00:00.000', 3, 52), ('2026-03-04 11:00:00.000', 1, 50)");
        StatisticsPage p;
        p.calculate(at("2026-03-09 10:00:00"), at("2026-03-10 10:00:00"));
        QTableWidget *stock = p.stock();
        QCOMPARE(stock->rowCount(), 5);
        QCOMPARE(p.row(stock, 1),
            QStringList({ "5", "2", "Stuhl", "-1", "2.50 €", "6.00 €", "-2.50 €", "-6.00 €", "" }));
        QCOMPARE(p.row(stock, 2),
            QStringList({ "", "4", "Regal", "0", "1.00 €", "2.00 €", "0.00 €", "0.00 €", "" }));
        QCOMPARE(p.row(stock, 3),
            QStringList({ "", "5", "Lampe", "4", "4.00 €", "9.00 €", "16.00 €", "36.00 €", "" }));
        QCOMPARE(p.row(stock, 4),
            QStringList(
                { "7", "1", "Radio", "2", "15.00 €", "30.00 €", "30.00 €", "60.00 €", "Ank." }));
        // The totals: contract runs, rows, pieces and the two values.
        QCOMPARE(
            p.row(stock, 0), QStringList({ "2", "4", "", "5", "", "", "43.50 €", "90.00 €", "" }));
        QVERIFY(stock->item(0, 0)->font().bold());
        QVERIFY(stock->item(0, 7)->font().bold());
        QCOMPARE(stock->verticalHeaderItem(0)->text(), QString("Summe"));
        QVERIFY(stock->verticalHeaderItem(0)->font().bold());
        QCOMPARE(stock->verticalHeaderItem(3)->text(), QString());
        QCOMPARE(stock->item(1, 0)->textAlignment(), int(Qt::AlignCenter));
        QCOMPARE(stock->item(1, 6)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
        QCOMPARE(p.label("label_date2"), QString("Inventurliste am 10.03.2026 10:00:00"));
        QCOMPARE(p.figureCells().at(10), QString("60.00 €"));

        // A second calculation with fewer articles keeps nothing of the first.
        p.calculate(at("2026-02-01 10:00:00"), at("2026-02-02 10:00:00"));
        QCOMPARE(stock->rowCount(), 1);
        QCOMPARE(
            p.row(stock, 0), QStringList({ "0", "0", "", "0", "", "", "0.00 €", "0.00 €", "" }));
    }

    // Contracts of another contract between its articles start a new run.
    void stockRunsFollowTheList()
    {
        TestWorkdir wd;
        TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit) "
                          "VALUES (5, 1, '2026-03-01 09:00:00.000', 5, 90), "
                          "(7, 1, '2026-03-02 09:00:00.000', 5, 90)");
        // Article ids out of contract order: the list still groups by contract.
        TestWorkdir::exec(
            "INSERT INTO Artikel (ID, Vertrag, Bezeichnung, EinkaufsPreis, VerkaufsPreis, "
            "EinkaufsMenge) VALUES (3, 7, 'C', 1, 2, 1), (1, 5, 'A', 1, 2, 1), "
            "(4, 5, 'D', 1, 2, 1), (2, 7, 'B', 1, 2, 1)");
        StatisticsPage p;
        p.calculate(at("2026-03-09 10:00:00"), at("2026-03-10 10:00:00"));
        QStringList contracts, numbers, names;
        for (int row = 1; row < p.stock()->rowCount(); ++row) {
            contracts << p.row(p.stock(), row).at(0);
            numbers << p.row(p.stock(), row).at(1);
            names << p.row(p.stock(), row).at(2);
        }
        QCOMPARE(names, QStringList({ "A", "D", "B", "C" }));
        QCOMPARE(contracts, QStringList({ "5", "", "7", "" }));
        QCOMPARE(numbers, QStringList({ "1", "2", "1", "2" }));
    }

    // Contract numbers past 32 bits head their runs whole, in order.
    void stockWithLargeContractNumbers()
    {
        TestWorkdir wd;
        TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit) "
                          "VALUES (2147483647, 1, '2026-03-01 09:00:00.000', 5, 90), "
                          "(4294967301, 1, '2026-03-02 09:00:00.000', 5, 90)");
        TestWorkdir::exec(
            "INSERT INTO Artikel (ID, Vertrag, Bezeichnung, EinkaufsPreis, VerkaufsPreis, "
            "EinkaufsMenge) VALUES (1, 2147483647, 'A', 1, 2, 1), (2, 4294967301, 'B', 1, 2, 1), "
            "(3, 4294967301, 'C', 1, 2, 1)");
        StatisticsPage p;
        p.calculate(at("2026-03-09 10:00:00"), at("2026-03-10 10:00:00"));
        QCOMPARE(p.stock()->rowCount(), 4);
        QCOMPARE(p.row(p.stock(), 1).mid(0, 3), QStringList({ "2147483647", "1", "A" }));
        QCOMPARE(p.row(p.stock(), 2).mid(0, 3), QStringList({ "4294967301", "1", "B" }));
        QCOMPARE(p.row(p.stock(), 3).mid(0, 3), QStringList({ "", "2", "C" }));
        QCOMPARE(p.row(p.stock(), 0).at(0), QString("2"));
    }

    // --- the period and the day buttons ---------------------------------------------------

    void periodWarnings_data()
    {
        QTest::addColumn<QDateTime>("anfang");
        QTest::addColumn<QDateTime>("ende");
        QTest::addColumn<QStringList>("boxes");
        const QDateTime now = QDateTime::currentDateTime();
        QTest::newRow("end before start")
            << at("2026-03-11 10:00:00") << at("2026-03-10 10:00:00")
            << QStringList("Warning|Warnung|Anfangsdatum muss vor dem Enddatum liegen.");
        QTest::newRow("start in the future")
            << now.addDays(2) << now.addDays(3)
            << QStringList("Warning|Warnung|Anfangsdatum darf nicht in der Zukunft liegen.");
        QTest::newRow("empty period")
            << at("2026-03-10 10:00:00") << at("2026-03-10 10:00:00") << QStringList();
    }

    void periodWarnings()
    {
        QFETCH(QDateTime, anfang);
        QFETCH(QDateTime, ende);
        QFETCH(QStringList, boxes);
        TestWorkdir wd;
        shop();
        StatisticsPage p;
        Dialogs::takeRecords();
        p.calculate(anfang, ende);
        QCOMPARE(dialogLog(), boxes);
        // The calculation goes on: an empty period counts nothing.
        const QStringList cells = p.figureCells();
        QCOMPARE(cells.mid(0, 10),
            QStringList({ "0 Stk.", "0 Stk.", "0 Stk.", "0 Stk.", "0.00 €", "0.00 €", "0.00 €",
                "0.00 €", "0.00 €", "0.00 €" }));
        QVERIFY(p.label("label_date2").startsWith("Inventurliste am "));
    }

    void dayButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("daysBack");
        QTest::newRow("heute") << "pushButtonHeute" << 0;
        QTest::newRow("gestern") << "pushButtonGestern" << 1;
        QTest::newRow("vorgestern") << "pushButtonVorgestern" << 2;
    }

    void dayButtons()
    {
        QFETCH(QString, button);
        QFETCH(int, daysBack);
        TestWorkdir wd;
        const QDate start = QDate::currentDate().addDays(-daysBack);
        TestWorkdir::exec(QStringLiteral("INSERT INTO Vertrag (ID, Kunde, DateTime, Laufzeit) "
                                         "VALUES (1, 1, '%1 12:00:00.000', 90)")
                              .arg(start.toString("yyyy-MM-dd")));
        StatisticsPage p;
        // Left open past midnight: the end's limit still belongs to the day before.
        auto *ende = child<QDateTimeEdit>(p.page, "dateTimeEditEnde");
        ende->setMaximumDateTime(QDateTime(QDate::currentDate(), QTime(0, 0)));
        p.click(qPrintable(button));
        QCOMPARE(p.edit("dateTimeEditAnfang"), QDateTime(start, QTime(0, 0)));
        QCOMPARE(p.edit("dateTimeEditEnde"), QDateTime(start.addDays(1), QTime(0, 0)));
        QCOMPARE(p.figureCells().at(1), QString("1 Stk."));
        QCOMPARE(dialogLog(), QStringList());
    }

    // Entering the page empties both tables and shows today's figures.
    void pageEntryShowsToday()
    {
        TestWorkdir wd;
        shop();
        StatisticsPage p;
        p.calculate(at("2026-03-10 10:00:00"), at("2026-03-11 10:00:00"));
        p.page.refreshPage();
        QCOMPARE(p.edit("dateTimeEditAnfang"), QDateTime(QDate::currentDate(), QTime(0, 0)));
        QCOMPARE(p.figureCells().at(1), QString("0 Stk."));
        // The totals and the four articles in stock today; nothing of the last list stays.
        QCOMPARE(p.stock()->rowCount(), 5);
        QCOMPARE(p.row(p.stock(), 2),
            QStringList({ "2", "1", "Lampe", "1", "4.00 €", "9.00 €", "4.00 €", "9.00 €", "" }));
        QCOMPARE(p.row(p.stock(), 3),
            QStringList({ "3", "1", "Buch", "4", "1.00 €", "3.00 €", "4.00 €", "12.00 €", "" }));
        QCOMPARE(p.row(p.stock(), 4),
            QStringList({ "4", "1", "Vase", "1", "4.00 €", "10.00 €", "4.00 €", "10.00 €", "" }));
    }

    // --- failures -------------------------------------------------------------------------

    // A failed statement leaves its figures empty, not the last period's; the rest is shown.
    void failedStatementLeavesItsCellsEmpty()
    {
        TestWorkdir wd;
        shop();
        StatisticsPage p;
        p.calculate(at("2026-03-10 10:00:00"), at("2026-03-11 10:00:00"));
        QCOMPARE(p.figureCells(), kPeriodFigures);
        TestWorkdir::exec("DROP TABLE Zurueckgegeben");
        p.calculate(at("2026-03-10 10:00:00"), at("2026-03-11 10:00:00"));
        QStringList expected = kPeriodFigures;
        expected[3] = QString(); // pieces sold and given back
        expected[10] = QString(); // the stock list could not subtract the returns
        QCOMPARE(p.figureCells(), expected);
        const QStringList boxes = dialogLog();
        QCOMPARE(boxes.size(), 2);
        QVERIFY(boxes.at(0).startsWith("Warning|SQL-Fehler|"));
        QVERIFY(boxes.at(0).contains("Zurueckgegeben"));
        QVERIFY(boxes.at(1).startsWith("Warning|SQL-Fehler|"));
    }

    // --- the stock as of now, the printouts -----------------------------------------------

    // calculateUpload() lists the stock as of now and leaves the page's figures and tables.
    void stockAsOfNowKeepsThePage()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        shop();
        StatisticsPage p;
        p.calculate(at("2026-03-10 10:00:00"), at("2026-03-11 10:00:00"));
        const QStringList figures = p.figureCells();
        const QStringList stockRow = p.row(p.stock(), 0);
        TestWorkdir::exec("INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, "
                          "VerkaufsMenge, Artikel) VALUES ('"
            + QDateTime::currentDateTime().addSecs(-5).toString("yyyy-MM-dd hh:mm:ss.zzz")
            + "', 4, 9, 1, 3)"); // the lamp, sold today
        QMetaObject::invokeMethod(&p.page, "calculateUpload");
        QCOMPARE(p.figureCells(), figures);
        QCOMPARE(p.row(p.stock(), 0), stockRow);

        p.click("pushButtonPrintStat");
        p.click("pushButtonPrintInv");
        const QStringList texts = printedTexts(wd);
        QCOMPARE(texts.size(), 2);
        VERIFY_CONTAINS(texts.at(0), "Zeitraum: 10.03.2026 10:00:00 bis 11.03.2026 10:00:00");
        VERIFY_CONTAINS(texts.at(0), "Verkauft Verkaufspreis 33.00 €");
        VERIFY_CONTAINS(texts.at(0), "Offene Auszahlungen 20.50 €");
        VERIFY_CONTAINS(texts.at(1), "Bestand am " + QDate::currentDate().toString("dd.MM.yyyy"));
        VERIFY_CONTAINS(texts.at(1), "Jacke");
        VERIFY_LACKS(texts.at(1), "Lampe");
        QCOMPARE(dialogLog(), QStringList("Warning|Warnung|Bitte A4 Papier einlegen."));
    }

    void printouts()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        shop();
        StatisticsPage p;
        p.calculate(at("2026-03-10 10:00:00"), at("2026-03-11 10:00:00"));
        Dialogs::takeRecords();
        p.click("pushButtonPrintInv");
        p.click("pushButtonPrintStat");
        const QStringList texts = printedTexts(wd);
        QCOMPARE(texts.size(), 2);
        VERIFY_CONTAINS(texts.at(0), "Bestand am 11.03.2026 10:00:00");
        VERIFY_CONTAINS(texts.at(0), "Summe 1 1 Jacke 2 10.00 € 20.00 € 20.00 € 40.00 €");
        VERIFY_CONTAINS(texts.at(1), "Kunden 2");
        VERIFY_CONTAINS(texts.at(1), "Kasse 34.00 €");
        VERIFY_CONTAINS(texts.at(1), "Umsatz 29.50 €");
    }

    // --- through the main window ----------------------------------------------------------

    void enteringOnAFreshDatabaseAsksOnlyThePassword()
    {
        Shell s(false);
        QVERIFY(s.start());
        Dialogs::takeRecords();
        Dialogs::setNextAnswer(QString());
        s.key("9");
        QCOMPARE(s.page(), QString("swInventur"));
        QCOMPARE(dialogLog().size(), 1);
        QVERIFY(dialogLog().at(0).startsWith("Text|Passwort|"));
        auto *figures = s.field<QTableWidget>("swInventur", "tableWidget");
        QCOMPARE(figures->item(0, 0)->text(), QString("0 Stk."));
    }
};

QTEST_MAIN(TestStatistics)
#include "tst_statistics.moc"
