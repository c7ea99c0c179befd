#include "HostilePages.h"

#include "search/ListPages.h"

namespace HostilePages {

std::string listPage(const std::string& pageCountText, const std::vector<Row>& rows) {
    std::vector<ListPages::Row> listed;
    for (const Row& row : rows) {
        ListPages::Row written;
        written.linkText = row.linkText;
        written.deletionTime = row.deletionTime;
        written.deletionType = row.deletionType;
        listed.push_back(written);
    }
    return ListPages::page(pageCountText, listed);
}

std::string listPage(const std::string& pageCountText, const std::vector<std::string>& domains) {
    return ListPages::pageOfDomains(pageCountText, domains);
}

std::string pageWithBody(const std::string& tableBody) {
    const std::string page = ListPages::page("1", {});
    const std::string bodyOpen = "<tbody>\n";
    const size_t at = page.find(bodyOpen) + bodyOpen.size();
    return page.substr(0, at) + tableBody + page.substr(at);
}

SearchCriteria openingCriteria() {
    return ListPages::openingCriteria();
}

} // namespace HostilePages
