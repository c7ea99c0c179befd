// The monitor asking closely around a name's expected drop: where the moment comes from, the
// 5-second plan inside the window, the nearer name first, and the limits that still hold there.
#include "FakeChecks.h"
#include "FakeRegistry.h"
#include "FixedTimeZone.h"
#include "WatchPrinters.h"
#include "support/QStringPrinter.h"

#include "watch/WatchListModel.h"
#include "watch/WatchMonitor.h"
#include "watch/WatchStore.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QTimeZone kListZone("Asia/Shanghai");
const QDateTime kStart(QDate(2025, 3, 1), QTime(12, 0), Qt::UTC);

QDateTime at(int hour, int minute, int second = 0, int day = 1) {
    return QDateTime(QDate(2025, 3, day), QTime(hour, minute, second), Qt::UTC);
}

class WatchClosePollingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(m_store.open(m_dir.filePath(u"watchlist.sqlite"_s)).status,
                  StoreOpenResult::Status::Opened);
        m_monitor = makeMonitor();
    }

    std::unique_ptr<WatchMonitor> makeMonitor() {
        auto monitor =
            std::make_unique<WatchMonitor>(m_store, m_checks.starter(), [this] { return m_now; });
        monitor->setListZone(kListZone);
        monitor->load();
        return monitor;
    }

    // Wakes the monitor whenever it asks to be woken, up to `until`, and answers each question
    // at once, as refused when `refuse` says so of the n-th one; returns when the questions were
    // asked.
    QList<QDateTime> run(
        const QDateTime& until,
        const std::function<bool(int n)>& refuse = [](int) { return false; }) {
        QList<QDateTime> times;
        for (int guard = 0; guard < 100000; ++guard) {
            if (m_checks.waiting()) {
                times.append(m_now);
                m_checks.answer(CheckVerdict::Registered, refuse(int(times.size()) - 1));
                continue;
            }
            const QDateTime wake = m_monitor->plannedWake();
            if (!wake.isValid() || wake > until)
                return times;
            if (wake <= m_now && guard > 0) {
                m_now = m_now.addMSecs(1);
            } else {
                m_now = std::max(m_now, wake);
            }
            m_monitor->runDue();
        }
        ADD_FAILURE() << "the monitor never settled";
        return times;
    }

    FixedTimeZone m_zone;
    QTemporaryDir m_dir;
    WatchStore m_store;
    FakeChecks m_checks;
    QDateTime m_now = kStart;
    std::unique_ptr<WatchMonitor> m_monitor;
};

QList<QDateTime> every(const QDateTime& from, const QDateTime& to, int seconds) {
    QList<QDateTime> times;
    for (QDateTime t = from; t <= to; t = t.addSecs(seconds))
        times.append(t);
    return times;
}

} // namespace

TEST_F(WatchClosePollingTest, aListedNameIsAskedEveryFiveSecondsAroundItsMomentAndByIntervalElse) {
    // 20:30 in the list's zone is 12:30 UTC; the interval is ten minutes.
    ASSERT_TRUE(m_monitor->add(u"a.example"_s, std::nullopt, u"2025-03-01 20:30:00"_s));
    const QList<QDateTime> times = run(at(13, 0));

    QList<QDateTime> expected{at(12, 0), at(12, 10), at(12, 20)};
    expected += every(at(12, 28), at(12, 40), 5);
    expected += {at(12, 50), at(13, 0)};
    EXPECT_EQ(times, expected);
}

TEST_F(WatchClosePollingTest, turnedOffTheIntervalAlonePlansAndTurnedOnAgainTheWindowReturns) {
    // The window runs from 12:28 to 12:40 UTC.
    ASSERT_TRUE(m_monitor->add(u"a.example"_s, std::nullopt, u"2025-03-01 20:30:00"_s));
    m_monitor->setClosePolling(false);
    EXPECT_EQ(run(at(12, 29)), (QList<QDateTime>{at(12, 0), at(12, 10), at(12, 20)}));
    m_now = at(12, 29);
    m_monitor->setClosePolling(true);
    EXPECT_EQ(run(at(12, 29, 10)), (QList<QDateTime>{at(12, 29), at(12, 29, 5), at(12, 29, 10)}))
        << "inside the window, due at once";
}

