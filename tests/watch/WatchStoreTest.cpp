#include "V1WatchList.h"
#include "support/QStringPrinter.h"

#include "watch/WatchRules.h"
#include "watch/WatchStore.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QDateTime kNow(QDate(2025, 3, 1), QTime(12, 0), Qt::UTC);

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Sets a file's schema version behind the store's back.
void setUserVersion(const QString& path, int version) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"test-version"_s);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(u"PRAGMA user_version = %1"_s.arg(version)));
    }
    QSqlDatabase::removeDatabase(u"test-version"_s);
}

class WatchStoreTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(u"watchlist.sqlite"_s); }

    void expectMovedAsideAndFresh(const StoreOpenResult& result, const QByteArray& oldBytes) {
        ASSERT_EQ(result.status, StoreOpenResult::Status::MovedAside) << result.error.toStdString();
        EXPECT_FALSE(result.error.isEmpty());
        EXPECT_TRUE(result.movedTo.startsWith(path() + u".damaged-"_s))
            << result.movedTo.toStdString();
        EXPECT_EQ(readAll(result.movedTo), oldBytes);
        EXPECT_TRUE(StoreProblem{result.cause}.provesDamage());
        EXPECT_TRUE(result.notice.contains(result.movedTo)) << result.notice.toStdString();
        EXPECT_TRUE(m_store.loadAll().isEmpty());
        EXPECT_TRUE(m_store.add(WatchRules::newEntry(u"fresh.example"_s, std::nullopt, kNow)));
    }

    QTemporaryDir m_dir;
    WatchStore m_store;
};

} // namespace

TEST_F(WatchStoreTest, saveThenReopen_keepsNamesStatesCountsLogAndInterval) {
    ASSERT_EQ(m_store.open(path()).status, StoreOpenResult::Status::Opened);
    const WatchEntry dated = WatchRules::newEntry(u"dated.example"_s, QDate(2025, 3, 10), kNow);
    const WatchEntry plain = WatchRules::newEntry(u"plain.example"_s, std::nullopt, kNow);
    ASSERT_TRUE(m_store.add(dated));
    ASSERT_TRUE(m_store.add(plain));
    const CheckRecord first{kNow.addSecs(5), 200, CheckVerdict::Registered, u"taken"_s};
    const CheckRecord second{kNow.addSecs(700), 200, CheckVerdict::Free, u"available"_s};
    const WatchEntry once = WatchRules::afterCheck(plain, first, 600s);
    const WatchEntry freed = WatchRules::afterCheck(once, second, 600s);
    ASSERT_TRUE(m_store.recordCheck(first, once));
    ASSERT_TRUE(m_store.recordCheck(second, freed));
    ASSERT_TRUE(m_store.setInterval(90s));
    m_store.close();

    WatchStore reopened;
    ASSERT_EQ(reopened.open(path()).status, StoreOpenResult::Status::Opened);
    EXPECT_EQ(reopened.loadAll(), (QList<WatchEntry>{dated, freed}));
    EXPECT_EQ(reopened.recentChecks(u"plain.example"_s, 10), (QList<CheckRecord>{second, first}));
    EXPECT_EQ(reopened.recentChecks(u"plain.example"_s, 1), (QList<CheckRecord>{second}));
    EXPECT_EQ(reopened.interval(), 90s);
}

TEST_F(WatchStoreTest, newFile_hasTheDefaultIntervalAndNoNames) {
    ASSERT_EQ(m_store.open(path()).status, StoreOpenResult::Status::Opened);
    EXPECT_TRUE(m_store.loadAll().isEmpty());
    EXPECT_EQ(m_store.interval(), WatchRules::kDefaultInterval);
    ASSERT_TRUE(m_store.setInterval(5s));
    EXPECT_EQ(m_store.interval(), WatchRules::kMinInterval);
}

