// The main window's own actions.

#include "benchcases.h"

#include "app/database.h"
#include "app/dialogs.h"
#include "support/sqlitetool.h"

#include <QSqlQuery>
#include <QTest>

#include <memory>

namespace {

// Another program (a database tool with a write open) holds the database for as long as it
// likes: what the staff sit through on their way to the menu and out of the program.
std::unique_ptr<SqliteTool> g_otherProgram;

// Closing leaves the window hidden; the next case wants it shown and active again.
bool windowShown(WindowDriver &s)
{
    if (!s.window->isVisible()) {
        s.window->show();
        s.window->activateWindow();
    }
    return QTest::qWaitForWindowActive(s.window.get());
}

bool lockedByAnotherProgram()
{
    g_otherProgram = std::make_unique<SqliteTool>(databasePath());
    return g_otherProgram->run(QStringLiteral("BEGIN EXCLUSIVE;"));
}

// The one box of the failed read, taken so that the case does not fail for it, and the lock
// ended (the tool killed: a few milliseconds against seconds).
bool oneLockBoxAndFree(const QString &then = QString())
{
    g_otherProgram.reset();
    const QList<Dialogs::Record> boxes = Dialogs::takeRecords();
    QStringList expected { QStringLiteral("SQL-Fehler") };
    if (!then.isEmpty())
        expected << then;
    QStringList titles;
    for (const Dialogs::Record &box : boxes)
        titles << box.title;
    if (titles == expected)
        return true;
    std::fprintf(stderr, "boxes: %s\n", qPrintable(titles.join(QStringLiteral(", "))));
    return false;
}

// Another program takes the write reservation (reading goes on) on a database whose indexes
// are gone, as after "Daten löschen" or the restore of an older backup.
bool reservedWithoutIndexes()
{
    for (const QString &index : indexNames()) {
        if (scalar(qPrintable(
                QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = '%1'").arg(index)))
            > 0)
            QSqlQuery().exec(QStringLiteral("DROP INDEX %1").arg(index));
    }
    g_otherProgram = std::make_unique<SqliteTool>(databasePath());
    return g_otherProgram->run(QStringLiteral("PRAGMA cache_size = -200000; BEGIN IMMEDIATE; "
                                              "UPDATE Kunde SET Name = Name WHERE ID = 1;"));
}

// A page entry from the menu under a lasting exclusive lock, until the page (or, for a guarded
// page whose password cannot be read, the menu) stands with its one box.
BenchCase enterLocked(const char *name, const char *what, Qt::Key key, const char *page)
{
    return { name, what, 3000,
        [](WindowDriver &s) { return windowShown(s) && s.toMenu() && lockedByAnotherProgram(); },
        [key, page](WindowDriver &s) {
            s.key(key);
            return oneLockBoxAndFree() && s.expectPage(page);
        } };
}

std::vector<BenchCase> cases()
{
    std::vector<BenchCase> all = {
        { "menu-return", "Rückkehr zum Menü: Schema-Upgrade und letzte Vertragsnummer", 50,
            // From the menu: a case before may have left the backup page, whose connection
            // is closed until the next page switch.
            [](WindowDriver &s) { return s.toMenu(); },
            [](WindowDriver &s) {
                s.window->updateDb();
                return true;
            } },
        { "close-locked",
            "Programm beenden, während ein anderes Programm die Datenbank sperrt, bis zur Frage "
            "nach der Sicherung (beantwortet mit Nein)",
            3000,
            [](WindowDriver &s) {
                return windowShown(s) && s.toMenu() && lockedByAnotherProgram();
            },
            [](WindowDriver &s) {
                Dialogs::setNextAnswer(int(QMessageBox::Ok));
                Dialogs::setNextAnswer(int(QMessageBox::No));
                const bool closed = s.window->close();
                return oneLockBoxAndFree(QStringLiteral("Warnung")) && closed;
            } },
        { "menu-locked",
            "Esc auf der Kundenseite, während ein anderes Programm die Datenbank sperrt, bis "
            "das Menü steht",
            3000,
            [](WindowDriver &s) {
                return windowShown(s) && s.enter(Qt::Key_5, "swKunden") && lockedByAnotherProgram();
            },
            [](WindowDriver &s) {
                s.key(QStringLiteral("Esc"));
                return oneLockBoxAndFree() && s.expectPage("swMenu");
            } },
        { "menu-reserved",
            "Esc auf der Kundenseite ohne Indexe, während ein anderes Programm die Datenbank zum "
            "Schreiben reserviert hat, bis das Menü steht (die Indexe bleiben aus)",
            3000,
            [](WindowDriver &s) {
                return windowShown(s) && s.enter(Qt::Key_5, "swKunden") && reservedWithoutIndexes();
            },
            [](WindowDriver &s) {
                s.key(QStringLiteral("Esc"));
                const bool noBox = Dialogs::takeRecords().isEmpty();
                g_otherProgram.reset();
                return noBox && s.expectPage("swMenu");
            } },
    };
    const struct
    {
        const char *name, *what;
        Qt::Key key;
        const char *page;
    } entries[] = {
        { "intake-locked",
            "Taste 1 im Menü, während ein anderes Programm die Datenbank sperrt, bis die "
            "Warenannahme mit ihrer einen Meldung steht",
            Qt::Key_1, "swArrive" },
        { "services-locked", "Taste 2 im Menü unter der Sperre, bis die Services-Seite steht",
            Qt::Key_2, "swService" },
        { "sale-locked", "Taste 3 im Menü unter der Sperre, bis die Verkaufsseite steht", Qt::Key_3,
            "swSell" },
        { "payout-locked", "Taste 4 im Menü unter der Sperre, bis die Auszahlung steht", Qt::Key_4,
            "swSellout" },
        { "customers-locked", "Taste 5 im Menü unter der Sperre, bis die Kundenseite steht",
            Qt::Key_5, "swKunden" },
        { "writeoff-locked", "Taste a im Menü unter der Sperre, bis die Seite Austragen steht",
            Qt::Key_A, "swAustragen" },
        { "guarded-locked",
            "Taste 7 im Menü unter der Sperre: das Passwort ist nicht lesbar, das "
            "Menü bleibt",
            Qt::Key_7, "swMenu" },
    };
    for (const auto &entry : entries)
        all.push_back(enterLocked(entry.name, entry.what, entry.key, entry.page));
    return all;
}

const BenchArea appCases("app", cases());

} // namespace
