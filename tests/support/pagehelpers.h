#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

// Small helpers that drive any page through its widgets, the way the shop staff do: by the
// widgets' object names, with key clicks and mouse clicks.
namespace pages {

// The page's widget of that name; a name the form does not have stops the test program at
// once, so a typo cannot pass as a missing reaction.
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
inline QLabel *label(QWidget &p, const char *name)
{
    return child<QLabel>(p, name);
}
inline QComboBox *combo(QWidget &p, const char *name)
{
    return child<QComboBox>(p, name);
}
inline QListWidget *list(QWidget &p, const char *name)
{
    return child<QListWidget>(p, name);
}
inline QTableWidget *table(QWidget &p, const char *name)
{
    return child<QTableWidget>(p, name);
}

// Replaces the field's content by typing: select all, then the keys. A character without a
// key of its own ("ü", "€") arrives as the text of a key press, as from a German keyboard;
// "\n" is the Return key.
inline void type(QWidget *field, const QString &text)
{
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\n'))
            QTest::keyClick(field, Qt::Key_Return);
        else if (ch.unicode() < 128)
            QTest::keyClick(field, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

// Replaces the field's content by pasting, as from a mail or a web page: the whole text at
// once, line breaks and characters beyond 16 bits included.
inline void paste(QWidget *field, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
}

inline void click(QAbstractButton *b)
{
    QTest::mouseClick(b, Qt::LeftButton);
}

// A click on the check box of a table cell, where the user ticks it; false when the cell has
// no check box or the click did not change it.
inline bool clickCheckBox(QTableWidget *table, int row, int column)
{
    QTableWidgetItem *item = table->item(row, column);
    if (!item || !item->data(Qt::CheckStateRole).isValid())
        return false;
    table->scrollToItem(item);
    QStyleOptionViewItem option;
    option.initFrom(table->viewport());
    option.rect = table->visualItemRect(item);
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    const QRect box
        = table->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, table);
    const Qt::CheckState before = item->checkState();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, box.center());
    return item->checkState() != before;
}

// The texts of a table's column headings, in column order.
inline QStringList headerTexts(const QTableWidget *table)
{
    QStringList texts;
    for (int c = 0; c < table->columnCount(); ++c)
        texts << table->horizontalHeaderItem(c)->text();
    return texts;
}

// The table's rows as text, one line per row with its cells joined by "|"; a check box is
// written after the cell's text as "[ ]" or "[x]".
inline QStringList tableRows(const QTableWidget *table)
{
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c) {
            const QTableWidgetItem *item = table->item(r, c);
            QString text = item ? item->text() : QString();
            if (item && item->data(Qt::CheckStateRole).isValid())
                text += item->checkState() == Qt::Checked ? QLatin1String("[x]")
                                                          : QLatin1String("[ ]");
            cells << text;
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

// Shows the page on its own as the active window: its key clicks and focus then act as in
// the program.
inline bool showActive(QWidget &page)
{
    page.show();
    page.activateWindow();
    return QTest::qWaitForWindowActive(&page);
}

// Shows the page and enters it, as the menu does. Pages whose entry takes arguments call
// showActive() and then their own refreshPage(...).
template <class Page> bool enter(Page &page)
{
    if (!showActive(page))
        return false;
    page.refreshPage();
    return true;
}

// The numbers a customer list holds (item data Qt::UserRole), in list order.
inline QList<int> listedIds(const QListWidget &list)
{
    QList<int> ids;
    for (int i = 0; i < list.count(); ++i)
        ids << list.item(i)->data(Qt::UserRole).toInt();
    return ids;
}
inline QList<int> listedIds(QWidget &page, const char *listName = "listWidget")
{
    return listedIds(*child<QListWidget>(page, listName));
}

// The texts a list shows, in list order.
inline QStringList listedTexts(const QListWidget &list)
{
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.item(i)->text();
    return texts;
}
inline QStringList listedTexts(QWidget &page, const char *listName = "listWidget")
{
    return listedTexts(*child<QListWidget>(page, listName));
}

// The customer block of the intake and payout pages: six fields in this order.
inline const char *const kCustomerFields[]
    = { "lineEditNA", "lineEditVNA", "lineEditTEL", "lineEditPLZ", "lineEditORT", "lineEditSTR" };

inline QStringList customerFieldTexts(QWidget &page)
{
    QStringList texts;
    for (const char *name : kCustomerFields)
        texts << edit(page, name)->text();
    return texts;
}

inline bool customerFieldsEnabled(QWidget &page)
{
    bool enabled = true;
    for (const char *name : kCustomerFields)
        enabled = enabled && edit(page, name)->isEnabled();
    return enabled;
}

} // namespace pages
