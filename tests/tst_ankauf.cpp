#include "sales/ankauf.h"
#include "support/formcheck.h"
#include "support/pagehelpers.h"
#include "support/shopfixture.h"
#include "support/testsupport.h"
#include "support/windowdriver.h"

#include "app/menulabel.h"

#include <QHeaderView>
#include <QLayout>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

using namespace pages;
using Shop = ShopFixture;

class TestAnkauf : public QObject
{
    Q_OBJECT
private slots:
    void overviewOfTheShop()
    {
        TestWorkdir dir;
        Shop shop;
        // A cash purchase sold out, and one with an article of no pieces.
        TestWorkdir::exec(
            "INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit) VALUES "
            "(104, 2, '2024-05-06 11:12:13.000', -5, -1), "
            "(105, 2, 'kein Datum', -8, -1)");
        TestWorkdir::exec("INSERT INTO Artikel (ID, Vertrag, Bezeichnung, EinkaufsPreis, "
                          "VerkaufsPreis, EinkaufsMenge) VALUES "
                          "(9, 104, 'Vase', 5, 12, 1), (10, 105, 'Leer', 1, 2, 0), "
                          "(11, 105, 'Hocker', 2, 12.5, 4)");
        TestWorkdir::exec("INSERT INTO Verkauf (DateTime, VerkaufsMenge, Artikel) VALUES "
                          "('2024-06-01 10:00:00.000', 1, 9)");
        Ankauf page;
        page.refreshPage();
        auto *table = child<QTableWidget>(page, "tableWidget");
        const QString bought
            = QDateTime::fromString(shop.stamp(6, QTime(14, 20)), "yyyy-MM-dd hh:mm:ss.zzz")
                  .toString("dd.MM.yyyy hh:mm:ss");
        // "Datum|Vertrag|Artikel|Bezeichnung|Menge|Einkaufspreis|Verkaufspreis" lines.
        QCOMPARE(tableRows(table),
            (QStringList {
                // 3 bought, 1 sold, 2 given back: listed with the pieces bought
                bought + "|103|1|Kochbuch|3|2.00 €|6.00 €",
                // the puzzle, sold out, leaves a gap
                "||3|Jeans Gr. 38|2|12.50 €|25.00 €",
                "|105|2|Hocker|4|2.00 €|12.50 €",
            }));
        for (int row = 0; row < table->rowCount(); ++row) {
            QCOMPARE(table->item(row, 0)->textAlignment(), 0);
            for (int column : { 1, 2, 3, 4 })
                QCOMPARE(table->item(row, column)->textAlignment(), int(Qt::AlignCenter));
            for (int column : { 5, 6 })
                QCOMPARE(table->item(row, column)->textAlignment(),
                    int(Qt::AlignRight | Qt::AlignVCenter));
        }
        QCOMPARE(dialogLog(), QStringList());

        // Sold meanwhile: gone at the next entry.
        TestWorkdir::exec("INSERT INTO Verkauf (DateTime, VerkaufsMenge, Artikel) VALUES "
                          "('2024-06-02 10:00:00.000', 2, 8)");
        page.refreshPage();
        QCOMPARE(table->rowCount(), 2);
    }

    // Behind the password; on a fresh database only the prompt shows.
    void freshDatabaseShowsOnlyThePrompt()
    {
        Shell s;
        QVERIFY(s.start());
        Dialogs::setNextAnswer(QString());
        s.key("7");
        QVERIFY(s.expectPage("swAnkauf"));
        QCOMPARE(dialogLog(),
            QStringList("Text|Passwort|Bitte geben Sie das Passwort ein, um fortzufahren:"));
        QCOMPARE(s.field<QTableWidget>("swAnkauf", "tableWidget")->rowCount(), 0);
    }

    void form()
    {
        Ankauf page;
        QCOMPARE(page.objectName(), QString("Ankauf"));
        QCOMPARE(page.windowTitle(), QString("Form"));
        QCOMPARE(page.size(), QSize(601, 473));
        QCOMPARE(page.layout()->objectName(), QString("gridLayout"));
        QCOMPARE(
            formMismatches(page,
                {
                    { "label_15", "QLabel", "gridLayout", 0, 0, 1, 1, "Übersicht der Ankäufe", 18 },
                    { "label_16", "MenuLabel", "gridLayout", 0, 1, 1, 1, "mit ESC zum Hauptmenü",
                        14, 0, Qt::AlignRight | Qt::AlignVCenter },
                    { "tableWidget", "QTableWidget", "gridLayout", 2, 0, 1, 2 },
                }),
            QString());
        QCOMPARE(child<QLabel>(page, "label_15")->frameShape(), QFrame::NoFrame);
        QCOMPARE(formSpacers(page), QStringList("gridLayout 1,0 1x1 20x15 Minimum/Fixed"));

        auto *table = child<QTableWidget>(page, "tableWidget");
        QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(table->selectionMode(), QAbstractItemView::NoSelection);
        QVERIFY(!table->tabKeyNavigation()); // Tab leaves the table; the arrows move inside
        QCOMPARE(pages::headerTexts(table),
            (QStringList { "Datum", "Vertrag Nr.", "Artikel Nr.", "Bezeichnung", "Menge",
                "Einkaufspreis", "Verkaufspreis" }));

        QSignalSpy spy(&page, &Ankauf::openMenu);
        QTest::mousePress(child<MenuLabel>(page, "label_16"), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_MAIN(TestAnkauf)
#include "tst_ankauf.moc"
