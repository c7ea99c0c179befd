#pragma once

#include "search/SearchCriteria.h"
#include "support/QStringPrinter.h"

#include <QString>

#include <ostream>
#include <string>
#include <vector>

// Result pages written the way the list service writes them, as bytes (a row's parts need not
// be valid UTF-8), for the parser, search and hostile tests.
namespace ListPages {

struct Row {
    std::string linkText = "ab<b>88</b>.com";
    std::string deletionTime = "2012-06-01 23:59:59";
    std::string deletionType = "D";
    std::string suggestionCell = R"(<a href="http://s.example/?wd=ab88" target="_blank">3</a>)";
};

// The table row tag, the six cells and the row end.
std::string rowHtml(const Row& row);
// A whole page: the record summary with the page count text, then the table with the rows.
std::string page(const std::string& pageCountText, const std::vector<Row>& rows);
// A page of rows whose link texts are the given domains.
std::string pageOfDomains(const std::string& pageCountText,
                          const std::vector<std::string>& domains);
// The page the service shows when nothing matches.
std::string noResultPage();
// A page announcing one page whose table body is the given markup, as bytes that need not be
// valid UTF-8.
std::string pageWithBody(const std::string& tableBody);

QString text(const std::string& utf8);

// The criteria panel as the window opens.
SearchCriteria openingCriteria();
// The query part that openingCriteria() gives, after the "/?".
inline constexpr const char* kOpeningQuery =
    "kw=&p=0&bl=1&el=3&ds%5B%5D=1&ds%5B%5D=2&pl=&sort=1&suffix%5B%5D=net&suffix%5B%5D=org&dt=1"
    "&date=1&pagesize=30&st=1";

} // namespace ListPages
