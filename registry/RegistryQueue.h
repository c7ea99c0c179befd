#pragma once

#include "registry/RegistryPacing.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>

// The questions waiting for their registries, shared by every caller: each starts when its
// registry's pacing allows and no other question to that registry is in flight, in the order
// asked. Driven by one timer; nothing spins.
class RegistryQueue : public QObject {
    Q_OBJECT
public:
    using TimePoint = RegistryPacing::TimePoint;
    using Duration = RegistryPacing::Duration;
    using Clock = std::function<TimePoint()>;
    using Start = std::function<void()>;

    explicit RegistryQueue(Duration spacing = RegistryPacing::kDefaultSpacing,
                           Clock clock = std::chrono::steady_clock::now, QObject* parent = nullptr);

    // Queues a question; start is called from the event loop when it may go. Returns its id.
    quint64 enqueue(const QString& registry, Start start);
    // The question that started as `id` ended with an answer.
    void answered(quint64 id);
    // ... with a refusal asking to wait `asked`; returns the end of the registry's hold.
    TimePoint refused(quint64 id, Duration asked);
    // ... with nothing to say about the registry (no answer, or the caller gave up). A question
    // still waiting is dropped and never starts.
    void abandoned(quint64 id);

    const RegistryPacing& pacing() const { return m_pacing; }
    TimePoint now() const { return m_clock(); }
    qsizetype waitingCount() const { return static_cast<qsizetype>(m_waiting.size()); }

signals:
    // A registry refused; nothing goes to it for `wait`.
    void held(const QString& registry, std::chrono::milliseconds wait);

private:
    struct Waiting {
        quint64 id;
        QString registry;
        Start start;
    };

    QString finishRunning(quint64 id);
    void scheduleSoon();
    void startDue();

    RegistryPacing m_pacing;
    Clock m_clock;
    std::deque<Waiting> m_waiting;
    QHash<quint64, QString> m_running;
    QSet<QString> m_busy;
    QTimer m_timer;
    quint64 m_nextId = 1;
};
