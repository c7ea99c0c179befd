#pragma once

#include "watch/CheckRecord.h"
#include "watch/StoreProblem.h"
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
        Opened,     // the file was read or created, and changes are written to it
        MovedAside, // the file was damaged or no watch list of this release; it now lies at
                    // movedTo and a fresh list started in its place
        ReadOnly,   // the file could be read but not written: its list is kept in memory for this
                    // session and the file is left untouched
        InMemory,   // no list could be read from the file: an empty list is kept in memory for
                    // this session
        Failed,     // not even a list in memory could be made
    };
    Status status = Status::Failed;
    QString movedTo;
    // For logs; never shown to the user.
    QString error;
    // What the user is told, in Chinese plain text; empty when all is well.
    QString notice;
    StoreProblem::Cause cause = StoreProblem::Cause::None;

    bool usable() const { return status != Status::Failed; }
};

// The watch list file: watched names, their check log and the check interval, in SQLite. Every
// change is committed in its own transaction before the call returns.
class WatchStore {
public:
    static constexpr int kSchemaVersion = 2;
    // Older checks of a name are dropped, so the file cannot grow without bound.
    static constexpr int kChecksKeptPerName = 50;

    WatchStore();
    ~WatchStore();
    WatchStore(const WatchStore&) = delete;
    WatchStore& operator=(const WatchStore&) = delete;

    // The application data folder's watchlist.sqlite.
    static QString defaultPath();

    // Lies beside the file while it is open for writing: left behind, it tells of an unclean exit.
    static QString uncleanExitMarker(const QString& path);
    static inline const QString kMemoryPath = QStringLiteral(":memory:");

    enum class IntegrityCheck { AfterUncleanExit, Always };
    // Opens or creates the file. Only a file proven damaged, or one of something else or of a
    // newer release, is renamed beside itself (never deleted) and a fresh list started in its
    // place; a file that cannot be written is read into memory and left as it is.
    StoreOpenResult open(const QString& path,
                         IntegrityCheck check = IntegrityCheck::AfterUncleanExit);
    void close();
    bool isOpen() const;
    // English, for logs.
    QString lastError() const { return m_lastError; }
    // Why the last call failed, in words for the user.
    StoreProblem lastProblem() const { return m_problem; }

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
    enum class Opening { Ok, Damaged, Unwritable, Unreadable };
    Opening openOnDisk(const QString& path, bool checkIntegrity);
    Opening copyIntoMemory(const QString& path, bool checkIntegrity);
    Opening copyIntoMemory(const QString& uri, const QString& path, bool checkIntegrity);
    Opening validate(QSqlQuery& query, const QString& schema, bool checkIntegrity, int& version);
    Opening trouble(const QString& what, const QSqlError& error);
    Opening unusable(StoreProblem::Cause cause, const QString& what);
    bool writeMarker(const QString& path, bool wasThere);
    void dropMarker(bool wasThere);
    bool startInMemory();
    StoreOpenResult replaceDamaged(const QString& path);
    StoreOpenResult keepInMemory(const QString& path, StoreOpenResult::Status status);
    void closeConnection(const QString& name);
    bool migrate(int fromVersion);
    bool moveAside(const QString& path, QString& movedTo);
    bool fail(const QString& what, const QSqlError& error);
    // Bind and run one entry on a query prepared with the statement of their kind.
    bool writeEntry(const WatchEntry& entry, QSqlQuery& query);
    bool insertEntry(const WatchEntry& entry, QSqlQuery& query, bool& inserted);
    template <typename Work> bool inTransaction(Work&& work);

    // The file's connection, or the one to memory where a list lives that cannot be written.
    QString m_fileConnection;
    QString m_memoryConnection;
    QString m_connectionName;
    QString m_path;
    QString m_marker;
    QString m_lastError;
    StoreProblem m_problem;
};
