// The counter pages: the sale page and the write-off page.

#include "benchcases.h"
#include "printing/artikelbarcode.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>

namespace {

int listedSales(WindowDriver &s)
{
    auto *table = s.field<QTableWidget>("swSell", "tableWidgetVerkauf");
    return table ? table->rowCount() : -1;
}

// The newest article of a running contract that has pieces left, as its label code.
QString codeInStock()
{
    QSqlQuery query;
    if (!query.exec(QStringLiteral(R"(
SELECT A.Vertrag, (SELECT COUNT(*) FROM Artikel AS B WHERE B.Vertrag = A.Vertrag AND B.ID <= A.ID)
FROM Artikel AS A JOIN Vertrag AS V ON V.ID = A.Vertrag
WHERE V.Vertragsende IS NULL
  AND A.EinkaufsMenge > COALESCE((SELECT SUM(VerkaufsMenge) FROM Verkauf WHERE Artikel = A.ID), 0)
                      + COALESCE((SELECT SUM(Anzahl) FROM Zurueckgegeben WHERE Artikel = A.ID), 0)
ORDER BY A.ID DESC LIMIT 1)"))
        || !query.next())
        return QString();
    return ArtikelBarcode::encode(query.value(0).toLongLong(), query.value(1).toInt());
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
        // A scanned code, then "Bestätigen": the booking, the page reset and the new sale in
        // the list of ~10,400.
        { "sale-book", "Buchung per Barcode mit Aktualisierung der Liste (~10.400 Verkäufe)", 50,
            [](WindowDriver &s) {
                if (s.page() != QLatin1String("swSell") && !s.enter(Qt::Key_3, "swSell"))
                    return false;
                const QString code = codeInStock();
                return !code.isEmpty() && typeInto(s.field("swSell", "lineEditBarcode"), code);
            },
            [](WindowDriver &s) {
                const qint64 before = scalar("SELECT MAX(rowid) FROM Verkauf");
                QTest::mouseClick(s.field("swSell", "pushButton"), Qt::LeftButton);
                auto *status = s.field<QLabel>("swSell", "labelBarcodeStatus");
                return scalar("SELECT MAX(rowid) FROM Verkauf") == before + 1 && status
                    && status->text().startsWith(QLatin1String("Barcode Ok "));
            } },
    });

} // namespace
