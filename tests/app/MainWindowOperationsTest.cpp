// The command buttons and the Enter key as the user meets them: the busy guard, nesting
// inside waits, and closing while an operation waits for the network.
#include "HomePageSpy.h"
#include "MainWindowFixture.h"
#include "support/ListPages.h"
#include "support/TestServer.h"

#include <QTest>

#include <atomic>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

bool isCheck(const httplib::Request& request) {
    return request.path == "/check/check_ac1.cgi";
}

std::string checkTarget(const std::string& name) {
    return "/check/check_ac1.cgi?domain=" + name;
}

ResultRow listedRow(const QString& domain) {
    ResultRow row;
    row.cells[ResultListModel::Number] = QStringLiteral("1");
    row.cells[ResultListModel::Domain] = domain;
    return row;
}

// Runs the action on the main thread when the first request arrives, while the operation
// waits for its held answer, then lets every held answer go.
void whenFirstAsked(TestServer& server, std::function<void()> action) {
    auto done = std::make_shared<bool>(false);
    server.onArrival([&server, done, action = std::move(action)](const std::string&) {
        if (*done)
            return;
        *done = true;
        action();
        server.release();
    });
}

bool isMarkedBusy(const QPushButton* button) {
    return button->property("Tag").toString() == QStringLiteral("1");
}

void clickEach(std::initializer_list<QPushButton*> buttons) {
    for (QPushButton* button : buttons)
        QTest::mouseClick(button, Qt::LeftButton);
}

void sendEnter(QWidget* box) {
    QTest::keyClick(box, Qt::Key_Return);
}

} // namespace

TEST(MainWindowOperations, everyButtonIsRefusedDuringASearchAndWorksAgainAfterIt) {
    std::atomic<int> listRequests{0};
    TestServer server(
        [&](TestServer& self, const httplib::Request& request, httplib::Response& response) {
            if (isCheck(request)) {
                answerText(response, "|210|", "text/plain");
                return;
            }
            ++listRequests;
            if (self.holdUntilReleased())
                answerText(response, ListPages::pageOfDomains("1", {"new1.com", "new2.com"}));
        });
    MainWindow form(testConfig(server.baseUrl()));
    form.rows().appendRow(listedRow(QStringLiteral("kept.com")));

    bool sawBusyTag = false;
    whenFirstAsked(server, [&] {
        const Ui::MainWindow& c = form.controls();
        sawBusyTag = isMarkedBusy(c.searchButton);
        clickEach(
            {c.searchButton, c.verifyButton, c.clearButton, c.filterButton, c.targetCheckButton});
    });
    QTest::mouseClick(form.controls().searchButton, Qt::LeftButton);

    EXPECT_TRUE(sawBusyTag);
    EXPECT_EQ(listRequests.load(), 1);
    EXPECT_EQ(server.requestCount(), 1u) << "no check was asked during the search";
    ASSERT_EQ(form.rows().count(), 3) << "neither cleared nor filtered under the search";
    EXPECT_EQ(form.rows().cell(0, ResultListModel::Domain), QStringLiteral("kept.com"));
    EXPECT_EQ(form.rows().cell(2, ResultListModel::Number), QStringLiteral("3"));
    EXPECT_EQ(form.controls().searchButton->property("Tag").toString(), QStringLiteral("0"));
    EXPECT_EQ(statusText(form), QStringLiteral("状态：域名列表读取已完成。"));

    QTest::mouseClick(form.controls().searchButton, Qt::LeftButton);
    EXPECT_EQ(listRequests.load(), 2);
    EXPECT_EQ(form.rows().count(), 5);
}

