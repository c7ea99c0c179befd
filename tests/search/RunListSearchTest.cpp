#include "search/RunListSearch.h"
#include "support/ListPages.h"
#include "support/Rows.h"
#include "support/TestServer.h"
#include "support/UserTexts.h"
#include "support/WorkspaceWithHistory.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <functional>
#include <memory>
#include <set>

namespace {

using namespace std::chrono_literals;
using namespace UserTexts;
using Rows::texts;

// The page a target asks for: "&page=n", or page 1 without a page key.
int pageOf(const std::string& target) {
    const size_t key = target.find("&page=");
    return key == std::string::npos ? 1 : std::stoi(target.substr(key + 6));
}

// Serves page n of a script; held pages are answered only once the test releases them.
class ScriptedListService {
public:
    explicit ScriptedListService(std::vector<std::string> pages, std::set<int> held = {})
        : m_pages(std::move(pages)), m_held(std::move(held)),
          m_server(std::make_unique<TestServer>(
              [this](const httplib::Request& request, httplib::Response& response) {
                  serve(request, response);
              })) {}

    QString listBase() const { return m_server->baseUrl() + QStringLiteral("/?"); }
    // Runs on the main thread, in the wait, once the request for the page has arrived.
    void whenAskedFor(int page, std::function<void()> action) {
        m_server->onArrival([page, action = std::move(action)](const std::string& target) {
            if (pageOf(target) == page)
                action();
        });
    }
    void release() { m_server->release(); }
    std::vector<std::string> targets() const { return m_server->targets(); }

private:
    void serve(const httplib::Request& request, httplib::Response& response) {
        const size_t page = static_cast<size_t>(pageOf(request.target));
        if (m_held.count(static_cast<int>(page)) != 0 && !m_server->holdUntilReleased())
            return;
        answerText(response, page >= 1 && page <= m_pages.size() ? m_pages[page - 1] : "");
    }

    std::vector<std::string> m_pages;
    std::set<int> m_held;
    std::unique_ptr<TestServer> m_server;
};

class RunListSearchTest : public ::testing::Test {
protected:
    void search(const ScriptedListService& service) {
        RunListSearch(service.listBase(), ListPages::openingCriteria(), ws.workspace);
    }

    std::vector<QString> column(ResultListModel::Column column) const {
        return Rows::column(ws.rows, column);
    }

    static std::string target(int page = 1) {
        std::string path = std::string("/?") + ListPages::kOpeningQuery;
        return page == 1 ? path : path + "&page=" + std::to_string(page);
    }

    WorkspaceWithHistory ws;
};

TEST_F(RunListSearchTest, onePage_oneRequestThenFinished) {
    ScriptedListService service({ListPages::pageOfDomains("1", {"a.com", "b.com"})});
    search(service);
    EXPECT_EQ(service.targets(), std::vector<std::string>{target()});
    EXPECT_EQ(column(ResultListModel::Domain), texts({"a.com", "b.com"}));
    EXPECT_EQ(ws.history, std::vector<QString>({kSearchStarting, kSearchFinished}));
}

TEST_F(RunListSearchTest, threePages_requestedInOrder_rowsInPageOrder) {
    ScriptedListService service({ListPages::pageOfDomains("3", {"a1.com", "a2.com"}),
                                 ListPages::pageOfDomains("3", {"b1.com"}),
                                 ListPages::pageOfDomains("99", {"c1.com", "c2.com"})});
    search(service);
    EXPECT_EQ(service.targets(), std::vector<std::string>({target(1), target(2), target(3)}));
    EXPECT_EQ(column(ResultListModel::Domain),
              texts({"a1.com", "a2.com", "b1.com", "c1.com", "c2.com"}));
    EXPECT_EQ(column(ResultListModel::Number), texts({"1", "2", "3", "4", "5"}));
    EXPECT_EQ(ws.status.text(), kSearchFinished);
}

TEST_F(RunListSearchTest, aKeywordHoldingAHash_reachesTheServiceWholeOnEveryPage) {
    ScriptedListService service({ListPages::pageOfDomains("2", {"a1.com"}),
                                 ListPages::pageOfDomains("2", {"b1.com"})});
    SearchCriteria criteria = ListPages::openingCriteria();
    criteria.keyword = QStringLiteral("a#b");
    RunListSearch(service.listBase(), criteria, ws.workspace);
    const std::vector<std::string> targets = service.targets();
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[0].rfind("/?kw=a%23b&p=0&", 0), 0u) << targets[0];
    EXPECT_EQ(pageOf(targets[1]), 2) << targets[1];
    EXPECT_EQ(column(ResultListModel::Domain), texts({"a1.com", "b1.com"}))
        << "page 2 is not page 1 again";
}

