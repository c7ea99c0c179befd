#pragma once

#include "watch/WatchMonitor.h"

#include <QList>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

// Stands in for the network check: records each question and answers when the test says so.
class FakeChecks {
public:
    WatchMonitor::StartCheck starter() {
        return [this](const QString& domain, WatchMonitor::CheckDone done) {
            asked.append(domain);
            ++inFlight;
            maxInFlight = std::max(maxInFlight, inFlight);
            m_pending.append(std::move(done));
            if (onAsked)
                onAsked();
        };
    }
    bool waiting() const { return !m_pending.isEmpty(); }
    void answer(CheckVerdict verdict, bool rateRefused = false) {
        ASSERT_FALSE(m_pending.isEmpty()) << "no check is waiting for an answer";
        const WatchMonitor::CheckDone done = m_pending.takeFirst();
        --inFlight;
        done({{QDateTime(), rateRefused ? 429 : 200, verdict, QStringLiteral("answer")},
              rateRefused});
    }

    QStringList asked;
    int inFlight = 0;
    int maxInFlight = 0;
    std::function<void()> onAsked;

private:
    QList<WatchMonitor::CheckDone> m_pending;
};
