// Against a real notification service on the session bus, as scripts/notification-tests.sh sets
// it up (dunst, with a rule that writes what it shows to a file); skipped elsewhere.
#include "MainWindowFixture.h"
#include "app/WatchListWindow.h"
#include "support/QStringPrinter.h"
#include "support/TestServer.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// What the service's rule wrote: application name, summary, body, icon and urgency, each
// ended by a NUL.
QStringList recorded(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList fields = QString::fromUtf8(file.readAll()).split(QChar(0));
    fields.removeLast();
    return fields;
}

} // namespace

TEST(RealNotificationService, aFreeNameIsShownAndAClickOpensTheWatchListAtIt) {
    if (qEnvironmentVariable("MORROWCATCH_REAL_NOTIFICATIONS") != u"1"_s)
        GTEST_SKIP() << "needs scripts/notification-tests.sh";
    const QString record = qEnvironmentVariable("MORROWCATCH_NOTIFICATION_RECORD");
    ASSERT_FALSE(record.isEmpty());
    const QString name = u"<b>free</b>&co.com"_s;
    // The answer names the name asked about, as the watch demands.
    TestServer server([&](const httplib::Request&, httplib::Response& response) {
        answerText(response, name.toStdString() + "|210|", "text/plain");
    });
    AppConfig config = testConfig(server.baseUrl());
    config.notificationBus = QDBusConnection::sessionBus();
    ASSERT_TRUE(config.notificationBus.isConnected());
    auto now = std::make_shared<QDateTime>(QDate(2026, 12, 9), QTime(12, 0));
    config.now = [now] { return *now; };
    MainWindow form(config);
    WatchMonitor& monitor = form.watchList().monitor();
    monitor.add(name);
    // Free on the second free answer, 30 seconds after the first.
    ASSERT_TRUE(QTest::qWaitFor([&] { return monitor.entry(name)->checkCount == 1; }, 30000));
    *now = now->addSecs(30);
    monitor.runDue();

    QStringList shown;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            shown = recorded(record);
            return shown.size() >= 5;
        },
        30000));
    // The service was set up to read markup in bodies, so the name had to be escaped; no
    // registry was asked, so the body says the name was not confirmed by one.
    EXPECT_EQ(shown, (QStringList{u"Morrowcatch"_s, u"可以注册"_s,
                                  u"&lt;b&gt;free&lt;/b&gt;&amp;co.com（未经注册局核实）"_s,
                                  u"morrowcatch"_s, u"CRITICAL"_s}));
    EXPECT_EQ(form.watchListWindow(), nullptr) << "the notification is enough";

    // The newest notification's default action, as a click on it.
    QProcess click;
    click.start(u"dunstctl"_s, {u"action"_s, u"0"_s});
    ASSERT_TRUE(QTest::qWaitFor([&] { return click.state() == QProcess::NotRunning; }, 30000));
    ASSERT_EQ(click.exitCode(), 0) << click.readAllStandardError().toStdString();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return form.watchListWindow() && form.watchListWindow()->isVisible(); }, 30000));
    EXPECT_EQ(form.watchListWindow()->selectedNames(), QStringList{name});
}
