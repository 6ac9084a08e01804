#pragma once

#include "sales/verkauf.h"
#include "support/pagehelpers.h" // child, type, click and the widget accessors
#include "support/shopfixture.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

// The cash register's sales journal: the header line, 27 fields, the first "Datum" in double
// quotes.
inline const QString kJournalHeader
    = QStringLiteral("\"Datum\";\"Zeit\";\"Bon\";\"Menge\";\"Artikel\"")
    + QStringLiteral(";\"Feld\"").repeated(22);

// A journal line of 27 fields: date, time, receipt, quantity, reference, name, ..., price in
// field 18.
inline QString journalLine(const QString &datum, const QString &zeit, const QString &menge,
    const QString &referenz, const QString &preis)
{
    QStringList fields(27, QString());
    fields[0] = datum;
    fields[1] = zeit;
    fields[2] = QStringLiteral("4711");
    fields[3] = menge;
    fields[4] = QLatin1Char('"') + referenz + QLatin1Char('"');
    fields[5] = QStringLiteral("\"Größe 40 – gebraucht\"");
    fields[18] = preis;
    fields[26] = QStringLiteral("0");
    return fields.join(QLatin1Char(';'));
}

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
        if (!pages::showActive(page))
            return false;
        page.refreshPage(true);
        if (austragen)
            page.setAustragen(true);
        return true;
    }

    QSpinBox *vertrag() { return pages::spin(page, "spinBoxVertrag"); }
    QSpinBox *artikel() { return pages::spin(page, "spinBoxArtikel"); }
    QSpinBox *anzahl() { return pages::spin(page, "spinBoxAnzahl"); }
    QDoubleSpinBox *preis() { return pages::money(page, "doubleSpinBoxPreis"); }
    QLineEdit *code() { return pages::edit(page, "lineEditBarcode"); }
    QTableWidget *list() { return pages::child<QTableWidget>(page, "tableWidgetVerkauf"); }
    QString label(const char *name) { return pages::child<QLabel>(page, name)->text(); }

    // Contract and position typed as the clerk types them: every keystroke selects.
    void select(int vertragNr, int artikelNr)
    {
        pages::type(vertrag(), QString::number(vertragNr));
        pages::type(artikel(), QString::number(artikelNr));
    }

    // "Bestätigen" by its key, Return, as the clerk (or the scanner after a code) presses it
    // in the field that has the focus. A button's shortcut clicks it animated: the click
    // comes a moment later, from the event loop.
    bool confirm()
    {
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : static_cast<QWidget *>(&page), Qt::Key_Return);
        QPushButton *ok = pages::button(page, "pushButton");
        return QTest::qWaitFor([ok] { return !ok->isDown(); });
    }
    // A scanned code: the scanner types it and presses Return.
    bool scan(const QString &text)
    {
        code()->setFocus();
        QTest::keyClicks(code(), text);
        return confirm();
    }

    // A click on the listed sale of that time stamp; false when it is not listed.
    bool clickSale(const QString &dateTime)
    {
        QTableWidget *table = list();
        const auto found = table->findItems(dateTime, Qt::MatchExactly);
        if (found.isEmpty())
            return false;
        table->scrollToItem(found.first());
        QTest::mouseClick(
            table->viewport(), Qt::LeftButton, {}, table->visualItemRect(found.first()).center());
        return table->currentRow() == found.first()->row();
    }

    // The listed sales, one "Datum|Vertrag|Artikel|Bezeichnung|Menge|Preis" line per row.
    QStringList listed() { return pages::tableRows(list()); }
};
