// The statistics and stock-taking page.

#include "benchcases.h"
#include "statistics/periodenzahlen.h"

#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

// The statistics page, entered from the menu with the shop's (empty) password.
bool enterStatistics(WindowDriver &s)
{
    if (s.page() == QLatin1String("swInventur"))
        return true;
    if (!s.toMenu())
        return false;
    Dialogs::setNextAnswer(QString());
    s.key(Qt::Key_9);
    Dialogs::takeRecords(); // the password prompt
    return s.expectPage("swInventur");
}

const BenchArea statisticsCases("statistics",
    {
        // Statistics a to h of today, straight from the database (no stock list, no table).
        { "stats-figures", "Statistik a bis h für heute, ohne Bestandsliste", 100,
            [](WindowDriver &) { return true; },
            [](WindowDriver &s) {
                const QDate today = QDate::currentDate();
                const Periodenzahlen zahlen = periodenzahlen(QDateTime(today, QTime(0, 0)),
                    QDateTime(today.addDays(1), QTime(0, 0)), s.window.get());
                return zahlen.gezeigt[1] && zahlen.gezeigt[11];
            } },
        // "heute" on the statistics page: the figures, the stock list at tomorrow 00:00 (about
        // 268,000 articles of ten years) and both tables.
        { "stats-day", "Statistik: Knopf heute (Zahlen, Bestandsliste, beide Tabellen)", 2500,
            [](WindowDriver &s) {
                return enterStatistics(s) && s.field("swInventur", "pushButtonHeute");
            },
            [](WindowDriver &s) {
                QTest::mouseClick(s.field("swInventur", "pushButtonHeute"), Qt::LeftButton);
                auto *table = s.field<QTableWidget>("swInventur", "tableWidget_2");
                return table && table->rowCount() > 100000;
            } },
    });

} // namespace
