#include "WatchPrinters.h"

#include "watch/ClosePolling.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QDateTime kExpected(QDate(2025, 3, 10), QTime(9, 0), Qt::UTC);

QDateTime at(int seconds) {
    return kExpected.addSecs(seconds);
}

} // namespace

TEST(ClosePolling, windowEndsAreIncluded) {
    struct Case {
        int now;
        bool inside;
    } cases[] = {{-121, false}, {-120, true}, {-119, true},   {0, true},
                 {600, true},   {601, false}, {-86400, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.now);
        EXPECT_EQ(ClosePolling::inWindow(kExpected, at(c.now)), c.inside);
        EXPECT_EQ(ClosePolling::isSpent(kExpected, at(c.now)), c.now > 600);
    }
    EXPECT_FALSE(ClosePolling::inWindow(QDateTime(), at(0)));
}

TEST(ClosePolling, nextCheckIsTheEarlierPlanNeverBeforeNow) {
    const QDateTime none;
    struct Case {
        const char* what;
        QDateTime lastCheck;
        QDateTime intervalPlan;
        QDateTime now;
        QDateTime expected;
    } cases[] = {
        {"far before: the interval", at(-3600), at(-3000), at(-3500), at(-3000)},
        {"the window opens before the interval plan", at(-600), at(0), at(-500), at(-120)},
        {"2:01 before: waits for the window", at(-125), at(475), at(-121), at(-120)},
        {"2:00 before: in it", at(-125), at(475), at(-120), at(-120)},
        {"1:59 before, last check 2:03 before", at(-123), at(477), at(-119), at(-118)},
        {"every 5 s inside", at(30), at(630), at(31), at(35)},
        {"the last close check falls on the end", at(595), at(1195), at(596), at(600)},
        {"10:00 after: back to the interval", at(600), at(1200), at(600), at(1200)},
        {"10:01 after: back to the interval", at(596), at(1196), at(601), at(1196)},
        {"an earlier interval plan wins", at(0), at(2), at(1), at(2)},
        {"an overdue plan is due now", at(-4000), at(-3500), at(-3000), at(-3000)},
        {"never checked, inside: at once", none, at(100), at(10), at(10)},
        {"no moment: the interval", at(0), at(600), at(1), at(600)},
        {"clock set back by an hour, inside", at(3600), at(4200), at(30), at(35)},
        {"clock set back before the window", at(-3000), at(-2400), at(-6000), at(-5400)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QDateTime expected =
            QString::fromLatin1(c.what).startsWith(u"no moment") ? QDateTime() : kExpected;
        EXPECT_EQ(ClosePolling::nextCheck(expected, c.lastCheck, c.intervalPlan, c.now),
                  c.expected);
    }
}

TEST(ClosePolling, aNameNotCheckedStaysUnplannedInItsWindow) {
    EXPECT_FALSE(ClosePolling::nextCheck(kExpected, at(0), QDateTime(), at(1)).isValid());
}

TEST(ClosePolling, nearestToItsMomentGoesFirst) {
    struct Name {
        const char* domain;
        QDateTime expected;
    };
    // At 9:00:30, with windows overlapping: one moment 30 s ago, one in 20 s, one 5 min ago, one
    // whose window has not opened, one without a moment.
    const QDateTime now = at(30);
    QList<Name> names = {{"none.com", QDateTime()},
                         {"later.com", at(400)},
                         {"five-ago.com", at(-270)},
                         {"thirty-ago.com", at(0)},
                         {"coming.com", at(50)}};
    std::stable_sort(names.begin(), names.end(), [&](const Name& a, const Name& b) {
        return ClosePolling::goesFirst(a.expected, b.expected, now);
    });
    QStringList order;
    for (const Name& name : names)
        order << QString::fromLatin1(name.domain);
    EXPECT_EQ(order.join(u' '), QStringLiteral("coming.com thirty-ago.com five-ago.com none.com "
                                               "later.com"));
}
