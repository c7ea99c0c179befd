#pragma once

#include "Availability.h"
#include "DomainCatalog.h"
#include "ListQuery.h"

#include <string>
#include <string_view>
#include <vector>

// The page count for a number of matches; at least 1.
int PageCount(size_t matches, int pageSize);

// One page of the list service's answer, in UTF-8: the count line, then a table body with one
// row per entry of the requested page. A page past the last one has an empty body. With a drop
// spread, every row's deletion time is its name's drop moment; without, the entry's own time.
std::string RenderListPage(const DomainCatalog& catalog,
                           const std::vector<DomainCatalog::Index>& matches, const ListQuery& query,
                           const DropRules& drop = {});

// The answer to a query that matches nothing.
std::string RenderNoResultPage();

std::string EscapeHtml(std::string_view text);
