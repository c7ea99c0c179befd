// Progress in the status bar, stopping with Esc, the evidence behind a verdict, and checking
// again only the rows without a verdict.
#include "MainWindowFixture.h"
#include "support/ListPages.h"
#include "support/Rows.h"
#include "support/TestServer.h"

#include <QMenu>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

QAction* menuAction(QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

} // namespace

TEST(MainWindowExtras, aCheckShowsItsProgressWhileItRunsAndHidesItAfterwards) {
    TestServer server([](const httplib::Request&, httplib::Response& response) {
        answerText(response, "|210|", "text/plain");
    });
    MainWindow form(testConfig(server.baseUrl()));
    form.show();
    form.rows().appendRows({Rows::listed(QStringLiteral("a.com")),
                            Rows::listed(QStringLiteral("b.com")),
                            Rows::listed(QStringLiteral("c.com"))});
    bool visibleDuring = false;
    int maximumDuring = -1;
    int valueDuring = -1;
    server.onArrival([&](const std::string& target) {
        if (target.find("b.com") == std::string::npos)
            return;
        visibleDuring = form.progressBar()->isVisible();
        maximumDuring = form.progressBar()->maximum();
        valueDuring = form.progressBar()->value();
    });
    QTest::mouseClick(form.controls().verifyButton, Qt::LeftButton);
    EXPECT_TRUE(visibleDuring);
    EXPECT_EQ(maximumDuring, 3);
    EXPECT_GE(valueDuring, 1) << "a.com was done before b.com was asked about";
    EXPECT_LE(valueDuring, 2);
    EXPECT_FALSE(form.progressBar()->isVisible());
    EXPECT_EQ(statusText(form), QStringLiteral("状态：所有域名已完成验证。"));
}

// A bar of 0 to 0 is Qt's busy animation, which repaints all through the wait.
TEST(MainWindowExtras, theSearchsWaitForItsFirstPageShowsAStillBar) {
    TestServer server([](const httplib::Request&, httplib::Response& response) {
        answerText(response, ListPages::pageOfDomains("1", {"a.com"}));
    });
    MainWindow form(testConfig(server.baseUrl()));
    form.show();
    bool visibleDuring = false;
    int maximumDuring = -1;
    server.onArrival([&](const std::string&) {
        visibleDuring = form.progressBar()->isVisible();
        maximumDuring = form.progressBar()->maximum();
    });
    QTest::mouseClick(form.controls().searchButton, Qt::LeftButton);
    EXPECT_TRUE(visibleDuring);
    EXPECT_GT(maximumDuring, 0);
    EXPECT_EQ(statusText(form), QStringLiteral("状态：域名列表读取已完成。"));
}

TEST(MainWindowExtras, escapeEndsACheckAfterTheRequestInFlightKeepingWhatItFound) {
    TestServer server([&](TestServer& self, const httplib::Request&, httplib::Response& response) {
        if (self.holdUntilReleased())
            answerText(response, "|210|", "text/plain");
    });
    MainWindow form(testConfig(server.baseUrl()));
    form.show();
    // Esc is a window shortcut: it reaches the window only once the window is active.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    for (int i = 0; i < 10; ++i)
        form.rows().appendRow(Rows::listed(QString::number(i) + QStringLiteral(".com")));
    server.onArrival([&](const std::string&) {
        if (server.requestCount() != 1)
            return;
        QTest::keyClick(&form, Qt::Key_Escape);
        server.release();
    });
    QTest::mouseClick(form.controls().verifyButton, Qt::LeftButton);

    EXPECT_EQ(server.requestCount(), 1u);
    EXPECT_EQ(form.rows().count(), 10);
    EXPECT_EQ(form.rows().cell(0, ResultListModel::Verdict), QStringLiteral("未被注册---OK"));
    EXPECT_TRUE(form.rows().cell(1, ResultListModel::Verdict).isEmpty());
    EXPECT_EQ(statusText(form), QStringLiteral("状态：所有域名已完成验证。"));

    QTest::keyClick(&form, Qt::Key_Escape);
    QTest::mouseClick(form.controls().verifyButton, Qt::LeftButton);
    EXPECT_EQ(server.requestCount(), 11u) << "a stop request does not outlive its operation";
}

