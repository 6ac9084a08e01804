#pragma once

#include "intake/anlieferung.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

// Drives the intake page through its widgets, the way the shop assistant does.
namespace intake {

template <class T> T *child(QWidget &page, const char *name)
{
    T *widget = page.findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

inline QLineEdit *edit(QWidget &p, const char *name)
{
    return child<QLineEdit>(p, name);
}
inline QDoubleSpinBox *money(QWidget &p, const char *name)
{
    return child<QDoubleSpinBox>(p, name);
}
inline QSpinBox *spin(QWidget &p, const char *name)
{
    return child<QSpinBox>(p, name);
}
inline QPushButton *button(QWidget &p, const char *name)
{
    return child<QPushButton>(p, name);
}

// Replaces the field's content by typing: select all, then the keys.
inline void type(QWidget *field, const QString &text)
{
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

inline void click(QAbstractButton *b)
{
    QTest::mouseClick(b, Qt::LeftButton);
}

// Shows the page as the active window and enters it, as the menu does.
inline bool enter(Anlieferung &page)
{
    page.show();
    page.activateWindow();
    if (!QTest::qWaitForWindowActive(&page))
        return false;
    page.refreshPage();
    return true;
}

// Types one article and confirms it; a sale price given is typed after "Preis ändern".
inline void addArticle(Anlieferung &page, const QString &bezeichnung, int menge, const QString &ek,
    const QString &vk = QString())
{
    type(edit(page, "lineEditBZ"), bezeichnung);
    type(spin(page, "spinBoxME"), QString::number(menge));
    type(money(page, "doubleSpinBoxEk"), ek);
    if (!vk.isNull()) {
        click(button(page, "pushButtonVk"));
        type(money(page, "doubleSpinBoxVk"), vk);
    }
    click(button(page, "pushButtonNeuArt"));
}

} // namespace intake
