#pragma once

#include "search/SearchCriteria.h"

#include <string>
#include <vector>

// List pages for the hostile tests, as raw bytes. Kept apart from the search tests' page
// writer so that these tests do not pick up its text printer.
namespace HostilePages {

// One result row's parts, as bytes that need not be valid UTF-8.
struct Row {
    std::string linkText;
    std::string deletionTime = "2026-12-01 08:00:00";
    std::string deletionType = "Delete";
};

// A page as the list service writes it, with the page count text after 条记录.
std::string listPage(const std::string& pageCountText, const std::vector<Row>& rows);
// The same, one row per domain.
std::string listPage(const std::string& pageCountText, const std::vector<std::string>& domains);
// A page announcing one page whose table body is the given markup.
std::string pageWithBody(const std::string& tableBody);
// The criteria panel as the window opens.
SearchCriteria openingCriteria();

} // namespace HostilePages
