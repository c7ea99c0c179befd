#include "watch/ClosePolling.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace ClosePolling {

QDateTime windowStart(const QDateTime& expected) {
    return expected.addSecs(-kLeadIn.count()).toUTC();
}

QDateTime windowEnd(const QDateTime& expected) {
    return expected.addSecs(kFollowOn.count()).toUTC();
}

bool inWindow(const QDateTime& expected, const QDateTime& now) {
    return expected.isValid() && windowStart(expected) <= now && now <= windowEnd(expected);
}

bool isSpent(const QDateTime& expected, const QDateTime& now) {
    return expected.isValid() && now > windowEnd(expected);
}

QDateTime nextCheck(const QDateTime& expected, const QDateTime& lastCheck,
                    const QDateTime& intervalPlan, const QDateTime& now) {
    if (!intervalPlan.isValid())
        return {};
    QDateTime plan = intervalPlan;
    // A last check in the future means the clock went back: keep the plan as far from now as
    // it was from that check.
    if (lastCheck.isValid() && lastCheck > now)
        plan = plan.addMSecs(-now.msecsTo(lastCheck));
    if (expected.isValid()) {
        const QDateTime from = lastCheck.isValid() ? std::min(lastCheck, now) : now;
        QDateTime close = lastCheck.isValid() ? from.addSecs(kStep.count()) : from;
        close = std::max(close, windowStart(expected));
        if (close <= windowEnd(expected))
            plan = std::min(plan, close);
    }
    return std::max(plan, now).toUTC();
}

qint64 priorityKey(const QDateTime& expected, const QDateTime& now) {
    if (!expected.isValid())
        return std::numeric_limits<qint64>::max();
    return priorityKeyMs(expected.toMSecsSinceEpoch(), now.toMSecsSinceEpoch());
}

qint64 priorityKeyMs(qint64 expectedMs, qint64 nowMs) {
    constexpr qint64 leadInMs = std::chrono::milliseconds(kLeadIn).count();
    constexpr qint64 followOnMs = std::chrono::milliseconds(kFollowOn).count();
    if (nowMs < expectedMs - leadInMs || nowMs > expectedMs + followOnMs)
        return std::numeric_limits<qint64>::max();
    return std::abs(nowMs - expectedMs);
}

bool goesFirst(const QDateTime& expectedA, const QDateTime& expectedB, const QDateTime& now) {
    return priorityKey(expectedA, now) < priorityKey(expectedB, now);
}

} // namespace ClosePolling
