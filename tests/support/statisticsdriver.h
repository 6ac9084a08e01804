#pragma once

#include "statistics/inventur.h"
#include "support/pagehelpers.h"
#include "support/testsupport.h" // DebugLines

#include <QDateTime>
#include <QDateTimeEdit>
#include <QLabel>
#include <QStringList>
#include <QTableWidget>
#include <QTest>

// The statistics page on its own, shown and entered as the menu does, driven by its widgets.
struct StatisticsPage
{
    Inventur page;

    StatisticsPage()
    {
        page.show();
        page.refreshPage();
    }
    QTableWidget *figures() { return pages::child<QTableWidget>(page, "tableWidget"); }
    QTableWidget *stock() { return pages::child<QTableWidget>(page, "tableWidget_2"); }
    void click(const char *button)
    {
        QTest::mouseClick(pages::child<QPushButton>(page, button), Qt::LeftButton);
    }
    // The period as the user sets it in the two fields, then "Berechnen".
    void calculate(const QDateTime &anfang, const QDateTime &ende)
    {
        auto *endeEdit = pages::child<QDateTimeEdit>(page, "dateTimeEditEnde");
        pages::child<QDateTimeEdit>(page, "dateTimeEditAnfang")->setDateTime(anfang);
        endeEdit->setMaximumDateTime(ende.addYears(1));
        endeEdit->setDateTime(ende);
        click("pushButtonCalculate");
    }
    static QStringList row(QTableWidget *table, int row)
    {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column) {
            QTableWidgetItem *item = table->item(row, column);
            cells << (item ? item->text() : QString());
        }
        return cells;
    }
    QStringList figureCells() { return row(figures(), 0); }
    QString label(const char *name) { return pages::child<QLabel>(page, name)->text(); }
    QDateTime edit(const char *name) { return pages::child<QDateTimeEdit>(page, name)->dateTime(); }
};

// "yyyy-MM-dd hh:mm:ss" as a local date-time.
inline QDateTime at(const char *text)
{
    return QDateTime::fromString(QLatin1String(text), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}
