#pragma once

#include "criteria/NameCriteria.h"
#include "search/SearchCriteria.h"

// The criteria as the list service reads them from the query that BuildListQuery writes: the
// same values through the same rules, so that a drop list keeps exactly the names a search
// would list. The order is left out: it sorts, it does not select. Characters that mean
// something in an address (a "&", a "+" or a "%" in the keyword) are taken as typed here.
NameCriteria MatchCriteriaOf(const SearchCriteria& criteria);
