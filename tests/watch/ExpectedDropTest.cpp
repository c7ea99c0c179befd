#include "FixedTimeZone.h"
#include "WatchPrinters.h"
#include "support/QStringPrinter.h"

#include "watch/ExpectedDrop.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

inline void PrintTo(const QTime& time, std::ostream* out) {
    *out << time.toString(Qt::ISODate).toStdString();
}

namespace {

QDateTime utc(int month, int day, int hour, int minute = 0, int second = 0) {
    return QDateTime(QDate(2025, month, day), QTime(hour, minute, second), Qt::UTC);
}

// The list service reads its times eight hours east of UTC; the machine runs five hours west,
// so a time read in the wrong zone is 13 hours off.
const QTimeZone kListZone(8 * 3600);

class ExpectedDropTest : public ::testing::Test {
    FixedTimeZone m_local{"XWT+5"};
};

CheckRecord check(const QDateTime& time, CheckVerdict verdict) {
    return CheckRecord{time, 200, verdict, {}};
}

std::optional<QTime> usual(const QList<QTime>& times, const QString& suffix = u".com"_s) {
    DropHistory history(kListZone);
    for (const QTime& time : times)
        history.add(suffix, QDateTime(QDate(2025, 3, 1), time, kListZone));
    return history.usualTime(suffix);
}

} // namespace

TEST_F(ExpectedDropTest, listTimeIsReadInTheListZone) {
    struct Case {
        QString cell;
        std::optional<QDateTime> moment;
    } cases[] = {
        {u"2025-03-10 09:00:00"_s, utc(3, 10, 1)},
        {u" 2025-03-10 07:30:15 "_s, utc(3, 9, 23, 30, 15)},
        {u"2025-03-10 00:00:00"_s, utc(3, 9, 16)},
        {u"2025-03-10"_s, std::nullopt},
        {u"2025-03-10 9:00:00"_s, std::nullopt},
        {u"2025-03-10T09:00:00"_s, std::nullopt},
        {u"2025-02-30 09:00:00"_s, std::nullopt},
        {u"2025-03-10 24:00:00"_s, std::nullopt},
        {u"2025-03-10 09:00:00x"_s, std::nullopt},
        {QString(), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell.toStdString());
        EXPECT_EQ(listedDropMoment(c.cell, kListZone), c.moment);
    }
}