TEST(MainWindowExtras, escapeEndsASearchAfterThePageInFlight) {
    TestServer server(
        [&](TestServer& self, const httplib::Request& request, httplib::Response& response) {
            if (request.target.find("&page=2") != std::string::npos && !self.holdUntilReleased())
                return;
            answerText(response, ListPages::pageOfDomains("20", {"a.com", "b.com"}));
        });
    MainWindow form(testConfig(server.baseUrl()));
    form.show();
    // Esc is a window shortcut: it reaches the window only once the window is active.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    server.onArrival([&](const std::string& target) {
        if (target.find("&page=2") == std::string::npos)
            return;
        QTest::keyClick(&form, Qt::Key_Escape);
        server.release();
    });
    QTest::mouseClick(form.controls().searchButton, Qt::LeftButton);
    EXPECT_EQ(server.requestCount(), 2u);
    EXPECT_EQ(form.rows().count(), 4) << "every page read keeps its rows";
    EXPECT_EQ(statusText(form), QStringLiteral("状态：域名列表读取已完成。"));
    EXPECT_FALSE(form.progressBar()->isVisible());
}

TEST(MainWindowExtras, theVerdictCellShowsWhenAndWhatTheServiceAnsweredAsPlainText) {
    TestServer server([](const httplib::Request&, httplib::Response& response) {
        answerText(response, "<b>|211|</b> taken\nsecond line", "text/plain");
    });
    AppConfig config = testConfig(server.baseUrl());
    config.now = [] { return QDateTime(QDate(2026, 12, 8), QTime(23, 59, 58)); };
    MainWindow form(config);
    form.controls().targetDomainEdit->setText(QStringLiteral("x.com"));
    QTest::mouseClick(form.controls().targetCheckButton, Qt::LeftButton);
    ASSERT_EQ(form.rows().count(), 1);
    const QString tip = form.rows()
                            .data(form.rows().index(0, ResultListModel::Verdict), Qt::ToolTipRole)
                            .toString();
    EXPECT_TRUE(tip.contains(QStringLiteral("验证时间：2026-12-08 23:59:58"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("&lt;b&gt;|211|&lt;/b&gt; taken")))
        << tip.toStdString();
    EXPECT_FALSE(tip.contains(QStringLiteral("second line")));
    EXPECT_FALSE(
        form.rows().data(form.rows().index(0, ResultListModel::Domain), Qt::ToolTipRole).isValid());
}

TEST(MainWindowExtras, recheckAsksOnlyAboutRowsWithoutAVerdict) {
    TestServer server([](const httplib::Request&, httplib::Response& response) {
        answerText(response, "|211|", "text/plain");
    });
    MainWindow form(testConfig(server.baseUrl()));
    form.rows().appendRows({Rows::listed(QStringLiteral("done.com"), Rows::Verdict::Free),
                            Rows::listed(QStringLiteral("open.com")),
                            Rows::listed(QStringLiteral("taken.com"), Rows::Verdict::Registered),
                            Rows::listed(QStringLiteral("open2.com"))});
    std::unique_ptr<QMenu> menu(form.buildResultListMenu());
    QAction* recheck = menuAction(*menu, QStringLiteral("重新验证未验证的域名"));
    ASSERT_NE(recheck, nullptr);
    recheck->trigger();
    EXPECT_EQ(server.targets(),
              (std::vector<std::string>{"/check/check_ac1.cgi?domain=open.com",
                                        "/check/check_ac1.cgi?domain=open2.com"}));
    EXPECT_EQ(form.rows().cell(1, ResultListModel::Verdict), QStringLiteral("已被注册"));
    EXPECT_EQ(form.rows().cell(0, ResultListModel::Verdict), QStringLiteral("未被注册---OK"));
    EXPECT_EQ(form.controls().verifyButton->property("Tag").toString(), QStringLiteral("0"));
}
