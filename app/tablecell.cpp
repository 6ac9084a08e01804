#include "app/tablecell.h"

#include <QHeaderView>

void fitColumns(QTableWidget *table, int nameColumn)
{
    table->horizontalHeader()->setSectionResizeMode(nameColumn, QHeaderView::Stretch);
    for (int column = 0; column < table->columnCount(); ++column) {
        if (column != nameColumn)
            table->resizeColumnToContents(column);
    }
}