TEST_F(RunListSearchTest, noResultPage_addsNothingAndAsksNoMore) {
    ScriptedListService service(
        {ListPages::noResultPage() + ListPages::pageOfDomains("3", {"a.com"}),
         ListPages::pageOfDomains("3", {"b.com"})});
    search(service);
    EXPECT_EQ(service.targets().size(), 1u);
    EXPECT_EQ(ws.rows.count(), 0);
    EXPECT_EQ(ws.history, std::vector<QString>({kSearchStarting, kNothingFound}));
}

TEST_F(RunListSearchTest, firstPageTimesOut_failsWithoutAnotherRequest) {
    ScriptedListService service({ListPages::pageOfDomains("3", {"a.com"})}, {1});
    ws.workspace.fetchTimeLimit = 300ms;
    search(service);
    EXPECT_EQ(service.targets().size(), 1u);
    EXPECT_EQ(ws.rows.count(), 0);
    EXPECT_EQ(ws.history, (std::vector<QString>{kSearchStarting, kTimedOut, kFirstPageMissing}));
}

TEST_F(RunListSearchTest, laterPageTimesOut_theOthersAreListedWithoutAGap) {
    ScriptedListService service({ListPages::pageOfDomains("3", {"a.com"}),
                                 ListPages::pageOfDomains("3", {"b.com"}),
                                 ListPages::pageOfDomains("3", {"c.com"})},
                                {2});
    ws.workspace.fetchTimeLimit = 300ms;
    search(service);
    EXPECT_EQ(service.targets().size(), 3u);
    EXPECT_EQ(column(ResultListModel::Domain), texts({"a.com", "c.com"}));
    EXPECT_EQ(column(ResultListModel::Number), texts({"1", "2"}));
    EXPECT_EQ(ws.history, (std::vector<QString>{kSearchStarting, kTimedOut, kSearchFinished}));
}

TEST_F(RunListSearchTest, zeroPagesAnnounced_firstPageRowsOnly) {
    ScriptedListService service(
        {ListPages::pageOfDomains("0", {"a.com"}), ListPages::pageOfDomains("0", {"b.com"})});
    search(service);
    EXPECT_EQ(service.targets().size(), 1u);
    EXPECT_EQ(column(ResultListModel::Domain), texts({"a.com"}));
    EXPECT_EQ(ws.status.text(), kSearchFinished);
}

TEST_F(RunListSearchTest, secondSearch_continuesTheNumbering) {
    ScriptedListService service({ListPages::pageOfDomains("1", {"a.com", "b.com"})});
    search(service);
    search(service);
    EXPECT_EQ(service.targets(), std::vector<std::string>({target(), target()}));
    EXPECT_EQ(column(ResultListModel::Number), texts({"1", "2", "3", "4"}));
    EXPECT_EQ(column(ResultListModel::Domain), texts({"a.com", "b.com", "a.com", "b.com"}));
}

TEST_F(RunListSearchTest, closingDuringAPage_stopsAtOnceWithoutAnotherWord) {
    ScriptedListService service({ListPages::pageOfDomains("3", {"a.com"}),
                                 ListPages::pageOfDomains("3", {"b.com"}),
                                 ListPages::pageOfDomains("3", {"c.com"})},
                                {2});
    ws.workspace.fetchTimeLimit = 60s;
    service.whenAskedFor(2, [this] { ws.closing.begin(); });
    QElapsedTimer clock;
    clock.start();
    search(service);
    EXPECT_LT(clock.elapsed(), 30'000) << "returns well before the 60 s limit";
    EXPECT_EQ(service.targets(), std::vector<std::string>({target(1), target(2)}));
    EXPECT_EQ(column(ResultListModel::Domain), texts({"a.com"}));
    EXPECT_EQ(ws.history, std::vector<QString>({kSearchStarting}));

    search(service);
    EXPECT_EQ(service.targets().size(), 2u);
    EXPECT_EQ(ws.history.size(), 1u);
}

TEST_F(RunListSearchTest, stopRequest_endsAfterThePageInFlight_andReportsProgress) {
    ScriptedListService service({ListPages::pageOfDomains("4", {"a.com"}),
                                 ListPages::pageOfDomains("4", {"b.com"}),
                                 ListPages::pageOfDomains("4", {"c.com"})},
                                {2});
    std::vector<std::pair<int, int>> progress;
    ws.workspace.progress = [&progress](int done, int total) {
        progress.emplace_back(done, total);
    };
    service.whenAskedFor(2, [this, &service] {
        ws.workspace.stopRequested = true;
        service.release();
    });
    search(service);
    EXPECT_EQ(service.targets(), std::vector<std::string>({target(1), target(2)}));
    EXPECT_EQ(column(ResultListModel::Domain), texts({"a.com", "b.com"}));
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 4}, {2, 4}}));
    EXPECT_EQ(ws.status.text(), kSearchFinished);
}

} // namespace
