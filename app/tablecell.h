#pragma once

#include "app/textwidgets.h"

#include <QAbstractItemModel>
#include <QTableWidget>
#include <QTableWidgetItem>

// A read-only list cell: its text and alignment, held by the cell itself. A plain item keeps
// both as role values in a list of its own; a long list (the recent sales, the cash
// purchases) then spends most of its filling on allocations. Values set later (setText,
// setData) still take precedence.
class TableCell : public QTableWidgetItem
{
public:
    explicit TableCell(const QString &text, Qt::Alignment alignment = {})
        : m_text(text)
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

private:
    QString m_text;
    Qt::Alignment m_alignment;
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

// Fits a list's columns to their contents, except the column of names or descriptions: it
// takes the room that is left, so that however long a name the figures stay in sight. A
// longer name is cut with "…".
void fitColumns(QTableWidget *table, int nameColumn);

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
