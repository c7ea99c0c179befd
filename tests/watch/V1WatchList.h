#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <gtest/gtest.h>

// A watch list file as the first release wrote it, made with that release's own statements:
// two names, a check of the first, and the interval.
inline void MakeV1WatchList(const QString& path) {
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test-v1-list"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        const char* const statements[] = {
            "CREATE TABLE watched (id INTEGER PRIMARY KEY, domain TEXT NOT NULL UNIQUE, "
            "deletion_date TEXT, state INTEGER NOT NULL, added_at INTEGER NOT NULL, last_check "
            "INTEGER, next_check INTEGER, check_count INTEGER NOT NULL DEFAULT 0)",
            "CREATE TABLE check_log (id INTEGER PRIMARY KEY, "
            "watched_id INTEGER NOT NULL REFERENCES watched(id) ON DELETE CASCADE, "
            "time INTEGER NOT NULL, http_status INTEGER NOT NULL, verdict INTEGER NOT NULL, "
            "first_line TEXT NOT NULL)",
            "CREATE INDEX check_log_by_name ON check_log (watched_id, id)",
            "CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT NOT NULL)",
            // 2025-03-01 12:00 UTC and a minute later.
            "INSERT INTO watched VALUES (1, 'old.example', '2025-03-05', 0, 1740830400000, NULL, "
            "1741104000000, 0)",
            "INSERT INTO watched VALUES (2, 'checked.example', NULL, 1, 1740830400000, "
            "1740830460000, 1740831060000, 1)",
            "INSERT INTO check_log VALUES (1, 2, 1740830460000, 200, 1, 'checked.example|211|')",
            "INSERT INTO settings VALUES ('check_interval_seconds', '600')",
            "PRAGMA user_version = 1",
        };
        for (const char* statement : statements)
            ASSERT_TRUE(query.exec(QString::fromLatin1(statement))) << statement;
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test-v1-list"));
}
