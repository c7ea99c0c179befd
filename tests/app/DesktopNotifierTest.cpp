// A name found free, told through a notification service on a private bus: the exact call, the
// clicks that come back, and what happens where there is no service.
#include "app/DesktopNotifier.h"
#include "FakeNotificationService.h"
#include "MainWindowFixture.h"
#include "PrivateBus.h"
#include "app/WatchListWindow.h"
#include "support/QStringPrinter.h"
#include "support/TestServer.h"

#include <QClipboard>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A name as a watch list may hold it: typed by the user, so anything but markup of ours.
const QString kMarkupName = u"<b>free</b>&co.com"_s;

struct BodyCase {
    const char* what;
    QStringList capabilities;
    bool confirmedByRegistry;
    QString expectedBody;
};

void PrintTo(const BodyCase& c, std::ostream* out) {
    *out << c.what;
}

class DesktopNotifierBody : public ::testing::TestWithParam<BodyCase> {};

} // namespace

TEST_P(DesktopNotifierBody, notifyCarriesTheExactArguments) {
    PrivateBus bus;
    ASSERT_TRUE(bus.started());
    FakeNotificationService service(bus.connect(), GetParam().capabilities);
    ASSERT_TRUE(service.registered());
    DesktopNotifier notifier(bus.connect());
    QSignalSpy notShown(&notifier, &DesktopNotifier::notShown);

    notifier.announceFree(kMarkupName, GetParam().confirmedByRegistry);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !service.received().isEmpty(); }, 20000));
    const FakeNotificationService::Notification& shown = service.received().front();
    EXPECT_EQ(shown.signature, u"susssasa{sv}i"_s);
    EXPECT_EQ(shown.appName, u"Morrowcatch"_s);
    EXPECT_EQ(shown.replacesId, 0u);
    EXPECT_EQ(shown.icon, u"morrowcatch"_s);
    EXPECT_EQ(shown.summary, u"可以注册"_s);
    EXPECT_EQ(shown.body, GetParam().expectedBody);
    ASSERT_EQ(shown.actions.size(), 4);
    EXPECT_EQ(shown.actions[0], u"default"_s);
    EXPECT_FALSE(shown.actions[1].isEmpty()) << "every action needs its label";
    EXPECT_EQ(shown.actions[2], DesktopNotifier::kCopyAction);
    EXPECT_EQ(shown.actions[3], u"复制域名"_s);
    ASSERT_EQ(shown.hints.keys(), QStringList{u"urgency"_s});
    const QVariant urgency = shown.hints.value(u"urgency"_s);
    EXPECT_STREQ(urgency.metaType().name(), "uchar") << "urgency is a byte";
    EXPECT_EQ(urgency.value<uchar>(), 2) << "critical";
    EXPECT_EQ(shown.expireTimeout, -1);
    EXPECT_EQ(notShown.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DesktopNotifierBody,
    ::testing::Values(BodyCase{"markup",
                               {u"actions"_s, u"body-markup"_s},
                               true,
                               u"&lt;b&gt;free&lt;/b&gt;&amp;co.com"_s},
                      BodyCase{"plain", {u"actions"_s, u"body"_s}, true, kMarkupName},
                      BodyCase{"markupUnconfirmed",
                               {u"actions"_s, u"body-markup"_s},
                               false,
                               u"&lt;b&gt;free&lt;/b&gt;&amp;co.com（未经注册局核实）"_s},
                      BodyCase{"plainUnconfirmed",
                               {u"actions"_s, u"body"_s},
                               false,
                               kMarkupName + u"（未经注册局核实）"_s}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(DesktopNotifier, onlyOurNotificationsStillShownAnswerTheirActions) {
    PrivateBus bus;
    ASSERT_TRUE(bus.started());
    FakeNotificationService service(bus.connect(), {u"actions"_s});
    DesktopNotifier notifier(bus.connect());
    QSignalSpy opened(&notifier, &DesktopNotifier::opened);
    QSignalSpy copied(&notifier, &DesktopNotifier::copyRequested);
    // The signals are only seen once the notifier listens: an answered call proves that.
    notifier.announceFree(u"one.com"_s, true);
    notifier.announceFree(u"two.com"_s, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.received().size() == 2; }, 20000));
    const uint two = service.lastId();
    const uint one = two - 1;

    // Signals from one sender arrive in order: once a later one is seen, the earlier ones have
    // been handled.
    service.invokeAction(two + 100, u"default"_s); // another program's notification
    service.invokeAction(one, u"unknown"_s);
    service.invokeAction(one, u"default"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened.count() == 1; }, 20000));
    EXPECT_EQ(opened.front().front().toString(), u"one.com"_s);
    service.invokeAction(two, DesktopNotifier::kCopyAction);
    ASSERT_TRUE(QTest::qWaitFor([&] { return copied.count() == 1; }, 20000));
    EXPECT_EQ(copied.front().front().toString(), u"two.com"_s);

    service.close(one);
    service.invokeAction(one, u"default"_s);
    service.invokeAction(two, u"default"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened.count() >= 2; }, 20000));
    EXPECT_EQ(opened.size(), 2) << "a closed notification answers nothing";
    EXPECT_EQ(opened.back().front().toString(), u"two.com"_s);
}