TEST_F(WatchStoreTest, sameName_isNeverAddedTwice) {
    ASSERT_TRUE(m_store.open(path()).usable());
    ASSERT_TRUE(m_store.add(WatchRules::newEntry(u"one.example"_s, std::nullopt, kNow)));
    EXPECT_FALSE(m_store.add(WatchRules::newEntry(u"one.example"_s, QDate(2025, 5, 1), kNow)));

    const QList<WatchEntry> batch{WatchRules::newEntry(u"one.example"_s, std::nullopt, kNow),
                                  WatchRules::newEntry(u"two.example"_s, std::nullopt, kNow),
                                  WatchRules::newEntry(u"two.example"_s, std::nullopt, kNow)};
    const QList<WatchEntry> added = m_store.addMany(batch);
    ASSERT_EQ(added.size(), 1);
    EXPECT_EQ(added[0].domain, u"two.example"_s);
    const QList<WatchEntry> all = m_store.loadAll();
    ASSERT_EQ(all.size(), 2);
    EXPECT_FALSE(all[0].deletionDate) << "the second add must not overwrite the first";
}

TEST_F(WatchStoreTest, remove_takesTheCheckLogWithIt) {
    ASSERT_TRUE(m_store.open(path()).usable());
    const WatchEntry entry = WatchRules::newEntry(u"gone.example"_s, std::nullopt, kNow);
    ASSERT_TRUE(m_store.add(entry));
    const CheckRecord record{kNow, 200, CheckVerdict::Registered, u"taken"_s};
    ASSERT_TRUE(m_store.recordCheck(record, WatchRules::afterCheck(entry, record, 600s)));
    EXPECT_EQ(m_store.remove({u"gone.example"_s, u"never.example"_s}), 1);
    EXPECT_TRUE(m_store.loadAll().isEmpty());

    ASSERT_TRUE(m_store.add(entry));
    EXPECT_TRUE(m_store.recentChecks(u"gone.example"_s, 10).isEmpty());
    EXPECT_EQ(m_store.loadAll().value(0).checkCount, 0);
}

TEST_F(WatchStoreTest, checkLog_keepsOnlyTheNewestChecksOfEachName) {
    ASSERT_TRUE(m_store.open(path()).usable());
    WatchEntry entry = WatchRules::newEntry(u"busy.example"_s, std::nullopt, kNow);
    WatchEntry other = WatchRules::newEntry(u"quiet.example"_s, std::nullopt, kNow);
    ASSERT_TRUE(m_store.add(entry));
    ASSERT_TRUE(m_store.add(other));
    const CheckRecord quiet{kNow, 503, CheckVerdict::NoVerdict, {}};
    other = WatchRules::afterCheck(other, quiet, 600s);
    ASSERT_TRUE(m_store.recordCheck(quiet, other));
    const int total = WatchStore::kChecksKeptPerName + 10;
    for (int i = 0; i < total; ++i) {
        const CheckRecord record{kNow.addSecs(i), 200, CheckVerdict::Registered,
                                 u"check %1"_s.arg(i)};
        entry = WatchRules::afterCheck(entry, record, 600s);
        ASSERT_TRUE(m_store.recordCheck(record, entry));
    }
    const QList<CheckRecord> kept = m_store.recentChecks(u"busy.example"_s, 1000);
    ASSERT_EQ(kept.size(), WatchStore::kChecksKeptPerName);
    EXPECT_EQ(kept.first().firstLine, u"check %1"_s.arg(total - 1));
    EXPECT_EQ(kept.last().firstLine, u"check %1"_s.arg(total - WatchStore::kChecksKeptPerName));
    EXPECT_EQ(m_store.loadAll().value(0).checkCount, total);
    EXPECT_EQ(m_store.recentChecks(u"quiet.example"_s, 10), (QList<CheckRecord>{quiet}));
}

