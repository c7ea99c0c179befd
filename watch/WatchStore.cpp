#include "watch/WatchStore.h"

#include "verify/CheckProtocol.h"
#include "watch/WatchRules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUrl>
#include <QVariant>

#include <atomic>

using namespace Qt::StringLiterals;

namespace {

std::atomic<int> connectionCounter{0};

const QString kIntervalKey = u"check_interval_seconds"_s;

// While the file is opened, another program's lock is waited for only briefly: the start must not
// stall. Later, a second instance of the program may hold the file for a moment.
constexpr int kOpeningBusyMs = 1000;
constexpr int kBusyMs = 5000;
// Less free space than this is taken as a full disk when a write failed for no clearer reason.
constexpr qint64 kNearlyFullBytes = 1 << 20;

int sqliteCode(const QSqlError& error) {
    return error.nativeErrorCode().toInt();
}

// SQLite tells what failed; the file system often tells why.
StoreProblem::Cause refinedCause(StoreProblem::Cause cause, const QString& path) {
    using Cause = StoreProblem::Cause;
    if (path.isEmpty())
        return cause;
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    switch (cause) {
    case Cause::ReadOnlyFile:
        if (file.exists() && !file.isWritable())
            return cause;
        return folder.isWritable() ? cause : Cause::ReadOnlyFolder;
    case Cause::CannotOpen:
    case Cause::IoError:
    case Cause::Unexpected: {
        if (file.exists() && !file.isReadable())
            return Cause::NoPermission;
        if (!folder.isDir())
            return cause;
        if (!folder.isWritable())
            return Cause::ReadOnlyFolder;
        const QStorageInfo storage(folder.absoluteFilePath());
        if (storage.isValid() && storage.bytesAvailable() < kNearlyFullBytes)
            return Cause::DiskFull;
        return cause;
    }
    default:
        return cause;
    }
}

// The ways SQLite may read the file without writing, best first. Where nothing here can write the
// file and its log holds nothing, it is read as immutable: SQLite then makes no shared-memory file
// beside it (one made with the file's read-only mode keeps the file unwritable after the user
// frees it). A disk too full for that file leaves only the immutable way, too.
QStringList readOnlyUris(const QString& path) {
    const QFileInfo file(path);
    const QFileInfo log(path + u"-wal"_s);
    const bool unwritable = !file.isWritable() || !QFileInfo(file.absolutePath()).isWritable();
    const bool logEmpty = !log.exists() || log.size() == 0;
    const auto uri = [&](const QString& query) {
        QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
        url.setQuery(query);
        return url.toString(QUrl::FullyEncoded);
    };
    QStringList uris;
    if (!unwritable || !logEmpty)
        uris.append(uri(u"mode=ro"_s));
    if (logEmpty)
        uris.append(uri(u"immutable=1"_s));
    return uris;
}

QVariant storedTime(const QDateTime& time) {
    if (!time.isValid())
        return QVariant(QMetaType::fromType<qint64>());
    return time.toMSecsSinceEpoch();
}

QDateTime readTime(const QVariant& value) {
    if (value.isNull())
        return {};
    return QDateTime::fromMSecsSinceEpoch(value.toLongLong(), Qt::UTC);
}

QVariant storedDate(const std::optional<QDate>& date) {
    if (!date)
        return QVariant(QMetaType::fromType<QString>());
    return date->toString(Qt::ISODate);
}

std::optional<QDate> readDate(const QVariant& value) {
    const QDate date = QDate::fromString(value.toString(), Qt::ISODate);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

WatchState readState(int stored) {
    switch (stored) {
    case int(WatchState::AwaitingDeletion):
    case int(WatchState::Watching):
    case int(WatchState::Free):
    case int(WatchState::GivenUp):
    case int(WatchState::Caught):
        return WatchState(stored);
    }
    return WatchState::Watching;
}

CheckVerdict readVerdict(int stored) {
    switch (stored) {
    case int(CheckVerdict::Free):
    case int(CheckVerdict::Registered):
        return CheckVerdict(stored);
    }
    return CheckVerdict::NoVerdict;
}

const char* const kCreateSchema[] = {
    "CREATE TABLE watched (id INTEGER PRIMARY KEY, domain TEXT NOT NULL UNIQUE, "
    "deletion_date TEXT, state INTEGER NOT NULL, added_at INTEGER NOT NULL, last_check INTEGER, "
    "next_check INTEGER, check_count INTEGER NOT NULL DEFAULT 0)",
    "CREATE TABLE check_log (id INTEGER PRIMARY KEY, "
    "watched_id INTEGER NOT NULL REFERENCES watched(id) ON DELETE CASCADE, "
    "time INTEGER NOT NULL, http_status INTEGER NOT NULL, verdict INTEGER NOT NULL, "
    "first_line TEXT NOT NULL)",
    "CREATE INDEX check_log_by_name ON check_log (watched_id, id)",
    "CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT NOT NULL)",
};

// Version 2: the registry's last word on each name, and the drop moment its list row gave.
const char* const kAddRegistryColumns[] = {
    "ALTER TABLE watched ADD COLUMN registry_verdict INTEGER",
    "ALTER TABLE watched ADD COLUMN registry_reason INTEGER",
    "ALTER TABLE watched ADD COLUMN registry_statuses TEXT",
    "ALTER TABLE watched ADD COLUMN registry_expiration INTEGER",
    "ALTER TABLE watched ADD COLUMN registry_answered_at INTEGER",
    "ALTER TABLE watched ADD COLUMN registry_deletion INTEGER",
    "ALTER TABLE watched ADD COLUMN registry_last_changed INTEGER",
    "ALTER TABLE watched ADD COLUMN listed_drop INTEGER",
};

const QString kInsertEntry =
    u"INSERT OR IGNORE INTO watched (domain, deletion_date, state, added_at, last_check, "
    "next_check, check_count, registry_verdict, registry_reason, registry_statuses, "
    "registry_expiration, registry_answered_at, registry_deletion, registry_last_changed, "
    "listed_drop) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s;
const QString kWriteEntry =
    u"UPDATE watched SET deletion_date = ?, state = ?, last_check = ?, next_check = ?, "
    "check_count = ?, registry_verdict = ?, registry_reason = ?, registry_statuses = ?, "
    "registry_expiration = ?, registry_answered_at = ?, registry_deletion = ?, "
    "registry_last_changed = ?, listed_drop = ? WHERE domain = ?"_s;

struct SchemaProbe {
    int since; // the first version with these columns
    const char* statement;
};
const SchemaProbe kSchemaProbes[] = {
    {1, "SELECT id, domain, deletion_date, state, added_at, last_check, next_check, check_count "
        "FROM %1.watched LIMIT 1"},
    {1, "SELECT id, watched_id, time, http_status, verdict, first_line FROM %1.check_log LIMIT 1"},
    {1, "SELECT key, value FROM %1.settings LIMIT 1"},
    {2, "SELECT registry_verdict, registry_reason, registry_statuses, registry_expiration, "
        "registry_answered_at, registry_deletion, registry_last_changed, listed_drop "
        "FROM %1.watched LIMIT 1"},
};

// A list read into memory takes the newest schema; a file of an older version leaves the newer
// columns empty.
const char* const kCopyWatchedV1 =
    "INSERT INTO main.watched (id, domain, deletion_date, state, added_at, last_check, "
    "next_check, check_count) SELECT id, domain, deletion_date, state, added_at, last_check, "
    "next_check, check_count FROM disk.watched";
const char* const kCopyWatchedV2 =
    "INSERT INTO main.watched (id, domain, deletion_date, state, added_at, last_check, "
    "next_check, check_count, registry_verdict, registry_reason, registry_statuses, "
    "registry_expiration, registry_answered_at, registry_deletion, registry_last_changed, "
    "listed_drop) SELECT id, domain, deletion_date, state, added_at, last_check, next_check, "
    "check_count, registry_verdict, registry_reason, registry_statuses, registry_expiration, "
    "registry_answered_at, registry_deletion, registry_last_changed, listed_drop "
    "FROM disk.watched";
const char* const kCopyIntoMemory[] = {
    "INSERT INTO main.check_log (id, watched_id, time, http_status, verdict, first_line) "
    "SELECT id, watched_id, time, http_status, verdict, first_line FROM disk.check_log",
    "INSERT INTO main.settings (key, value) SELECT key, value FROM disk.settings",
};

void bindRegistry(const RegistryStanding& standing, QSqlQuery& query) {
    const bool asked = standing.answeredAt.isValid();
    const QVariant noNumber(QMetaType::fromType<int>());
    query.addBindValue(asked ? QVariant(StoredRegistryVerdict(standing.verdict)) : noNumber);
    query.addBindValue(asked ? QVariant(StoredNoVerdictReason(standing.reason)) : noNumber);
    query.addBindValue(asked ? QVariant(standing.statuses.join(u'\n'))
                             : QVariant(QMetaType::fromType<QString>()));
    query.addBindValue(storedTime(standing.expiration));
    query.addBindValue(storedTime(standing.answeredAt));
    query.addBindValue(storedTime(standing.deletion));
    query.addBindValue(storedTime(standing.lastChanged));
}

RegistryStanding readRegistry(const QSqlQuery& query, int first) {
    RegistryStanding standing;
    standing.answeredAt = readTime(query.value(first + 4));
    if (!standing.answeredAt.isValid())
        return standing;
    standing.verdict = RegistryVerdictFromStored(query.value(first).toInt());
    standing.reason = standing.verdict == RegistryVerdict::NoVerdict
                          ? NoVerdictReasonFromStored(query.value(first + 1).toInt())
                          : NoVerdictReason::None;
    const QString statuses = query.value(first + 2).toString();
    if (!statuses.isEmpty())
        standing.statuses = statuses.split(u'\n').mid(0, kStatusesKept);
    standing.expiration = readTime(query.value(first + 3));
    standing.deletion = readTime(query.value(first + 5));
    standing.lastChanged = readTime(query.value(first + 6));
    return standing;
}

} // namespace

WatchStore::WatchStore()
    : m_fileConnection(u"watch-store-%1"_s.arg(connectionCounter.fetch_add(1))),
      m_memoryConnection(m_fileConnection + u"-memory"_s), m_connectionName(m_fileConnection) {}

WatchStore::~WatchStore() {
    close();
}

QString WatchStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           u"/watchlist.sqlite"_s;
}

