#include "sandbox/RateLimiter.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Clock = RateLimiter::Clock;

TEST(RateLimiter, refusesTheTwentyFirstQuestionWithinOneSecond) {
    RateLimiter limiter(20);
    const Clock::time_point start{};
    for (int i = 0; i < 20; ++i)
        EXPECT_TRUE(limiter.admit("127.0.0.1", start + i * 40ms)) << i;
    EXPECT_FALSE(limiter.admit("127.0.0.1", start + 999ms));
    EXPECT_TRUE(limiter.admit("10.0.0.2", start + 999ms)) << "each client counts alone";
    // The first questions have left the window, the refused one has not.
    EXPECT_TRUE(limiter.admit("127.0.0.1", start + 1100ms));
}

TEST(RateLimiter, aSteadyPaceIsNeverRefused) {
    RateLimiter limiter(20);
    const Clock::time_point start{};
    for (int i = 0; i < 500; ++i)
        ASSERT_TRUE(limiter.admit("client", start + i * 50ms)) << i;
}

TEST(RateLimiter, hammeringStaysRefusedUntilItSlowsDown) {
    RateLimiter limiter(20);
    const Clock::time_point start{};
    int admitted = 0;
    for (int i = 0; i < 300; ++i)
        admitted += limiter.admit("client", start + i * 10ms);
    EXPECT_EQ(admitted, 20);
    EXPECT_TRUE(limiter.admit("client", start + 3000ms + 1s));
}

TEST(RateLimiter, zeroMeansNoLimit) {
    RateLimiter limiter(0);
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(limiter.admit("client", Clock::time_point{}));
}

TEST(RateLimiter, manyClientsAreForgottenOnceIdle) {
    RateLimiter limiter(1);
    const Clock::time_point start{};
    for (int i = 0; i < 5000; ++i)
        ASSERT_TRUE(limiter.admit("client" + std::to_string(i), start + i * 1ms));
    EXPECT_LE(limiter.trackedClients(), 1100u);
}

} // namespace
