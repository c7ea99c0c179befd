#pragma once

#include "search/SearchCriteria.h"

#include <QDate>

namespace Ui {
class MainWindow;
}

// The one place where the criteria controls meet the search's criteria: the drop-down lists'
// entries, and the criteria read from the controls when a search starts.
void FillCriteriaLists(Ui::MainWindow& ui, const QDate& today);
SearchCriteria ReadCriteria(const Ui::MainWindow& ui);
