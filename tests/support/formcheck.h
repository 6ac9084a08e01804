#pragma once

#include <QList>
#include <QMetaType>
#include <QStringList>
#include <QVariant>

class QGridLayout;
class QObject;
class QSpacerItem;
class QWidget;

// One row of a form's table: a widget (or a nested layout) by its object name, the grid cell
// that holds it and how it shows. Rows are written in the order of the form's table:
//     { "label_15", "QLabel", "gridLayout", 0, 0, 1, 1, "Anlieferung und Ankauf", 18 },
//     { "lineEditDA", "QLineEdit", "gridLayout", 3, 1, 1, 2, nullptr, 0, FormCell::Disabled },
struct FormCell
{
    enum Flag : unsigned { Italic = 1, Bold = 2, Disabled = 4 };

    const char *name = nullptr;
    const char *className = nullptr;
    const char *grid = nullptr; // the grid layout that holds it, anywhere in the form
    int row = 0, column = 0, rowSpan = 1, columnSpan = 1;
    // The text of a label, button or line edit; nullptr: not checked.
    const char *text = nullptr;
    int pointSize = 0; // 0: the application's default size
    unsigned flags = 0; // otherwise upright, normal weight, enabled
    Qt::Alignment alignment = {}; // a label's; none: not checked
};
Q_DECLARE_METATYPE(FormCell)

// What differs between the form and its table, each difference naming the widget, joined by
// "; "; empty when the form matches. Fonts are compared with the application's font family.
// With a whole table or with one row of a data-driven test:
//     QCOMPARE(formMismatches(page, cells), QString());
QString formMismatches(QWidget &form, const QList<FormCell> &cells);

// A data-driven test's rows, one per cell, named by the object name; the test function then
// reads its row with QFETCH(FormCell, cell).
void addFormRows(const QList<FormCell> &cells);

// A data-driven test of properties: the columns "name", "property" and "value", and one row
// per property of a widget, named "<widget> <property>":
//     addPropertyColumns();
//     addPropertyRow("spinBoxVertrag", "minimum", 0);
void addPropertyColumns();
void addPropertyRow(const char *name, const char *property, const QVariant &value);

// The property of the form's child of that name (or of the form itself, by its own name)
// against the expected value, enums and flags as numbers: what differs, empty when they agree.
//     QCOMPARE(propertyMismatch(page, name, property, value), QString());
QString propertyMismatch(
    QObject &form, const QString &name, const QByteArray &property, const QVariant &value);

// The named widgets in the order the form's focus chain reaches them, from the first name on:
// the form's tab order among them.
QStringList tabChain(QWidget &form, const QStringList &names);

// The signatures of the class's own signals and slots in the order of its meta-object: the
// order by which other code reaches them.
QStringList ownMethods(const QMetaObject &meta);

// The grid layout of the form that holds the object (a widget or a layout), and its index.
QGridLayout *gridHolding(QWidget &form, QObject *object, int *index);
QSpacerItem *spacerAt(QGridLayout *grid, int row, int column);
// Every spacer of the form's grids, sorted, one line each:
// "gridLayout_2 7,0 1x1 40x20 Expanding/Minimum" (grid, cell, span, size hint, policies).
QStringList formSpacers(QWidget &form);
