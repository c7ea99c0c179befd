#include "app/ResultViewSetup.h"

#include "app/Twips.h"
#include "results/ResultListModel.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableView>

void ConfigureResultView(QTableView* view, ResultListModel* rows) {
    view->setModel(rows);
    // A registry's answer shows as a small icon in the verdict cell, beside the check's text:
    // held, about to drop (redemption or pending delete), not held, no verdict.
    const QStyle* style = view->style();
    rows->setRegistryIcons({style->standardIcon(QStyle::SP_DialogNoButton),
                            style->standardIcon(QStyle::SP_MessageBoxWarning),
                            style->standardIcon(QStyle::SP_DialogApplyButton),
                            style->standardIcon(QStyle::SP_MessageBoxQuestion)});
    view->setShowGrid(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSortingEnabled(false);
    view->setWordWrap(false);
    // QTableView keeps Tab for moving between cells and wraps: a keyboard user would be caught
    // in the list. Arrow keys still move within it.
    view->setTabKeyNavigation(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    QHeaderView* header = view->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(false);
    header->setSectionsClickable(false);
    for (int column = 0; column < ResultListModel::ColumnCount; ++column) {
        view->setColumnWidth(column, pixels(ResultListModel::widthInTwips(
                                         static_cast<ResultListModel::Column>(column))));
    }
}