QString WatchStore::uncleanExitMarker(const QString& path) {
    return path + u"-open"_s;
}

bool WatchStore::isOpen() const {
    return QSqlDatabase::contains(m_connectionName) &&
           QSqlDatabase::database(m_connectionName, false).isOpen();
}

void WatchStore::closeConnection(const QString& name) {
    if (!QSqlDatabase::contains(name))
        return;
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}

void WatchStore::close() {
    closeConnection(m_fileConnection);
    closeConnection(m_memoryConnection);
    m_connectionName = m_fileConnection;
    // Only once the file is closed: what it says is that the file was left as it should be.
    if (!m_marker.isEmpty())
        QFile::remove(m_marker);
    m_marker.clear();
}

bool WatchStore::fail(const QString& what, const QSqlError& error) {
    m_lastError = what + u": "_s + error.text();
    m_problem.cause = refinedCause(StoreProblemCauseOfSqlite(sqliteCode(error)), m_path);
    return false;
}

WatchStore::Opening WatchStore::trouble(const QString& what, const QSqlError& error) {
    fail(what, error);
    return m_problem.provesDamage() ? Opening::Damaged : Opening::Unreadable;
}

WatchStore::Opening WatchStore::unusable(StoreProblem::Cause cause, const QString& what) {
    m_problem.cause = cause;
    m_lastError = what;
    return m_problem.provesDamage() ? Opening::Damaged : Opening::Unreadable;
}

