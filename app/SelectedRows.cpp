#include "app/SelectedRows.h"

#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>

QList<int> SelectedRows(const QTableView* view) {
    QList<int> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}
