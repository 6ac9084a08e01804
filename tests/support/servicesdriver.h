#pragma once

#include "services/services.h"
#include "support/pagehelpers.h"
#include "support/shopfixture.h"
#include "support/testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStringList>
#include <QTest>

// The services page on the shop fixture, shown as the active window and entered as the main
// window enters it; the clerk's keys and clicks go to its widgets.
struct ServiceDesk
{
    TestWorkdir dir;
    ShopFixture shop;
    Services page;

    bool enter() { return pages::enter(page); }

    QSpinBox *spin(const char *name) { return pages::spin(page, name); }
    QLineEdit *edit(const char *name) { return pages::edit(page, name); }
    QString text(const char *name) { return pages::edit(page, name)->text(); }
    QString label(const char *name) { return pages::child<QLabel>(page, name)->text(); }
    void click(const char *name) { pages::click(pages::child<QAbstractButton>(page, name)); }

    // Contract and position typed as the clerk types them: every keystroke looks them up.
    void choose(int vertrag, int position = 1)
    {
        typeInto(spin("spinBox_vertr"), QString::number(vertrag));
        if (position != 1)
            typeInto(spin("spinBox_art"), QString::number(position));
    }
    // Into the field the clerk has clicked into.
    static void typeInto(QWidget *field, const QString &text)
    {
        field->setFocus();
        pages::type(field, text);
    }
};

// The widgets that change an article, in the page's order, and the pair that gives pieces back.
inline const QStringList kEditWidgets
    = { "pushButtonChangePrice", "pushButtonChangeStock", "pushButton_bz", "pushButtonEtikett",
          "toolButtonImages", "pushButtonEAN", "pushButtonISBN", "pushButtonKategorie",
          "pushButtonBeschreibung", "pushButtonImages", "pushButtonExport", "lineEdit_bz",
          "spinBox_lm", "doubleSpinBoxEk", "doubleSpinBoxVk", "lineEditEAN", "lineEditISBN",
          "spinBoxKategorie", "comboBoxKategorie", "lineEditImages", "textEditBeschreibung" };
inline const QStringList kReturnWidgets = { "pushButton_given_back", "spinBox_given_back" };

// The names of the widgets of the list that are enabled.
inline QStringList enabledOf(QWidget &page, const QStringList &names)
{
    QStringList enabled;
    for (const QString &name : names) {
        if (pages::child<QWidget>(page, qPrintable(name))->isEnabled())
            enabled << name;
    }
    return enabled;
}
