#pragma once

#include "watch/WatchMonitor.h"

#include <QList>
#include <QPointer>
#include <QStringList>

#include <gtest/gtest.h>

// Stands in for the registries: records each question and answers when the test says so. A
// question called off is kept aside, so a test can answer it late as a lookup that missed the
// call would.
class FakeRegistry {
public:
    FakeRegistry() = default;
    FakeRegistry(const FakeRegistry&) = delete;
    FakeRegistry& operator=(const FakeRegistry&) = delete;
    // A monitor that outlives the fake must not call into it when it stops.
    ~FakeRegistry() {
        if (m_monitor)
            m_monitor->setRegistry({}, {});
    }

    void attach(WatchMonitor& monitor) {
        m_monitor = &monitor;
        monitor.setRegistry(
            [this](const QString& domain, WatchMonitor::RegistryDone done) {
                asked.append(domain);
                m_pending.append({m_nextId, domain, std::move(done)});
                return m_nextId++;
            },
            [this](quint64 id) {
                for (qsizetype i = 0; i < m_pending.size(); ++i) {
                    if (m_pending[i].id == id)
                        m_cancelled.append(m_pending.takeAt(i));
                }
            });
    }

    static RegistryResult result(RegistryVerdict verdict,
                                 NoVerdictReason reason = NoVerdictReason::None) {
        RegistryResult result;
        result.verdict = verdict;
        result.reason = verdict == RegistryVerdict::NoVerdict ? reason : NoVerdictReason::None;
        return result;
    }

    // Answers the oldest question waiting.
    void answer(RegistryResult result) {
        ASSERT_FALSE(m_pending.isEmpty()) << "no registry question is waiting";
        const Pending pending = m_pending.takeFirst();
        result.domain = pending.domain;
        pending.done(result);
    }
    void answer(RegistryVerdict verdict, NoVerdictReason reason = NoVerdictReason::None) {
        answer(result(verdict, reason));
    }
    // Answers the question called off last.
    void answerLastCancelled(RegistryVerdict verdict) {
        ASSERT_FALSE(m_cancelled.isEmpty()) << "no registry question was called off";
        const Pending pending = m_cancelled.takeLast();
        pending.done(result(verdict));
    }
    qsizetype waiting() const { return m_pending.size(); }
    qsizetype cancelledCount() const { return m_cancelled.size(); }

    QStringList asked;

private:
    struct Pending {
        quint64 id;
        QString domain;
        WatchMonitor::RegistryDone done;
    };
    QPointer<WatchMonitor> m_monitor;
    QList<Pending> m_pending;
    QList<Pending> m_cancelled;
    quint64 m_nextId = 1;
};
