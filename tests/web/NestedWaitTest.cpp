#include "web/NestedWait.h"
#include "web/Closing.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr qint64 kMs = 1'000'000;

// A wait held up by a nested one: the nested wait runs until the outer one has both got its
// answer and passed its deadline.
TEST(NestedWait, anAnswerThatCameWhileANestedWaitHeldItUpStillCounts) {
    Closing closing;
    QElapsedTimer outerClock;
    outerClock.start();
    NestedWait outer(closing, outerClock, 20 * kMs);
    bool outerAnswered = false;
    WaitEnd innerEnd = WaitEnd::Done;
    QTimer::singleShot(0, [&] {
        QElapsedTimer innerClock;
        innerClock.start();
        NestedWait inner(closing, innerClock, 60 * kMs);
        QTimer::singleShot(0, [&] {
            outerAnswered = true;
            outer.wake();
        });
        innerEnd = inner.run([] { return false; });
    });

    const WaitEnd outerEnd = outer.run([&] { return outerAnswered; });

    EXPECT_EQ(innerEnd, WaitEnd::DeadlinePassed);
    EXPECT_GT(outerClock.nsecsElapsed(), 20 * kMs) << "the outer deadline passed meanwhile";
    EXPECT_EQ(outerEnd, WaitEnd::Done);
}

TEST(NestedWait, aNestedWaitDoesNotStopTheOuterDeadline) {
    Closing closing;
    QElapsedTimer outerClock;
    outerClock.start();
    NestedWait outer(closing, outerClock, 20 * kMs);
    bool innerAnswered = false;
    WaitEnd innerEnd = WaitEnd::DeadlinePassed;
    QTimer::singleShot(0, [&] {
        QElapsedTimer innerClock;
        innerClock.start();
        NestedWait inner(closing, innerClock, 60'000 * kMs);
        QTimer::singleShot(40, [&] {
            innerAnswered = true;
            inner.wake();
        });
        innerEnd = inner.run([&] { return innerAnswered; });
    });

    EXPECT_EQ(outer.run([] { return false; }), WaitEnd::DeadlinePassed);
    EXPECT_EQ(innerEnd, WaitEnd::Done);
}

TEST(NestedWait, closingEndsEveryWaitAtOnce) {
    Closing closing;
    QElapsedTimer clock;
    clock.start();
    NestedWait wait(closing, clock, 60'000 * kMs);
    QTimer::singleShot(0, &closing, &Closing::begin);
    EXPECT_EQ(wait.run([] { return false; }), WaitEnd::Closing);
    EXPECT_LT(clock.nsecsElapsed(), 60'000 * kMs);
}

} // namespace