StoreOpenResult WatchStore::open(const QString& path, IntegrityCheck check) {
    close();
    m_problem = {};
    m_lastError.clear();
    m_path = path;
    if (path == kMemoryPath) {
        m_path.clear();
        if (startInMemory())
            return {StoreOpenResult::Status::Opened, {}, {}, {}, {}};
        return {StoreOpenResult::Status::Failed, {}, m_lastError, {}, m_problem.cause};
    }

    const bool uncleanExit = QFile::exists(uncleanExitMarker(path));
    const bool checkIntegrity = check == IntegrityCheck::Always || uncleanExit;
    Opening opening = openOnDisk(path, checkIntegrity);
    if (opening == Opening::Ok)
        return {StoreOpenResult::Status::Opened, {}, {}, {}, {}};
    if (opening == Opening::Unwritable) {
        const StoreProblem unwritable = m_problem;
        const QString why = m_lastError;
        // Read while the file's own connection is still open, so that closing that one is not
        // the last close, which would write the log into the file.
        opening = copyIntoMemory(path, checkIntegrity);
        closeConnection(m_fileConnection);
        if (opening == Opening::Ok) {
            m_problem = unwritable;
            m_lastError = why;
            return keepInMemory(path, StoreOpenResult::Status::ReadOnly);
        }
    }
    if (opening == Opening::Damaged)
        return replaceDamaged(path);
    return keepInMemory(path, StoreOpenResult::Status::InMemory);
}

