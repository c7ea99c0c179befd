#pragma once

#include "watch/CheckRecord.h"
#include "watch/WatchEntry.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>

class QSqlError;
class QSqlQuery;

// What opening the watch list file came to.
struct StoreOpenResult {
    enum class Status {
        Opened,     // the file was read or created
        MovedAside, // the file was damaged; it now lies at movedTo and a fresh list started
        Failed,     // no list could be opened; error says why
    };
    Status status = Status::Failed;
    QString movedTo;
    QString error;

    bool usable() const { return status != Status::Failed; }
};

// The watch list file: watched names, their check log and the check interval, in SQLite. Every
// change is committed in its own transaction before the call returns.
class WatchStore {
public:
    static constexpr int kSchemaVersion = 1;
    // Older checks of a name are dropped, so the file cannot grow without bound.
    static constexpr int kChecksKeptPerName = 50;

    WatchStore();
    ~WatchStore();
    WatchStore(const WatchStore&) = delete;
    WatchStore& operator=(const WatchStore&) = delete;

    // The application data folder's watchlist.sqlite.
    static QString defaultPath();

    // Opens or creates the file. A damaged file, or one written by a newer release, is renamed
    // beside itself (never deleted) and a fresh list is started in its place.
    StoreOpenResult open(const QString& path);
    void close();
    bool isOpen() const;
    QString lastError() const { return m_lastError; }

    // False when the name is already watched (or cannot be written).
    bool add(const WatchEntry& entry);
    // Adds in one transaction; returns the entries that were new.
    QList<WatchEntry> addMany(const QList<WatchEntry>& entries);
    // Removes names and their check logs in one transaction; returns how many were removed, or -1
    // when nothing could be written.
    int remove(const QStringList& domains);
    // Writes the entries' states, times and counts.
    bool updateMany(const QList<WatchEntry>& entries);
    // Logs a check and writes the entry it led to, in one transaction.
    bool recordCheck(const CheckRecord& record, const WatchEntry& updated);

    QList<WatchEntry> loadAll();
    // Newest first.
    QList<CheckRecord> recentChecks(const QString& domain, int count);

    std::chrono::seconds interval();
    bool setInterval(std::chrono::seconds interval);

private:
    enum class Opening { Ok, Damaged, Unavailable };
    Opening openFile(const QString& path);
    bool migrate(int fromVersion);
    bool probeSchema(QSqlQuery& query, const QString& path);
    bool moveAside(const QString& path, QString& movedTo);
    bool fail(const QString& what, const QSqlError& error);
    // Bind and run one entry on a query prepared with the statement of their kind.
    bool writeEntry(const WatchEntry& entry, QSqlQuery& query);
    bool insertEntry(const WatchEntry& entry, QSqlQuery& query, bool& inserted);
    template <typename Work> bool inTransaction(Work&& work);

    QString m_connectionName;
    QString m_lastError;
};
