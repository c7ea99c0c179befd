#include "sandbox/SandboxClock.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(SandboxClock, shiftedClockFollowsItsBase) {
    QDateTime base(QDate(2026, 12, 8), QTime(8, 30));
    const SandboxClock fixed = [&base] { return base; };
    EXPECT_EQ(ShiftedClock(fixed, 0s)(), base);
    EXPECT_EQ(ShiftedClock(fixed, 90s)(), QDateTime(QDate(2026, 12, 8), QTime(8, 31, 30)));
    EXPECT_EQ(ShiftedClock(fixed, -9h)(), QDateTime(QDate(2026, 12, 7), QTime(23, 30)));
    const SandboxClock ahead = ShiftedClock(fixed, 3 * 24h);
    base = base.addSecs(60);
    EXPECT_EQ(ahead(), QDateTime(QDate(2026, 12, 11), QTime(8, 31))) << "asks the base each time";
}

TEST(SandboxClock, offsetsAreReadAsSecondsOrDaysHoursMinutesSeconds) {
    const struct {
        const char* text;
        std::chrono::seconds expected;
    } good[] = {
        {"0", 0s},
        {"90", 90s},
        {"-90", -90s},
        {"+90", 90s},
        {"3d", 72h},
        {"3d4h", 76h},
        {"2h30m", 150min},
        {"-2h30m", -150min},
        {"45m10s", 2710s},
        {"1d0s", 24h},
        {" 10s ", 10s},
        {"3650d", kLargestClockOffset},
        {"-3650d", -kLargestClockOffset},
    };
    for (const auto& c : good)
        EXPECT_EQ(ParseClockOffset(QString::fromUtf8(c.text)), c.expected) << c.text;
    for (const char* bad : {"", "-", "d", "3x", "4h3d", "1.5h", "--3", "3d 4h", "3D", "3d4h5",
                            "3651d", "-3651d", "315360001", "9999999999d", "1e6"})
        EXPECT_EQ(ParseClockOffset(QString::fromUtf8(bad)), std::nullopt) << bad;
}

} // namespace
