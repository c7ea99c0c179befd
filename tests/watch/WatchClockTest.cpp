// The watch against the wall clock and the zone: days whose midnight is skipped, a clock set
// back, and a zone changed while the watch runs.
#include "WatchPrinters.h"
#include "WatchedList.h"
#include "support/QStringPrinter.h"

#include "watch/WatchRules.h"
#include "watch/WatchSchedule.h"

#include <QTimeZone>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QDateTime utc(int year, int month, int day, int hour = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, 0), Qt::UTC);
}

struct ZoneDay {
    const char* tz;
    QDate date;
    QDateTime start;     // the date's first moment in the zone
    QDateTime weekLater; // the first moment of the seventh day after it
};

void PrintTo(const ZoneDay& day, std::ostream* out) {
    *out << day.tz << ' ' << day.date.toString(Qt::ISODate).toStdString();
}

// Havana and Cairo put their clocks from 00:00 to 01:00 on 10 March 2024 and 28 April 2023.
const ZoneDay kZoneDays[] = {
    {"America/Havana", QDate(2024, 3, 10), utc(2024, 3, 10, 5), utc(2024, 3, 17, 4)},
    {"America/Havana", QDate(2024, 3, 3), utc(2024, 3, 3, 5), utc(2024, 3, 10, 5)},
    {"Africa/Cairo", QDate(2023, 4, 28), utc(2023, 4, 27, 22), utc(2023, 5, 4, 21)},
    {"Africa/Cairo", QDate(2023, 4, 21), utc(2023, 4, 20, 22), utc(2023, 4, 27, 22)},
    {"XST-8", QDate(2025, 3, 10), utc(2025, 3, 9, 16), utc(2025, 3, 16, 16)},
};

class SkippedMidnight : public WatchedList, public ::testing::WithParamInterface<ZoneDay> {};

} // namespace

// The rules in the local zone and in the same zone handed in, the schedule and the monitor agree.
TEST_P(SkippedMidnight, aDateStartsAtItsDaysFirstMomentAndIsGivenUpAWeekLater) {
    const ZoneDay& day = GetParam();
    zone.set(day.tz);
    for (const QTimeZone& tz : {QTimeZone::systemTimeZone(), QTimeZone(day.tz)}) {
        EXPECT_EQ(WatchRules::deletionStart(day.date, tz), day.start);
        const WatchEntry entry =
            WatchRules::newEntry(u"a.example"_s, day.date, day.start.addDays(-2), tz);
        EXPECT_EQ(WatchRules::giveUpMoment(entry, tz), day.weekLater);
        const std::pair<QDateTime, WatchState> moments[] = {
            {day.start.addSecs(-1), WatchState::AwaitingDeletion},
            {day.start, WatchState::Watching},
            {day.weekLater.addSecs(-1), WatchState::Watching},
            {day.weekLater, WatchState::GivenUp}};
        for (const auto& [at, state] : moments) {
            EXPECT_EQ(int(WatchRules::stateAt(entry, at, tz)), int(state)) << at;
            WatchEntry before = entry;
            before.state =
                state == WatchState::Watching ? WatchState::AwaitingDeletion : WatchState::Watching;
            EXPECT_EQ(WatchSchedule::scan({before}, at, tz).stateChanged.size(), 1) << at;
        }
    }
    now = day.start.addDays(-1);
    ASSERT_TRUE(monitor->add(u"dated.example"_s, day.date));
    EXPECT_EQ(monitor->plannedWake(), day.start);
    now = day.start.addMSecs(-1);
    monitor->runDue();
    EXPECT_TRUE(asked.isEmpty());
    now = day.start;
    monitor->runDue();
    EXPECT_EQ(asked, QStringList{u"dated.example"_s});
}

INSTANTIATE_TEST_SUITE_P(Zones, SkippedMidnight, ::testing::ValuesIn(kZoneDays));

namespace {

// Set back by a day while the program runs, or while it is away: the next check is an interval
// after now, not a day and an interval.
class ClockSetBack : public WatchedList, public ::testing::WithParamInterface<bool> {};

} // namespace

TEST_P(ClockSetBack, neverSilencesAName) {
    ASSERT_TRUE(monitor->add(u"a.example"_s));
    answer(CheckVerdict::Registered);
    now = now.addDays(-1);
    if (GetParam())
        SetUp(); // a start of the program
    advanceSeconds(0);
    advanceSeconds(600);
    ASSERT_EQ(asked.size(), 2) << "the name was silenced by a clock set back";
    answer(CheckVerdict::Registered);
    EXPECT_EQ(store.loadAll().value(0).nextCheck, now.addSecs(600));
}

INSTANTIATE_TEST_SUITE_P(WhileRunningOrAway, ClockSetBack, ::testing::Values(false, true));

TEST_F(WatchedList, aFirstFreeAnswerIsConfirmedAfterAClockSetBack) {
    ASSERT_TRUE(monitor->add(u"a.example"_s));
    answer(CheckVerdict::Free);
    now = now.addSecs(-3600);
    advanceSeconds(0);
    advanceSeconds(30);
    EXPECT_EQ(asked.size(), 2) << "the confirming check waits for the old clock";
}

namespace {

// A name dated 3 March, at 20:00 UTC on 2 March: 15:00 on 2 March five hours west of UTC, already
// 04:00 on 3 March eight hours east. The zone changes through TZ, as the local zone does, or
// through the source handed to the monitor.
class ZoneChange : public WatchedList, public ::testing::WithParamInterface<bool> {};

} // namespace

TEST_P(ZoneChange, worksOutStatesAndPlansAgain) {
    auto listZone = std::make_shared<QTimeZone>(-5 * 3600);
    const auto switchTo = [&](const char* tz, int hoursEast) {
        if (GetParam())
            *listZone = QTimeZone(hoursEast * 3600);
        else
            zone.set(tz);
    };
    zone.set(GetParam() ? "UTC0" : "YST5");
    if (GetParam())
        monitor->setZoneSource([listZone] { return *listZone; });
    now = utc(2025, 3, 2, 20);
    ASSERT_TRUE(monitor->add(u"dated.example"_s, QDate(2025, 3, 3)));
    EXPECT_EQ(monitor->plannedWake(), utc(2025, 3, 3, 5));

    switchTo("XST-8", 8);
    advanceSeconds(60); // the monitor's wake within the minute
    EXPECT_EQ(asked, QStringList{u"dated.example"_s}) << "the day began in the new zone";
    answer(CheckVerdict::Registered);

    switchTo("YST5", -5);
    advanceSeconds(60);
    EXPECT_EQ(monitor->entry(u"dated.example"_s)->state, WatchState::AwaitingDeletion);
    EXPECT_EQ(store.loadAll().value(0).nextCheck, utc(2025, 3, 3, 5)) << "the day's start";
}

INSTANTIATE_TEST_SUITE_P(LocalOrHandedIn, ZoneChange, ::testing::Values(false, true));
