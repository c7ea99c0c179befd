#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

class Closing;

enum class WaitEnd { Done, DeadlinePassed, Closing };

// Lets the window process its events in a nested loop until isDone() holds, at least limitNs
// nanoseconds have passed on the clock, or the program closes. Nothing polls: the loop sleeps
// until wake(), the precise deadline timer or the closing signal rouses it. isDone() is asked
// before the clock, so an answer that came in while a nested operation held this wait up still
// counts even if the deadline passed meanwhile.
class NestedWait {
public:
    NestedWait(const Closing& closing, const QElapsedTimer& clock, qint64 limitNs);
    NestedWait(const NestedWait&) = delete;
    NestedWait& operator=(const NestedWait&) = delete;

    WaitEnd run(const std::function<bool()>& isDone);
    void wake();

    // The loop's lifetime object: connect wake-ups with it as context so they end with the wait.
    QObject* context() { return &m_loop; }

private:
    const Closing& m_closing;
    const QElapsedTimer& m_clock;
    const qint64 m_limitNs;
    QEventLoop m_loop;
    QTimer m_deadline;
};