StoreOpenResult WatchStore::keepInMemory(const QString& path, StoreOpenResult::Status status) {
    const StoreProblem problem = m_problem;
    const QString error = m_lastError;
    closeConnection(m_fileConnection);
    if (status == StoreOpenResult::Status::InMemory && !startInMemory())
        return {
            StoreOpenResult::Status::Failed, {}, error + u"; "_s + m_lastError, {}, problem.cause};
    m_problem = problem;
    m_lastError = error;
    return {status,
            {},
            error,
            status == StoreOpenResult::Status::ReadOnly ? ReadOnlyNotice(problem, path)
                                                        : InMemoryNotice(problem, path),
            problem.cause};
}

StoreOpenResult WatchStore::replaceDamaged(const QString& path) {
    const StoreProblem damage = m_problem;
    const QString reason = m_lastError;
    // SQLite deletes the write-ahead log by its name when the last connection closes, even when
    // the file is no database: move the files while it is still open, so the log goes with them.
    QString movedTo;
    const bool moved = moveAside(path, movedTo);
    closeConnection(m_fileConnection);
    closeConnection(m_memoryConnection);
    m_connectionName = m_fileConnection;
    if (!moved) {
        m_problem = damage;
        m_lastError = reason + u"; "_s + m_lastError;
        return keepInMemory(path, StoreOpenResult::Status::InMemory);
    }
    if (openOnDisk(path, false) != Opening::Ok) {
        StoreOpenResult fresh = keepInMemory(path, StoreOpenResult::Status::InMemory);
        fresh.movedTo = movedTo;
        fresh.notice = MovedAsideNotice(damage, movedTo) + u"\n"_s + fresh.notice;
        return fresh;
    }
    m_problem = {};
    return {StoreOpenResult::Status::MovedAside, movedTo, reason, MovedAsideNotice(damage, movedTo),
            damage.cause};
}

WatchStore::Opening WatchStore::openOnDisk(const QString& path, bool checkIntegrity) {
    using Cause = StoreProblem::Cause;
    closeConnection(m_fileConnection);
    m_connectionName = m_fileConnection;
    const QFileInfo file(path);
    const QString folder = file.absolutePath();
    if (!QDir().mkpath(folder))
        return unusable(refinedCause(Cause::CannotOpen, path), u"cannot make %1"_s.arg(folder));
    const bool folderWritable = QFileInfo(folder).isWritable();
    if (!file.exists() && !folderWritable)
        return unusable(Cause::ReadOnlyFolder, u"cannot create %1"_s.arg(path));
    // Never opened for writing: SQLite would leave files beside it that outlast the session.
    if (file.exists() && (!file.isWritable() || !folderWritable)) {
        unusable(file.isWritable() ? Cause::ReadOnlyFolder : Cause::ReadOnlyFile,
                 u"%1 cannot be written"_s.arg(path));
        return Opening::Unwritable;
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_fileConnection);
    db.setDatabaseName(path);
    db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=%1"_s.arg(kOpeningBusyMs));
    if (!db.open())
        return trouble(u"cannot open %1"_s.arg(path), db.lastError());

    QSqlQuery query(db);
    int version = 0;
    const Opening read = validate(query, u"main"_s, checkIntegrity, version);
    if (read == Opening::Damaged)
        return read;
    if (read != Opening::Ok)
        // What stops this connection from reading may not stop a read-only one; a lock does.
        return m_problem.cause == Cause::Locked ? Opening::Unreadable : Opening::Unwritable;

    // Nothing is written before the file has proved to be a sound watch list of a known
    // version and could be written: a file that is moved aside or read-only keeps its bytes.
    const bool markerWasThere = QFile::exists(uncleanExitMarker(path));
    if (!writeMarker(path, markerWasThere))
        return Opening::Unwritable;
    const auto unwritable = [&](const QString& what, const QSqlError& error) {
        fail(what, error);
        query.exec(u"ROLLBACK"_s);
        dropMarker(markerWasThere);
        return m_problem.provesDamage() ? Opening::Damaged : Opening::Unwritable;
    };
    // A change left uncommitted writes nothing, yet fails on a file that refuses writing.
    if (!query.exec(u"BEGIN IMMEDIATE"_s) ||
        !query.exec(u"PRAGMA user_version = %1"_s.arg(version)) || !query.exec(u"ROLLBACK"_s))
        return unwritable(u"cannot write %1"_s.arg(path), query.lastError());

    // With write-ahead logging a commit is in the log file once it returns, so a killed process
    // loses nothing even with synchronous=NORMAL; FULL also syncs each commit to the disk so that
    // a power cut loses nothing either. Commits come once per check, so the cost does not matter.
    if (!query.exec(u"PRAGMA busy_timeout = %1"_s.arg(kBusyMs)) ||
        !query.exec(u"PRAGMA journal_mode=WAL"_s) || !query.exec(u"PRAGMA synchronous=FULL"_s) ||
        !query.exec(u"PRAGMA foreign_keys=ON"_s))
        return unwritable(u"cannot set up %1"_s.arg(path), query.lastError());
    query.finish();
    if (version < kSchemaVersion && !migrate(version)) {
        dropMarker(markerWasThere);
        return m_problem.provesDamage() ? Opening::Damaged : Opening::Unwritable;
    }
    return Opening::Ok;
}