TEST(MainWindowOperations, clearingKeepsTheColumnsAndTheNextSearchNumbersFromOne) {
    TestServer server([](const httplib::Request&, httplib::Response& response) {
        answerText(response, ListPages::pageOfDomains("1", {"a1.com", "b2.com"}));
    });
    MainWindow form(testConfig(server.baseUrl()));
    QTest::mouseClick(form.controls().searchButton, Qt::LeftButton);
    ASSERT_EQ(form.rows().count(), 2);
    const QString statusBefore = statusText(form);
    QTest::mouseClick(form.controls().clearButton, Qt::LeftButton);
    EXPECT_EQ(form.rows().count(), 0);
    EXPECT_EQ(form.controls().resultView->model()->columnCount(), 6);
    EXPECT_EQ(statusText(form), statusBefore) << "clearing writes no status";
    QTest::mouseClick(form.controls().clearButton, Qt::LeftButton);
    QTest::mouseClick(form.controls().searchButton, Qt::LeftButton);
    ASSERT_EQ(form.rows().count(), 2);
    EXPECT_EQ(form.rows().cell(0, ResultListModel::Number), QStringLiteral("1"));
}

TEST(MainWindowOperations, enterInTheDomainBoxChecksNestedInsideASearchAndTheSearchGoesOn) {
    TestServer server(
        [&](TestServer& self, const httplib::Request& request, httplib::Response& response) {
            if (isCheck(request)) {
                answerText(response, "|210|", "text/plain");
                return;
            }
            if (self.holdUntilReleased())
                answerText(response, ListPages::pageOfDomains("1", {"listed.com"}));
        });
    MainWindow form(testConfig(server.baseUrl()));
    auto* box = form.controls().targetDomainEdit;
    whenFirstAsked(server, [&] {
        box->setText(QStringLiteral("typed.com"));
        sendEnter(box);
    });
    QTest::mouseClick(form.controls().searchButton, Qt::LeftButton);

    ASSERT_EQ(form.rows().count(), 2);
    EXPECT_EQ(form.rows().cell(0, ResultListModel::Domain), QStringLiteral("typed.com"));
    EXPECT_EQ(form.rows().cell(0, ResultListModel::Verdict), QStringLiteral("未被注册---OK"));
    EXPECT_EQ(form.rows().cell(1, ResultListModel::Domain), QStringLiteral("listed.com"));
    EXPECT_EQ(form.rows().cell(1, ResultListModel::Number), QStringLiteral("2"));
    EXPECT_EQ(statusText(form), QStringLiteral("状态：域名列表读取已完成。"));
}

TEST(MainWindowOperations, enterNeedsADotAndOtherKeysOnlyEdit) {
    TestServer server([](const httplib::Request&, httplib::Response& response) {
        answerText(response, "|211|", "text/plain");
    });
    MainWindow form(testConfig(server.baseUrl()));
    auto* box = form.controls().targetDomainEdit;
    sendEnter(box);
    box->setText(QStringLiteral("nodot"));
    sendEnter(box);
    QTest::keyClick(box, Qt::Key_X);
    EXPECT_EQ(server.requestCount(), 0u);
    EXPECT_EQ(box->text(), QStringLiteral("nodotx"));
    EXPECT_EQ(form.rows().count(), 0);

    box->setText(QStringLiteral("taken.com"));
    sendEnter(box);
    ASSERT_EQ(form.rows().count(), 1);
    EXPECT_EQ(server.targets(), std::vector<std::string>{checkTarget("taken.com")});
    EXPECT_EQ(form.rows().cell(0, ResultListModel::Verdict), QStringLiteral("已被注册"));
    EXPECT_TRUE(form.rows().row(0).subdued);
    EXPECT_EQ(box->text(), QStringLiteral("taken.com"));
}

TEST(MainWindowOperations, theSearchButtonChecksEvenAnEmptyName) {
    TestServer server([](const httplib::Request&, httplib::Response& response) {
        answerText(response, "|210|", "text/plain");
    });
    MainWindow form(testConfig(server.baseUrl()));
    QTest::mouseClick(form.controls().targetCheckButton, Qt::LeftButton);
    EXPECT_EQ(server.targets(), std::vector<std::string>{checkTarget("")});
    EXPECT_EQ(form.rows().count(), 1);
    EXPECT_EQ(statusText(form), QStringLiteral("状态：用户指定的域名已完成验证。"));
}

