#include "search/RunListSearch.h"
#include "ListPages.h"
#include "results/ResultListModel.h"
#include "results/StatusLine.h"
#include "results/Workspace.h"
#include "support/TestServer.h"
#include "web/Closing.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>

namespace {

using namespace std::chrono_literals;

// Longer than a fetch may wait.
constexpr auto kStall = 6s;

const QString kStarting = QStringLiteral("状态：开始读取域名列表...");
const QString kFirstPageMissing = QStringLiteral("状态：获取域名列表失败！");
const QString kNothingFound = QStringLiteral("状态：未找到符合条件的域名。");
const QString kFinished = QStringLiteral("状态：域名列表读取已完成。");

// Serves page n of a script for "&page=n" (page 1 without a page key), each page after its
// delay, if it has one.
class ScriptedListService {
public:
    using Delays = std::map<int, std::chrono::milliseconds>;

    explicit ScriptedListService(std::vector<std::string> pages, Delays delays = {})
        : m_pages(std::move(pages)), m_delays(std::move(delays)),
          m_server(std::make_unique<TestServer>(
              [this](const httplib::Request& request, httplib::Response& response) {
                  serve(request, response);
              })) {}

    QString listBase() const { return m_server->baseUrl() + QStringLiteral("/?"); }
    // Runs on the window's thread, in the wait for the given page.
    void whileWaitingFor(int page, std::function<void()> action) {
        m_waitingPage = page;
        m_whileWaiting = std::move(action);
    }
    std::vector<std::string> targets() const { return m_server->targets(); }

private:
    void serve(const httplib::Request& request, httplib::Response& response) {
        const std::string key = request.get_param_value("page");
        const size_t page = key.empty() ? 1 : std::stoul(key);
        if (static_cast<int>(page) == m_waitingPage)
            QMetaObject::invokeMethod(qApp, m_whileWaiting, Qt::QueuedConnection);
        if (const auto delay = m_delays.find(static_cast<int>(page)); delay != m_delays.end())
            m_server->sleepUnlessStopping(delay->second);
        answerText(response, page >= 1 && page <= m_pages.size() ? m_pages[page - 1] : "");
    }

    std::vector<std::string> m_pages;
    Delays m_delays;
    int m_waitingPage = 0;
    std::function<void()> m_whileWaiting;
    std::unique_ptr<TestServer> m_server;
};

class RunListSearchTest : public ::testing::Test {
protected:
    RunListSearchTest() {
        QObject::connect(&status, &StatusLine::textChanged,
                         [this](const QString& text) { statusTexts << text; });
    }

    void search(const ScriptedListService& service) {
        RunListSearch(service.listBase(), ListPages::openingCriteria(), workspace);
    }

    QStringList column(ResultListModel::Column column) const {
        QStringList cells;
        for (int i = 0; i < rows.count(); ++i)
            cells << rows.cell(i, column);
        return cells;
    }

    static std::string target(int page = 1) {
        std::string path = std::string("/?") + ListPages::kOpeningQuery;
        return page == 1 ? path : path + "&page=" + std::to_string(page);
    }

    ResultListModel rows;
    StatusLine status;
    Closing closing;
    Workspace workspace{rows, status, closing};
    QStringList statusTexts;
};

QStringList strings(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items)
        list << QString::fromUtf8(item);
    return list;
}

TEST_F(RunListSearchTest, onePage_oneRequestThenFinished) {
    ScriptedListService service({ListPages::pageOfDomains("1", {"a.com", "b.com"})});
    search(service);
    EXPECT_EQ(service.targets(), std::vector<std::string>{target()});
    EXPECT_EQ(column(ResultListModel::Domain), strings({"a.com", "b.com"}));
    EXPECT_EQ(statusTexts, QStringList({kStarting, kFinished}));
}

TEST_F(RunListSearchTest, threePages_requestedInOrder_rowsInPageOrder) {
    ScriptedListService service({ListPages::pageOfDomains("3", {"a1.com", "a2.com"}),
                                 ListPages::pageOfDomains("3", {"b1.com"}),
                                 ListPages::pageOfDomains("99", {"c1.com", "c2.com"})});
    search(service);
    EXPECT_EQ(service.targets(), std::vector<std::string>({target(1), target(2), target(3)}));
    EXPECT_EQ(column(ResultListModel::Domain),
              strings({"a1.com", "a2.com", "b1.com", "c1.com", "c2.com"}));
    EXPECT_EQ(column(ResultListModel::Number), strings({"1", "2", "3", "4", "5"}));
    EXPECT_EQ(status.text(), kFinished);
}

