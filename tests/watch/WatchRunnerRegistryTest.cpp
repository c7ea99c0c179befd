// The watch list as the program runs it, asking a real (local) WHOIS server through the shared
// registry access: its answer reaches the list, and stopping the watch calls its questions off.
#include "../registry/WhoisTestServer.h"
#include "FixedTimeZone.h"
#include "support/QStringPrinter.h"
#include "support/TestServer.h"

#include "watch/WatchRunner.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QDateTime kNow(QDate(2026, 12, 9), QTime(9, 30), Qt::UTC);

class WatchRunnerRegistry : public ::testing::Test {
protected:
    WatchRunnerRegistry()
        : service([](const httplib::Request& request, httplib::Response& response) {
              answerText(response, request.get_param_value("domain") + "|211|registered",
                         "text/plain");
          }) {
        // .cn has no RDAP server in the shipped bootstrap: it goes to WHOIS, here the test's.
        settings.bootstrapAddress = u"http://127.0.0.1:9/dns.json"_s;
        settings.cacheFolder = dir.filePath(u"cache"_s);
        settings.whoisOverride = whois.address();
        settings.spacing = 0ms;
    }

    FixedTimeZone zone;
    QTemporaryDir dir;
    WhoisTestServer whois;
    TestServer service;
    RegistrySettings settings;
};

} // namespace

TEST_F(WatchRunnerRegistry, aNameItsRegistryDoesNotHoldIsAnnouncedConfirmedAtItsFirstCheck) {
    whois.answer("drop.cn", {"No matching record.\r\n"});
    WatchRunner list(
        service.baseUrl(), [] { return kNow; }, settings);
    ASSERT_EQ(list.open(dir.filePath(u"watchlist.sqlite"_s)).status,
              StoreOpenResult::Status::Opened);
    QSignalSpy free(&list.monitor(), &WatchMonitor::becameFree);
    ASSERT_TRUE(list.monitor().add(u"drop.cn"_s));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !free.isEmpty(); }, 20000));
    EXPECT_EQ(free.front().at(0).toString(), u"drop.cn"_s);
    EXPECT_TRUE(free.front().at(1).toBool()) << "the registry confirmed it";
    const WatchEntry entry = *list.monitor().entry(u"drop.cn"_s);
    EXPECT_EQ(entry.state, WatchState::Free);
    EXPECT_EQ(entry.registry.verdict, RegistryVerdict::NotHeld);
    EXPECT_EQ(entry.registry.answeredAt, kNow);
    EXPECT_EQ(whois.queries().size(), 1);
}

TEST_F(WatchRunnerRegistry, stoppingTheWatchCallsOffItsRegistryQuestions) {
    // The server keeps the connection open without a word: the question waits.
    whois.answer("silent.cn", {{}, false});
    WatchRunner list(
        service.baseUrl(), [] { return kNow; }, settings);
    ASSERT_EQ(list.open(u":memory:"_s).status, StoreOpenResult::Status::Opened);
    QSignalSpy queried(&whois, &WhoisTestServer::queried);
    ASSERT_TRUE(list.monitor().add(u"silent.cn"_s));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !queried.isEmpty(); }, 20000));
    EXPECT_EQ(list.registry().lookup().pendingCount(), 1);
    list.stop();
    EXPECT_EQ(list.registry().lookup().pendingCount(), 0);
    EXPECT_EQ(list.monitor().registryQuestionsInFlight(), 0);
}

TEST_F(WatchRunnerRegistry, aDisabledRegistryIsNeverAsked) {
    settings.enabled = false;
    WatchRunner list(
        service.baseUrl(), [] { return kNow; }, settings);
    ASSERT_EQ(list.open(u":memory:"_s).status, StoreOpenResult::Status::Opened);
    ASSERT_TRUE(list.monitor().add(u"drop.cn"_s));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.monitor().entry(u"drop.cn"_s)->checkCount == 1; },
                                20000));
    EXPECT_EQ(list.registry().lookup().pendingCount(), 0);
    EXPECT_EQ(list.monitor().registryQuestionsInFlight(), 0);
    EXPECT_TRUE(whois.queries().isEmpty());
}
