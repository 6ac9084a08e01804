// The settings page: entering it and saving it.

#include "benchcases.h"

#include "admin/einstellungen.h"
#include "app/dialogs.h"

#include <QTest>

namespace {

// On the settings page, entered with key "0" and the (empty) master password typed into its
// prompt; the prompt is not part of any timing. Four printers are installed, the shop's two
// among them, so that the print cases of other areas still find theirs.
bool onSettingsPage(WindowDriver &s)
{
    qputenv("VELARIX_PRINTERS", "Vertragsdrucker;Etikettendrucker;Büro Laser;Lager Zebra");
    Dialogs::clearAnswers();
    bool entered = s.toMenu();
    if (entered) {
        Dialogs::setNextAnswer(QString());
        s.key(Qt::Key_0);
        entered = s.expectPage("swSettings");
    }
    Dialogs::takeRecords();
    return entered;
}

const BenchArea settingsCases("settings",
    {
        // The page entry after the master password prompt (a box would void the timing): the
        // 21 settings, the printer boxes and the ten price rules.
        { "settings-enter", "Einstellungen: Seiteneintritt nach dem MasterPasswort", 50,
            onSettingsPage,
            [](WindowDriver &s) {
                auto *page = s.page<Einstellungen>("swSettings");
                if (!page)
                    return false;
                page->refreshPage();
                return s.expectPage("swSettings");
            } },
        // "Speichern": 21 updates, the rules rewritten, and back to the menu.
        { "settings-save", "Einstellungen speichern und zurück zum Menü", 100, onSettingsPage,
            [](WindowDriver &s) {
                QWidget *save = s.field("swSettings", "pushButton_save");
                if (!save)
                    return false;
                QTest::mouseClick(save, Qt::LeftButton);
                return s.expectPage("swMenu") && Dialogs::records().isEmpty();
            } },
    });

} // namespace
