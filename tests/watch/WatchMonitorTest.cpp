#include "FixedTimeZone.h"
#include "WatchPrinters.h"
#include "support/QStringPrinter.h"

#include "FakeChecks.h"
#include "watch/WatchMonitor.h"
#include "watch/WatchRules.h"
#include "watch/WatchStore.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QDateTime kStart(QDate(2025, 3, 1), QTime(12, 0), Qt::UTC);

class WatchMonitorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(m_store.open(m_dir.filePath(u"watchlist.sqlite"_s)).status,
                  StoreOpenResult::Status::Opened);
        m_monitor = makeMonitor();
        m_monitor->load();
    }

    std::unique_ptr<WatchMonitor> makeMonitor() {
        return std::make_unique<WatchMonitor>(m_store, m_checks.starter(),
                                              [this] { return m_now; });
    }

    void advance(std::chrono::milliseconds by) {
        m_now = m_now.addMSecs(by.count());
        m_monitor->runDue();
    }

    WatchEntry stored(const QString& domain) {
        for (const WatchEntry& entry : m_store.loadAll()) {
            if (entry.domain == domain)
                return entry;
        }
        ADD_FAILURE() << domain.toStdString() << " is not stored";
        return {};
    }

    FixedTimeZone m_zone;
    QTemporaryDir m_dir;
    WatchStore m_store;
    FakeChecks m_checks;
    QDateTime m_now = kStart;
    std::unique_ptr<WatchMonitor> m_monitor;
};

} // namespace

TEST_F(WatchMonitorTest, heldMonitorStartsNoCheckUntilReleased) {
    m_monitor->setHeld(true);
    ASSERT_TRUE(m_monitor->add(u"held.example"_s));
    advance(5min);
    EXPECT_TRUE(m_checks.asked.isEmpty());

    m_monitor->setHeld(false);
    EXPECT_EQ(m_checks.asked, QStringList{u"held.example"_s});
}

TEST_F(WatchMonitorTest, holdingCallsOffTheCheckInFlightAndAsksItAgainFirstOnRelease) {
    int cancelled = 0;
    m_monitor->setCancelCheck([&] { ++cancelled; });
    m_monitor->addMany({{u"a.example"_s, {}}, {u"b.example"_s, {}}});
    ASSERT_EQ(m_checks.asked, QStringList{u"a.example"_s});

    m_monitor->setHeld(true);
    EXPECT_EQ(cancelled, 1);
    EXPECT_FALSE(m_monitor->isChecking());
    m_checks.answer(CheckVerdict::Free);
    advance(1min);
    EXPECT_EQ(m_checks.asked.size(), 1) << "nothing starts while held";
    EXPECT_EQ(stored(u"a.example"_s).checkCount, 0)
        << "an answer that comes after the hold counts for nothing";
    EXPECT_EQ(stored(u"a.example"_s).state, WatchState::Watching);

    m_monitor->setHeld(false);
    EXPECT_EQ(m_checks.asked, (QStringList{u"a.example"_s, u"a.example"_s}));
}

TEST_F(WatchMonitorTest, onlyOneCheckAtATimeAndQuestionsOneSecondApart) {
    m_monitor->addMany({{u"a.example"_s, {}}, {u"b.example"_s, {}}, {u"c.example"_s, {}}});
    advance(10s);
    ASSERT_EQ(m_checks.asked.size(), 1) << "a second check started while one was in flight";

    m_checks.answer(CheckVerdict::Registered);
    EXPECT_EQ(m_monitor->plannedWake(), m_now.addSecs(1));
    advance(999ms);
    EXPECT_EQ(m_checks.asked.size(), 1);
    advance(1ms);
    EXPECT_EQ(m_checks.asked.size(), 2);
    m_checks.answer(CheckVerdict::NoVerdict);
    advance(1s);
    m_checks.answer(CheckVerdict::Registered);
    EXPECT_EQ(m_checks.asked.size(), 3);
    EXPECT_EQ(QSet<QString>(m_checks.asked.cbegin(), m_checks.asked.cend()).size(), 3);
    EXPECT_EQ(m_checks.maxInFlight, 1);
}

TEST_F(WatchMonitorTest, rateRefusalsDoubleTheSpacingAndAnAnswerResetsIt) {
    QStringList domains;
    for (int i = 0; i < 6; ++i)
        domains.append(u"n%1.example"_s.arg(i));
    for (const QString& domain : domains)
        m_monitor->add(domain);
    ASSERT_EQ(m_checks.asked.size(), 1);

    for (const int expectedGapMs : {2000, 4000, 8000}) {
        m_checks.answer(CheckVerdict::NoVerdict, true);
        const qsizetype before = m_checks.asked.size();
        advance(std::chrono::milliseconds(expectedGapMs - 1));
        EXPECT_EQ(m_checks.asked.size(), before) << "gap " << expectedGapMs;
        advance(1ms);
        EXPECT_EQ(m_checks.asked.size(), before + 1) << "gap " << expectedGapMs;
    }
    m_checks.answer(CheckVerdict::Registered);
    EXPECT_EQ(m_monitor->spacing(), 1s);
    advance(1s);
    EXPECT_EQ(m_checks.asked.size(), 5);
}

