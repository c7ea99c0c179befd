#pragma once

#include "search/SearchCriteria.h"

// Criteria that every name of the stand-in matches: any place, any type, any date.
inline SearchCriteria EveryNameCriteria() {
    SearchCriteria criteria;
    criteria.place = KeywordPosition::Anywhere;
    criteria.order = ResultOrder::Length;
    criteria.deletionType = DeletionTypeFilter::All;
    criteria.deletionDate = {DeletionDate::Kind::Any, {}};
    return criteria;
}
