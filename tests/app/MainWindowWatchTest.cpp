// The watch list from the main window: the context menu and its shortcuts, names and dates
// taken from the rows, the watch held while the user's own operations run, the announcement of
// a free name, and a damaged file at start-up.
#include "MainWindowFixture.h"
#include "app/WatchListWindow.h"
#include "support/ListPages.h"
#include "support/Rows.h"
#include "support/TestServer.h"

#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void selectRows(MainWindow& form, std::initializer_list<int> rows) {
    auto* view = form.controls().resultView;
    for (int row : rows) {
        view->selectionModel()->select(form.rows().index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

QAction* actionNamed(QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text)
            return action;
    }
    ADD_FAILURE() << "no menu entry " << text.toStdString();
    return nullptr;
}

bool isCheck(const std::string& target) {
    return target.rfind("/check/", 0) == 0;
}

} // namespace

TEST(MainWindowWatch, theMenuAndItsShortcutsAddTheSelectedRowsOnceWithTheirDates) {
    AppConfig config = testConfig();
    config.listZone = QTimeZone("Asia/Shanghai");
    MainWindow form(config);
    form.watchList().monitor().setHeld(true);
    form.rows().appendRows(
        {Rows::dated(QStringLiteral("a.com"), QStringLiteral("2026-12-10"), QDate(2026, 12, 10)),
         Rows::dated(QStringLiteral("b.com"), QStringLiteral("2026-12-11"), QDate(2026, 12, 11)),
         Rows::dated(QStringLiteral("c.com"), QStringLiteral("明天"), QDate()), [] {
             // The cell shows the date; the time of day the list gave rides along.
             ResultRow row = Rows::dated(QStringLiteral("d.com"), QStringLiteral("2026-12-12"),
                                         QDate(2026, 12, 12));
             row.deletionSecond = 8 * 3600;
             return row;
         }()});
    std::unique_ptr<QMenu> menu(form.buildResultListMenu());
    QAction* add = actionNamed(*menu, QStringLiteral("加入关注列表"));
    QAction* open = actionNamed(*menu, QStringLiteral("关注列表..."));
    ASSERT_TRUE(add && open);
    EXPECT_EQ(add->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_EQ(open->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    selectRows(form, {0, 2});
    QTest::keyClick(&form, Qt::Key_D, Qt::ControlModifier);
    const WatchMonitor& monitor = form.watchList().monitor();
    ASSERT_EQ(monitor.entries().size(), 2);
    EXPECT_EQ(monitor.entry(QStringLiteral("a.com"))->deletionDate, QDate(2026, 12, 10));
    EXPECT_FALSE(monitor.entry(QStringLiteral("c.com"))->deletionDate)
        << "a cell that is not a date means no date";

    selectRows(form, {0, 1});
    add->trigger();
    EXPECT_EQ(monitor.entries().size(), 3) << "a name already watched is not added twice";
    EXPECT_EQ(monitor.entry(QStringLiteral("b.com"))->deletionDate, QDate(2026, 12, 11));
    EXPECT_FALSE(monitor.entry(QStringLiteral("b.com"))->listedDrop.isValid())
        << "a date alone gives no moment";

    // A time of day is read in the list's zone, eight hours east of UTC.
    selectRows(form, {3});
    add->trigger();
    EXPECT_EQ(monitor.entry(QStringLiteral("d.com"))->listedDrop,
              QDateTime(QDate(2026, 12, 12), QTime(0, 0), Qt::UTC));

    EXPECT_EQ(form.watchListWindow(), nullptr);
    QTest::keyClick(&form, Qt::Key_L, Qt::ControlModifier);
    ASSERT_NE(form.watchListWindow(), nullptr);
    EXPECT_TRUE(form.watchListWindow()->isVisible());
    EXPECT_EQ(form.watchListWindow()->windowTitle(), QStringLiteral("关注列表"));
    form.watchListWindow()->close();
    EXPECT_FALSE(form.watchListWindow()->isVisible());
    EXPECT_EQ(monitor.entries().size(), 4) << "closing the watch list's window ends no watch";
}

TEST(MainWindowWatch, theDatesReadFromTheListPageReachTheWatchList) {
    TestServer server([](const httplib::Request&, httplib::Response& response) {
        std::vector<ListPages::Row> rows(3);
        const char* const times[] = {"2026-12-10 08:00:00", "即将删除", "2026-13-01"};
        for (size_t i = 0; i < rows.size(); ++i) {
            rows[i].linkText = std::string("n").append(std::to_string(i)).append(".com");
            rows[i].deletionTime = times[i];
        }
        answerText(response, ListPages::page("1", rows));
    });
    AppConfig config = testConfig(server.baseUrl());
    config.listZone = QTimeZone("Asia/Shanghai");
    MainWindow form(config);
    form.watchList().monitor().setHeld(true);
    QTest::mouseClick(form.controls().searchButton, Qt::LeftButton);
    ASSERT_EQ(form.rows().count(), 3);
    selectRows(form, {0, 1, 2});
    form.addSelectedToWatchList();
    const WatchMonitor& monitor = form.watchList().monitor();
    ASSERT_EQ(monitor.entries().size(), 3);
    EXPECT_EQ(monitor.entry(QStringLiteral("n0.com"))->deletionDate, QDate(2026, 12, 10));
    EXPECT_EQ(monitor.entry(QStringLiteral("n0.com"))->listedDrop,
              QDateTime(QDate(2026, 12, 10), QTime(0, 0), Qt::UTC))
        << "the page's time of day, in the list's zone, though the cell shows the date alone";
    EXPECT_FALSE(monitor.entry(QStringLiteral("n1.com"))->deletionDate);
    EXPECT_FALSE(monitor.entry(QStringLiteral("n2.com"))->deletionDate);
}

TEST(MainWindowWatch, noBackgroundCheckRunsWhileTheUsersSearchWaits) {
    TestServer server(
        [&](TestServer& self, const httplib::Request& request, httplib::Response& response) {
            if (isCheck(request.target)) {
                answerText(response, "|211|", "text/plain");
            } else if (self.holdUntilReleased()) {
                answerText(response, ListPages::pageOfDomains("1", {"listed.com"}));
            }
        });
    MainWindow form(testConfig(server.baseUrl()));
    bool checkingDuringSearch = false;
    bool checkAsked = false;
    server.onArrival([&](const std::string& target) {
        if (isCheck(target)) {
            checkAsked = true;
            return;
        }
        // The search waits for its page: a name added now is due at once, but must wait.
        form.watchList().monitor().add(QStringLiteral("watched.com"));
        form.watchList().monitor().runDue();
        checkingDuringSearch = form.watchList().monitor().isChecking();
        server.release();
    });

    QTest::mouseClick(form.controls().searchButton, Qt::LeftButton);
    EXPECT_EQ(statusText(form), QStringLiteral("状态：域名列表读取已完成。"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return checkAsked; }, 20000))
        << "the held check runs once the search has ended";
    EXPECT_FALSE(checkingDuringSearch);
    EXPECT_EQ(server.targets().back(), "/check/check_ac1.cgi?domain=watched.com");
    EXPECT_EQ(statusText(form), QStringLiteral("状态：域名列表读取已完成。"))
        << "the watch writes nothing in the status line";
    EXPECT_EQ(form.rows().count(), 1) << "nor in the result list";
}

TEST(MainWindowWatch, aNameFoundFreeShowsTheWatchListWhereThereIsNoNotificationArea) {
    if (QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "this display has a notification area";
    TestServer server([](const httplib::Request& request, httplib::Response& response) {
        answerText(response, request.get_param_value("domain") + "|210|available", "text/plain");
    });
    AppConfig config = testConfig(server.baseUrl());
    auto now = std::make_shared<QDateTime>(QDate(2026, 12, 9), QTime(12, 0));
    config.now = [now] { return *now; };
    MainWindow form(config);
    WatchMonitor& monitor = form.watchList().monitor();
    ASSERT_TRUE(monitor.add(QStringLiteral("free.com")));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return monitor.entry(QStringLiteral("free.com"))->checkCount == 1; }, 20000));
    EXPECT_EQ(form.watchListWindow(), nullptr) << "one free answer is no evidence";

    // The confirming check is due 30 seconds later.
    *now = now->addSecs(30);
    monitor.runDue();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return form.watchListWindow() && form.watchListWindow()->isVisible(); }, 20000));
    EXPECT_EQ(monitor.entry(QStringLiteral("free.com"))->state, WatchState::Free);
    EXPECT_EQ(server.requestCount(), 2u);
}

