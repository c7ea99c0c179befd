// The watch against the wall clock and the local zone: days whose midnight is skipped, a clock
// set back and a zone changed while the watch runs.
#include "FixedTimeZone.h"
#include "WatchPrinters.h"
#include "support/QStringPrinter.h"

#include "watch/WatchMonitor.h"
#include "watch/WatchRules.h"
#include "watch/WatchSchedule.h"
#include "watch/WatchStore.h"

#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

QDateTime utc(int year, int month, int day, int hour = 0, int minute = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC);
}

struct ZoneDay {
    const char* tz;
    QDate date;
    QDateTime start;     // the date's first moment in the zone
    QDateTime weekLater; // the first moment of the seventh day after it
};

// Havana and Cairo moved their clocks from 00:00 to 01:00 on these days: the days begin at 01:00.
const ZoneDay kZoneDays[] = {
    {"America/Havana", QDate(2024, 3, 10), utc(2024, 3, 10, 5), utc(2024, 3, 17, 4)},
    {"America/Havana", QDate(2024, 3, 3), utc(2024, 3, 3, 5), utc(2024, 3, 10, 5)},
    {"Africa/Cairo", QDate(2023, 4, 28), utc(2023, 4, 27, 22), utc(2023, 5, 4, 21)},
    {"Africa/Cairo", QDate(2023, 4, 21), utc(2023, 4, 20, 22), utc(2023, 4, 27, 22)},
    {"XST-8", QDate(2025, 3, 10), utc(2025, 3, 9, 16), utc(2025, 3, 16, 16)},
};

void PrintTo(const ZoneDay& day, std::ostream* out) {
    *out << day.tz << " " << day.date.toString(Qt::ISODate).toStdString();
}

class SkippedMidnight : public ::testing::TestWithParam<ZoneDay> {
protected:
    LocalTimeZone m_zone{GetParam().tz};
};

} // namespace

