#pragma once

#include "FixedTimeZone.h"

#include "watch/WatchMonitor.h"
#include "watch/WatchStore.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A watch list in a temporary file, run by a monitor whose checks the test answers by hand and
// whose clock the test moves. Local time is eight hours ahead of UTC.
class WatchedList : public ::testing::Test {
protected:
    static inline const QDateTime kStart{QDate(2025, 3, 1), QTime(12, 0), Qt::UTC};

    void SetUp() override {
        ASSERT_EQ(store.open(dir.filePath(QStringLiteral("watchlist.sqlite"))).status,
                  StoreOpenResult::Status::Opened);
        monitor = std::make_unique<WatchMonitor>(
            store,
            [this](const QString& domain, WatchMonitor::CheckDone done) {
                asked.append(domain);
                m_pending.append(std::move(done));
            },
            [this] { return now; });
        monitor->load();
    }

    // Answers the oldest question waiting.
    void answer(CheckVerdict verdict, int httpStatus = 200,
                const QString& firstLine = QStringLiteral("answer")) {
        ASSERT_FALSE(m_pending.isEmpty()) << "no check is waiting for an answer";
        const WatchMonitor::CheckDone done = m_pending.takeFirst();
        done({{QDateTime(), httpStatus, verdict, firstLine}, false});
    }

    // Moves the clock and lets the monitor act on it.
    void advanceSeconds(int seconds) {
        now = now.addSecs(seconds);
        monitor->runDue();
    }

    FixedTimeZone zone;
    QTemporaryDir dir;
    WatchStore store;
    QDateTime now = kStart;
    QStringList asked;
    std::unique_ptr<WatchMonitor> monitor;

private:
    QList<WatchMonitor::CheckDone> m_pending;
};
