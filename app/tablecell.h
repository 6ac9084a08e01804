#pragma once

#include "app/textwidgets.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QList>
#include <QTableWidget>
#include <QTableWidgetItem>

// A read-only list cell: its text and alignment, held by the cell itself. A plain item keeps
// both as role values in a list of its own; a long list (the recent sales, the cash
// purchases) then spends most of its filling on allocations. Values set later (setText,
// setData) still take precedence.
class TableCell : public QTableWidgetItem
{
public:
    enum { CellType = UserType + 100 };

    explicit TableCell(const QString &text, Qt::Alignment alignment = {})
        : QTableWidgetItem(CellType)
        , m_text(text)
        , m_alignment(alignment)
    { }

    QVariant data(int role) const override
    {
        const QVariant stored = QTableWidgetItem::data(role);
        if (stored.isValid())
            return stored;
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return m_text;
        if (role == Qt::TextAlignmentRole && m_alignment)
            return int(m_alignment);
        return stored;
    }
    void setData(int role, const QVariant &value) override
    {
        m_alone = m_alone
            && (role == Qt::TextAlignmentRole || role == Qt::ToolTipRole || role >= Qt::UserRole);
        QTableWidgetItem::setData(role, value);
    }

    // The text, while it alone decides the cell's width: nothing stored since has changed it
    // or its font, or added a check box or an icon. fitColumns reads it without asking for
    // every role.
    const QString *widthText() const { return m_alone ? &m_text : nullptr; }

private:
    QString m_text;
    Qt::Alignment m_alignment;
    bool m_alone = true;
};

// A cell of a name or a description. Its column takes the room the others leave and cuts a
// long text (fitColumns): the whole text is the tool tip, made only when it is asked for.
class NameCell : public TableCell
{
public:
    using TableCell::TableCell;

    QVariant data(int role) const override
    {
        if (role == Qt::ToolTipRole) {
            const QVariant stored = QTableWidgetItem::data(role);
            return stored.isValid() ? stored : QVariant(plainToolTip(text()));
        }
        return TableCell::data(role);
    }
};

// Rows that hold a column's widest values, by column: for a list whose cells make their text
// only when it is shown, the page finds them from its figures (ExtremeRows) for less than
// making every text would cost.
using WidestRows = QHash<int, QList<int>>;

// Fits a list's columns to their contents, except the column of names or descriptions
// (nameColumn, -1 for none): it takes the room that is left, so that however long a name the
// figures stay in sight. A longer name is cut with "…". Every other column shows each of its
// values whole, in every row however many: its width comes from one row of each shape of
// its texts (digits count alike), or from the rows `widest` names for it, each measured with
// room for any digits in its place (a font may kern digits in pairs). A caption wider than
// its column's values goes onto two lines, so that it takes no room the names could use.
void fitColumns(QTableWidget *table, int nameColumn, const WidestRows &widest = {});

// Keeps a column of short texts from the data (telephone numbers), fitted by fitColumns, to
// the width `longest` takes in the list: a longer text is cut with "…", whole in its cell's
// tool tip (a NameCell), and leaves the name column its room.
void limitColumn(QTableWidget *table, int column, const QString &longest);

// Lets a list's columns share its width, as Qt's Stretch mode does, none of them narrower than
// the widest value or caption of any column: a list too narrow for that scrolls sideways.
void shareColumns(QTableWidget *table);

// The rows of each column's smallest and largest value, noted while a list is filled: with
// digits of one width, the widest text of a number or an amount is one of theirs.
class ExtremeRows
{
public:
    explicit ExtremeRows(int columns)
        : m_columns(columns)
    { }
    void note(int column, double value, int row)
    {
        Extremes &e = m_columns[column];
        if (e.lowRow < 0 || value < e.low) {
            e.low = value;
            e.lowRow = row;
        }
        if (e.highRow < 0 || value > e.high) {
            e.high = value;
            e.highRow = row;
        }
    }
    // A row measured in any case, such as a row of totals in a font of its own.
    void add(int column, int row) { m_extra[column].append(row); }
    WidestRows rows() const;

private:
    struct Extremes
    {
        double low = 0, high = 0;
        int lowRow = -1, highRow = -1;
    };
    QList<Extremes> m_columns;
    WidestRows m_extra;
};

// Sets the cells of a long list, whose rows are there already. Each cell set would have its
// own change signal, and every view, header and selection of the table would answer it (a
// fifth of the time for 200,000 cells): the model stays silent while fill() runs and then
// reports one change over the whole table.
template <class Fill> void fillCells(QTableWidget *table, Fill fill)
{
    QAbstractItemModel *model = table->model();
    const bool wasBlocked = model->blockSignals(true);
    fill();
    model->blockSignals(wasBlocked);
    if (table->rowCount() > 0 && table->columnCount() > 0)
        emit model->dataChanged(
            model->index(0, 0), model->index(table->rowCount() - 1, table->columnCount() - 1));
}
