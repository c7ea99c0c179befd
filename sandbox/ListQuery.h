#pragma once

#include "DomainCatalog.h"
#include "criteria/CriteriaText.h"
#include "criteria/NameCriteria.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// A list service query, read from the keys the program sends: the criteria (the same that the
// drop-list import applies), the order and the page. Every value has been checked: whatever
// arrived, the fields are in range.
struct ListQuery : NameCriteria {
    SortOrder sort = SortOrder::Length;
    int pageSize = 30;
    int page = 1;
};

inline constexpr int kDefaultPageSize = 30;
inline constexpr int kLargestPageSize = 500;

// Every value given for a key, in the order of the query; keys arrive percent-decoded, so the
// list keys are "ds[]" and "suffix[]".
using QueryValues = std::function<std::vector<std::string>(const std::string& key)>;

ListQuery ParseListQuery(const QueryValues& values);
