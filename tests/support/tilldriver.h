#pragma once

#include "intakedriver.h" // child, type, click and the widget accessors
#include "sales/verkauf.h"
#include "support/shopfixture.h"
#include "support/testsupport.h"

#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

// The till page on the shop fixture, shown as the active window and entered the way the main
// window enters it; the clerk's keys and clicks go to its widgets.
struct Till
{
    TestWorkdir dir;
    ShopFixture shop;
    Verkauf page;

    // The main window's entry of the sale page, or with austragen of the write-off page.
    bool enter(bool austragen = false)
    {
        page.show();
        page.activateWindow();
        if (!QTest::qWaitForWindowActive(&page))
            return false;
        page.refreshPage(true);
        if (austragen)
            page.setAustragen(true);
        return true;
    }

    QSpinBox *vertrag() { return intake::spin(page, "spinBoxVertrag"); }
    QSpinBox *artikel() { return intake::spin(page, "spinBoxArtikel"); }
    QSpinBox *anzahl() { return intake::spin(page, "spinBoxAnzahl"); }
    QDoubleSpinBox *preis() { return intake::money(page, "doubleSpinBoxPreis"); }
    QLineEdit *code() { return intake::edit(page, "lineEditBarcode"); }
    QTableWidget *list() { return intake::child<QTableWidget>(page, "tableWidgetVerkauf"); }
    QString label(const char *name) { return intake::child<QLabel>(page, name)->text(); }

    // Contract and position typed as the clerk types them: every keystroke selects.
    void select(int vertragNr, int artikelNr)
    {
        intake::type(vertrag(), QString::number(vertragNr));
        intake::type(artikel(), QString::number(artikelNr));
    }

    // The listed sales, one "Datum|Vertrag|Artikel|Bezeichnung|Menge|Preis" line per row.
    QStringList listed()
    {
        QStringList rows;
        QTableWidget *table = list();
        for (int r = 0; r < table->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < table->columnCount(); ++c)
                cells << (table->item(r, c) ? table->item(r, c)->text() : QStringLiteral("-"));
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }
};
