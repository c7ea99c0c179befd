#pragma once

#include "search/SearchCriteria.h"

#include <QString>

// The address of the first result page for the criteria: listBase (ending in "/?") followed by
// the 23 key=value pairs in their fixed order. Nothing is escaped, trimmed or validated.
QString BuildListQuery(const QString& listBase, const SearchCriteria& criteria);
