// List pages that break the service's layout: page counts far out of range, invalid UTF-8 and
// NUL bytes, rows without the markers. The search ends normally, adds only the rows it can
// read, and the next search works.
#include "HostileWindow.h"
#include "search/RunListSearch.h"
#include "support/ListPages.h"
#include "support/Rows.h"
#include "support/TestServer.h"
#include "support/UserTexts.h"
#include "support/WorkspaceWithHistory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ostream>

using namespace UserTexts;
using ServiceMarkers::kTitleEnd;

namespace {

// Serves the hostile page for the first page until told otherwise; then a normal search over
// two pages of two rows each.
class SwitchingListServer {
public:
    explicit SwitchingListServer(std::string hostilePage)
        : m_hostilePage(std::move(hostilePage)),
          m_server([this](const httplib::Request& request, httplib::Response& response) {
              if (request.path == "/check/check_ac1.cgi")
                  answerText(response, ServiceMarkers::kRegistered, "text/plain");
              else if (m_hostile)
                  answerText(response, m_hostilePage);
              else if (request.target.find("&page=2") != std::string::npos)
                  answerText(response, ListPages::pageOfDomains("2", {"n3.com", "n4.com"}));
              else
                  answerText(response, ListPages::pageOfDomains("2", {"n1.com", "n2.com"}));
          }) {}

    void behave() { m_hostile = false; }
    QString base() const { return m_server.baseUrl(); }
    size_t requestCount() const { return m_server.requestCount(); }

private:
    std::string m_hostilePage;
    std::atomic<bool> m_hostile{true};
    TestServer m_server;
};

void search(WorkspaceWithHistory& workspace, const SwitchingListServer& server) {
    RunListSearch(server.base() + QStringLiteral("/?"), ListPages::openingCriteria(),
                  workspace.workspace);
}

// The normal search after a hostile one: both of its pages, numbered on from what is listed.
void expectNormalSearchAppends(WorkspaceWithHistory& workspace, SwitchingListServer& server) {
    const int before = workspace.rows.count();
    const size_t requestsBefore = server.requestCount();
    server.behave();
    search(workspace, server);
    EXPECT_EQ(workspace.status.text(), kSearchFinished);
    EXPECT_EQ(server.requestCount(), requestsBefore + 2);
    ASSERT_EQ(workspace.rows.count(), before + 4);
    EXPECT_EQ(workspace.rows.cell(before, ResultListModel::Domain), QStringLiteral("n1.com"));
    EXPECT_EQ(workspace.rows.cell(before + 3, ResultListModel::Number),
              QString::number(before + 4));
}

void expectNormalSearchAppends(HostileWindow& window, SwitchingListServer& server) {
    const int before = window.rowCount();
    server.behave();
    window.search();
    EXPECT_EQ(window.status(), kSearchFinished);
    ASSERT_EQ(window.rowCount(), before + 4);
    EXPECT_EQ(window.cell(before, ResultListModel::Domain), QStringLiteral("n1.com"));
    EXPECT_EQ(window.cell(before + 3, ResultListModel::Number), QString::number(before + 4));
}

std::string bytes(const char* text, size_t size) {
    return std::string(text, size);
}

// A whole list page of one row, up to where the text first appears.
std::string pageCutBefore(const std::string& text) {
    const std::string page = ListPages::pageOfDomains("1", {"a.com"});
    return page.substr(0, page.find(text));
}

struct PageCountCase {
    const char* name;
    std::string countText;
};

void PrintTo(const PageCountCase& pageCount, std::ostream* out) {
    *out << pageCount.name;
}

} // namespace

class UnreadablePageCount : public ::testing::TestWithParam<PageCountCase> {};

TEST_P(UnreadablePageCount, countsAsOnePageSoOnlyTheFirstIsAskedFor) {
    SwitchingListServer server(
        ListPages::pageOfDomains(GetParam().countText, {"only1.com", "only2.com"}));
    WorkspaceWithHistory workspace;

    search(workspace, server);

    EXPECT_EQ(server.requestCount(), 1u);
    EXPECT_EQ(workspace.status.text(), kSearchFinished);
    EXPECT_EQ(workspace.domains(), Rows::texts({"only1.com", "only2.com"}));
    expectNormalSearchAppends(workspace, server);
}

INSTANTIATE_TEST_SUITE_P(
    HostilePages, UnreadablePageCount,
    ::testing::Values(PageCountCase{"largestInt", "2147483647"}, PageCountCase{"minusOne", "-1"},
                      PageCountCase{"nineDigits", "999999999"},
                      PageCountCase{"twentyDigits", "99999999999999999999"},
                      PageCountCase{"empty", ""}, PageCountCase{"letters", "x"},
                      PageCountCase{"invalidUtf8", "\xff\xfe"}),
    [](const ::testing::TestParamInfo<PageCountCase>& info) { return info.param.name; });

