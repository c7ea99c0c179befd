#pragma once

#include <QList>

class QTableView;

// The selected rows of a whole-row selection, in list order.
QList<int> SelectedRows(const QTableView* view);
