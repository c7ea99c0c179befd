#include "FixedTimeZone.h"
#include "support/QStringPrinter.h"

#include "watch/WatchRules.h"
#include "watch/WatchSchedule.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

QDateTime utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

// 10 March 2025 starts at 16:00 UTC the day before in the test's zone (UTC+8).
const QDate kDate(2025, 3, 10);
const QDateTime kDateStart = utc(2025, 3, 9, 16);

class WatchRulesTest : public ::testing::Test {
    FixedTimeZone m_zone;
};

} // namespace

TEST(WatchStateText, namesEachStateForTheUser) {
    EXPECT_EQ(watchStateText(WatchState::AwaitingDeletion), u"等待删除"_s);
    EXPECT_EQ(watchStateText(WatchState::Watching), u"正在关注"_s);
    EXPECT_EQ(watchStateText(WatchState::Free), u"可以注册"_s);
    EXPECT_EQ(watchStateText(WatchState::GivenUp), u"已放弃"_s);
    EXPECT_EQ(watchStateText(WatchState::Caught), u"已被抢注"_s);
}

TEST_F(WatchRulesTest, dateStartsAtLocalMidnight) {
    EXPECT_EQ(WatchRules::deletionStart(kDate), kDateStart);
    WatchEntry entry = WatchRules::newEntry(u"  Drop.Example "_s, kDate, utc(2025, 3, 1));
    EXPECT_EQ(entry.domain, u"drop.example"_s);
    EXPECT_EQ(entry.state, WatchState::AwaitingDeletion);
    EXPECT_EQ(entry.nextCheck, kDateStart);
    EXPECT_EQ(WatchRules::stateAt(entry, kDateStart.addSecs(-1)), WatchState::AwaitingDeletion);
    EXPECT_EQ(WatchRules::stateAt(entry, kDateStart), WatchState::Watching);
}

TEST_F(WatchRulesTest, nameAddedOnOrAfterItsDateIsCheckedAtOnce) {
    const QDateTime now = kDateStart.addSecs(3 * 3600);
    const WatchEntry entry = WatchRules::newEntry(u"a.example"_s, kDate, now);
    EXPECT_EQ(entry.state, WatchState::Watching);
    EXPECT_EQ(entry.nextCheck, now);
}

TEST_F(WatchRulesTest, nameWithoutDateIsWatchedAtOnceAndNeverGivenUp) {
    const QDateTime now = utc(2025, 3, 1, 12);
    const WatchEntry entry = WatchRules::newEntry(u"b.example"_s, std::nullopt, now);
    EXPECT_EQ(entry.state, WatchState::Watching);
    EXPECT_EQ(entry.nextCheck, now);
    EXPECT_EQ(WatchRules::stateAt(entry, now.addYears(2)), WatchState::Watching);
    EXPECT_FALSE(WatchRules::giveUpMoment(entry));
}

TEST_F(WatchRulesTest, givenUpAtTheStartOfTheSeventhDayAfterTheDate) {
    const WatchEntry entry = WatchRules::newEntry(u"c.example"_s, kDate, utc(2025, 3, 1));
    const QDateTime giveUp = utc(2025, 3, 16, 16); // 17 March, local midnight
    EXPECT_EQ(WatchRules::giveUpMoment(entry), giveUp);
    EXPECT_EQ(WatchRules::stateAt(entry, giveUp.addSecs(-1)), WatchState::Watching);
    EXPECT_EQ(WatchRules::stateAt(entry, giveUp), WatchState::GivenUp);

    const WatchEntry late = WatchRules::newEntry(u"d.example"_s, kDate, giveUp.addDays(1));
    EXPECT_EQ(late.state, WatchState::GivenUp);
    EXPECT_FALSE(late.nextCheck.isValid());
}

TEST_F(WatchRulesTest, freeAndGivenUpStayWhateverTheClockSays) {
    WatchEntry entry = WatchRules::newEntry(u"e.example"_s, kDate, utc(2025, 3, 1));
    entry.state = WatchState::Free;
    EXPECT_EQ(WatchRules::stateAt(entry, utc(2025, 4, 1)), WatchState::Free);
    entry.state = WatchState::GivenUp;
    EXPECT_EQ(WatchRules::stateAt(entry, utc(2025, 3, 1)), WatchState::GivenUp);
}

TEST_F(WatchRulesTest, everyCheckCountsAndPlansTheNextOneIntervalLater) {
    const WatchEntry added = WatchRules::newEntry(u"f.example"_s, kDate, utc(2025, 3, 1));
    const QDateTime checkedAt = kDateStart.addSecs(5);

    for (const CheckVerdict verdict : {CheckVerdict::Registered, CheckVerdict::NoVerdict}) {
        const WatchEntry after =
            WatchRules::afterCheck(added, {checkedAt, 200, verdict, u"x"_s}, 90s);
        EXPECT_EQ(after.checkCount, 1);
        EXPECT_EQ(after.lastCheck, checkedAt);
        EXPECT_EQ(after.nextCheck, checkedAt.addSecs(90));
        EXPECT_EQ(after.state, WatchState::Watching);
    }
    const WatchEntry twice = WatchRules::afterCheck(
        WatchRules::afterCheck(added, {checkedAt, 0, CheckVerdict::NoVerdict, {}}, 90s),
        {checkedAt.addSecs(90), 200, CheckVerdict::Registered, {}}, 90s);
    EXPECT_EQ(twice.checkCount, 2);
}

