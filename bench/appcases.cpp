// The main window's own actions.

#include "benchcases.h"

namespace {

const BenchArea appCases("app",
    {
        { "menu-return", "Rückkehr zum Menü: Schema-Upgrade und letzte Vertragsnummer", 50,
            [](WindowDriver &) { return true; },
            [](WindowDriver &s) {
                s.window->updateDb();
                return true;
            } },
    });

} // namespace
