// The counter pages: the sale page and the write-off page.

#include "benchcases.h"

#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

namespace {

int listedSales(WindowDriver &s)
{
    auto *table = s.field<QTableWidget>("swSell", "tableWidgetVerkauf");
    return table ? table->rowCount() : -1;
}

const BenchArea salesCases("sales",
    {
        // Key "3" on the menu: the sale page lists the sales of the last 7 days (~10,400).
        { "sale-enter", "Taste 3 im Menü: Verkauf mit ~10.400 Verkäufen der letzten 7 Tage", 100,
            [](WindowDriver &s) { return s.toMenu(); },
            [](WindowDriver &s) {
                s.key(Qt::Key_3);
                return s.expectPage("swSell") && listedSales(s) > 5000;
            } },
        // The last digit of a contract number: the contract and its article count.
        { "sale-contract-key", "letzte Ziffer der Vertragsnummer (1234 -> 12345)", 10,
            [](WindowDriver &s) {
                return s.enter(Qt::Key_3, "swSell")
                    && typeInto(s.field("swSell", "spinBoxVertrag"), QStringLiteral("1234"));
            },
            [](WindowDriver &s) {
                QTest::keyClick(s.field("swSell", "spinBoxVertrag"), Qt::Key_5);
                auto *box = s.field<QSpinBox>("swSell", "spinBoxVertrag");
                auto *articles = s.field<QSpinBox>("swSell", "spinBoxArtikel");
                return box && box->value() == 12345 && articles && articles->maximum() > 0;
            } },
    });

} // namespace