TEST(MainWindowOperations, duringACheckOfEveryNameTheButtonsAreRefused) {
    TestServer server([&](TestServer& self, const httplib::Request&, httplib::Response& response) {
        if (self.holdUntilReleased())
            answerText(response, "|210|", "text/plain");
    });
    MainWindow form(testConfig(server.baseUrl()));
    form.rows().appendRows(
        {listedRow(QStringLiteral("a.com")), listedRow(QStringLiteral("b.com"))});
    form.controls().targetDomainEdit->setText(QStringLiteral("typed.com"));
    bool sawBusyTag = false;
    whenFirstAsked(server, [&] {
        const Ui::MainWindow& c = form.controls();
        sawBusyTag = isMarkedBusy(c.verifyButton);
        clickEach(
            {c.targetCheckButton, c.filterButton, c.clearButton, c.verifyButton, c.searchButton});
    });
    QTest::mouseClick(form.controls().verifyButton, Qt::LeftButton);

    EXPECT_TRUE(sawBusyTag);
    EXPECT_EQ(server.targets(),
              (std::vector<std::string>{checkTarget("a.com"), checkTarget("b.com")}));
    ASSERT_EQ(form.rows().count(), 2);
    EXPECT_EQ(form.rows().cell(1, ResultListModel::Verdict), QStringLiteral("未被注册---OK"));
    EXPECT_EQ(form.controls().verifyButton->property("Tag").toString(), QStringLiteral("0"));
    EXPECT_EQ(statusText(form), QStringLiteral("状态：所有域名已完成验证。"));

    QTest::mouseClick(form.controls().filterButton, Qt::LeftButton);
    EXPECT_EQ(statusText(form), QStringLiteral("状态：已被注册的域名已被过滤。"));
}

TEST(MainWindowOperations, filterRightAfterStartUpRemovesNothingAndReports) {
    MainWindow form(testConfig());
    QTest::mouseClick(form.controls().filterButton, Qt::LeftButton);
    EXPECT_EQ(form.rows().count(), 0);
    EXPECT_EQ(statusText(form), QStringLiteral("状态：已被注册的域名已被过滤。"));
}

// Closing while an operation waits ends the wait at once, opens the home page once, and the
// operation stops without touching anything more.
class MainWindowClosing : public ::testing::TestWithParam<const char*> {};

TEST_P(MainWindowClosing, closingDuringAWaitEndsTheOperationPromptly) {
    const std::string operation = GetParam();
    TestServer server([&](TestServer& self, const httplib::Request&, httplib::Response& response) {
        // Held until the server stops: only the close can end the wait.
        if (self.holdUntilReleased())
            answerText(response, ListPages::pageOfDomains("3", {"late.com"}));
    });
    HomePageSpy browser;
    AppConfig config = testConfig(server.baseUrl());
    config.fetchTimeLimit = 60s;
    MainWindow form(config);
    form.rows().appendRow(listedRow(QStringLiteral("a.com")));
    form.controls().targetDomainEdit->setText(QStringLiteral("typed.com"));
    form.show();
    server.onArrival([&](const std::string&) { form.close(); });

    if (operation == "search")
        QTest::mouseClick(form.controls().searchButton, Qt::LeftButton);
    else if (operation == "check")
        QTest::mouseClick(form.controls().verifyButton, Qt::LeftButton);
    else
        QTest::mouseClick(form.controls().targetCheckButton, Qt::LeftButton);

    EXPECT_EQ(server.requestCount(), 1u);
    EXPECT_EQ(form.rows().count(), 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.trayIcon()->isVisible());
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened.front(), QUrl(QStringLiteral("morrowcatch-test://home")));
    form.close();
    EXPECT_EQ(browser.opened.size(), 1) << "the home page opens once per close";
}

INSTANTIATE_TEST_SUITE_P(EachWaitingOperation, MainWindowClosing,
                         ::testing::Values("search", "check", "targeted"));
