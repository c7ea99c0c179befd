#include "watch/WatchStore.h"

#include "verify/CheckProtocol.h"
#include "watch/WatchRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

#include <atomic>

using namespace Qt::StringLiterals;

namespace {

std::atomic<int> connectionCounter{0};

const QString kIntervalKey = u"check_interval_seconds"_s;

// SQLite's primary result codes that say the file is in use or the machine is short of something,
// not that the file is damaged: such a file must stay where it is.
bool isPassingTrouble(const QSqlError& error) {
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == 5 /* BUSY */ || code == 6 /* LOCKED */ || code == 7 /* NOMEM */ ||
           code == 13 /* FULL */;
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

const QString kInsertEntry =
    u"INSERT OR IGNORE INTO watched (domain, deletion_date, state, added_at, last_check, "
    "next_check, check_count) VALUES (?, ?, ?, ?, ?, ?, ?)"_s;
const QString kWriteEntry = u"UPDATE watched SET deletion_date = ?, state = ?, last_check = ?, "
                            "next_check = ?, check_count = ? WHERE domain = ?"_s;

// Reading every column the program uses proves the schema is the one it expects.
const char* const kSchemaProbes[] = {
    "SELECT id, domain, deletion_date, state, added_at, last_check, next_check, check_count "
    "FROM watched LIMIT 1",
    "SELECT id, watched_id, time, http_status, verdict, first_line FROM check_log LIMIT 1",
    "SELECT key, value FROM settings LIMIT 1",
};

} // namespace

WatchStore::WatchStore()
    : m_connectionName(u"watch-store-%1"_s.arg(connectionCounter.fetch_add(1))) {}

WatchStore::~WatchStore() {
    close();
}

QString WatchStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           u"/watchlist.sqlite"_s;
}

bool WatchStore::isOpen() const {
    return QSqlDatabase::contains(m_connectionName) &&
           QSqlDatabase::database(m_connectionName, false).isOpen();
}

void WatchStore::close() {
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    QSqlDatabase::database(m_connectionName, false).close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

bool WatchStore::fail(const QString& what, const QSqlError& error) {
    m_lastError = what + u": "_s + error.text();
    return false;
}

StoreOpenResult WatchStore::open(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const Opening opening = openFile(path);
    if (opening == Opening::Ok)
        return {StoreOpenResult::Status::Opened, {}, {}};
    const QString reason = m_lastError;
    if (opening == Opening::Unavailable) {
        close();
        return {StoreOpenResult::Status::Failed, {}, reason};
    }

    // SQLite deletes the write-ahead log by its name when the last connection closes, even when
    // the file is no database: move the files while it is still open, so the log goes with them.
    QString movedTo;
    const bool moved = moveAside(path, movedTo);
    close();
    if (!moved)
        return {StoreOpenResult::Status::Failed, {}, reason + u"; "_s + m_lastError};
    if (openFile(path) != Opening::Ok) {
        close();
        return {StoreOpenResult::Status::Failed, movedTo, m_lastError};
    }
    return {StoreOpenResult::Status::MovedAside, movedTo, reason};
}

WatchStore::Opening WatchStore::openFile(const QString& path) {
    close();
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connectionName);
    db.setDatabaseName(path);
    // A second instance of the program may hold the file for a moment.
    db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=5000"_s);
    const auto trouble = [this](const QString& what, const QSqlError& error) {
        fail(what, error);
        return isPassingTrouble(error) ? Opening::Unavailable : Opening::Damaged;
    };
    if (!db.open())
        return trouble(u"cannot open %1"_s.arg(path), db.lastError());

    QSqlQuery query(db);
    // Nothing is written before the file has proved to be a sound watch list of a known version:
    // a file that is moved aside keeps its bytes. The first read fails on a file that is no
    // database at all.
    if (!query.exec(u"PRAGMA quick_check"_s))
        return trouble(u"cannot read %1"_s.arg(path), query.lastError());
    if (!query.next() || query.value(0).toString() != u"ok"_s) {
        m_lastError = u"%1 is damaged: %2"_s.arg(path, query.value(0).toString());
        return Opening::Damaged;
    }
    if (!query.exec(u"PRAGMA user_version"_s) || !query.next())
        return trouble(u"cannot read the version of %1"_s.arg(path), query.lastError());
    const int version = query.value(0).toInt();
    if (version > kSchemaVersion || version < 0) {
        m_lastError = u"%1 was written by a newer release (version %2)"_s.arg(path).arg(version);
        return Opening::Damaged;
    }
    if (version == 0) {
        if (!query.exec(u"SELECT count(*) FROM sqlite_master"_s) || !query.next())
            return trouble(u"cannot read the tables of %1"_s.arg(path), query.lastError());
        if (query.value(0).toInt() != 0) {
            m_lastError = u"%1 holds tables of something else"_s.arg(path);
            return Opening::Damaged;
        }
    } else if (!probeSchema(query, path)) {
        return Opening::Damaged;
    }
    query.finish();

    // With write-ahead logging a commit is in the log file once it returns, so a killed process
    // loses nothing even with synchronous=NORMAL; FULL also syncs each commit to the disk so that
    // a power cut loses nothing either. Commits come once per check, so the cost does not matter.
    if (!query.exec(u"PRAGMA journal_mode=WAL"_s) || !query.exec(u"PRAGMA synchronous=FULL"_s) ||
        !query.exec(u"PRAGMA foreign_keys=ON"_s))
        return trouble(u"cannot set up %1"_s.arg(path), query.lastError());
    if (version < kSchemaVersion && (!migrate(version) || !probeSchema(query, path)))
        return Opening::Damaged;
    return Opening::Ok;
}

bool WatchStore::probeSchema(QSqlQuery& query, const QString& path) {
    for (const char* probe : kSchemaProbes) {
        if (!query.exec(QString::fromLatin1(probe)))
            return fail(u"unreadable tables in %1"_s.arg(path), query.lastError());
    }
    return true;
}

bool WatchStore::migrate(int fromVersion) {
    return inTransaction([&](QSqlQuery& query) {
        switch (fromVersion) {
        case 0:
            for (const char* statement : kCreateSchema) {
                if (!query.exec(QString::fromLatin1(statement)))
                    return fail(u"cannot create the watch list"_s, query.lastError());
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
                    "check_count FROM watched ORDER BY id"_s)) {
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
        entries.append(std::move(entry));
    }
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