TEST(DesktopNotifier, withoutAServiceThatTakesIt_theNameIsNotShown) {
    enum class Bus { NotConnected, NoService, Refusing };
    for (const Bus kind : {Bus::NotConnected, Bus::NoService, Bus::Refusing}) {
        SCOPED_TRACE(int(kind));
        PrivateBus bus;
        ASSERT_TRUE(bus.started());
        std::optional<FakeNotificationService> service;
        if (kind == Bus::Refusing) {
            service.emplace(bus.connect(), QStringList{u"actions"_s});
            service->refuse();
        }
        DesktopNotifier notifier(kind == Bus::NotConnected ? QDBusConnection(QString())
                                                           : bus.connect());
        QSignalSpy notShown(&notifier, &DesktopNotifier::notShown);
        notifier.announceFree(u"free.com"_s, false);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !notShown.isEmpty(); }, 20000));
        EXPECT_EQ(notShown.front().front().toString(), u"free.com"_s);
        EXPECT_FALSE(notShown.front().at(1).toBool()) << "the tray says it unconfirmed too";
    }
}

TEST(DesktopNotifier, fromTheWindow_aClickOpensTheWatchListAtTheNameAndCopyCopiesIt) {
    PrivateBus bus;
    ASSERT_TRUE(bus.started());
    FakeNotificationService service(bus.connect(), {u"actions"_s, u"body-markup"_s});
    TestServer server([](const httplib::Request& request, httplib::Response& response) {
        // Each answer names the name asked about, as the watch demands.
        const bool free = request.target.find("free") != std::string::npos;
        answerText(response, free ? kMarkupName.toStdString() + "|210|" : "taken.com|211|",
                   "text/plain");
    });
    AppConfig config = testConfig(server.baseUrl());
    config.notificationBus = bus.connect();
    auto now = std::make_shared<QDateTime>(QDate(2026, 12, 9), QTime(12, 0));
    config.now = [now] { return *now; };
    MainWindow form(config);
    WatchMonitor& monitor = form.watchList().monitor();
    monitor.add(u"taken.com"_s);
    monitor.add(kMarkupName);
    // A name is free on the second free answer, asked 30 seconds after the first.
    const auto checksDone = [&] {
        int done = 0;
        for (const WatchEntry& entry : monitor.entries())
            done += entry.checkCount;
        return done;
    };
    for (int done = 1; done <= 3; ++done) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return checksDone() >= done; }, 20000));
        *now = now->addSecs(31);
        monitor.runDue();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !service.received().isEmpty(); }, 20000));
    EXPECT_EQ(form.watchListWindow(), nullptr) << "the notification is enough";
    EXPECT_EQ(service.received().front().body,
              kMarkupName.toHtmlEscaped() + u"（未经注册局核实）"_s)
        << "no registry was asked: the two free answers alone made it free";

    service.invokeAction(service.lastId(), u"default"_s);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return form.watchListWindow() && form.watchListWindow()->isVisible(); }, 20000));
    EXPECT_EQ(form.watchListWindow()->selectedNames(), QStringList{kMarkupName});

    QGuiApplication::clipboard()->clear();
    service.invokeAction(service.lastId(), DesktopNotifier::kCopyAction);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QGuiApplication::clipboard()->text() == kMarkupName; },
                                20000));
    EXPECT_EQ(service.received().size(), 1) << "taken.com is not announced";
}
