#include "support/ListPages.h"

#include "search/CriteriaLists.h"

namespace ListPages {

std::string rowHtml(const Row& row) {
    return "<tr class=\"list-row\">\n"
           "<td>17</td>"
           "<td><a href=\"http://whois.example/\" title=\"whois 信息\">" +
           row.linkText +
           "</a></td>"
           "<td>" +
           row.deletionTime + "</td><td>" + row.deletionType + "</td><td>8</td><td>" +
           row.suggestionCell + "</td>\n</tr>\n";
}

std::string page(const std::string& pageCountText, const std::vector<Row>& rows) {
    std::string html = "<html><head><title>list</title></head><body>\n"
                       "<div class=\"summary\">120 条记录 / <b>" +
                       pageCountText +
                       "</b> pages</div>\n"
                       "<table><thead><tr class=\"head\"><th>no</th><th>domain</th></tr></thead>"
                       "<tbody>\n";
    for (const Row& row : rows)
        html += rowHtml(row);
    return html + "</tbody></table></body></html>\n";
}

std::string pageOfDomains(const std::string& pageCountText,
                          const std::vector<std::string>& domains) {
    std::vector<Row> rows;
    for (const std::string& domain : domains) {
        Row row;
        row.linkText = domain;
        rows.push_back(row);
    }
    return page(pageCountText, rows);
}

std::string noResultPage() {
    return "<html><body><div class=\"summary\">0 条记录 / <b>1</b> pages</div>"
           "<p>没有找到相关的结果</p><table><tbody></tbody></table></body></html>";
}

std::string pageWithBody(const std::string& tableBody) {
    const std::string empty = page("1", {});
    const std::string bodyOpen = "<tbody>\n";
    const size_t at = empty.find(bodyOpen) + bodyOpen.size();
    return empty.substr(0, at) + tableBody + empty.substr(at);
}

QString text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

SearchCriteria openingCriteria() {
    SearchCriteria criteria;
    criteria.place = KeywordPosition::Anywhere;
    criteria.lengthFrom = QStringLiteral("1");
    criteria.lengthTo = QStringLiteral("3");
    criteria.characters = {true, true, false};
    criteria.order = ResultOrder::Length;
    criteria.suffixes = {false, true, true, false};
    criteria.deletionType = DeletionTypeFilter::Delete;
    criteria.deletionDate = {DeletionDate::Kind::Past, {}};
    return criteria;
}

} // namespace ListPages