TEST_F(WatchMonitorTest, freeNameRaisesExactlyOneNotificationEvenAfterAReload) {
    QSignalSpy freed(m_monitor.get(), &WatchMonitor::becameFree);
    m_monitor->add(u"drop.example"_s);
    m_checks.answer(CheckVerdict::Free);
    advance(30s);
    m_checks.answer(CheckVerdict::Free);
    ASSERT_EQ(freed.size(), 1);
    EXPECT_EQ(freed[0][0].toString(), u"drop.example"_s);
    EXPECT_EQ(stored(u"drop.example"_s).state, WatchState::Free);

    advance(1h);
    EXPECT_EQ(m_checks.asked.size(), 2) << "a free name was checked again on its own";
    m_monitor->checkNow({u"drop.example"_s});
    ASSERT_EQ(m_checks.asked.size(), 3) << "the user can check a free name";
    m_checks.answer(CheckVerdict::Free);
    EXPECT_EQ(freed.size(), 1);

    m_monitor = makeMonitor();
    QSignalSpy freedAfterReload(m_monitor.get(), &WatchMonitor::becameFree);
    m_monitor->load();
    advance(1h);
    EXPECT_TRUE(freedAfterReload.isEmpty());
    EXPECT_EQ(m_monitor->entry(u"drop.example"_s)->state, WatchState::Free);
}

TEST_F(WatchMonitorTest, lateOrRepeatedAnswerIsIgnored) {
    WatchMonitor::CheckDone kept;
    m_monitor = std::make_unique<WatchMonitor>(
        m_store, [&](const QString&, WatchMonitor::CheckDone done) { kept = done; },
        [this] { return m_now; });
    m_monitor->load();
    m_monitor->add(u"twice.example"_s);
    ASSERT_TRUE(kept);
    kept({{m_now, 200, CheckVerdict::Registered, {}}, false});
    kept({{m_now, 200, CheckVerdict::Registered, {}}, false});
    EXPECT_EQ(m_monitor->entry(u"twice.example"_s)->checkCount, 1);
}

TEST_F(WatchMonitorTest, checkNowGoesBeforeOtherDueNamesAndBeforeTheDate) {
    m_monitor->add(u"due.example"_s);
    m_monitor->add(u"nextweek.example"_s, kStart.date().addDays(7));
    m_monitor->add(u"other.example"_s);
    ASSERT_EQ(m_checks.asked, QStringList{u"due.example"_s});
    m_monitor->checkNow({u"NextWeek.example "_s});
    m_checks.answer(CheckVerdict::Registered);
    advance(1s);
    EXPECT_EQ(m_checks.asked.value(1), u"nextweek.example"_s);
    m_checks.answer(CheckVerdict::Registered);
    const WatchEntry early = *m_monitor->entry(u"nextweek.example"_s);
    EXPECT_EQ(early.state, WatchState::AwaitingDeletion);
    EXPECT_EQ(early.checkCount, 1);
    EXPECT_EQ(early.nextCheck,
              WatchRules::deletionStart(kStart.date().addDays(7), m_monitor->zone()));
}

TEST_F(WatchMonitorTest, intervalChangeMovesPlannedChecksAndIsKept) {
    m_monitor->add(u"a.example"_s);
    m_checks.answer(CheckVerdict::Registered);
    const QDateTime checkedAt = m_now;
    EXPECT_EQ(m_monitor->entry(u"a.example"_s)->nextCheck, checkedAt.addSecs(600));

    m_monitor->setInterval(60s);
    EXPECT_EQ(m_monitor->entry(u"a.example"_s)->nextCheck, checkedAt.addSecs(60));
    EXPECT_EQ(stored(u"a.example"_s).nextCheck, checkedAt.addSecs(60));
    EXPECT_EQ(m_store.interval(), 60s);
    EXPECT_EQ(m_monitor->plannedWake(), checkedAt.addSecs(60));
    advance(59s);
    EXPECT_EQ(m_checks.asked.size(), 1);
    advance(1s);
    EXPECT_EQ(m_checks.asked.size(), 2);
}