TEST_F(ExpectedDropTest, registryDeletionEventWinsOverThePendingDeleteWindow) {
    const QDateTime changed = utc(3, 5, 14, 20);
    struct Case {
        const char* what;
        RegistryDropFacts facts;
        std::optional<QDateTime> moment;
    } cases[] = {
        {"deletion event", {utc(3, 10, 2), true, changed}, utc(3, 10, 2)},
        {"deletion event, not pending", {utc(3, 10, 2), false, QDateTime()}, utc(3, 10, 2)},
        {"pending delete: five days after the change", {{}, true, changed}, utc(3, 10, 14, 20)},
        {"pending delete without a change", {{}, true, {}}, std::nullopt},
        {"a change outside pending delete", {{}, false, changed}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(registryDropMoment(c.facts), c.moment);
    }

    RegistryResult result;
    result.verdict = RegistryVerdict::HeldPendingDelete;
    result.events.lastChanged = changed.toTimeZone(kListZone);
    const RegistryDropFacts facts = registryDropFacts(result);
    EXPECT_TRUE(facts.pendingDelete);
    EXPECT_EQ(registryDropMoment(facts), utc(3, 10, 14, 20));
    result.verdict = RegistryVerdict::HeldInRedemption;
    EXPECT_EQ(registryDropMoment(registryDropFacts(result)), std::nullopt);
}

TEST(BecameFreeAt, firstFreeAfterBeingSeenRegistered) {
    using V = CheckVerdict;
    const auto t = [](int minute) { return utc(3, 10, 9, minute); };
    struct Case {
        const char* what;
        QList<CheckRecord> oldestFirst;
        std::optional<QDateTime> freeAt;
    } cases[] = {
        {"registered then free twice",
         {check(t(0), V::Registered), check(t(10), V::Free), check(t(20), V::Free)},
         t(10)},
        {"no verdict in between",
         {check(t(0), V::Registered), check(t(10), V::NoVerdict), check(t(20), V::Free)},
         t(20)},
        {"free from the start", {check(t(0), V::Free), check(t(10), V::Free)}, std::nullopt},
        {"no verdict, then free", {check(t(0), V::NoVerdict), check(t(10), V::Free)}, std::nullopt},
        {"free, registered, free",
         {check(t(0), V::Free), check(t(10), V::Registered), check(t(20), V::Free)},
         t(20)},
        {"never free", {check(t(0), V::Registered)}, std::nullopt},
        {"empty", {}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QList<CheckRecord> newestFirst(c.oldestFirst.crbegin(), c.oldestFirst.crend());
        EXPECT_EQ(becameFreeAt(newestFirst), c.freeAt);
    }
}

TEST_F(ExpectedDropTest, learnedTimeIsTheMedianOnceThreeDropsAreKnown) {
    const auto q = [](int h, int m, int s = 0) { return QTime(h, m, s); };
    struct Case {
        const char* what;
        QList<QTime> times;
        std::optional<QTime> median;
    } cases[] = {
        {"none", {}, std::nullopt},
        {"two", {q(9, 0), q(9, 2)}, std::nullopt},
        {"three", {q(9, 5), q(9, 0), q(14, 0)}, q(9, 5)},
        {"four: between the middle two", {q(9, 0), q(9, 10), q(9, 20), q(18, 0)}, q(9, 15)},
        {"even, odd second", {q(9, 0), q(9, 0, 1), q(9, 0, 2), q(9, 0, 3)}, q(9, 0, 1)},
        {"odd around midnight", {q(23, 58), q(0, 1), q(23, 59)}, q(23, 59)},
        {"even around midnight", {q(23, 50), q(0, 10), q(23, 55), q(0, 5)}, q(0, 0)},
        {"even, just before", {q(23, 50), q(23, 54), q(0, 2), q(23, 56)}, q(23, 55)},
        {"same time", {q(9, 0), q(9, 0), q(9, 0)}, q(9, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(usual(c.times), c.median);
    }
}

TEST_F(ExpectedDropTest, learnedTimesAreKeptApartBySuffixAndReadInTheListZone) {
    DropHistory history(kListZone);
    // 01:00 UTC is 09:00 in the list's zone and 20:00 of the day before on the machine.
    for (int day = 1; day <= 3; ++day) {
        history.add(u".com"_s, utc(3, day, 1));
        history.add(u".cn"_s, utc(3, day, 6));
    }
    history.add(u".com.cn"_s, utc(3, 1, 2));
    history.addLog(u"ab.com.cn"_s, {check(utc(3, 2, 2), CheckVerdict::Free),
                                    check(utc(3, 2, 1), CheckVerdict::Registered)});
    history.addLog(u"cd.com.cn"_s, {check(utc(3, 3, 2), CheckVerdict::Free)});
    EXPECT_EQ(history.usualTime(u".com"_s), QTime(9, 0));
    EXPECT_EQ(history.usualTime(u".CN"_s), QTime(14, 0));
    EXPECT_EQ(history.usualTime(u".com.cn"_s), std::nullopt);
    history.addLog(u"ef.com.cn"_s, {check(utc(3, 4, 2, 30), CheckVerdict::Free),
                                    check(utc(3, 4, 1), CheckVerdict::Registered)});
    EXPECT_EQ(history.usualTime(u".com.cn"_s), QTime(10, 0));
    EXPECT_EQ(dropSuffix(u"ab.com.cn"_s), u".com.cn"_s);
    EXPECT_EQ(dropSuffix(u"localhost"_s), QString());
}

TEST_F(ExpectedDropTest, learnedMomentMovesToTheNextDayOnceItsWindowEnded) {
    const QDate date(2025, 3, 10);
    // 09:00 in the list's zone is 01:00 UTC.
    struct Case {
        QDateTime now;
        std::optional<QDateTime> moment;
    } cases[] = {
        {utc(3, 9, 0), utc(3, 10, 1)},         {utc(3, 10, 1, 10), utc(3, 10, 1)},
        {utc(3, 10, 1, 10, 1), utc(3, 11, 1)}, {utc(3, 16, 1, 10), utc(3, 16, 1)},
        {utc(3, 16, 1, 11), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.now.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(learnedDropMoment(QTime(9, 0), date, kListZone, c.now), c.moment);
    }
}

TEST_F(ExpectedDropTest, theBestSourceThatIsNotSpentGivesTheMoment) {
    const QString listCell = u"2025-03-10 09:00:00"_s;        // 01:00 UTC
    const RegistryDropFacts registry{{}, true, utc(3, 5, 3)}; // 03:00 UTC on the 10th
    const QTime learned(13, 0);                               // 05:00 UTC
    const QDate date(2025, 3, 10);
    struct Case {
        const char* what;
        DropInputs inputs;
        QDateTime now;
        DropSource source;
        QDateTime moment;
    } cases[] = {
        {"all three: the list",
         {listCell, date, registry, learned},
         utc(3, 9, 0),
         DropSource::List,
         utc(3, 10, 1)},
        {"a date alone in the cell: the registry",
         {u"2025-03-10"_s, date, registry, learned},
         utc(3, 9, 0),
         DropSource::Registry,
         utc(3, 10, 3)},
        {"no registry facts: learned",
         {{}, date, {}, learned},
         utc(3, 9, 0),
         DropSource::History,
         utc(3, 10, 5)},
        {"learned needs a date",
         {{}, std::nullopt, {}, learned},
         utc(3, 9, 0),
         DropSource::None,
         QDateTime()},
        {"nothing known",
         {{}, date, {}, std::nullopt},
         utc(3, 9, 0),
         DropSource::None,
         QDateTime()},
        {"the list's window still open",
         {listCell, date, registry, learned},
         utc(3, 10, 1, 10),
         DropSource::List,
         utc(3, 10, 1)},
        {"the list's moment spent",
         {listCell, date, registry, learned},
         utc(3, 10, 1, 10, 1),
         DropSource::Registry,
         utc(3, 10, 3)},
        {"list and registry spent",
         {listCell, date, registry, learned},
         utc(3, 10, 4),
         DropSource::History,
         utc(3, 10, 5)},
        {"all spent today: learned tomorrow",
         {listCell, date, registry, learned},
         utc(3, 10, 6),
         DropSource::History,
         utc(3, 11, 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ExpectedDrop drop = expectedDrop(c.inputs, kListZone, c.now);
        EXPECT_EQ(drop.source, c.source);
        EXPECT_EQ(drop.moment, c.moment);
        EXPECT_EQ(drop.label, dropSourceLabel(c.source));
    }
    EXPECT_EQ(dropSourceLabel(DropSource::List), u"列表"_s);
    EXPECT_EQ(dropSourceLabel(DropSource::Registry), u"注册局"_s);
    EXPECT_EQ(dropSourceLabel(DropSource::History), u"历史"_s);
}
