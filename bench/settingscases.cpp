// The settings page: entering it and saving it.

#include "benchcases.h"

#include "admin/einstellungen.h"
#include "app/dialogs.h"

#include <QTest>

namespace {

// A few installed printers, the shop's two among them, so that the print cases of other areas
// still find theirs.
void installPrinters()
{
    qputenv("VELARIX_PRINTERS", "Vertragsdrucker;Etikettendrucker;Büro Laser;Lager Zebra");
}

// Key "0" with the (empty) master password typed into its prompt.
bool enterSettings(WindowDriver &s)
{
    if (!s.toMenu())
        return false;
    Dialogs::setNextAnswer(QString());
    s.key(Qt::Key_0);
    return s.expectPage("swSettings");
}

const BenchArea settingsCases("settings",
    {
        // The page entry after the master password prompt (a box would void the timing): the
        // 21 settings, the printer boxes and the ten price rules.
        { "settings-enter", "Einstellungen: Seiteneintritt nach dem MasterPasswort", 50,
            [](WindowDriver &s) {
                installPrinters();
                Dialogs::clearAnswers();
                const bool entered = enterSettings(s);
                Dialogs::takeRecords();
                return entered;
            },
            [](WindowDriver &s) {
                auto *page = s.page<Einstellungen>("swSettings");
                if (!page)
                    return false;
                page->refreshPage();
                return s.expectPage("swSettings");
            } },
        // "Speichern": 21 updates, the rules rewritten, and back to the menu.
        { "settings-save", "Einstellungen speichern und zurück zum Menü", 100,
            [](WindowDriver &s) {
                installPrinters();
                Dialogs::clearAnswers();
                const bool entered = enterSettings(s);
                Dialogs::takeRecords();
                return entered;
            },
            [](WindowDriver &s) {
                QWidget *save = s.field("swSettings", "pushButton_save");
                if (!save)
                    return false;
                QTest::mouseClick(save, Qt::LeftButton);
                return s.expectPage("swMenu") && Dialogs::records().isEmpty();
            } },
    });

} // namespace
