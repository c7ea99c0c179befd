#include "registry/RegistryQueue.h"

#include <algorithm>
#include <vector>

RegistryQueue::RegistryQueue(Duration spacing, Clock clock, QObject* parent)
    : QObject(parent), m_pacing(spacing), m_clock(std::move(clock)) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { startDue(); });
}

quint64 RegistryQueue::enqueue(const QString& registry, Start start) {
    const quint64 id = m_nextId++;
    m_waiting.push_back({id, registry, std::move(start)});
    scheduleSoon();
    return id;
}

void RegistryQueue::answered(quint64 id) {
    const QString registry = finishRunning(id);
    if (!registry.isNull())
        m_pacing.answered(registry);
    scheduleSoon();
}

RegistryQueue::TimePoint RegistryQueue::refused(quint64 id, Duration asked) {
    const QString registry = finishRunning(id);
    if (registry.isNull())
        return m_clock();
    const TimePoint now = m_clock();
    const TimePoint end = m_pacing.refused(registry, now, asked);
    emit held(registry, std::chrono::ceil<Duration>(end - now));
    scheduleSoon();
    return end;
}

void RegistryQueue::abandoned(quint64 id) {
    const auto waiting = std::find_if(m_waiting.begin(), m_waiting.end(),
                                      [id](const Waiting& w) { return w.id == id; });
    if (waiting != m_waiting.end())
        m_waiting.erase(waiting);
    finishRunning(id);
    scheduleSoon();
}

QString RegistryQueue::finishRunning(quint64 id) {
    const auto running = m_running.find(id);
    if (running == m_running.end())
        return {};
    const QString registry = running.value();
    m_running.erase(running);
    m_busy.remove(registry);
    return registry;
}

void RegistryQueue::scheduleSoon() {
    // From the event loop: a caller in the middle of its own bookkeeping is never re-entered.
    m_timer.start(0);
}

void RegistryQueue::startDue() {
    const TimePoint now = m_clock();
    std::vector<Start> starting;
    QSet<QString> passed; // a registry whose first waiting question cannot start yet
    std::optional<TimePoint> next;
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        if (m_busy.contains(it->registry) || passed.contains(it->registry)) {
            ++it;
            continue;
        }
        const TimePoint earliest = m_pacing.earliestStart(it->registry);
        if (earliest > now) {
            passed.insert(it->registry);
            next = next ? std::min(*next, earliest) : earliest;
            ++it;
            continue;
        }
        m_pacing.started(it->registry, now);
        m_busy.insert(it->registry);
        m_running.insert(it->id, it->registry);
        starting.push_back(std::move(it->start));
        it = m_waiting.erase(it);
    }
    if (next)
        m_timer.start(std::chrono::ceil<Duration>(*next - now));
    // Last, with the queue in order: a start may answer, enqueue or abandon at once.
    for (Start& start : starting)
        start();
}