TEST(HostilePages, aCountAboveSixteenBitsIsReadAsAnnouncedUntilTheUserStops) {
    SwitchingListServer server(ListPages::pageOfDomains("32768", {"big.com"}));
    WorkspaceWithHistory workspace;
    int announced = 0;
    workspace.workspace.progress = [&](int done, int total) {
        announced = total;
        if (done == 3)
            workspace.workspace.stopRequested = true;
    };

    search(workspace, server);

    EXPECT_EQ(announced, 32768);
    EXPECT_EQ(server.requestCount(), 3u) << "pages 1, 2 and 3, then the stop";
    EXPECT_EQ(workspace.domains(), Rows::texts({"big.com", "big.com", "big.com"}));
}

TEST(HostilePages, theWindowAsksOnceForAPageCountOfTheLargestInt) {
    SwitchingListServer server(ListPages::pageOfDomains("2147483647", {"big.com"}));
    HostileWindow window(server.base());

    window.search();

    EXPECT_EQ(server.requestCount(), 1u);
    EXPECT_EQ(window.status(), kSearchFinished);
    EXPECT_EQ(window.column(ResultListModel::Domain), Rows::texts({"big.com"}));
    server.behave();
    window.search();
    EXPECT_EQ(server.requestCount(), 3u);
    EXPECT_EQ(window.column(ResultListModel::Domain),
              Rows::texts({"big.com", "n1.com", "n2.com", "n3.com", "n4.com"}));
    EXPECT_EQ(window.status(), kSearchFinished);
}

TEST(HostilePages, invalidUtf8AndNulBytesInRowsLoseNoRowAndLeaveNoBrokenText) {
    const std::vector<ListPages::Row> rows = {
        {"bad\xff\xfename.com"},
        {bytes("nul\0name.com", 12), "2026-12-01 08:00:00", bytes("D\0", 2)},
        {"cut\xe4\xb8", "\xed\xa0\x80\xed\xb0\x80-12-01 08:00"},
        {"over\xc0\xaflong.com", "2026-12-01\xf0\x9f"},
        {"ok.com"}};
    SwitchingListServer server(ListPages::page("1", rows));
    HostileWindow window(server.base());

    window.search();

    EXPECT_EQ(window.status(), kSearchFinished);
    ASSERT_EQ(window.rowCount(), 5) << "every row of the page is listed";
    EXPECT_EQ(window.column(ResultListModel::Number), Rows::texts({"1", "2", "3", "4", "5"}));
    const QString bad = window.cell(0, ResultListModel::Domain);
    EXPECT_TRUE(bad.startsWith(u"bad") && bad.endsWith(u"name.com")) << bad.toStdString();
    EXPECT_TRUE(bad.contains(QChar::ReplacementCharacter));
    const QString nul = window.cell(1, ResultListModel::Domain);
    EXPECT_TRUE(nul.startsWith(u"nul") && nul.endsWith(u"name.com")) << nul.toStdString();
    EXPECT_TRUE(window.cell(2, ResultListModel::Domain).startsWith(u"cut"));
    EXPECT_EQ(window.cell(4, ResultListModel::Domain), QStringLiteral("ok.com"));
    for (int row = 0; row < window.rowCount(); ++row)
        for (int column = 0; column < ResultListModel::ColumnCount; ++column)
            EXPECT_TRUE(
                QStringView(window.cell(row, ResultListModel::Column(column))).isValidUtf16())
                << "row " << row << " column " << column;

    window.checkEveryName();
    EXPECT_EQ(window.status(), kAllVerified);
    EXPECT_EQ(window.rowCount(), 5);
    EXPECT_EQ(window.column(ResultListModel::Verdict), std::vector<QString>(5, kRegistered))
        << "every name was asked about";
    expectNormalSearchAppends(window, server);
}

TEST(HostilePages, aCharacterAcrossTheTenCharacterCutOfTheDeletionTimeIsNotSplit) {
    // Nine characters, then one that takes two UTF-16 units: a cut after ten units would
    // leave half of it.
    const std::vector<ListPages::Row> rows = {{"wide.com", "2026-12-0\xf0\x9f\x98\x80 08:00"}};
    SwitchingListServer server(ListPages::page("1", rows));
    WorkspaceWithHistory workspace;

    search(workspace, server);

    ASSERT_EQ(workspace.rows.count(), 1);
    const QString time = workspace.rows.cell(0, ResultListModel::DeletionTime);
    EXPECT_TRUE(QStringView(time).isValidUtf16())
        << "the deletion time reads " << time.size() << " units ending in a lone surrogate";
    EXPECT_TRUE(time.startsWith(u"2026-12-0"));
}