TEST_F(WatchStoreTest, garbageFile_isMovedAsideWithItsLogAndAFreshListOpens) {
    const QByteArray garbage = QByteArray("this is not a database at all ").repeated(200);
    writeFile(path(), garbage);
    writeFile(path() + u"-wal"_s, "stale log");
    const StoreOpenResult result = m_store.open(path());
    expectMovedAsideAndFresh(result, garbage);
    EXPECT_EQ(readAll(result.movedTo + u"-wal"_s), "stale log");
}

TEST_F(WatchStoreTest, truncatedDatabase_isMovedAside) {
    ASSERT_TRUE(m_store.open(path()).usable());
    QList<WatchEntry> many;
    for (int i = 0; i < 2000; ++i)
        many.append(WatchRules::newEntry(u"name-%1.example"_s.arg(i), QDate(2025, 3, 10), kNow));
    ASSERT_EQ(m_store.addMany(many).size(), many.size());
    m_store.close();
    ASSERT_FALSE(QFile::exists(path() + u"-wal"_s)) << "closing should have folded the log in";

    QByteArray bytes = readAll(path());
    ASSERT_GT(bytes.size(), 16 * 4096);
    bytes.truncate(bytes.size() / 2);
    writeFile(path(), bytes);
    expectMovedAsideAndFresh(m_store.open(path()), bytes);
}

TEST_F(WatchStoreTest, fileFromANewerRelease_isMovedAside) {
    ASSERT_TRUE(m_store.open(path()).usable());
    ASSERT_TRUE(m_store.add(WatchRules::newEntry(u"kept.example"_s, std::nullopt, kNow)));
    m_store.close();
    setUserVersion(path(), WatchStore::kSchemaVersion + 1);
    const QByteArray bytes = readAll(path());

    const StoreOpenResult result = m_store.open(path());
    expectMovedAsideAndFresh(result, bytes);
    EXPECT_EQ(result.cause, StoreProblem::Cause::NewerVersion);
}

TEST_F(WatchStoreTest, otherDatabaseAtThePath_isMovedAside) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"test-other"_s);
        db.setDatabaseName(path());
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(u"CREATE TABLE watched (name TEXT)"_s));
    }
    QSqlDatabase::removeDatabase(u"test-other"_s);
    const QByteArray bytes = readAll(path());
    const StoreOpenResult result = m_store.open(path());
    expectMovedAsideAndFresh(result, bytes);
    EXPECT_EQ(result.cause, StoreProblem::Cause::ForeignFile);
}

TEST_F(WatchStoreTest, secondDamagedFile_doesNotOverwriteTheFirst) {
    writeFile(path(), QByteArray(8192, 'x'));
    const StoreOpenResult first = m_store.open(path());
    m_store.close();
    writeFile(path(), QByteArray(8192, 'y'));
    const StoreOpenResult second = m_store.open(path());
    ASSERT_EQ(first.status, StoreOpenResult::Status::MovedAside);
    ASSERT_EQ(second.status, StoreOpenResult::Status::MovedAside);
    EXPECT_NE(first.movedTo, second.movedTo);
    EXPECT_EQ(readAll(first.movedTo), QByteArray(8192, 'x'));
    EXPECT_EQ(readAll(second.movedTo), QByteArray(8192, 'y'));
}

TEST(WatchStorePath, defaultFileLiesInTheApplicationDataFolder) {
    EXPECT_TRUE(WatchStore::defaultPath().endsWith(u"/watchlist.sqlite"_s));
    EXPECT_TRUE(QDir::isAbsolutePath(WatchStore::defaultPath()));
}