WatchStore::Opening WatchStore::validate(QSqlQuery& query, const QString& schema,
                                         bool checkIntegrity, int& version) {
    using Cause = StoreProblem::Cause;
    // The first read fails on a file that is no database at all, or one cut short.
    if (!query.exec(u"PRAGMA %1.user_version"_s.arg(schema)) || !query.next())
        return trouble(u"cannot read the version of %1"_s.arg(m_path), query.lastError());
    version = query.value(0).toInt();
    if (checkIntegrity) {
        if (!query.exec(u"PRAGMA %1.quick_check"_s.arg(schema)))
            return trouble(u"cannot check %1"_s.arg(m_path), query.lastError());
        if (!query.next() || query.value(0).toString() != u"ok"_s)
            return unusable(Cause::Damaged,
                            u"%1 is damaged: %2"_s.arg(m_path, query.value(0).toString()));
    }
    if (version > kSchemaVersion || version < 0)
        return unusable(
            Cause::NewerVersion,
            u"%1 was written by a newer release (version %2)"_s.arg(m_path).arg(version));
    if (version == 0) {
        if (!query.exec(u"SELECT count(*) FROM %1.sqlite_master"_s.arg(schema)) || !query.next())
            return trouble(u"cannot read the tables of %1"_s.arg(m_path), query.lastError());
        if (query.value(0).toInt() != 0)
            return unusable(Cause::ForeignFile, u"%1 holds tables of something else"_s.arg(m_path));
    } else {
        // Reading every column the program uses proves the schema is the one it expects.
        for (const SchemaProbe& probe : kSchemaProbes) {
            if (probe.since > version ||
                query.exec(QString::fromLatin1(probe.statement).arg(schema)))
                continue;
            constexpr int kNoSuchTableOrColumn = 1;
            if (sqliteCode(query.lastError()) == kNoSuchTableOrColumn)
                return unusable(Cause::ForeignFile, u"unknown tables in %1: %2"_s.arg(
                                                        m_path, query.lastError().text()));
            return trouble(u"cannot read the tables of %1"_s.arg(m_path), query.lastError());
        }
    }
    query.finish();
    return Opening::Ok;
}

WatchStore::Opening WatchStore::copyIntoMemory(const QString& path, bool checkIntegrity) {
    Opening read = Opening::Unreadable;
    for (const QString& uri : readOnlyUris(path)) {
        read = copyIntoMemory(uri, path, checkIntegrity);
        // Another way of reading gets past neither a lock nor damage.
        if (read != Opening::Unreadable || m_problem.cause == StoreProblem::Cause::Locked)
            break;
    }
    return read;
}