// The rules in the local zone and in the same zone handed in agree.
TEST_P(SkippedMidnight, aDateStartsAtTheDaysFirstMomentAndIsGivenUpAWeekLater) {
    const ZoneDay& day = GetParam();
    for (const QTimeZone& zone : {QTimeZone::systemTimeZone(), QTimeZone(day.tz)}) {
        ASSERT_TRUE(zone.isValid()) << day.tz;
        EXPECT_EQ(WatchRules::deletionStart(day.date, zone), day.start);
        const WatchEntry entry =
            WatchRules::newEntry(u"a.example"_s, day.date, day.start.addDays(-2), zone);
        EXPECT_EQ(entry.state, WatchState::AwaitingDeletion);
        EXPECT_EQ(entry.nextCheck, day.start);
        EXPECT_EQ(WatchRules::giveUpMoment(entry, zone), day.weekLater);

        const struct {
            QDateTime at;
            WatchState state;
        } moments[] = {
            {day.start.addSecs(-1), WatchState::AwaitingDeletion},
            {day.start, WatchState::Watching},
            {day.weekLater.addSecs(-1), WatchState::Watching},
            {day.weekLater, WatchState::GivenUp},
        };
        for (const auto& m : moments) {
            EXPECT_EQ(WatchRules::stateAt(entry, m.at, zone), m.state) << m.at;
            WatchEntry before = entry;
            before.state = m.state == WatchState::AwaitingDeletion ? WatchState::Watching
                                                                   : WatchState::AwaitingDeletion;
            const WatchSchedule schedule = WatchSchedule::scan({before}, m.at, zone);
            EXPECT_EQ(schedule.stateChanged, QList<qsizetype>{0})
                << "the schedule and the rules disagree at " << m.at;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Zones, SkippedMidnight, ::testing::ValuesIn(kZoneDays),
                         [](const auto& info) { return "day" + std::to_string(info.index); });

namespace {

// The monitor over a list in a temporary file, with the test's clock and checks answered by hand.
class ClockedMonitor {
public:
    explicit ClockedMonitor(QDateTime start) : now(std::move(start)) { open(); }

    // Opens the file again with a new monitor, as a start of the program does.
    void open() {
        monitor.reset();
        ASSERT_TRUE(store.open(dir.filePath(u"watchlist.sqlite"_s)).usable());
        monitor = std::make_unique<WatchMonitor>(
            store,
            [this](const QString& domain, WatchMonitor::CheckDone done) {
                asked.append(domain);
                pending.append(std::move(done));
            },
            [this] { return now; });
        monitor->load();
    }

    void answerRegistered() {
        ASSERT_FALSE(pending.isEmpty());
        pending.takeFirst()({{QDateTime(), 200, CheckVerdict::Registered, u"x"_s}, false});
    }

    void runAt(const QDateTime& at) {
        now = at;
        monitor->runDue();
    }

    QTemporaryDir dir;
    WatchStore store;
    QDateTime now;
    QStringList asked;
    QList<WatchMonitor::CheckDone> pending;
    std::unique_ptr<WatchMonitor> monitor;
};

} // namespace

TEST_P(SkippedMidnight, aDatedNameIsFirstCheckedAtItsDaysFirstMoment) {
    const ZoneDay& day = GetParam();
    ClockedMonitor list(day.start.addDays(-1));
    ASSERT_TRUE(list.monitor->add(u"dated.example"_s, day.date));
    EXPECT_EQ(list.monitor->plannedWake(), day.start);
    list.runAt(day.start.addMSecs(-1));
    EXPECT_TRUE(list.asked.isEmpty());
    list.runAt(day.start);
    EXPECT_EQ(list.asked, QStringList{u"dated.example"_s});
}

TEST(WatchClock, aClockSetBackNeverSilencesAName) {
    FixedTimeZone zone;
    ClockedMonitor list(utc(2025, 3, 2, 20));
    ASSERT_TRUE(list.monitor->add(u"a.example"_s));
    list.answerRegistered();
    const QDateTime checkedAt = list.now;

    // Set back by a day: the next check is an interval after now, not a day and an interval.
    const QDateTime setBack = checkedAt.addDays(-1);
    list.runAt(setBack);
    EXPECT_EQ(list.monitor->entry(u"a.example"_s)->nextCheck, setBack.addSecs(600));
    EXPECT_EQ(list.store.loadAll().value(0).nextCheck, setBack.addSecs(600));
    list.runAt(setBack.addSecs(600));
    EXPECT_EQ(list.asked.size(), 2) << "the name was silenced by a clock set back";
}

TEST(WatchClock, aClockSetBackWhileTheProgramWasAwayIsNoticedOnLoad) {
    FixedTimeZone zone;
    ClockedMonitor list(utc(2025, 3, 2, 20));
    ASSERT_TRUE(list.monitor->add(u"a.example"_s));
    list.answerRegistered();
    list.now = list.now.addDays(-1);
    list.open();
    list.runAt(list.now.addSecs(600));
    EXPECT_EQ(list.asked.size(), 2);
}

TEST(WatchClock, aFirstFreeAnswerIsConfirmedAfterAClockSetBack) {
    FixedTimeZone zone;
    ClockedMonitor list(utc(2025, 3, 2, 20));
    ASSERT_TRUE(list.monitor->add(u"a.example"_s));
    list.pending.takeFirst()({{QDateTime(), 200, CheckVerdict::Free, u"x"_s}, false});
    list.runAt(list.now.addSecs(-3600));
    list.runAt(list.now.addSecs(30));
    EXPECT_EQ(list.asked.size(), 2) << "the confirming check waits for the old clock";
}

// A name dated 3 March, at 20:00 UTC on 2 March: 15:00 on 2 March five hours west of UTC, already
// 04:00 on 3 March eight hours east. The zone changes through TZ, as the local zone does, or
// through the source handed to the monitor.
class ZoneChange : public ::testing::TestWithParam<bool> {};

TEST_P(ZoneChange, worksOutStatesAndPlansAgain) {
    const bool handedIn = GetParam();
    LocalTimeZone local("YST5");
    QTimeZone listZone(-5 * 3600);
    const auto switchTo = [&](const char* tz, int offsetSeconds) {
        if (handedIn)
            listZone = QTimeZone(offsetSeconds);
        else
            local.set(tz);
    };
    const QDate date(2025, 3, 3);
    ClockedMonitor list(utc(2025, 3, 2, 20));
    if (handedIn) {
        local.set("UTC0");
        list.monitor->setZoneSource([&] { return listZone; });
    }
    ASSERT_TRUE(list.monitor->add(u"dated.example"_s, date));
    EXPECT_EQ(list.monitor->entry(u"dated.example"_s)->state, WatchState::AwaitingDeletion);
    EXPECT_EQ(list.monitor->plannedWake(), utc(2025, 3, 3, 5));

    switchTo("XST-8", 8 * 3600);
    list.runAt(list.now.addSecs(60)); // the monitor's wake within the minute
    EXPECT_EQ(list.monitor->entry(u"dated.example"_s)->state, WatchState::Watching);
    EXPECT_EQ(list.asked, QStringList{u"dated.example"_s}) << "the day began in the new zone";
    list.answerRegistered();

    // Back west: the day has not begun there, and the next check waits for it.
    switchTo("YST5", -5 * 3600);
    list.runAt(list.now.addSecs(60));
    const WatchEntry back = *list.monitor->entry(u"dated.example"_s);
    EXPECT_EQ(back.state, WatchState::AwaitingDeletion);
    EXPECT_EQ(back.nextCheck, utc(2025, 3, 3, 5));
    EXPECT_EQ(list.store.loadAll().value(0).nextCheck, utc(2025, 3, 3, 5));
}

INSTANTIATE_TEST_SUITE_P(Sources, ZoneChange, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "handedIn" : "local"; });
