#pragma once

#include <QDateTime>

#include <chrono>

// Asking closely around the moment a name is expected to drop, as pure rules of the moments
// handed in. Everything else (spacing between questions, registry pacing, back-off, holds) is
// the monitor's.
namespace ClosePolling {

using std::chrono::seconds;

// The window: from kLeadIn before the expected moment to kFollowOn after it, both ends included,
// a question every kStep.
inline constexpr seconds kLeadIn{2 * 60};
inline constexpr seconds kFollowOn{10 * 60};
inline constexpr seconds kStep{5};

QDateTime windowStart(const QDateTime& expected);
QDateTime windowEnd(const QDateTime& expected);
bool inWindow(const QDateTime& expected, const QDateTime& now);
// Whether the window has ended at now: the moment can no longer bring a close question.
bool isSpent(const QDateTime& expected, const QDateTime& now);

// The next planned check: the earlier of the interval plan and the close plan, never before
// now. An invalid interval plan (a name not checked on its own) stays invalid, an invalid
// expected moment leaves the interval plan alone. Both plans count from the earlier of the last
// check and now, so that a clock set back silences no name.
QDateTime nextCheck(const QDateTime& expected, const QDateTime& lastCheck,
                    const QDateTime& intervalPlan, const QDateTime& now);

// Who goes first among names due together: the smaller key first. Inside its window a name's
// key is its distance from its moment in milliseconds; outside, or without a moment, it is the
// largest key, so such names keep the monitor's own order.
qint64 priorityKey(const QDateTime& expected, const QDateTime& now);
// The same in milliseconds since the epoch, for the scheduler's pass over the whole list.
qint64 priorityKeyMs(qint64 expectedMs, qint64 nowMs);
bool goesFirst(const QDateTime& expectedA, const QDateTime& expectedB, const QDateTime& now);

} // namespace ClosePolling
