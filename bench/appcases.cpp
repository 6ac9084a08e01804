// The main window's own actions.

#include "benchcases.h"

#include "app/database.h"
#include "app/dialogs.h"
#include "support/sqlitetool.h"

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
    });

} // namespace