TEST_F(WatchRulesTest, aSecondFreeVerdictThirtySecondsLaterStopsTheChecks) {
    const WatchEntry added = WatchRules::newEntry(u"g.example"_s, std::nullopt, kDateStart);
    const WatchEntry once = WatchRules::afterCheck(
        added, {kDateStart.addSecs(1), 200, CheckVerdict::Free, {}}, WatchRules::kDefaultInterval);
    EXPECT_EQ(once.state, WatchState::Watching);
    EXPECT_EQ(once.nextCheck, kDateStart.addSecs(31));
    const WatchEntry after = WatchRules::afterCheck(
        once, {kDateStart.addSecs(31), 200, CheckVerdict::Free, {}}, WatchRules::kDefaultInterval);
    EXPECT_EQ(after.state, WatchState::Free);
    EXPECT_FALSE(after.nextCheck.isValid());
    EXPECT_EQ(after.checkCount, 2);
}

TEST_F(WatchRulesTest, earlyCheckDoesNotMoveTheCheckAtTheDatesStart) {
    const WatchEntry added = WatchRules::newEntry(u"h.example"_s, kDate, utc(2025, 3, 1));
    const WatchEntry after = WatchRules::afterCheck(
        added, {kDateStart.addSecs(-60), 200, CheckVerdict::Registered, {}}, 600s);
    EXPECT_EQ(after.state, WatchState::AwaitingDeletion);
    EXPECT_EQ(after.nextCheck, kDateStart);
}

TEST_F(WatchRulesTest, checkPastTheGiveUpMomentGivesUp) {
    const WatchEntry added = WatchRules::newEntry(u"i.example"_s, kDate, utc(2025, 3, 1));
    const WatchEntry after =
        WatchRules::afterCheck(added, {utc(2025, 3, 17), 200, CheckVerdict::Registered, {}}, 600s);
    EXPECT_EQ(after.state, WatchState::GivenUp);
    EXPECT_FALSE(after.nextCheck.isValid());
}

TEST(WatchRules, intervalIsKeptBetweenThirtySecondsAndOneDay) {
    EXPECT_EQ(WatchRules::kDefaultInterval, 600s);
    EXPECT_EQ(WatchRules::clampInterval(1s), 30s);
    EXPECT_EQ(WatchRules::clampInterval(45s), 45s);
    EXPECT_EQ(WatchRules::clampInterval(std::chrono::hours(48)), std::chrono::hours(24));
}

TEST(WatchRules, rateRefusalsDoubleTheSpacingUpToTheCapAndAnAnswerResetsIt) {
    std::chrono::milliseconds spacing = WatchRules::kBaseSpacing;
    QList<qint64> seen;
    for (int i = 0; i < 12; ++i) {
        spacing = WatchRules::nextSpacing(spacing, true);
        seen.append(spacing.count());
    }
    EXPECT_EQ(seen, (QList<qint64>{2000, 4000, 8000, 16000, 32000, 64000, 128000, 256000, 300000,
                                   300000, 300000, 300000}));
    EXPECT_EQ(WatchRules::nextSpacing(spacing, false), 1000ms);
}

TEST_F(WatchRulesTest, schedulePicksTheMostOverdueAndTheNextMoment) {
    const QDateTime now = kDateStart.addSecs(3600);
    QList<WatchEntry> entries;
    auto addWith = [&](const QString& domain, std::optional<QDate> date, QDateTime next) {
        WatchEntry entry = WatchRules::newEntry(domain, date, utc(2025, 3, 1));
        entry.state = WatchRules::stateAt(entry, now);
        entry.nextCheck = next;
        entries.append(entry);
    };
    addWith(u"late.example"_s, std::nullopt, now.addSecs(-60));
    addWith(u"later.example"_s, std::nullopt, now.addSecs(-600));
    addWith(u"soon.example"_s, std::nullopt, now.addSecs(30));
    addWith(u"dated.example"_s, kDate, now.addDays(10));
    entries.append(entries[1]);
    entries.last().domain = u"free.example"_s;
    entries.last().state = WatchState::Free;
    entries.last().nextCheck = now.addSecs(-3600);

    WatchSchedule schedule = WatchSchedule::scan(entries, now);
    EXPECT_EQ(schedule.mostOverdue, 1);
    EXPECT_EQ(schedule.nextMoment, now.addSecs(30));
    EXPECT_TRUE(schedule.stateChanged.isEmpty());

    // With nothing due soon, the dated name's give-up is the next thing to happen.
    entries.remove(0, 3);
    schedule = WatchSchedule::scan(entries, now);
    EXPECT_EQ(schedule.mostOverdue, -1);
    EXPECT_EQ(schedule.nextMoment, utc(2025, 3, 16, 16));
}

TEST_F(WatchRulesTest, scheduleFindsExactlyTheStatesTheClockChanged) {
    QList<WatchEntry> entries;
    const QDateTime added = utc(2025, 2, 1);
    for (int day = 0; day < 40; ++day) {
        WatchEntry entry =
            WatchRules::newEntry(u"n%1.example"_s.arg(day), QDate(2025, 2, 20).addDays(day), added);
        entries.append(entry);
    }
    const QDateTime now = kDateStart.addSecs(1);
    const WatchSchedule schedule = WatchSchedule::scan(entries, now);
    QList<qsizetype> expected;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (WatchRules::stateAt(entries[i], now) != entries[i].state)
            expected.append(i);
    }
    // 20 Feb..3 Mar given up, 4..10 Mar watching: 19 names changed.
    EXPECT_EQ(expected.size(), 19);
    EXPECT_EQ(schedule.stateChanged, expected);
    // The next change is 11 March's start.
    EXPECT_EQ(schedule.nextMoment, kDateStart.addDays(1));
}