WatchStore::Opening WatchStore::copyIntoMemory(const QString& uri, const QString& path,
                                               bool checkIntegrity) {
    if (!startInMemory())
        return Opening::Unreadable;
    QSqlQuery query(QSqlDatabase::database(m_memoryConnection, false));
    query.prepare(u"ATTACH DATABASE ? AS disk"_s);
    query.addBindValue(uri);
    if (!query.exec())
        return trouble(u"cannot read %1"_s.arg(path), query.lastError());
    int version = 0;
    Opening read = validate(query, u"disk"_s, checkIntegrity, version);
    if (read == Opening::Ok && version > 0) {
        const bool copied = inTransaction([&](QSqlQuery& copy) {
            if (!copy.exec(QString::fromLatin1(version >= 2 ? kCopyWatchedV2 : kCopyWatchedV1)))
                return fail(u"cannot read %1"_s.arg(path), copy.lastError());
            for (const char* statement : kCopyIntoMemory) {
                if (!copy.exec(QString::fromLatin1(statement)))
                    return fail(u"cannot read %1"_s.arg(path), copy.lastError());
            }
            return true;
        });
        if (!copied)
            read = m_problem.provesDamage() ? Opening::Damaged : Opening::Unreadable;
    }
    query.finish();
    if (read != Opening::Damaged)
        query.exec(u"DETACH DATABASE disk"_s);
    return read;
}

bool WatchStore::startInMemory() {
    closeConnection(m_memoryConnection);
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_memoryConnection);
    db.setDatabaseName(kMemoryPath);
    // The file a list is copied from is attached by its address, to read it without writing.
    db.setConnectOptions(u"QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1"_s.arg(kOpeningBusyMs));
    m_connectionName = m_memoryConnection;
    if (!db.open())
        return fail(u"cannot make a list in memory"_s, db.lastError());
    QSqlQuery query(db);
    if (!query.exec(u"PRAGMA foreign_keys=ON"_s))
        return fail(u"cannot set up a list in memory"_s, query.lastError());
    query.finish();
    return migrate(0);
}

bool WatchStore::writeMarker(const QString& path, bool wasThere) {
    QFile marker(uncleanExitMarker(path));
    // Written out, not merely created: on a full disk this fails before the list does.
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid()) + '\n';
    if (marker.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        marker.write(pid) == pid.size() && marker.flush()) {
        m_marker = marker.fileName();
        return true;
    }
    m_lastError = u"cannot write %1: %2"_s.arg(marker.fileName(), marker.errorString());
    m_problem.cause = refinedCause(StoreProblem::Cause::IoError, path);
    marker.close();
    if (!wasThere)
        marker.remove();
    return false;
}

void WatchStore::dropMarker(bool wasThere) {
    if (!wasThere && !m_marker.isEmpty())
        QFile::remove(m_marker);
    m_marker.clear();
}

bool WatchStore::migrate(int fromVersion) {
    return inTransaction([&](QSqlQuery& query) {
        switch (fromVersion) {
        case 0:
            for (const char* statement : kCreateSchema) {
                if (!query.exec(QString::fromLatin1(statement)))
                    return fail(u"cannot create the watch list"_s, query.lastError());
            }
            [[fallthrough]];
        case 1:
            for (const char* statement : kAddRegistryColumns) {
                if (!query.exec(QString::fromLatin1(statement)))
                    return fail(u"cannot add the registry's columns"_s, query.lastError());
            }
            // Later versions add their steps here, each falling through to the next.
            break;
        default:
            m_lastError = u"no way to migrate from version %1"_s.arg(fromVersion);
            return false;
        }
        if (!query.exec(u"PRAGMA user_version = %1"_s.arg(kSchemaVersion)))
            return fail(u"cannot record the schema version"_s, query.lastError());
        return true;
    });
}

bool WatchStore::moveAside(const QString& path, QString& movedTo) {
    const QString stamp = QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    const QString base = path + u".damaged-"_s + stamp;
    movedTo = base;
    for (int n = 2; QFile::exists(movedTo) || QFile::exists(movedTo + u"-wal"_s) ||
                    QFile::exists(movedTo + u"-shm"_s);
         ++n)
        movedTo = base + u"-"_s + QString::number(n);

    if (QFile::exists(path) && !QFile::rename(path, movedTo)) {
        m_lastError = u"cannot move %1 to %2"_s.arg(path, movedTo);
        return false;
    }
    // A log left beside a fresh file would be replayed into it: it has to go with its file.
    for (const QString& suffix : {u"-wal"_s, u"-shm"_s}) {
        if (QFile::exists(path + suffix) && !QFile::rename(path + suffix, movedTo + suffix)) {
            QFile::rename(movedTo, path);
            m_lastError = u"cannot move %1 to %2"_s.arg(path + suffix, movedTo + suffix);
            return false;
        }
    }
    return true;
}