TEST_F(WatchClosePollingTest, theMonitorTakesTheBestSourceAndKeepsItOverARestart) {
    // Three names of the suffix turned free at 09:14:16 in the list's zone: its usual time.
    for (int day = 20; day < 23; ++day) {
        WatchEntry old;
        old.domain = u"old%1.example"_s.arg(day);
        old.addedAt = QDateTime(QDate(2025, 2, 1), QTime(0, 0), Qt::UTC);
        old.state = WatchState::Free;
        ASSERT_TRUE(m_store.add(old));
        const QDateTime drop(QDate(2025, 2, day), QTime(1, 14, 16), Qt::UTC);
        ASSERT_TRUE(
            m_store.recordCheck({drop.addSecs(-600), 200, CheckVerdict::Registered, {}}, old));
        ASSERT_TRUE(m_store.recordCheck({drop, 200, CheckVerdict::Free, {}}, old));
    }
    m_monitor = makeMonitor();
    FakeRegistry registry;
    registry.attach(*m_monitor);

    const auto deletionAt = [](const QDateTime& when) {
        RegistryResult result = FakeRegistry::result(RegistryVerdict::Held);
        result.events.deletion = when;
        return result;
    };
    RegistryResult pending = FakeRegistry::result(RegistryVerdict::HeldPendingDelete);
    pending.events.lastChanged = QDateTime(QDate(2025, 2, 25), QTime(13, 0), Qt::UTC);
    struct Case {
        const char16_t* domain;
        const char16_t* cell;
        RegistryResult registry;
        DropSource source;
        QDateTime moment;
    };
    const Case cases[] = {
        {u"list.example", u"2025-03-01 20:30:00", deletionAt(at(14, 0)), DropSource::List,
         at(12, 30)},
        {u"dateonly.example", u"2025-03-01", deletionAt(at(14, 0)), DropSource::Registry,
         at(14, 0)},
        {u"spent.example", u"2025-03-01 10:00:00", deletionAt(at(14, 0)), DropSource::Registry,
         at(14, 0)},
        {u"pending.example", u"", pending, DropSource::Registry, at(13, 0, 0, 2)},
        {u"learned.example", u"2025-03-01", FakeRegistry::result(RegistryVerdict::Held),
         DropSource::History, at(1, 14, 16, 2)},
        {u"nothing.test", u"2025-03-01", FakeRegistry::result(RegistryVerdict::Held),
         DropSource::None, QDateTime()},
    };
    for (const Case& c : cases) {
        const QString domain = QString::fromUtf16(c.domain);
        const QString cell = QString::fromUtf16(c.cell);
        m_now = m_now.addSecs(1);
        const std::optional<QDate> date =
            cell.size() >= 10 ? std::optional(QDate::fromString(cell.left(10), Qt::ISODate))
                              : std::nullopt;
        ASSERT_TRUE(m_monitor->add(domain, date, cell));
        ASSERT_EQ(m_checks.asked.last(), domain);
        m_checks.answer(CheckVerdict::Registered);
        registry.answer(c.registry);
        const ExpectedDrop drop = m_monitor->entry(domain)->expected;
        EXPECT_EQ(drop.source, c.source) << domain.toStdString();
        EXPECT_EQ(drop.moment, c.moment) << domain.toStdString();
    }

    m_monitor = makeMonitor();
    for (const Case& c : cases) {
        const ExpectedDrop drop = m_monitor->entry(QString::fromUtf16(c.domain))->expected;
        EXPECT_EQ(drop.source, c.source)
            << "after a restart: " << QString::fromUtf16(c.domain).toStdString();
        EXPECT_EQ(drop.moment, c.moment)
            << "after a restart: " << QString::fromUtf16(c.domain).toStdString();
    }
}

TEST_F(WatchClosePollingTest, amongNamesDueTogetherTheOneNearestItsMomentGoesFirst) {
    struct Case {
        QDateTime release;
        const char16_t* first;
    };
    // a drops at 12:30, b at 12:31.
    const Case cases[] = {
        {at(12, 29), u"a.example"},
        {at(12, 30, 40), u"b.example"},
        {at(12, 35), u"b.example"},
    };
    for (const Case& c : cases) {
        m_monitor->setHeld(true);
        m_monitor->addMany({{u"a.example"_s, std::nullopt, u"2025-03-01 20:30:00"_s},
                            {u"b.example"_s, std::nullopt, u"2025-03-01 20:31:00"_s}});
        m_now = c.release.addSecs(-90);
        m_monitor->runDue();
        EXPECT_TRUE(m_checks.asked.isEmpty()) << "asked during the user's operation";
        m_now = c.release;
        m_monitor->setHeld(false);
        ASSERT_EQ(m_checks.asked.size(), 1);
        EXPECT_EQ(m_checks.asked.front(), QString::fromUtf16(c.first)) << c.release;
        m_checks.answer(CheckVerdict::Registered);
        m_checks.asked.clear();
        m_monitor->remove({u"a.example"_s, u"b.example"_s});
        m_now = kStart;
    }
}

