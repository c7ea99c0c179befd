#pragma once

#include "criteria/NameCriteria.h"
#include "criteria/NameTraits.h"

#include <QDate>

#include <string_view>

// Whether one entry answers the criteria, with its traits worked out beforehand; "today" splits
// the coming deletions from the past ones.
bool MatchesCriteria(const NameCriteria& criteria, const ListedName& entry,
                     const NameTraits& traits, const QDate& today);
// The same, working the traits out only when a criterion asks about them and every cheaper
// criterion has passed.
bool MatchesCriteria(const NameCriteria& criteria, const ListedName& entry, const QDate& today);

// Whether any criterion asks about the name's traits.
bool NeedsNameTraits(const NameCriteria& criteria);

// Where the keyword stands in the name for these criteria, or npos when it does not.
size_t KeywordAt(std::string_view name, const NameCriteria& criteria);
