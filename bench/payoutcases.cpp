// Payouts and contract end: the payout page's entry, search and customer load; the expired
// contracts page's entry, its printed list and the shop ending one contract.

#include "benchcases.h"

#include "app/dialogs.h"
#include "app/sql.h"
#include "payout/abgelaufene.h"
#include "payout/abrechnung.h"
#include "printing/records/abgelaufen.h"
#include "printing/reportprinter.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>

#include <cstdio>

namespace {

QWidget *payoutField(WindowDriver &s, const char *name)
{
    return s.field("swSellout", name);
}

int contractRows(WindowDriver &s)
{
    auto *table = s.field<QTableWidget>("swSellout", "tableWidget");
    return table ? table->rowCount() : -1;
}

bool exec(QSqlQuery &query)
{
    if (query.exec())
        return true;
    std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
    return false;
}

// The generated shop's customers have at most 6 running contracts; the shop's best
// consignor has 10, of 5 articles each, with sales paid out and open and a return. Made once
// per database; its number is the highest.
qint64 customerWithTenContracts()
{
    const qint64 known = scalar("SELECT ID FROM Kunde WHERE Name = 'Vielbringer'");
    if (known > 0)
        return known;
    QSqlQuery query;
    query.prepare(QStringLiteral("INSERT INTO Kunde (Name, Vorname, Telefon, PLZ, Ort, Strasse) "
                                 "VALUES ('Vielbringer', 'Vera', '0171 999999', '12345', "
                                 "'Musterhausen', 'Lindenweg 9')"));
    if (!exec(query))
        return -1;
    const qint64 kunde = query.lastInsertId().toLongLong();
    int key = 0;
    for (int v = 0; v < 10; ++v) {
        query.prepare(QStringLiteral("INSERT INTO Vertrag (Kunde, DateTime, Standgebuehr, "
                                     "Laufzeit) VALUES (?, datetime('now', ?) || '.000', 5, 90)"));
        query.addBindValue(kunde);
        query.addBindValue(QStringLiteral("-%1 days").arg(10 * v));
        if (!exec(query))
            return -1;
        const qint64 vertrag = query.lastInsertId().toLongLong();
        for (int a = 0; a < 5; ++a) {
            query.prepare(QStringLiteral("INSERT INTO Artikel (Vertrag, Bezeichnung, "
                                         "EinkaufsPreis, VerkaufsPreis, EinkaufsMenge) "
                                         "VALUES (?, 'Damenjacke Wolle', 4.5, 9.9, 4)"));
            query.addBindValue(vertrag);
            if (!exec(query))
                return -1;
            const qint64 artikel = query.lastInsertId().toLongLong();
            // Keys of a day before the shop opened: no generated sale has them.
            for (const bool paid : { true, false }) {
                query.prepare(QStringLiteral(
                    "INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, VerkaufsMenge, "
                    "Artikel, Auszahldatum) VALUES (?, 4.5, 9.9, 1, ?, ?)"));
                query.addBindValue(QStringLiteral("2000-01-01 00:%1:%2.000")
                                       .arg(key / 60, 2, 10, QLatin1Char('0'))
                                       .arg(key % 60, 2, 10, QLatin1Char('0')));
                query.addBindValue(artikel);
                query.addBindValue(
                    paid ? QVariant(QStringLiteral("2000-01-02 10:00:00.000")) : QVariant());
                ++key;
                if (!exec(query))
                    return -1;
            }
            query.prepare(QStringLiteral("INSERT INTO Zurueckgegeben (DateTime, Anzahl, Artikel) "
                                         "VALUES (?, 1, ?)"));
            query.addBindValue(
                QStringLiteral("2000-01-01 10:%1:00.000").arg(v * 5 + a, 2, 10, QLatin1Char('0')));
            query.addBindValue(artikel);
            if (!exec(query))
                return -1;
        }
    }
    return kunde;
}

// On the expired contracts page, entered with key "8" and the password typed into its prompt;
// the prompt is not part of any timing.
bool onExpiredPage(WindowDriver &s)
{
    Dialogs::clearAnswers();
    bool entered = s.toMenu();
    if (entered) {
        Dialogs::setNextAnswer(readSettingQuietly(QStringLiteral("Passwort")));
        s.key(Qt::Key_8);
        entered = s.expectPage("swAbgelaufene");
    }
    Dialogs::takeRecords();
    return entered;
}

QTableWidget *expiredTable(WindowDriver &s)
{
    return s.field<QTableWidget>("swAbgelaufene", "tableWidget");
}

// On the expired contracts page with an empty print folder: its list, when it lists one.
QTableWidget *expiredListed(WindowDriver &s)
{
    clearPrintFolder();
    if (!onExpiredPage(s))
        return nullptr;
    QTableWidget *table = expiredTable(s);
    return table && table->rowCount() > 0 ? table : nullptr;
}

// The first listed contract, ticked; its number, or 0.
qint64 g_ticked = 0;
int g_listed = 0;

// The end document of the first listed contract, as the page would print it.
AbgelaufenerVertrag g_document;

const BenchArea payoutCases("payout",
    {
        // Key "4" on the menu: the page's reset, the customer cache and both validators.
        { "payout-enter", "Taste 4 im Menü: Auszahlung, Kunden unverändert", 50,
            // As staff leave the page: a customer loaded.
            [](WindowDriver &s) {
                return s.enter(Qt::Key_4, "swSellout")
                    && typeInto(payoutField(s, "lineEditKNR"), QStringLiteral("17"))
                    && contractRows(s) > 0 && s.toMenu();
            },
            [](WindowDriver &s) {
                s.key(Qt::Key_4);
                return s.expectPage("swSellout") && contractRows(s) == 0;
            } },
        // The first letter after page entry lists most customers.
        { "payout-search-key",
            "erster Buchstabe im Suchfeld der Auszahlung (drei Viertel der Kunden), bis die "
            "Liste steht",
            30,
            [](WindowDriver &s) {
                if (!s.enter(Qt::Key_4, "swSellout"))
                    return false;
                QWidget *field = payoutField(s, "lineEditSearch");
                if (!field)
                    return false;
                field->setFocus();
                return true;
            },
            [](WindowDriver &s) {
                QTest::keyClick(payoutField(s, "lineEditSearch"), Qt::Key_M);
                auto *list = s.field<QListWidget>("swSellout", "listWidget");
                return listLaidOut(list) && list->count() > 1000;
            } },
        // The last digit of the number of the customer with 10 running contracts: his
        // contracts, the settlement of their 50 articles and the table.
        { "payout-customer", "letzte Ziffer der Kundennummer: 10 laufende Verträge laden", 20,
            [](WindowDriver &s) {
                const qint64 kunde = customerWithTenContracts();
                if (kunde <= 0 || !s.enter(Qt::Key_4, "swSellout"))
                    return false;
                const QString number = QString::number(kunde);
                return typeInto(payoutField(s, "lineEditKNR"), number.chopped(1));
            },
            [](WindowDriver &s) {
                const QString number
                    = QString::number(scalar("SELECT ID FROM Kunde WHERE Name = 'Vielbringer'"));
                QTest::keyClick(payoutField(s, "lineEditKNR"), number.back().toLatin1());
                return contractRows(s) == 11;
            } },
        // The page entry after the password: about 4,900 expired running contracts with the
        // settlement of their articles.
        { "expired-enter", "Abgelaufene Verträge: Seiteneintritt (~4.900 Verträge)", 100,
            onExpiredPage,
            [](WindowDriver &s) {
                auto *page = s.page<Abgelaufene>("swAbgelaufene");
                if (!page)
                    return false;
                page->refreshPage();
                QTableWidget *table = expiredTable(s);
                return table && table->rowCount() > 1000;
            } },
        // "Vertrag selbst beenden" with the first listed contract ticked: its statements in one
        // transaction, its end document, and the list read again. Every run ends another one.
        { "expired-end-one", "ein abgelaufener Vertrag selbst beendet, mit Beleg und neuer Liste",
            100,
            [](WindowDriver &s) {
                QTableWidget *table = expiredListed(s);
                if (!table)
                    return false;
                g_listed = table->rowCount();
                g_ticked = table->item(0, 0)->text().toLongLong();
                table->item(0, 6)->setCheckState(Qt::Checked);
                return true;
            },
            [](WindowDriver &s) {
                QTest::mouseClick(s.field("swAbgelaufene", "pushButton_beenden"), Qt::LeftButton);
                QTableWidget *table = expiredTable(s);
                return table && table->rowCount() == g_listed - 1 && printedJobs() == 1
                    && scalar(
                           qPrintable(QStringLiteral("SELECT COUNT(*) FROM Vertrag WHERE ID = %1 "
                                                     "AND length(Vertragsende) > 2")
                                          .arg(g_ticked)))
                    == 1;
            } },
        // "Drucken": the page's own list of about 4,900 contracts, as its entry read it, printed
        // as one document.
        { "expired-list", "Liste der ~4.900 abgelaufenen Verträge als PDF drucken", 3000,
            [](WindowDriver &s) {
                QTableWidget *table = expiredListed(s);
                return table && table->rowCount() > 4000;
            },
            [](WindowDriver &s) {
                QTest::mouseClick(s.field("swAbgelaufene", "pushButtonPrint"), Qt::LeftButton);
                return printedJobs() == 1;
            } },
        // The end document alone, of a listed contract: the share of printing in ending one.
        { "expired-end-document", "Beleg eines selbst beendeten Vertrags drucken", 100,
            [](WindowDriver &s) {
                QTableWidget *table = expiredListed(s);
                if (!table)
                    return false;
                g_document = AbgelaufenerVertrag();
                g_document.id = table->item(0, 0)->text().toLongLong();
                g_document.name = table->item(0, 1)->text();
                g_document.kunde = table->item(0, 2)->text().toInt();
                g_document.artikel
                    = readAbrechnung({ g_document.id }, nullptr).value(g_document.id);
                return true;
            },
            [](WindowDriver &s) {
                ReportPrinter printer;
                printer.parent = s.window.get();
                return printer.printSelbstBeenden(g_document) && printedJobs() == 1;
            } },
    });

} // namespace
