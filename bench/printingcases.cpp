// Print jobs on their own, without a page around them.

#include "benchcases.h"

#include "app/dialogs.h"
#include "printing/reportprinter.h"
#include "statistics/bestandsliste.h"

#include <QDate>

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