TEST(MainWindowWatch, aDamagedFileIsMovedAsideAndTheUserToldWhere) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("watchlist.sqlite"));
    {
        QFile damaged(path);
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(4096, 'x'));
    }
    AppConfig config = testConfig();
    config.watchListPath = path;
    MainWindow form(config);
    auto* message = form.findChild<QMessageBox*>(QStringLiteral("WatchListFileMessage"));
    ASSERT_NE(message, nullptr);
    const QStringList moved =
        QDir(dir.path()).entryList({QStringLiteral("watchlist.sqlite.*")}, QDir::Files);
    ASSERT_FALSE(moved.isEmpty()) << "the damaged file is kept";
    EXPECT_TRUE(message->text().contains(moved.front())) << message->text().toStdString();
    QFile kept(dir.filePath(moved.front()));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray(4096, 'x'));
    EXPECT_TRUE(form.watchList().monitor().add(QStringLiteral("fresh.com")))
        << "a fresh list has started";
}

TEST(MainWindowWatch, aFileThatStopsTakingWritesIsToldOnceInChineseAndTheWatchGoesOn) {
    QTemporaryDir dir;
    AppConfig config = testConfig();
    config.watchListPath = dir.filePath(QStringLiteral("watchlist.sqlite"));
    MainWindow form(config);
    ASSERT_EQ(form.findChild<QMessageBox*>(QStringLiteral("WatchListFileMessage")), nullptr);
    // The file refuses every write from now on, as a full disk would.
    for (const QString& name : QSqlDatabase::connectionNames())
        ASSERT_TRUE(QSqlQuery(QSqlDatabase::database(name, false))
                        .exec(QStringLiteral("PRAGMA query_only = 1")));
    WatchMonitor& monitor = form.watchList().monitor();
    EXPECT_TRUE(monitor.add(QStringLiteral("one.com")));
    EXPECT_TRUE(monitor.add(QStringLiteral("two.com")));
    const auto messages = form.findChildren<QMessageBox*>(QStringLiteral("WatchListStoreMessage"));
    ASSERT_EQ(messages.size(), 1);
    const QString text = messages.front()->text();
    EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
        << text.toStdString();
    EXPECT_EQ(monitor.entries().size(), 2) << "the names are watched in memory";
}

TEST(MainWindowWatch, theListIsKeptAcrossAStartOfTheProgram) {
    QTemporaryDir dir;
    AppConfig config = testConfig();
    config.watchListPath = dir.filePath(QStringLiteral("watchlist.sqlite"));
    config.now = [] { return QDateTime(QDate(2026, 12, 9), QTime(12, 0)); };
    {
        MainWindow form(config);
        form.watchList().monitor().setHeld(true);
        form.rows().appendRow(Rows::dated(QStringLiteral("kept.com"), QStringLiteral("2026-12-20"),
                                          QDate(2026, 12, 20)));
        selectRows(form, {0});
        form.addSelectedToWatchList();
    }
    MainWindow again(config);
    const std::optional<WatchEntry> kept =
        again.watchList().monitor().entry(QStringLiteral("kept.com"));
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->deletionDate, QDate(2026, 12, 20));
    EXPECT_EQ(kept->state, WatchState::AwaitingDeletion);
}
