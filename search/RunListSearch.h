#pragma once

#include "search/SearchCriteria.h"

#include <QString>

struct Workspace;

// Walks every result page of the query that the criteria make, one after the other, and
// appends their rows. Reports its course in the status line and its progress in pages read of
// pages announced; a stop request ends it after the page in flight.
void RunListSearch(const QString& listBase, const SearchCriteria& criteria, Workspace& workspace);
