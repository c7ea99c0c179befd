#include "RenderListPage.h"

#include "FilterDomains.h"
#include "ServiceMarkers.h"

#include <QString>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

constexpr std::string_view kPageStart = "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n"
                                        "<meta charset=\"utf-8\">\n"
                                        "<title>Morrowcatch sandbox: deleted domains</title>\n"
                                        "</head>\n<body>\n";
constexpr std::string_view kPageEnd = "</body>\n</html>\n";

void AppendNumber(std::string& out, long long number) {
    out += std::to_string(number);
}

// The name with the part the keyword matched in bold.
void AppendHighlightedName(std::string& out, const DeletedDomain& domain, const ListQuery& query) {
    const std::string_view name = domain.name;
    const size_t at = query.keyword.empty() ? std::string_view::npos : KeywordPosition(name, query);
    if (at == std::string_view::npos) {
        out += EscapeHtml(name);
    } else {
        out += EscapeHtml(name.substr(0, at));
        out += "<b>";
        out += EscapeHtml(name.substr(at, query.keyword.size()));
        out += "</b>";
        out += EscapeHtml(name.substr(at + query.keyword.size()));
    }
    out += '.';
    out += EscapeHtml(domain.suffix);
}

void AppendDeletionTime(std::string& out, const DeletedDomain& domain, const DropRules& drop) {
    const int second = drop.spreadSeconds > 0 ? DropSecond(domain.fullName(), drop)
                                              : std::clamp(domain.deletionSecond, 0, 24 * 3600 - 1);
    char time[32];
    std::snprintf(time, sizeof time, " %02d:%02d:%02d", second / 3600, second / 60 % 60,
                  second % 60);
    out += domain.deletionDate.toString(QStringLiteral("yyyy-MM-dd")).toStdString();
    out += time;
}

// Six cells. The parser finds the name after the link title's closing quote and bracket, and
// the suggestion after the target's; nothing in the last cell may hold "img" or "blank" before
// that, so the suggestion link carries no name.
void AppendRow(std::string& out, long long number, DomainCatalog::Index index,
               const DomainCatalog& catalog, const ListQuery& query, const DropRules& drop) {
    const DeletedDomain& domain = catalog.domain(index);
    const std::string fullName = EscapeHtml(domain.fullName());
    out += number % 2 ? "<tr class=\"odd\">" : "<tr class=\"even\">";
    out += "<td>";
    AppendNumber(out, number);
    out += "</td><td><a href=\"http://www.";
    out += fullName;
    out += "/\" title=\"";
    out += fullName;
    out += "的";
    out += ServiceMarkers::kDomainInfo;
    out += "\">";
    AppendHighlightedName(out, domain, query);
    out += "</a></td><td>";
    AppendDeletionTime(out, domain, drop);
    out += "</td><td>";
    out += DeletionTypeText(domain.type);
    out += "</td><td>";
    AppendNumber(out, static_cast<long long>(domain.name.size()));
    out += "</td><td>";
    if (domain.suggestion > 0) {
        out += "<a href=\"/suggestion?id=";
        AppendNumber(out, index);
        out += "\" target=\"_blank\">";
        AppendNumber(out, domain.suggestion);
        out += "</a>";
    } else {
        out += "<img src=\"/images/none.gif\" alt=\"-\">";
    }
    out += "</td></tr>\n";
}

} // namespace

int PageCount(size_t matches, int pageSize) {
    const size_t size = static_cast<size_t>(std::max(pageSize, 1));
    const size_t pages = (matches + size - 1) / size;
    return static_cast<int>(std::clamp<size_t>(pages, 1, std::numeric_limits<int>::max()));
}

std::string EscapeHtml(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string RenderListPage(const DomainCatalog& catalog,
                           const std::vector<DomainCatalog::Index>& matches, const ListQuery& query,
                           const DropRules& drop) {
    const int pages = PageCount(matches.size(), query.pageSize);
    const size_t size = static_cast<size_t>(std::max(query.pageSize, 1));
    const size_t first = std::min(matches.size(), (static_cast<size_t>(query.page) - 1) * size);
    const size_t last = std::min(matches.size(), first + size);

    std::string out(kPageStart);
    out.reserve(1024 + (last - first) * 320);
    // The parser reads the page count six characters after the record marker: "，分为<b>".
    out += "<div class=\"summary\">共<b>";
    AppendNumber(out, static_cast<long long>(matches.size()));
    out += "</b>";
    out += ServiceMarkers::kRecordCount;
    out += "，分为<b>";
    AppendNumber(out, pages);
    out += "</b>页，这是第<b>";
    AppendNumber(out, query.page);
    out += "</b>页</div>\n";
    out += "<table class=\"domains\">\n<thead><tr><th>No.</th><th>Domain</th><th>Deleted</th>"
           "<th>Type</th><th>Length</th><th>Suggestion</th></tr></thead>\n<tbody>\n";
    for (size_t i = first; i < last; ++i)
        AppendRow(out, static_cast<long long>(i) + 1, matches[i], catalog, query, drop);
    out += "</tbody>\n</table>\n";
    out += kPageEnd;
    return out;
}

std::string RenderNoResultPage() {
    std::string out(kPageStart);
    out += "<p class=\"empty\">";
    out += ServiceMarkers::kNoResults;
    out += "</p>\n";
    out += kPageEnd;
    return out;
}
