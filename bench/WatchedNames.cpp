#include "WatchedNames.h"

#include "watch/WatchRules.h"
#include "watch/WatchStore.h"

#include <QElapsedTimer>

#include <memory>

bool WriteWatchedNames(const QString& path, int count, const QDateTime& now) {
    WatchStore store;
    if (!store.open(path).usable())
        return false;
    QList<WatchEntry> entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QDate date = now.date().addDays(30 + i % 30);
        entries.append(WatchRules::newEntry(
            QStringLiteral("watched-name-%1.com").arg(i, 5, 10, QLatin1Char('0')), date, now));
    }
    return store.addMany(entries).size() == count;
}

QDateTime BenchNow() {
    return QDateTime(QDate(2026, 12, 10), QTime(12, 0), Qt::UTC);
}

WatchMonitor::Clock MovingBenchClock() {
    auto since = std::make_shared<QElapsedTimer>();
    since->start();
    return [since] { return BenchNow().addMSecs(since->elapsed()); };
}
