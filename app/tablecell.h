#pragma once

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