template <typename Work> bool WatchStore::inTransaction(Work&& work) {
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen()) {
        m_lastError = u"the watch list is not open"_s;
        return false;
    }
    if (!db.transaction())
        return fail(u"cannot begin a transaction"_s, db.lastError());
    bool done = false;
    {
        QSqlQuery query(db);
        done = work(query);
    }
    if (done && db.commit())
        return true;
    if (done)
        fail(u"cannot commit"_s, db.lastError());
    db.rollback();
    return false;
}

bool WatchStore::insertEntry(const WatchEntry& entry, QSqlQuery& query, bool& inserted) {
    query.addBindValue(entry.domain);
    query.addBindValue(storedDate(entry.deletionDate));
    query.addBindValue(int(entry.state));
    query.addBindValue(storedTime(entry.addedAt));
    query.addBindValue(storedTime(entry.lastCheck));
    query.addBindValue(storedTime(entry.nextCheck));
    query.addBindValue(entry.checkCount);
    bindRegistry(entry.registry, query);
    query.addBindValue(storedTime(entry.listedDrop));
    if (!query.exec())
        return fail(u"cannot add %1"_s.arg(entry.domain), query.lastError());
    inserted = query.numRowsAffected() == 1;
    return true;
}

bool WatchStore::writeEntry(const WatchEntry& entry, QSqlQuery& query) {
    query.addBindValue(storedDate(entry.deletionDate));
    query.addBindValue(int(entry.state));
    query.addBindValue(storedTime(entry.lastCheck));
    query.addBindValue(storedTime(entry.nextCheck));
    query.addBindValue(entry.checkCount);
    bindRegistry(entry.registry, query);
    query.addBindValue(storedTime(entry.listedDrop));
    query.addBindValue(entry.domain);
    if (!query.exec())
        return fail(u"cannot write %1"_s.arg(entry.domain), query.lastError());
    return true;
}

bool WatchStore::add(const WatchEntry& entry) {
    return addMany({entry}).size() == 1;
}

QList<WatchEntry> WatchStore::addMany(const QList<WatchEntry>& entries) {
    QList<WatchEntry> added;
    const bool done = inTransaction([&](QSqlQuery& query) {
        query.prepare(kInsertEntry);
        for (const WatchEntry& entry : entries) {
            bool inserted = false;
            if (entry.domain.isEmpty())
                continue;
            if (!insertEntry(entry, query, inserted))
                return false;
            if (inserted)
                added.append(entry);
        }
        return true;
    });
    return done ? added : QList<WatchEntry>();
}

int WatchStore::remove(const QStringList& domains) {
    int removed = 0;
    const bool done = inTransaction([&](QSqlQuery& query) {
        query.prepare(u"DELETE FROM watched WHERE domain = ?"_s);
        for (const QString& domain : domains) {
            query.addBindValue(domain);
            if (!query.exec())
                return fail(u"cannot remove %1"_s.arg(domain), query.lastError());
            removed += query.numRowsAffected();
        }
        return true;
    });
    return done ? removed : -1;
}

bool WatchStore::updateMany(const QList<WatchEntry>& entries) {
    return inTransaction([&](QSqlQuery& query) {
        query.prepare(kWriteEntry);
        for (const WatchEntry& entry : entries) {
            if (!writeEntry(entry, query))
                return false;
        }
        return true;
    });
}

