#include "StandInData.h"

#include "sandbox/FilterDomains.h"
#include "sandbox/GenerateDomains.h"
#include "sandbox/ListQuery.h"
#include "sandbox/RenderListPage.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace {

constexpr std::uint64_t kSeed = 20261208;
constexpr size_t kPageCatalogSize = 30000;

// What a list site carries around its table. The real service's pages are about 20 KB, most of
// it this; the parser has to walk past all of it.
std::string headChrome() {
    std::string out = "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                      "<link rel=\"stylesheet\" href=\"/static/css/site.css?v=20261201\">\n"
                      "<style>\n";
    for (int i = 0; i < 60; ++i)
        out += ".domains tr.c" + std::to_string(i) +
               " td { padding: 2px 6px; border-bottom: 1px solid #e5e5e5; color: #333; }\n";
    out += "</style>\n<script>\nvar pageOptions = {";
    for (int i = 0; i < 30; ++i)
        out += "\"opt" + std::to_string(i) + "\": " + std::to_string(i * 7) + ", ";
    out += "\"end\": 0};\nfunction pick(id) { var e = document.getElementById(id); "
           "if (e) { e.className = (e.className == 'on') ? '' : 'on'; } return false; }\n"
           "</script>\n";
    return out;
}

std::string navigationAndForm() {
    std::string out = "<div id=\"top\"><a href=\"/\">删除域名查询</a> | <a href=\"/help\">帮助</a>"
                      "</div>\n<ul class=\"nav\">\n";
    for (int i = 0; i < 42; ++i)
        out += "<li><a href=\"/list/?date=2026-12-" + std::to_string(1 + i % 28) +
               "&amp;sort=" + std::to_string(1 + i % 5) + "\" onclick=\"return pick('n" +
               std::to_string(i) + "')\" id=\"n" + std::to_string(i) + "\">列表 " +
               std::to_string(i) + "</a></li>\n";
    out += "</ul>\n<form method=\"get\" action=\"/\" class=\"criteria\">\n";
    for (const char* key : {"kw", "bl", "el", "pl", "sort", "dt", "date"})
        out += std::string("<label for=\"f_") + key + "\">" + key +
               "</label><input type=\"text\" "
               "id=\"f_" +
               key + "\" name=\"" + key + "\" value=\"\" size=\"8\">\n";
    out += "<select name=\"suffix[]\" multiple=\"multiple\">\n";
    for (const char* suffix : {"com", "net", "org", "cn", "com.cn", "net.cn", "info", "cc"})
        out += std::string("<option value=\"") + suffix + "\">." + suffix + "</option>\n";
    out += "</select>\n<input type=\"submit\" value=\"查询\">\n</form>\n";
    return out;
}

std::string footer() {
    std::string out = "<div class=\"pager\">";
    for (int i = 1; i <= 25; ++i)
        out += "<a href=\"/?page=" + std::to_string(i) + "\">" + std::to_string(i) + "</a> ";
    out += "</div>\n<div id=\"footer\"><p>数据仅供参考</p><ul>";
    for (int i = 0; i < 20; ++i)
        out += "<li><a href=\"/about/" + std::to_string(i) + "\" rel=\"nofollow\">链接 " +
               std::to_string(i) + "</a></li>";
    out += "</ul></div>\n<script src=\"/static/js/stats.js\" async></script>\n";
    return out;
}

void insertBefore(std::string& page, std::string_view marker, const std::string& text) {
    const size_t at = page.find(marker);
    if (at != std::string::npos)
        page.insert(at, text);
}

void insertAfter(std::string& page, std::string_view marker, const std::string& text) {
    const size_t at = page.find(marker);
    if (at != std::string::npos)
        page.insert(at + marker.size(), text);
}

} // namespace

namespace StandInData {

QDate fixedToday() {
    return QDate(2026, 12, 8);
}

std::shared_ptr<const DomainCatalog> catalog(size_t domainCount) {
    static std::mutex mutex;
    static std::map<size_t, std::shared_ptr<const DomainCatalog>> made;
    std::lock_guard lock(mutex);
    auto& entry = made[domainCount];
    if (!entry)
        entry = std::make_shared<const DomainCatalog>(
            GenerateDomains(domainCount, kSeed, fixedToday()));
    return entry;
}

std::string resultPageUtf8(int pageNumber) {
    static const std::shared_ptr<const DomainCatalog> names = catalog(kPageCatalogSize);
    static const std::vector<DomainCatalog::Index> matches =
        FindMatches(*names, ListQuery(), fixedToday());
    const int pageCount = PageCount(matches.size(), kRowsPerPage);
    ListQuery query;
    query.pageSize = kRowsPerPage;
    // Past the last page the rows come round again: enough for lists longer than the catalog.
    query.page = (std::max(pageNumber, 1) - 1) % pageCount + 1;
    std::string page = RenderListPage(*names, matches, query);
    insertBefore(page, "</head>", headChrome());
    insertAfter(page, "<body>\n", navigationAndForm());
    insertBefore(page, "</body>", footer());
    return page;
}

QString resultPage(int pageNumber) {
    const std::string utf8 = resultPageUtf8(pageNumber);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace StandInData
