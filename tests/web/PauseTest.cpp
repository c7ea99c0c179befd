#include "web/Pause.h"
#include "web/Closing.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(Pause, zeroNegativeOrNaN_returnAtOnceWithoutHandlingEvents) {
    Closing closing;
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    Pause(0, closing);
    Pause(-5, closing);
    Pause(std::numeric_limits<double>::quiet_NaN(), closing);
    EXPECT_FALSE(fired);
    Pause(1, closing);
    EXPECT_TRUE(fired);
}

TEST(Pause, holdsForAtLeastTheDuration_roundedUpToWholeMilliseconds) {
    Closing closing;
    QElapsedTimer clock;
    clock.start();
    Pause(100, closing);
    EXPECT_GE(clock.elapsed(), 100);
    EXPECT_LT(clock.elapsed(), 1000);

    clock.restart();
    Pause(100.5, closing);
    EXPECT_GE(clock.elapsed(), 101);
    EXPECT_LT(clock.elapsed(), 1000);
}

TEST(Pause, eventsAreHandledWhileItHolds) {
    Closing closing;
    QElapsedTimer clock;
    clock.start();
    qint64 firedAt = -1;
    QTimer::singleShot(20, [&] { firedAt = clock.elapsed(); });
    Pause(100, closing);
    EXPECT_GE(firedAt, 0);
    EXPECT_LT(firedAt, clock.elapsed());
}

TEST(Pause, closing_endsItAtOnce) {
    Closing closing;
    QTimer::singleShot(50, &closing, &Closing::begin);
    QElapsedTimer clock;
    clock.start();
    Pause(10000, closing);
    EXPECT_LT(clock.elapsed(), 2000);

    clock.restart();
    Pause(10000, closing);
    EXPECT_LT(clock.elapsed(), 100);
}

} // namespace