TEST_F(WatchClosePollingTest, insideTheWindowRateRefusalsStillSlowTheQuestions) {
    ASSERT_TRUE(m_monitor->add(u"a.example"_s, std::nullopt, u"2025-03-01 20:30:00"_s));
    run(at(12, 27));
    // The window's first question and the next three are refused; the fifth is answered.
    const QList<QDateTime> times = run(at(12, 29), [](int n) { return n < 4; });
    QList<qint64> gaps;
    for (qsizetype i = 1; i < times.size() && i < 7; ++i)
        gaps.append(times[i - 1].secsTo(times[i]));
    ASSERT_FALSE(times.isEmpty());
    EXPECT_EQ(times.front(), at(12, 28));
    EXPECT_EQ(gaps, (QList<qint64>{5, 5, 8, 16, 5, 5}));
}

TEST_F(WatchClosePollingTest, twoNamesInTheirWindowsAreStillAskedOneSecondApartAtLeast) {
    m_monitor->addMany({{u"a.example"_s, std::nullopt, u"2025-03-01 20:30:00"_s},
                        {u"b.example"_s, std::nullopt, u"2025-03-01 20:30:00"_s},
                        {u"c.example"_s, std::nullopt, u"2025-03-01 20:30:00"_s}});
    run(at(12, 27));
    const QList<QDateTime> times = run(at(12, 32));
    ASSERT_GT(times.size(), 3);
    for (qsizetype i = 1; i < times.size(); ++i)
        EXPECT_GE(times[i - 1].msecsTo(times[i]), 1000) << times[i];
    // Three names every five seconds over the four minutes.
    EXPECT_GE(times.size(), 3 * 4 * 60 / 5);
}

TEST_F(WatchClosePollingTest, theNextCheckCellShowsTheClosePlanAndItsTipTheMomentAndSource) {
    WatchListModel model(*m_monitor, m_store);
    ASSERT_TRUE(m_monitor->add(u"a.example"_s, std::nullopt, u"2025-03-01 20:30:00"_s));
    ASSERT_TRUE(m_monitor->add(u"b.example"_s));
    run(at(12, 28));
    const QModelIndex a = model.index(model.rowOf(u"a.example"_s), WatchListModel::NextCheck);
    const QModelIndex b = model.index(model.rowOf(u"b.example"_s), WatchListModel::NextCheck);
    EXPECT_EQ(a.data().toString(), u"2025-03-01 20:28:05"_s);
    EXPECT_EQ(a.data(Qt::ToolTipRole).toString(), u"预计删除：2025-03-01 20:30:00（列表）"_s);
    EXPECT_EQ(b.data(Qt::ToolTipRole).toString(), QString());
}

TEST_F(WatchClosePollingTest, namesFoundFreeTeachTheirSuffixsTimeToTheNamesStillWaiting) {
    m_monitor->addMany({{u"f1.example"_s, {}},
                        {u"f2.example"_s, {}},
                        {u"f3.example"_s, {}},
                        {u"late.example"_s, QDate(2025, 3, 1), u"2025-03-01"_s}});
    ASSERT_TRUE(m_checks.waiting());
    m_checks.answer(CheckVerdict::Registered);
    const auto ask = [&](const QString& domain, CheckVerdict verdict) {
        m_monitor->checkNow({domain});
        ASSERT_TRUE(m_checks.waiting());
        ASSERT_EQ(m_checks.asked.last(), domain);
        m_checks.answer(verdict);
    };
    for (const QString& domain : {u"f1.example"_s, u"f2.example"_s, u"f3.example"_s}) {
        m_now = m_now.addSecs(1);
        ask(domain, CheckVerdict::Registered);
    }
    m_now = m_now.addSecs(1);
    ask(u"late.example"_s, CheckVerdict::Registered);
    EXPECT_EQ(m_monitor->entry(u"late.example"_s)->expected.source, DropSource::None);

    // Each turns free a minute after the one before, from 13:00 UTC on.
    for (int i = 0; i < 3; ++i) {
        const QString domain = u"f%1.example"_s.arg(i + 1);
        m_now = at(13, i);
        ask(domain, CheckVerdict::Free);
        m_now = m_now.addSecs(30);
        ask(domain, CheckVerdict::Free);
        ASSERT_EQ(m_monitor->entry(domain)->state, WatchState::Free);
    }
    const WatchEntry late = *m_monitor->entry(u"late.example"_s);
    EXPECT_EQ(late.expected.source, DropSource::History);
    EXPECT_EQ(late.expected.moment, at(13, 1));
    EXPECT_LE(late.nextCheck, m_now.addSecs(5)) << "its window is open: asked closely at once";
}