// Table bodies whose rows carry none, or not enough, of the markers that lead to a domain.
struct BrokenRowsCase {
    const char* name;
    std::string rows;
};

void PrintTo(const BrokenRowsCase& brokenRows, std::ostream* out) {
    *out << brokenRows.name;
}

class RowsWithoutDomain : public ::testing::TestWithParam<BrokenRowsCase> {};

TEST_P(RowsWithoutDomain, addNoRowAndKeepTheReadableRowAfterThem) {
    const std::string title = std::string("<a title=\"whois ") + kTitleEnd + "\">";
    const std::string readableRow = "<tr class=\"r\"><td>9</td><td>" + title +
                                    "kept.com</a></td><td>2026-12-01 08:00:00</td>"
                                    "<td>Delete</td><td>8</td><td>-</td></tr>\n";
    SwitchingListServer server(ListPages::pageWithBody(GetParam().rows + readableRow));
    WorkspaceWithHistory workspace;

    search(workspace, server);

    EXPECT_EQ(workspace.status.text(), kSearchFinished);
    EXPECT_EQ(workspace.domains(), Rows::texts({"kept.com"}));
    EXPECT_EQ(workspace.rows.cell(0, ResultListModel::Number), QStringLiteral("1"));
    expectNormalSearchAppends(workspace, server);
}

INSTANTIATE_TEST_SUITE_P(
    HostilePages, RowsWithoutDomain,
    ::testing::Values(
        BrokenRowsCase{"noMarkerAtAll", "<tr class=\"r\">plain words, no cells</tr>\n"},
        BrokenRowsCase{"cellsButNoLink",
                       "<tr ><td>1</td><td>a.com</td><td>2026-12-01</td><td>D</td><td>8</td>"
                       "<td>3</td></tr>\n"},
        BrokenRowsCase{"linkWithoutTitle", "<tr ><td>1</td><td><a>a.com</a></td></tr>\n"},
        BrokenRowsCase{"titleWithoutLinkEnd", std::string("<tr ><td>1</td><td><a title=\"") +
                                                  kTitleEnd + "\">a.com</td></tr>\n"},
        BrokenRowsCase{"linkEndBeforeTitle",
                       std::string("<tr ><td></a><a title=\"") + kTitleEnd + "\">a.com</td>\n"},
        BrokenRowsCase{"titleEndRightBeforeLinkEnd",
                       std::string("<tr ><td>") + kTitleEnd + "</a></td></tr>\n"},
        BrokenRowsCase{"titleEndAtTheEndOfTheRow", std::string("<tr >") + kTitleEnd + "\n"},
        BrokenRowsCase{"emptyRowTags", "<tr ><tr ><TR  >\n"}),
    [](const ::testing::TestParamInfo<BrokenRowsCase>& info) { return info.param.name; });

// Pages whose table body cannot be found: no row at all, and the search still ends normally.
class PageWithoutTableBody : public ::testing::TestWithParam<BrokenRowsCase> {};

TEST_P(PageWithoutTableBody, addsNoRowAndTheNextSearchWorks) {
    SwitchingListServer server(GetParam().rows);
    WorkspaceWithHistory workspace;

    search(workspace, server);

    EXPECT_EQ(server.requestCount(), 1u);
    EXPECT_EQ(workspace.status.text(), kSearchFinished);
    EXPECT_EQ(workspace.rows.count(), 0);
    expectNormalSearchAppends(workspace, server);
}

INSTANTIATE_TEST_SUITE_P(
    HostilePages, PageWithoutTableBody,
    ::testing::Values(BrokenRowsCase{"noTable", "<html><body>nothing to see</body></html>"},
                      BrokenRowsCase{"bodyNeverClosed", pageCutBefore("</tbody>")},
                      BrokenRowsCase{"bodyClosedBeforeItOpens", "</tbody><tr ><td>x</td><tbody>"},
                      BrokenRowsCase{"onlyTheOpeningTagAtTheEnd", "<html><tbody>"},
                      BrokenRowsCase{"nulBytesOnly", std::string(64, '\0')}),
    [](const ::testing::TestParamInfo<BrokenRowsCase>& info) { return info.param.name; });

TEST(HostilePages, aPageOfRowsWithoutMarkersShowsNoRowInTheWindowAndTheNextSearchWorks) {
    std::string body;
    for (int row = 0; row < 30; ++row)
        body += "<tr class=\"r\"><td>" + std::to_string(row) + "</td></tr>\n";
    SwitchingListServer server(ListPages::pageWithBody(body));
    HostileWindow window(server.base());

    window.search();

    EXPECT_EQ(window.status(), kSearchFinished);
    EXPECT_EQ(window.rowCount(), 0);
    expectNormalSearchAppends(window, server);
}