TEST_F(WatchStoreTest, versionOneFile_isMigratedKeepingNamesAndChecks) {
    MakeV1WatchList(path());
    const StoreOpenResult result = m_store.open(path());
    ASSERT_EQ(result.status, StoreOpenResult::Status::Opened) << result.error.toStdString();
    EXPECT_TRUE(result.notice.isEmpty());
    const QList<WatchEntry> entries = m_store.loadAll();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].domain, u"old.example"_s);
    EXPECT_EQ(entries[0].deletionDate, QDate(2025, 3, 5));
    EXPECT_EQ(entries[1].domain, u"checked.example"_s);
    EXPECT_EQ(entries[1].state, WatchState::Watching);
    EXPECT_EQ(entries[1].checkCount, 1);
    EXPECT_EQ(entries[1].lastCheck, kNow.addSecs(60));
    EXPECT_FALSE(entries[1].registry.answeredAt.isValid()) << "never asked";
    const QList<CheckRecord> checks = m_store.recentChecks(u"checked.example"_s, 5);
    ASSERT_EQ(checks.size(), 1);
    EXPECT_EQ(checks[0].verdict, CheckVerdict::Registered);
    EXPECT_EQ(m_store.interval(), 600s);

    // The new columns are there and take the registry's word.
    WatchEntry held = entries[1];
    held.registry = {RegistryVerdict::HeldPendingDelete,
                     NoVerdictReason::None,
                     {u"pending delete"_s, u"redemption period"_s},
                     kNow.addDays(3),
                     kNow.addSecs(120)};
    ASSERT_TRUE(m_store.updateMany({held}));
    m_store.close();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"test-read"_s);
        db.setDatabaseName(path());
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(u"PRAGMA user_version"_s) && query.next());
        EXPECT_EQ(query.value(0).toInt(), WatchStore::kSchemaVersion);
        EXPECT_EQ(WatchStore::kSchemaVersion, 2);
        ASSERT_TRUE(query.exec(u"SELECT registry_verdict, registry_statuses FROM watched "
                               "WHERE domain = 'checked.example'"_s) &&
                    query.next());
        EXPECT_FALSE(query.value(0).isNull());
    }
    QSqlDatabase::removeDatabase(u"test-read"_s);

    ASSERT_EQ(m_store.open(path()).status, StoreOpenResult::Status::Opened);
    const QList<WatchEntry> reread = m_store.loadAll();
    ASSERT_EQ(reread.size(), 2);
    EXPECT_EQ(reread[1].registry, held.registry);
    EXPECT_EQ(reread[1], held);
    EXPECT_EQ(m_store.recentChecks(u"checked.example"_s, 5), checks);
}

TEST_F(WatchStoreTest, registryStanding_roundTripsEveryVerdictAndReason) {
    ASSERT_EQ(m_store.open(path()).status, StoreOpenResult::Status::Opened);
    const QList<std::pair<RegistryVerdict, NoVerdictReason>> kinds = {
        {RegistryVerdict::Held, NoVerdictReason::None},
        {RegistryVerdict::HeldInRedemption, NoVerdictReason::None},
        {RegistryVerdict::HeldPendingDelete, NoVerdictReason::None},
        {RegistryVerdict::NotHeld, NoVerdictReason::None},
        {RegistryVerdict::NoVerdict, NoVerdictReason::InvalidName},
        {RegistryVerdict::NoVerdict, NoVerdictReason::UnknownRegistry},
        {RegistryVerdict::NoVerdict, NoVerdictReason::Unreachable},
        {RegistryVerdict::NoVerdict, NoVerdictReason::Unreadable},
        {RegistryVerdict::NoVerdict, NoVerdictReason::Refused},
    };
    QList<WatchEntry> written;
    for (qsizetype i = 0; i < kinds.size(); ++i) {
        WatchEntry entry = WatchRules::newEntry(u"n%1.example"_s.arg(i), std::nullopt, kNow);
        entry.registry.verdict = kinds[i].first;
        entry.registry.reason = kinds[i].second;
        entry.registry.answeredAt = kNow.addSecs(i);
        written.append(entry);
    }
    ASSERT_EQ(m_store.addMany(written).size(), written.size());
    ASSERT_EQ(m_store.open(path()).status, StoreOpenResult::Status::Opened);
    EXPECT_EQ(m_store.loadAll(), written);
}
