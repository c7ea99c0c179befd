#include "web/Pause.h"

#include "web/NestedWait.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>

namespace {

// About eleven and a half days: longer pauses are held for this long.
constexpr double kLongestPauseMs = 1e9;

} // namespace

void Pause(double milliseconds, const Closing& closing) {
    // Also turns away NaN.
    if (!(milliseconds > 0))
        return;
    QElapsedTimer clock;
    clock.start();
    // The pause ends on whole milliseconds: 100.5 holds until 101 have passed.
    const auto wholeMs = static_cast<qint64>(std::ceil(std::min(milliseconds, kLongestPauseMs)));
    NestedWait wait(closing, clock, wholeMs * 1'000'000);
    wait.run([] { return false; });
}