TEST_F(RunListSearchTest, noResultPage_addsNothingAndAsksNoMore) {
    ScriptedListService service(
        {ListPages::noResultPage() + ListPages::pageOfDomains("3", {"a.com"}),
         ListPages::pageOfDomains("3", {"b.com"})});
    search(service);
    EXPECT_EQ(service.targets().size(), 1u);
    EXPECT_EQ(rows.count(), 0);
    EXPECT_EQ(statusTexts, QStringList({kStarting, kNothingFound}));
}

TEST_F(RunListSearchTest, firstPageTimesOut_failsWithoutAnotherRequest) {
    ScriptedListService service({ListPages::pageOfDomains("3", {"a.com"})}, {{1, kStall}});
    search(service);
    EXPECT_EQ(service.targets().size(), 1u);
    EXPECT_EQ(rows.count(), 0);
    EXPECT_EQ(status.text(), kFirstPageMissing);
}

TEST_F(RunListSearchTest, laterPageTimesOut_theOthersAreListedWithoutAGap) {
    ScriptedListService service({ListPages::pageOfDomains("3", {"a.com"}),
                                 ListPages::pageOfDomains("3", {"b.com"}),
                                 ListPages::pageOfDomains("3", {"c.com"})},
                                {{2, kStall}});
    search(service);
    EXPECT_EQ(service.targets().size(), 3u);
    EXPECT_EQ(column(ResultListModel::Domain), strings({"a.com", "c.com"}));
    EXPECT_EQ(column(ResultListModel::Number), strings({"1", "2"}));
    EXPECT_EQ(status.text(), kFinished);
}

TEST_F(RunListSearchTest, zeroPagesAnnounced_firstPageRowsOnly) {
    ScriptedListService service(
        {ListPages::pageOfDomains("0", {"a.com"}), ListPages::pageOfDomains("0", {"b.com"})});
    search(service);
    EXPECT_EQ(service.targets().size(), 1u);
    EXPECT_EQ(column(ResultListModel::Domain), strings({"a.com"}));
    EXPECT_EQ(status.text(), kFinished);
}

TEST_F(RunListSearchTest, secondSearch_continuesTheNumbering) {
    ScriptedListService service({ListPages::pageOfDomains("1", {"a.com", "b.com"})});
    search(service);
    search(service);
    EXPECT_EQ(service.targets(), std::vector<std::string>({target(), target()}));
    EXPECT_EQ(column(ResultListModel::Number), strings({"1", "2", "3", "4"}));
    EXPECT_EQ(column(ResultListModel::Domain), strings({"a.com", "b.com", "a.com", "b.com"}));
}

TEST_F(RunListSearchTest, closingDuringAPage_stopsAtOnceWithoutAnotherWord) {
    ScriptedListService service({ListPages::pageOfDomains("3", {"a.com"}),
                                 ListPages::pageOfDomains("3", {"b.com"}),
                                 ListPages::pageOfDomains("3", {"c.com"})},
                                {{2, kStall}});
    service.whileWaitingFor(2, [this] { closing.begin(); });
    QElapsedTimer clock;
    clock.start();
    search(service);
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_EQ(service.targets(), std::vector<std::string>({target(1), target(2)}));
    EXPECT_EQ(column(ResultListModel::Domain), strings({"a.com"}));
    EXPECT_EQ(statusTexts, QStringList({kStarting}));

    search(service);
    EXPECT_EQ(service.targets().size(), 2u);
    EXPECT_EQ(statusTexts.size(), 1);
}

TEST_F(RunListSearchTest, stopRequest_endsAfterThePageInFlight_andReportsProgress) {
    ScriptedListService service({ListPages::pageOfDomains("4", {"a.com"}),
                                 ListPages::pageOfDomains("4", {"b.com"}),
                                 ListPages::pageOfDomains("4", {"c.com"})},
                                {{2, 400ms}});
    std::vector<std::pair<int, int>> progress;
    workspace.progress = [&progress](int done, int total) { progress.emplace_back(done, total); };
    service.whileWaitingFor(2, [this] { workspace.stopRequested = true; });
    search(service);
    EXPECT_EQ(service.targets(), std::vector<std::string>({target(1), target(2)}));
    EXPECT_EQ(column(ResultListModel::Domain), strings({"a.com", "b.com"}));
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 4}, {2, 4}}));
    EXPECT_EQ(status.text(), kFinished);
}

} // namespace
