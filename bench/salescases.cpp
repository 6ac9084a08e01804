// The counter pages: the sale page and the write-off page.

#include "benchcases.h"

#include "app/dialogs.h"
#include "app/textcodec.h"
#include "printing/artikelbarcode.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>
#include <QTime>

#include <cstdio>

namespace {

int listedSales(WindowDriver &s)
{
    auto *table = s.field<QTableWidget>("swSell", "tableWidgetVerkauf");
    return table ? table->rowCount() : -1;
}

// The newest articles of running contracts that have pieces left: contract and position.
QList<QPair<qint64, int>> articlesInStock(int count)
{
    QSqlQuery query;
    query.prepare(QStringLiteral(R"(
SELECT A.Vertrag, (SELECT COUNT(*) FROM Artikel AS B WHERE B.Vertrag = A.Vertrag AND B.ID <= A.ID)
FROM Artikel AS A JOIN Vertrag AS V ON V.ID = A.Vertrag
WHERE V.Vertragsende IS NULL
  AND A.EinkaufsMenge > COALESCE((SELECT SUM(VerkaufsMenge) FROM Verkauf WHERE Artikel = A.ID), 0)
                      + COALESCE((SELECT SUM(Anzahl) FROM Zurueckgegeben WHERE Artikel = A.ID), 0)
ORDER BY A.ID DESC LIMIT ?)"));
    query.addBindValue(count);
    QList<QPair<qint64, int>> found;
    if (query.exec())
        while (query.next())
            found.append({ query.value(0).toLongLong(), query.value(1).toInt() });
    return found;
}

QString codeInStock()
{
    const auto found = articlesInStock(1);
    return found.isEmpty() ? QString() : ArtikelBarcode::encode(found[0].first, found[0].second);
}

// A journal of today: one piece each of the newest articles in stock, two sales a minute from
// 8 o'clock on, in the register's Windows-1252 with CR LF.
QString writeJournal(int lines)
{
    const auto articles = articlesInStock(lines);
    if (articles.size() != lines)
        return QString();
    QString text = QStringLiteral("\"Datum\";\"Zeit\";\"Bon\";\"Menge\";\"Artikel\"")
        + QStringLiteral(";\"Feld\"").repeated(22) + QStringLiteral("\r\n");
    const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM.yy"));
    for (int i = 0; i < lines; ++i) {
        QStringList fields(27, QString());
        fields[0] = today;
        fields[1] = QTime(8, 0).addSecs(i * 30).toString(QStringLiteral("hh:mm"));
        fields[2] = QString::number(1000 + i);
        fields[3] = QStringLiteral("1");
        fields[4]
            = QStringLiteral("\"Vertr:%1/%2\"").arg(articles[i].first).arg(articles[i].second);
        fields[5] = QStringLiteral("\"Artikel für 12,50 €\"");
        fields[18] = QStringLiteral("12,50");
        text += fields.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    }
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("journal.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write(toCp1252(text));
    return path;
}

// The boxes a case expects, taken before the driver would count them as unexpected.
bool tookDialogs(const QStringList &expected)
{
    QStringList seen;
    for (const Dialogs::Record &r : Dialogs::takeRecords())
        seen << Dialogs::kindName(r.kind) + QLatin1Char('|') + r.title + QLatin1Char('|') + r.text;
    if (seen == expected)
        return true;
    std::fprintf(stderr, "boxes: %s\n", qPrintable(seen.join(QStringLiteral(" / "))));
    return false;
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
        // A journal of 1,000 lines imported: read, checked, booked in one transaction, the
        // page refreshed once.
        { "journal-import", "Kassenjournal mit 1.000 Zeilen importieren", 2000,
            [](WindowDriver &s) {
                if (s.page() != QLatin1String("swSell") && !s.enter(Qt::Key_3, "swSell"))
                    return false;
                const QString path = writeJournal(1000);
                if (path.isEmpty())
                    return false;
                Dialogs::setNextAnswer(path);
                return true;
            },
            [](WindowDriver &s) {
                const qint64 before = scalar("SELECT MAX(rowid) FROM Verkauf");
                QTest::mouseClick(s.field("swSell", "toolButtonImport"), Qt::LeftButton);
                return tookDialogs({ QStringLiteral("OpenFile|Import Datei wählen|"),
                           QStringLiteral("Information|Erfolgreich|Es wurden 1000 Verkäufe "
                                          "eingetragen.") })
                    && scalar("SELECT MAX(rowid) FROM Verkauf") == before + 1000;
            } },
        // Key "7" and the password: the cash purchases in stock (~31,000 articles).
        { "ankauf-enter", "Taste 7 im Menü: Übersicht der Ankäufe (~31.000 Artikel)", 300,
            [](WindowDriver &s) {
                if (!s.toMenu())
                    return false;
                Dialogs::setNextAnswer(QString()); // the generated shop's password is empty
                return true;
            },
            [](WindowDriver &s) {
                s.key(Qt::Key_7);
                auto *table = s.field<QTableWidget>("swAnkauf", "tableWidget");
                return tookDialogs({ QStringLiteral(
                           "Text|Passwort|Bitte geben Sie das Passwort ein, um fortzufahren:") })
                    && s.expectPage("swAnkauf") && table && table->rowCount() > 10000;
            } },
    });

} // namespace
