#include "WatchedNames.h"

#include "watch/WatchRules.h"
#include "watch/WatchStore.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>

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

bool WriteCheckLogs(const QString& path, int checksPerName, const QDateTime& now) {
    const QString connection = QStringLiteral("bench-check-logs");
    bool written = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        QSqlQuery query(db);
        const qint64 newest = now.toMSecsSinceEpoch();
        const qint64 spacingMs = 10 * 60 * 1000;
        written = db.open() && db.transaction() &&
                  query.prepare(QStringLiteral(
                      "WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < ?) "
                      "INSERT INTO check_log (watched_id, time, http_status, verdict, first_line) "
                      "SELECT w.id, ? - (? - n.k) * ?, 200, ?, 'registered' FROM watched w, n "
                      "ORDER BY w.id, n.k"));
        query.addBindValue(checksPerName);
        query.addBindValue(newest);
        query.addBindValue(checksPerName);
        query.addBindValue(spacingMs);
        query.addBindValue(int(CheckVerdict::Registered));
        written = written && query.exec();
        query.prepare(QStringLiteral("UPDATE watched SET check_count = ?"));
        query.addBindValue(checksPerName);
        written = written && query.exec() && db.commit();
    }
    QSqlDatabase::removeDatabase(connection);
    return written;
}

QDateTime BenchNow() {
    return QDateTime(QDate(2026, 12, 10), QTime(12, 0), Qt::UTC);
}

WatchMonitor::Clock MovingBenchClock() {
    auto since = std::make_shared<QElapsedTimer>();
    since->start();
    return [since] { return BenchNow().addMSecs(since->elapsed()); };
}
