#pragma once

#include "DomainCatalog.h"
#include "ListQuery.h"

#include <QDate>

#include <vector>

// Whether one entry answers the query; "today" splits the coming deletions from the past ones.
bool MatchesQuery(const ListQuery& query, const DeletedDomain& domain, const NameTraits& traits,
                  const QDate& today);

// Every entry that answers the query, in the query's order.
std::vector<DomainCatalog::Index> FindMatches(const DomainCatalog& catalog, const ListQuery& query,
                                              const QDate& today);

// Where the keyword stands in the name for this query, or npos when it does not.
size_t KeywordPosition(std::string_view name, const ListQuery& query);
