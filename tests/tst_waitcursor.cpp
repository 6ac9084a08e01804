#include "support/pagehelpers.h"
#include "support/shopfixture.h"
#include "support/testsupport.h"
#include "support/windowdriver.h"

#include "app/waitcursor.h"

#include <QCursor>
#include <QDateTimeEdit>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include <functional>

using namespace pages;

namespace {

// What the user was shown during an action, one line a box or dialog: "busy" when the wait
// cursor was up at that moment.
QStringList shownWithCursor()
{
    QStringList lines;
    for (const Dialogs::Record &r : Dialogs::takeRecords())
        lines << Dialogs::kindName(r.kind) + QLatin1Char('|') + r.title
                + QLatin1String(r.busy ? "|busy" : "|idle");
    return lines;
}

// A running commission contract past its term, for the expired contracts page.
void expiredContract()
{
    TestWorkdir::exec(
        QStringLiteral("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit) "
                       "VALUES (104, 1, '%1', 5, 90)")
            .arg(QDateTime::currentDateTime().addDays(-100).toString(
                QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))));
}

} // namespace

class TestWaitCursor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void guardsNestAndRestore()
    {
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        {
            const WaitCursor outer;
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
            {
                const WaitCursor inner;
                QVERIFY(WaitCursor::active());
            }
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
            QVERIFY(WaitCursor::active());
        }
        QVERIFY(!WaitCursor::active());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    // Each long action shows the wait cursor from the moment the user has chosen what to do
    // until it ends: a box on its way comes while it is up, the file dialogs before it, and
    // nothing is left over afterwards. Failures are provoked so that each action shows a box.
    void longActionsShowTheWaitCursor()
    {
        struct Case
        {
            const char *name;
            Qt::Key key; // menu key of the page
            const char *page;
            std::function<void(Shell &)> act;
            QStringList shown; // after the page's entry
        };
        const auto press = [](Shell &s, const char *page, const char *name) {
            click(s.field<QAbstractButton>(page, name));
        };
        const QList<Case> cases = {
            { "statistics", Qt::Key_9, "swInventur",
                [&](Shell &s) {
                    // A period in the future is calculated anyway, after its warning.
                    s.field<QDateTimeEdit>("swInventur", "dateTimeEditEnde")
                        ->setMaximumDateTime(QDateTime::currentDateTime().addYears(1));
                    s.field<QDateTimeEdit>("swInventur", "dateTimeEditEnde")
                        ->setDateTime(QDateTime::currentDateTime().addDays(3));
                    s.field<QDateTimeEdit>("swInventur", "dateTimeEditAnfang")
                        ->setDateTime(QDateTime::currentDateTime().addDays(2));
                    press(s, "swInventur", "pushButtonCalculate");
                },
                { "Warning|Warnung|busy" } },
            { "stock list print without a printer", Qt::Key_9, "swInventur",
                [&](Shell &s) { press(s, "swInventur", "pushButtonPrintInv"); },
                { "Critical|Fehler|busy" } },
            { "stock export into a missing folder", Qt::Key_9, "swInventur",
                [&](Shell &s) {
                    Dialogs::setNextAnswer(QStringList { s.dir.path("fehlt/bestand.csv") });
                    press(s, "swInventur", "pushButtonExport");
                },
                { "SaveFile|Export Datei wählen|idle", "Warning|Fehler|busy" } },
            { "upload without a server", Qt::Key_Escape, "swMenu",
                [&](Shell &s) { click(s.find<QPushButton>("pushButtonUpload")); },
                { "Critical|Fehler|busy" } },
            { "journal import", Qt::Key_3, "swSell",
                [&](Shell &s) {
                    const QString path = s.dir.path("journal.csv");
                    QFile file(path);
                    QVERIFY(file.open(QIODevice::WriteOnly));
                    file.write("\"Datum\";\r\n");
                    file.close();
                    Dialogs::setNextAnswer(path);
                    click(s.field<QToolButton>("swSell", "toolButtonImport"));
                },
                { "OpenFile|Import Datei wählen|idle", "Information|Erfolgreich|busy" } },
            { "expired list print without a printer", Qt::Key_8, "swAbgelaufene",
                [&](Shell &s) { press(s, "swAbgelaufene", "pushButtonPrint"); },
                { "Critical|Fehler|busy" } },
            { "ending expired contracts without a printer", Qt::Key_8, "swAbgelaufene",
                [&](Shell &s) {
                    QVERIFY(
                        clickCheckBox(s.field<QTableWidget>("swAbgelaufene", "tableWidget"), 0, 6));
                    press(s, "swAbgelaufene", "pushButton_beenden");
                },
                { "Critical|Fehler|busy" } },
            { "backup", Qt::Key_6, "swBackup",
                [&](Shell &s) {
                    Dialogs::setNextAnswer(s.dir.path("sicherung.sqlite"));
                    press(s, "swBackup", "pushButtonSichern");
                },
                { "SaveFile|Daten sichern|idle", "Information|Erfolg|busy" } },
            { "restore of a file that is none", Qt::Key_6, "swBackup",
                [&](Shell &s) {
                    Dialogs::setNextAnswer(s.dir.path("sicherung.sqlite"));
                    Dialogs::setNextAnswer(QMessageBox::Ok);
                    Dialogs::setNextAnswer(QString()); // the empty master password
                    Dialogs::setNextAnswer(s.dir.path("kategorien.txt"));
                    press(s, "swBackup", "pushButtonWiederherstellen");
                },
                { "SaveFile|Daten sichern|idle", "Information|Erfolg|busy",
                    "Text|MasterPasswort|idle", "OpenFile|Daten wiederherstellen|idle",
                    "Critical|Fehler|busy" } },
        };

        for (const Case &c : cases) {
            Shell s;
            ShopFixture shop;
            expiredContract();
            QVERIFY(s.start());
            Dialogs::setNextAnswer(QString()); // the empty password of the gated pages
            if (c.key != Qt::Key_Escape)
                QVERIFY2(s.enter(c.key, c.page), c.name);
            Dialogs::clearAnswers();
            Dialogs::takeRecords();
            c.act(s);
            QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
            const QStringList shown = shownWithCursor();
            if (shown != c.shown)
                qWarning().noquote() << c.name << shown;
            QCOMPARE(shown, c.shown);
        }
    }
};

QTEST_MAIN(TestWaitCursor)
#include "tst_waitcursor.moc"