bool WatchStore::recordCheck(const CheckRecord& record, const WatchEntry& updated) {
    return inTransaction([&](QSqlQuery& query) {
        query.prepare(u"INSERT INTO check_log (watched_id, time, http_status, verdict, first_line) "
                      "SELECT id, ?, ?, ?, ? FROM watched WHERE domain = ?"_s);
        query.addBindValue(storedTime(record.time));
        query.addBindValue(record.httpStatus);
        query.addBindValue(int(record.verdict));
        const QString line = AnswerFirstLine(record.firstLine);
        // The column is NOT NULL: an empty line must not be bound as a null text.
        query.addBindValue(line.isNull() ? u""_s : line);
        query.addBindValue(updated.domain);
        if (!query.exec())
            return fail(u"cannot log a check of %1"_s.arg(updated.domain), query.lastError());
        if (query.numRowsAffected() != 1) {
            m_lastError = u"%1 is not watched"_s.arg(updated.domain);
            return false;
        }
        query.prepare(kWriteEntry);
        if (!writeEntry(updated, query))
            return false;
        query.prepare(u"DELETE FROM check_log WHERE watched_id = (SELECT id FROM watched WHERE "
                      "domain = ?) AND id NOT IN (SELECT c.id FROM check_log c JOIN watched w ON "
                      "w.id = c.watched_id WHERE w.domain = ? ORDER BY c.id DESC LIMIT ?)"_s);
        query.addBindValue(updated.domain);
        query.addBindValue(updated.domain);
        query.addBindValue(kChecksKeptPerName);
        if (!query.exec())
            return fail(u"cannot trim the checks of %1"_s.arg(updated.domain), query.lastError());
        return true;
    });
}

QList<WatchEntry> WatchStore::loadAll() {
    QList<WatchEntry> entries;
    if (!isOpen())
        return entries;
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    query.setForwardOnly(true);
    if (!query.exec(u"SELECT domain, deletion_date, state, added_at, last_check, next_check, "
                    "check_count, registry_verdict, registry_reason, registry_statuses, "
                    "registry_expiration, registry_answered_at, registry_deletion, "
                    "registry_last_changed, listed_drop FROM watched ORDER BY id"_s)) {
        fail(u"cannot read the watch list"_s, query.lastError());
        return entries;
    }
    while (query.next()) {
        WatchEntry entry;
        entry.domain = query.value(0).toString();
        entry.deletionDate = readDate(query.value(1));
        entry.state = readState(query.value(2).toInt());
        entry.addedAt = readTime(query.value(3));
        entry.lastCheck = readTime(query.value(4));
        entry.nextCheck = readTime(query.value(5));
        entry.checkCount = query.value(6).toInt();
        entry.registry = readRegistry(query, 7);
        entry.listedDrop = readTime(query.value(14));
        entries.append(std::move(entry));
    }
    // A row that cannot be read ends the loop as the last row would.
    if (query.lastError().isValid())
        fail(u"cannot read the whole watch list"_s, query.lastError());
    return entries;
}

QList<CheckRecord> WatchStore::recentChecks(const QString& domain, int count) {
    QList<CheckRecord> records;
    if (!isOpen())
        return records;
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    query.setForwardOnly(true);
    query.prepare(u"SELECT c.time, c.http_status, c.verdict, c.first_line FROM check_log c "
                  "JOIN watched w ON w.id = c.watched_id WHERE w.domain = ? "
                  "ORDER BY c.id DESC LIMIT ?"_s);
    query.addBindValue(domain);
    query.addBindValue(count);
    if (!query.exec()) {
        fail(u"cannot read the checks of %1"_s.arg(domain), query.lastError());
        return records;
    }
    while (query.next()) {
        records.append({readTime(query.value(0)), query.value(1).toInt(),
                        readVerdict(query.value(2).toInt()), query.value(3).toString()});
    }
    if (query.lastError().isValid())
        fail(u"cannot read all the checks of %1"_s.arg(domain), query.lastError());
    return records;
}

std::chrono::seconds WatchStore::interval() {
    if (!isOpen())
        return WatchRules::kDefaultInterval;
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    query.prepare(u"SELECT value FROM settings WHERE key = ?"_s);
    query.addBindValue(kIntervalKey);
    bool number = false;
    const qint64 seconds = query.exec() && query.next() ? query.value(0).toLongLong(&number) : 0;
    return number ? WatchRules::clampInterval(std::chrono::seconds(seconds))
                  : WatchRules::kDefaultInterval;
}

bool WatchStore::setInterval(std::chrono::seconds interval) {
    return inTransaction([&](QSqlQuery& query) {
        query.prepare(u"INSERT OR REPLACE INTO settings (key, value) VALUES (?, ?)"_s);
        query.addBindValue(kIntervalKey);
        query.addBindValue(QString::number(WatchRules::clampInterval(interval).count()));
        if (!query.exec())
            return fail(u"cannot store the interval"_s, query.lastError());
        return true;
    });
}
