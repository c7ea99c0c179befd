#include "sandbox/RenderListPage.h"
#include "HandMadeDomains.h"
#include "sandbox/ServiceMarkers.h"
#include "search/ParseResultPage.h"

#include <gtest/gtest.h>

#include <set>

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const QString kRecordMarker = FromUtf8(ServiceMarkers::kRecordCount);

class RenderListPageTest : public ::testing::Test {
protected:
    QString render(const std::string& query) const { return render(catalog, query); }
    static QString render(const DomainCatalog& from, const std::string& query) {
        const ListQuery parsed = ParseListQuery(ValuesOf(query));
        const auto matches = FindMatches(from, parsed, kToday);
        return FromUtf8(matches.empty() ? RenderNoResultPage()
                                        : RenderListPage(from, matches, parsed));
    }

    DomainCatalog catalog{HandMadeDomains()};
};

TEST_F(RenderListPageTest, programReadsRowBack) {
    const QString page = render("kw=88&p=0&suffix%5B%5D=com");
    const std::vector<ResultRow> rows = ParseRows(page, 6);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].cells[ResultListModel::Number], u"6");
    EXPECT_EQ(rows[0].cells[ResultListModel::Domain], u"ab88.com");
    EXPECT_EQ(rows[0].cells[ResultListModel::DeletionTime], u"2026-12-07");
    EXPECT_EQ(rows[0].cells[ResultListModel::DeletionType], u"Delete");
    EXPECT_EQ(rows[0].cells[ResultListModel::Suggestion], u"3");
    EXPECT_EQ(ReadPageCount(page), 1);
    EXPECT_TRUE(page.contains(u"ab<b>88</b>.com</a>")) << "the keyword is in bold";
    EXPECT_TRUE(page.contains(u"<td>2026-12-07 13:05:09</td>"));
}

TEST_F(RenderListPageTest, programReadsEveryEntryInEveryOrder) {
    for (const char* sort : {"1", "2", "3", "4", "5"}) {
        const std::string query = std::string("pagesize=100&sort=") + sort;
        const std::vector<ResultRow> rows = ParseRows(render(query), 1);
        const auto matches = FindMatches(catalog, ParseListQuery(ValuesOf(query)), kToday);
        ASSERT_EQ(rows.size(), catalog.size()) << sort;
        for (size_t i = 0; i < rows.size(); ++i) {
            const DeletedDomain& domain = catalog.domain(matches[i]);
            const auto& cells = rows[i].cells;
            EXPECT_EQ(cells[ResultListModel::Domain].toStdString(), domain.fullName());
            EXPECT_EQ(cells[ResultListModel::DeletionTime],
                      domain.deletionDate.toString(QStringLiteral("yyyy-MM-dd")));
            EXPECT_EQ(cells[ResultListModel::DeletionType].toStdString(),
                      DeletionTypeText(domain.type));
            EXPECT_EQ(cells[ResultListModel::Suggestion],
                      domain.suggestion ? QString::number(domain.suggestion) : QString())
                << domain.fullName();
        }
    }
}

TEST_F(RenderListPageTest, pagesSplitTheMatchesWithoutOverlap) {
    std::set<QString> seen;
    for (int page = 1; page <= 4; ++page) {
        const QString text = render("pagesize=5&page=" + std::to_string(page));
        EXPECT_EQ(ReadPageCount(text), 4) << page;
        const std::vector<ResultRow> rows = ParseRows(text, 1);
        EXPECT_EQ(rows.size(), page < 4 ? 5u : 1u) << page;
        for (const ResultRow& row : rows)
            EXPECT_TRUE(seen.insert(row.cells[ResultListModel::Domain]).second);
        // The first cell numbers the entries across pages.
        EXPECT_TRUE(text.contains(QStringLiteral("<td>%1</td>").arg((page - 1) * 5 + 1)));
    }
    EXPECT_EQ(seen.size(), catalog.size());

    const QString pastTheEnd = render("pagesize=5&page=5");
    EXPECT_EQ(ReadPageCount(pastTheEnd), 4);
    EXPECT_TRUE(ParseRows(pastTheEnd, 1).empty());
    EXPECT_EQ(ReadPageCount(render("")), 1) << "30 to a page by default";
}

TEST_F(RenderListPageTest, pageCountFollowsTheRecordMarkerAfterSixCharacters) {
    const QString page = render("pagesize=2");
    EXPECT_EQ(page.count(kRecordMarker), 1);
    const qsizetype at = page.indexOf(kRecordMarker);
    ASSERT_GE(at, 0);
    EXPECT_EQ(page.mid(at + kRecordMarker.size() + 6, 6), u"8</b>页");
    EXPECT_EQ(page.count(u"<tbody>", Qt::CaseInsensitive), 1);
    EXPECT_EQ(page.count(u"</tbody>", Qt::CaseInsensitive), 1);
    EXPECT_LT(at, page.indexOf(u"<tbody>"));

    const QString body =
        page.section(QStringLiteral("<tbody>"), 1).section(QStringLiteral("</tbody>"), 0, 0);
    EXPECT_EQ(body.count(u"<tr ", Qt::CaseInsensitive), 2);
    EXPECT_EQ(body.count(u"<td>", Qt::CaseInsensitive), 12);
    EXPECT_EQ(body.count(u"</td>"), 12);
}

TEST_F(RenderListPageTest, pageCountOfLargeSets) {
    EXPECT_EQ(PageCount(0, 30), 1);
    EXPECT_EQ(PageCount(30, 30), 1);
    EXPECT_EQ(PageCount(31, 30), 2);
    EXPECT_EQ(PageCount(20000, 30), 667);

    std::vector<DeletedDomain> many;
    for (int i = 0; i < 4000; ++i) {
        // Appended rather than "n" + ...: GCC 12 warns falsely (-Wrestrict) on that in Release.
        std::string name("n");
        name.append(std::to_string(i));
        many.push_back(Entry(name, "com", i % 10 - 5));
    }
    const DomainCatalog large(std::move(many));
    EXPECT_EQ(ReadPageCount(render(large, "pagesize=30")), 134);
    EXPECT_EQ(ReadPageCount(render(large, "pagesize=1")), 4000);
}

TEST_F(RenderListPageTest, queryWithoutResults) {
    for (const std::string query : {"kw=zzz", "kw=%E4%B8%AD%E6%96%87", "kw=%3Ctbody%3E"}) {
        const QString page = render(query);
        EXPECT_TRUE(page.contains(FromUtf8(ServiceMarkers::kNoResults))) << query;
        EXPECT_FALSE(page.contains(u"<tbody>", Qt::CaseInsensitive)) << query;
        EXPECT_FALSE(page.contains(kRecordMarker)) << query;
        EXPECT_TRUE(page.endsWith(u"</html>\n"));
    }
}

TEST_F(RenderListPageTest, namesAreEscaped) {
    EXPECT_EQ(EscapeHtml("<a href=\"x\">&'"), "&lt;a href=&quot;x&quot;&gt;&amp;&#39;");
    // The loaders let no such name in; the page must hold even if one slips through.
    const DomainCatalog odd({Entry("x<tbody><tr ", "com", 0), Entry("y\">", "com", 0, {}, 4)});
    const QString page = render(odd, "sort=2");
    EXPECT_EQ(page.count(u"<tbody>"), 1);
    const std::vector<ResultRow> rows = ParseRows(page, 1);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].cells[ResultListModel::Domain], u"x&lt;tbody&gt;&lt;tr .com");
    EXPECT_EQ(rows[1].cells[ResultListModel::Suggestion], u"4");
}

} // namespace
