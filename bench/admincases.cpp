// The backup page: the database file copied whole, each run in a process of its own so that
// the memory the copy adds is measured alone.

#include "benchcases.h"

#include "app/dialogs.h"
#include "app/sql.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTest>

#include <cstdio>

namespace {

QString inWorkFolder(const char *name)
{
    return QDir::current().absoluteFilePath(QLatin1String(name));
}

// The boxes the action is meant to show, by title, taken from the seam; any other box is left
// for the driver to report.
bool expectBoxes(const char *caseName, const QStringList &titles)
{
    const QList<Dialogs::Record> records = Dialogs::takeRecords();
    QStringList seen;
    for (const Dialogs::Record &r : records)
        seen << r.title;
    if (seen == titles)
        return true;
    for (const Dialogs::Record &r : records)
        std::fprintf(
            stderr, "%s: box \"%s\": %s\n", caseName, qPrintable(r.title), qPrintable(r.text));
    return false;
}

bool clickOnBackupPage(WindowDriver &s, const char *button)
{
    QWidget *target = s.field("swBackup", button);
    if (!target)
        return false;
    QTest::mouseClick(target, Qt::LeftButton);
    return true;
}

// Backups go to backup/sicherung.sqlite, replaced every run; the restore backs up to
// backup/vor-restore.sqlite first and then restores backup/sicherung.sqlite.
const BenchArea adminCases("admin",
    {
        // Key "6": the counts of contracts, customers and articles, then the connection closed.
        { "backup-enter", "Taste 6 im Menü: Seite Daten sichern mit den Zählungen", 50,
            [](WindowDriver &s) { return s.toMenu(); },
            [](WindowDriver &s) {
                s.key(Qt::Key_6);
                return s.expectPage("swBackup");
            } },
        { "backup", "Daten sichern: die Datenbank kopieren (Knopf \"Sichern\")", 3000,
            [](WindowDriver &s) {
                QDir().mkpath(inWorkFolder("backup"));
                if (!s.enter(Qt::Key_6, "swBackup"))
                    return false;
                Dialogs::setNextAnswer(inWorkFolder("backup/sicherung.sqlite"));
                return true;
            },
            [](WindowDriver &s) {
                return clickOnBackupPage(s, "pushButtonSichern")
                    && expectBoxes("backup", { "Daten sichern", "Erfolg" })
                    && s.expectPage("swMenu");
            },
            true },
        { "restore", "Wiederherstellen: erst sichern, dann die Sicherung zurückspielen", 3000,
            [](WindowDriver &s) {
                const QString backup = inWorkFolder("backup/sicherung.sqlite");
                QDir().mkpath(inWorkFolder("backup"));
                if (!QFile::exists(backup) && !QFile::copy(inWorkFolder("db.sqlite"), backup))
                    return false;
                const QString masterPasswort = readSettingQuietly(QStringLiteral("MasterPasswort"));
                if (!s.enter(Qt::Key_6, "swBackup"))
                    return false;
                Dialogs::setNextAnswer(inWorkFolder("backup/vor-restore.sqlite"));
                Dialogs::setNextAnswer(int(QMessageBox::Ok));
                Dialogs::setNextAnswer(masterPasswort);
                Dialogs::setNextAnswer(backup);
                return true;
            },
            [](WindowDriver &s) {
                return clickOnBackupPage(s, "pushButtonWiederherstellen")
                    && expectBoxes("restore",
                        { "Daten sichern", "Erfolg", "MasterPasswort", "Daten wiederherstellen" })
                    && s.expectPage("swMenu");
            },
            true },
    });

} // namespace
