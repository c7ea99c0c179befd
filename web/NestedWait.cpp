#include "web/NestedWait.h"

#include "web/Closing.h"

#include <algorithm>
#include <limits>

namespace {

constexpr qint64 kNanosecondsPerMillisecond = 1'000'000;

} // namespace

NestedWait::NestedWait(const Closing& closing, const QElapsedTimer& clock, qint64 limitNs)
    : m_closing(closing), m_clock(clock), m_limitNs(limitNs) {
    // A coarse timer may run 5% late or early: enough to cut off an answer that came in time.
    m_deadline.setTimerType(Qt::PreciseTimer);
    m_deadline.setSingleShot(true);
    QObject::connect(&m_deadline, &QTimer::timeout, &m_loop, [this] { m_loop.quit(); });
    QObject::connect(&closing, &Closing::begun, &m_loop, [this] { wake(); });
}

void NestedWait::wake() {
    // The deadline must not rouse this loop again once it is done: while a nested wait runs,
    // a late timer would otherwise look like a time-out of an answer that already came.
    m_deadline.stop();
    m_loop.quit();
}

WaitEnd NestedWait::run(const std::function<bool()>& isDone) {
    for (;;) {
        if (m_closing.isClosing())
            return WaitEnd::Closing;
        if (isDone())
            return WaitEnd::Done;
        const qint64 leftNs = m_limitNs - m_clock.nsecsElapsed();
        if (leftNs <= 0)
            return WaitEnd::DeadlinePassed;
        const qint64 leftMs =
            (leftNs + kNanosecondsPerMillisecond - 1) / kNanosecondsPerMillisecond;
        m_deadline.start(
            static_cast<int>(std::min<qint64>(leftMs, std::numeric_limits<int>::max())));
        // exec() refuses to run once the application has been told to quit.
        if (m_loop.exec() < 0)
            return WaitEnd::Closing;
    }
}
