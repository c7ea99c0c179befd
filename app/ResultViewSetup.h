#pragma once

class QTableView;
class ResultListModel;

// The result list in report view: six fixed columns at the design's widths, grid lines, whole
// rows selected, no editing, no sorting, Tab left for moving between controls.
void ConfigureResultView(QTableView* view, ResultListModel* rows);
