// Print jobs on their own, without a page around them.

#include "benchcases.h"

#include "printing/reportprinter.h"

#include <QDate>

namespace {

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
    });

} // namespace
