// The main window's own actions.

#include "benchcases.h"

namespace {

const BenchArea appCases("app",
    {
        { "menu-return", "Rückkehr zum Menü: Schema-Upgrade und letzte Vertragsnummer", 50,
            // From the menu: a case before may have left the backup page, whose connection
            // is closed until the next page switch.
            [](WindowDriver &s) { return s.toMenu(); },
            [](WindowDriver &s) {
                s.window->updateDb();
                return true;
            } },
    });

} // namespace