TEST_F(WatchMonitorTest, datedNameWaitsForItsDayThenIsCheckedEveryInterval) {
    const QDate date = kStart.date().addDays(2);
    const QDateTime dayStart = WatchRules::deletionStart(date, m_monitor->zone());
    m_monitor->add(u"dated.example"_s, date);
    EXPECT_TRUE(m_checks.asked.isEmpty());
    EXPECT_EQ(m_monitor->plannedWake(), dayStart);

    m_now = dayStart.addMSecs(-1);
    m_monitor->runDue();
    EXPECT_TRUE(m_checks.asked.isEmpty());
    advance(1ms);
    ASSERT_EQ(m_checks.asked.size(), 1);
    EXPECT_EQ(stored(u"dated.example"_s).state, WatchState::Watching);
    m_checks.answer(CheckVerdict::Registered);
    advance(10min - 1ms);
    EXPECT_EQ(m_checks.asked.size(), 1);
    advance(1ms);
    EXPECT_EQ(m_checks.asked.size(), 2);
}

TEST_F(WatchMonitorTest, nameNeverFreeIsGivenUpAfterSevenDaysAndKeptSo) {
    const QDate date = kStart.date();
    m_monitor->add(u"stale.example"_s, date);
    QSignalSpy changed(m_monitor.get(), &WatchMonitor::entryChanged);
    m_checks.answer(CheckVerdict::Registered);
    m_now = WatchRules::deletionStart(date.addDays(7), m_monitor->zone());
    m_monitor->runDue();
    EXPECT_EQ(m_monitor->entry(u"stale.example"_s)->state, WatchState::GivenUp);
    EXPECT_EQ(stored(u"stale.example"_s).state, WatchState::GivenUp);
    EXPECT_FALSE(changed.isEmpty());
    const qsizetype asked = m_checks.asked.size();
    advance(24h);
    EXPECT_EQ(m_checks.asked.size(), asked);
    EXPECT_FALSE(m_monitor->isTimerActive()) << "nothing is left to do, yet the timer runs";
}

TEST_F(WatchMonitorTest, restartRunsEveryOverdueCheckWithinAMinute) {
    for (int i = 0; i < 5; ++i)
        m_monitor->add(u"old%1.example"_s.arg(i));
    m_monitor->add(u"later.example"_s, kStart.date().addDays(30));
    for (int i = 0; i < 5; ++i) {
        m_checks.answer(CheckVerdict::Registered);
        advance(1s);
    }
    m_checks.asked.clear();
    m_monitor.reset();

    // The program was away for a day: every undated name is overdue.
    m_now = kStart.addDays(1);
    const QDateTime restart = m_now;
    m_monitor = makeMonitor();
    m_monitor->load();
    while (m_checks.inFlight > 0 || m_monitor->plannedWake() <= restart.addSecs(60)) {
        if (m_checks.inFlight > 0) {
            m_checks.answer(CheckVerdict::Registered);
            continue;
        }
        ASSERT_TRUE(m_monitor->plannedWake().isValid());
        m_now = m_monitor->plannedWake();
        m_monitor->runDue();
    }
    QStringList checked = m_checks.asked;
    checked.sort();
    EXPECT_EQ(checked, (QStringList{u"old0.example"_s, u"old1.example"_s, u"old2.example"_s,
                                    u"old3.example"_s, u"old4.example"_s}));
}

TEST_F(WatchMonitorTest, removedNameIsNotCheckedAndItsLateAnswerIsDropped) {
    m_monitor->add(u"a.example"_s);
    m_monitor->add(u"b.example"_s);
    ASSERT_EQ(m_checks.asked, QStringList{u"a.example"_s});
    EXPECT_EQ(m_monitor->remove({u"A.example"_s, u"b.example"_s}), 2);
    m_checks.answer(CheckVerdict::Free);
    advance(1h);
    EXPECT_EQ(m_checks.asked.size(), 1);
    EXPECT_TRUE(m_store.loadAll().isEmpty());
    EXPECT_TRUE(m_monitor->entries().isEmpty());
    EXPECT_FALSE(m_monitor->add(u""_s));
}

TEST_F(WatchMonitorTest, idleMonitorHasNoTimerRunning) {
    EXPECT_FALSE(m_monitor->isTimerActive());
    m_monitor->add(u"a.example"_s);
    m_checks.answer(CheckVerdict::Free);
    EXPECT_TRUE(m_monitor->isTimerActive()) << "the confirming check is planned";
    advance(30s);
    m_checks.answer(CheckVerdict::Free);
    EXPECT_FALSE(m_monitor->isTimerActive());
    EXPECT_FALSE(m_monitor->plannedWake().isValid());
}

TEST_F(WatchMonitorTest, timerStartsTheNextCheckWithoutBeingDriven) {
    m_monitor->addMany({{u"a.example"_s, {}}, {u"b.example"_s, {}}});
    m_checks.answer(CheckVerdict::Registered);
    ASSERT_TRUE(m_monitor->isTimerActive());
    // The fake clock reaches the spacing before the real timer fires.
    m_now = m_now.addSecs(1);
    QEventLoop loop;
    m_checks.onAsked = [&] { loop.quit(); };
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(m_checks.asked.size(), 2);
}
