// Print jobs on their own, without a page around them.

#include "benchcases.h"

#include "app/dialogs.h"
#include "printing/records/abgelaufen.h"
#include "printing/reportprinter.h"
#include "statistics/bestandsliste.h"

#include <QDate>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>

namespace {

// The first rows of the stock list now, as the statistics page reads it (all with -1).
InventurListe stockList(int limit)
{
    InventurListe liste = bestandsliste(QDateTime::currentDateTime(), nullptr);
    if (limit >= 0 && liste.artikelIds.size() > limit) {
        for (qsizetype i = limit; i < liste.artikelIds.size(); ++i)
            liste.artikel.remove(liste.artikelIds.at(i).toLongLong());
        liste.artikelIds.resize(limit);
        liste.artikel.squeeze();
    }
    return liste;
}

// The running commission contracts past their term, with their customers and open amounts,
// as the expired-contracts page lists them.
QList<AbgelaufenerVertrag> expiredContracts()
{
    QList<AbgelaufenerVertrag> list;
    QSqlQuery query;
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral(
            "SELECT V.ID, V.Kunde, K.Name || ', ' || K.Vorname, K.Telefon, V.DateTime, "
            "V.Laufzeit, (SELECT IFNULL(SUM(S.EinkaufsPreis * S.VerkaufsMenge), 0) FROM Artikel "
            "AS A JOIN Verkauf AS S ON S.Artikel = A.ID WHERE A.Vertrag = V.ID AND "
            "S.Auszahldatum IS NULL) FROM Vertrag AS V JOIN Kunde AS K ON K.ID = V.Kunde WHERE "
            "(V.Vertragsende IS NULL OR V.Vertragsende IN ('', '-1')) AND V.Laufzeit <> -1 "
            "ORDER BY V.ID")))
        std::fprintf(stderr, "expired contracts: %s\n", qPrintable(query.lastError().text()));
    const QDateTime now = QDateTime::currentDateTime();
    while (query.next()) {
        AbgelaufenerVertrag v;
        v.id = query.value(0).toLongLong();
        v.kunde = query.value(1).toInt();
        v.name = query.value(2).toString();
        v.telefon = query.value(3).toString();
        v.datum = QDateTime::fromString(
            query.value(4).toString().left(19), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        v.ende = v.datum.addDays(query.value(5).toInt());
        v.offen = query.value(6).toDouble();
        if (v.ende <= now)
            list << v;
    }
    return list;
}

// The stock list asks for A4 paper before it prints; any other box fails the case.
bool takeA4Box(const char *caseName)
{
    QList<Dialogs::Record> records = Dialogs::takeRecords();
    if (!records.isEmpty() && records.first().title == QLatin1String("Warnung")
        && records.first().text == QLatin1String("Bitte A4 Papier einlegen."))
        records.removeFirst();
    for (const Dialogs::Record &r : records)
        std::fprintf(stderr, "%s: unexpected box \"%s\": %s\n", caseName, qPrintable(r.title),
            qPrintable(r.text));
    return records.isEmpty();
}

// The list a case prints, read before its timings.
InventurListe g_stock;
QList<AbgelaufenerVertrag> g_expired;

bool prepareStockList(int rows)
{
    clearPrintFolder();
    if (g_stock.artikelIds.size() != rows)
        g_stock = stockList(rows);
    if (g_stock.artikelIds.size() == rows)
        return true;
    std::fprintf(stderr, "the stock list has only %d rows\n", int(g_stock.artikelIds.size()));
    return false;
}

bool printStockList(WindowDriver &s)
{
    ReportPrinter printer;
    printer.parent = s.window.get();
    return printer.printInventur(g_stock) && takeA4Box("stock list") && printedJobs() == 1;
}

const BenchArea printingCases("printing",
    {
        { "label", "ein Etikett als PDF drucken", 30,
            [](WindowDriver &) {
                clearPrintFolder();
                return true;
            },
            [](WindowDriver &s) {
                ReportPrinter printer;
                printer.parent = s.window.get();
                return printer.printEtikett(QDate::currentDate(), 100001, 7,
                           QStringLiteral("Damenjacke Wolle, Gr. 40"), 12.5)
                    && printedJobs() == 1;
            } },
        // The first rows of the stock list, as the statistics page prints it.
        { "stock-2000", "Inventurliste mit 2.000 Zeilen als PDF drucken", 1000,
            [](WindowDriver &) { return prepareStockList(2000); }, printStockList },
        { "stock-10000", "Inventurliste mit 10.000 Zeilen als PDF drucken", 5000,
            [](WindowDriver &) { return prepareStockList(10000); }, printStockList },
        // Target: 2.3 times the target of stock-10000; compare with its figure.
        { "stock-20000", "Inventurliste mit 20.000 Zeilen als PDF drucken", 11500,
            [](WindowDriver &) { return prepareStockList(20000); }, printStockList },
        { "expired-list", "Liste der ~4.900 abgelaufenen Verträge als PDF drucken", 3000,
            [](WindowDriver &) {
                clearPrintFolder();
                if (g_expired.isEmpty())
                    g_expired = expiredContracts();
                return g_expired.size() > 4000;
            },
            [](WindowDriver &s) {
                ReportPrinter printer;
                printer.parent = s.window.get();
                return printer.printOffeneVertraege(g_expired) && printedJobs() == 1;
            } },
        // The whole stock list of the ten years, in a process of its own for its memory: the
        // peak is the whole process's, the list read by prepare included.
        { "stock-10y", "ganze Inventurliste der zehn Jahre (~268.000 Zeilen) als PDF drucken",
            120000,
            [](WindowDriver &) {
                clearPrintFolder();
                g_stock = stockList(-1);
                return g_stock.artikelIds.size() > 100000;
            },
            printStockList, true, 1024, 1024, 900, true },
    });

} // namespace
