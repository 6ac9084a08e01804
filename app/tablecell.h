#pragma once

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
