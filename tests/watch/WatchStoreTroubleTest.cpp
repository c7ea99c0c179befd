// A watch list file that cannot be written, opened, or trusted: only proven damage moves it.
#include "V1WatchList.h"
#include "support/QStringPrinter.h"

#include "watch/WatchRules.h"
#include "watch/WatchRunner.h"
#include "watch/WatchStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QDateTime kNow(QDate(2025, 3, 1), QTime(12, 0), Qt::UTC);
constexpr uid_t kNobody = 65534;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList listing(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                  QDir::Name);
}

// Permissions do not stop root: while it lives, the process acts as an unprivileged user (real
// and effective ids both, since QFileInfo asks access()), and is root again afterwards.
class Unprivileged {
public:
    Unprivileged() : m_wasRoot(geteuid() == 0) {
        m_ok = !m_wasRoot ||
               (setresgid(kNobody, kNobody, 0) == 0 && setresuid(kNobody, kNobody, 0) == 0);
    }
    ~Unprivileged() {
        if (m_wasRoot && (setresuid(0, 0, 0) != 0 || setresgid(0, 0, 0) != 0))
            std::abort();
    }
    bool ok() const { return m_ok; }

private:
    bool m_wasRoot;
    bool m_ok = false;
};

// The notice is the user's: Chinese, with nothing English in it but the file's place.
void expectChineseNotice(const QString& notice, const QString& path) {
    EXPECT_TRUE(notice.contains(path)) << notice.toStdString();
    QString rest = notice;
    rest.remove(path);
    EXPECT_FALSE(rest.contains(QRegularExpression(u"[A-Za-z]"_s))) << notice.toStdString();
    EXPECT_TRUE(rest.contains(QRegularExpression(u"\\p{Han}"_s))) << notice.toStdString();
}

// Overwrites the page that holds a b-tree's root (or, with rightmostChild, the root's last child)
// with bytes no page can start with.
void damagePage(const QString& path, const QString& btree, bool rightmostChild) {
    int root = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"test-damage"_s);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(
            query.exec(u"SELECT rootpage FROM sqlite_master WHERE name = '%1'"_s.arg(btree)));
        ASSERT_TRUE(query.next());
        root = query.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(u"test-damage"_s);
    ASSERT_FALSE(QFile::exists(path + u"-wal"_s)) << "the log must be folded in first";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    constexpr qint64 kPage = 4096;
    qint64 page = root;
    if (rightmostChild) {
        ASSERT_TRUE(file.seek((root - 1) * kPage));
        const QByteArray header = file.read(12);
        ASSERT_EQ(header.at(0), 0x05) << "the root must be an interior page";
        page = qFromBigEndian<quint32>(header.constData() + 8);
    }
    ASSERT_TRUE(file.seek((page - 1) * kPage));
    ASSERT_EQ(file.write(QByteArray(kPage, '\xff')), kPage);
}

class WatchStoreTroubleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(m_dir.path()).mkdir(u"list"_s));
        // The unprivileged user must reach the folder.
        ASSERT_TRUE(QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                            QFile::ExeOwner | QFile::ExeOther));
    }
    void TearDown() override {
        QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString folder() const { return m_dir.filePath(u"list"_s); }
    QString path() const { return folder() + u"/watchlist.sqlite"_s; }

    // A list of two names, one of them checked, and its interval, closed as the program does.
    void writeList(int names = 2, int checksEach = 1) {
        WatchStore store;
        ASSERT_EQ(store.open(path()).status, StoreOpenResult::Status::Opened);
        QList<WatchEntry> entries;
        for (int i = 0; i < names; ++i)
            entries.append(
                WatchRules::newEntry(u"name-%1.example"_s.arg(i), QDate(2025, 3, 9), kNow));
        ASSERT_EQ(store.addMany(entries).size(), names);
        for (int i = 0; i < names; ++i) {
            for (int c = 0; c < checksEach; ++c) {
                const CheckRecord record{kNow.addSecs(c), 200, CheckVerdict::Registered,
                                         u"taken"_s};
                entries[i] = WatchRules::afterCheck(entries[i], record, 600s);
                ASSERT_TRUE(store.recordCheck(record, entries[i]));
            }
        }
        ASSERT_TRUE(store.setInterval(90s));
        m_entries = store.loadAll();
        store.close();
    }

    QTemporaryDir m_dir;
    QList<WatchEntry> m_entries;
};

struct Unwritable {
    const char* name;
    QFile::Permissions file;
    QFile::Permissions folder;
    StoreOpenResult::Status status;
    StoreProblem::Cause cause;
};

constexpr QFile::Permissions kReadOnly = QFile::ReadOwner | QFile::ReadOther;
constexpr QFile::Permissions kReadWrite =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther;
constexpr QFile::Permissions kFolderReadOnly =
    QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
constexpr QFile::Permissions kFolderOpen = kFolderReadOnly | QFile::WriteOwner | QFile::WriteOther;

const Unwritable kUnwritable[] = {
    {"readOnlyFile", kReadOnly, kFolderOpen, StoreOpenResult::Status::ReadOnly,
     StoreProblem::Cause::ReadOnlyFile},
    {"readOnlyFolder", kReadWrite, kFolderReadOnly, StoreOpenResult::Status::ReadOnly,
     StoreProblem::Cause::ReadOnlyFolder},
    {"readOnlyFileInReadOnlyFolder", kReadOnly, kFolderReadOnly, StoreOpenResult::Status::ReadOnly,
     StoreProblem::Cause::ReadOnlyFile},
    {"unreadableFile",
     {},
     kFolderOpen,
     StoreOpenResult::Status::InMemory,
     StoreProblem::Cause::NoPermission},
};

} // namespace

TEST_F(WatchStoreTroubleTest, fileThatCannotBeWritten_staysUntouchedAndItsListWorksInMemory) {
    for (const Unwritable& c : kUnwritable) {
        SCOPED_TRACE(c.name);
        QFile::remove(path());
        writeList();
        const QByteArray bytes = readAll(path());
        const QStringList files = listing(folder());
        ASSERT_TRUE(QFile::setPermissions(path(), c.file));
        ASSERT_TRUE(QFile::setPermissions(folder(), c.folder));
        {
            Unprivileged user;
            if (!user.ok())
                GTEST_SKIP() << "cannot act as an unprivileged user, so permissions stop nothing";
            WatchStore store;
            const StoreOpenResult result = store.open(path());
            EXPECT_EQ(result.status, c.status) << result.error.toStdString();
            EXPECT_EQ(result.cause, c.cause);
            expectChineseNotice(result.notice, path());
            if (c.status == StoreOpenResult::Status::ReadOnly) {
                EXPECT_EQ(store.loadAll(), m_entries);
                EXPECT_EQ(store.recentChecks(u"name-1.example"_s, 5).size(), 1);
                EXPECT_EQ(store.interval(), 90s);
            } else {
                EXPECT_TRUE(store.loadAll().isEmpty());
            }
            const WatchEntry added = WatchRules::newEntry(u"new.example"_s, std::nullopt, kNow);
            EXPECT_TRUE(store.add(added)) << "changes go on in memory";
            EXPECT_TRUE(store.loadAll().contains(added));
        }
        ASSERT_TRUE(QFile::setPermissions(folder(), kFolderOpen));
        ASSERT_TRUE(QFile::setPermissions(path(), kReadWrite));
        EXPECT_EQ(listing(folder()), files) << "nothing moved, nothing left beside it";
        EXPECT_EQ(readAll(path()), bytes);
    }
}

TEST_F(WatchStoreTroubleTest, readOnlyFileMadeWritableAgain_isWrittenAgain) {
    writeList();
    ASSERT_TRUE(QFile::setPermissions(folder(), kFolderOpen));
    ASSERT_TRUE(QFile::setPermissions(path(), kReadOnly));
    {
        Unprivileged user;
        if (!user.ok())
            GTEST_SKIP() << "cannot act as an unprivileged user, so permissions stop nothing";
        WatchStore store;
        ASSERT_EQ(store.open(path()).status, StoreOpenResult::Status::ReadOnly);
    }
    ASSERT_TRUE(QFile::setPermissions(path(), kReadWrite));
    Unprivileged user;
    WatchStore store;
    const StoreOpenResult result = store.open(path());
    ASSERT_EQ(result.status, StoreOpenResult::Status::Opened) << result.error.toStdString();
    EXPECT_TRUE(store.add(WatchRules::newEntry(u"new.example"_s, std::nullopt, kNow)))
        << store.lastError().toStdString();
}

TEST_F(WatchStoreTroubleTest, fileLockedByAWriterElsewhere_isReadAndLeftAlone) {
    writeList();
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"test-writer"_s);
        other.setDatabaseName(path());
        ASSERT_TRUE(other.open());
        QSqlQuery query(other);
        ASSERT_TRUE(query.exec(u"BEGIN IMMEDIATE"_s));
        ASSERT_TRUE(query.exec(u"UPDATE watched SET check_count = 7"_s));

        WatchStore store;
        const StoreOpenResult result = store.open(path());
        EXPECT_EQ(result.status, StoreOpenResult::Status::ReadOnly) << result.error.toStdString();
        EXPECT_EQ(result.cause, StoreProblem::Cause::Locked);
        expectChineseNotice(result.notice, path());
        EXPECT_EQ(store.loadAll(), m_entries) << "what was committed is read";
        store.close();
        EXPECT_TRUE(query.exec(u"COMMIT"_s)) << "the other program's change goes through";
    }
    QSqlDatabase::removeDatabase(u"test-writer"_s);
    WatchStore store;
    ASSERT_EQ(store.open(path()).status, StoreOpenResult::Status::Opened);
    EXPECT_EQ(store.loadAll().value(0).checkCount, 7);
}

TEST_F(WatchStoreTroubleTest, fileHeldExclusivelyElsewhere_isNotMovedAndTheListWorksInMemory) {
    writeList();
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"test-holder"_s);
        other.setDatabaseName(path());
        ASSERT_TRUE(other.open());
        QSqlQuery query(other);
        ASSERT_TRUE(query.exec(u"PRAGMA locking_mode = EXCLUSIVE"_s));
        ASSERT_TRUE(query.exec(u"SELECT count(*) FROM watched"_s) && query.next());

        WatchStore store;
        const StoreOpenResult result = store.open(path());
        EXPECT_EQ(result.status, StoreOpenResult::Status::InMemory) << result.error.toStdString();
        EXPECT_EQ(result.cause, StoreProblem::Cause::Locked);
        expectChineseNotice(result.notice, path());
        EXPECT_TRUE(store.add(WatchRules::newEntry(u"new.example"_s, std::nullopt, kNow)));
    }
    QSqlDatabase::removeDatabase(u"test-holder"_s);
    EXPECT_EQ(listing(folder()), QStringList{u"watchlist.sqlite"_s});
    WatchStore store;
    ASSERT_EQ(store.open(path()).status, StoreOpenResult::Status::Opened);
    EXPECT_EQ(store.loadAll(), m_entries);
}

TEST_F(WatchStoreTroubleTest, pathThatCannotBeOpened_givesAListInMemory) {
    struct Case {
        const char* name;
        QString path;
        StoreProblem::Cause cause;
    };
    QFile plain(m_dir.filePath(u"plain-file"_s));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    ASSERT_TRUE(QDir(folder()).mkdir(u"a-folder.sqlite"_s));
    const Case cases[] = {
        {"folderIsAFile", plain.fileName() + u"/watchlist.sqlite"_s,
         StoreProblem::Cause::CannotOpen},
        {"pathIsAFolder", folder() + u"/a-folder.sqlite"_s, StoreProblem::Cause::CannotOpen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList before = listing(folder());
        WatchStore store;
        const StoreOpenResult result = store.open(c.path);
        EXPECT_EQ(result.status, StoreOpenResult::Status::InMemory) << result.error.toStdString();
        EXPECT_EQ(result.cause, c.cause);
        expectChineseNotice(result.notice, c.path);
        EXPECT_TRUE(store.loadAll().isEmpty());
        EXPECT_TRUE(store.add(WatchRules::newEntry(u"new.example"_s, std::nullopt, kNow)));
        EXPECT_EQ(store.loadAll().size(), 1);
        store.close();
        EXPECT_EQ(listing(folder()), before) << "nothing was moved or made";
    }
}

TEST_F(WatchStoreTroubleTest, markerLiesBesideTheFileWhileOpenAndGoesOnACleanClose) {
    const QString marker = WatchStore::uncleanExitMarker(path());
    WatchStore store;
    ASSERT_EQ(store.open(path()).status, StoreOpenResult::Status::Opened);
    EXPECT_TRUE(QFile::exists(marker));
    store.close();
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_EQ(listing(folder()), QStringList{u"watchlist.sqlite"_s});
}

TEST_F(WatchStoreTroubleTest, pageDamagedOutOfTheStartsSight_isCaughtByTheCheckAfterAnUncleanExit) {
    writeList(400, 3);
    damagePage(path(), u"check_log_by_name"_s, false);
    const QByteArray damaged = readAll(path());
    {
        WatchStore store;
        const StoreOpenResult clean = store.open(path());
        EXPECT_EQ(clean.status, StoreOpenResult::Status::Opened)
            << "after a clean exit the start does not check the whole file";
    }
    QFile marker(WatchStore::uncleanExitMarker(path()));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    WatchStore store;
    const StoreOpenResult result = store.open(path());
    ASSERT_EQ(result.status, StoreOpenResult::Status::MovedAside) << result.error.toStdString();
    EXPECT_EQ(result.cause, StoreProblem::Cause::Damaged);
    EXPECT_EQ(readAll(result.movedTo), damaged);
    expectChineseNotice(result.notice, result.movedTo);
    EXPECT_TRUE(store.loadAll().isEmpty());
}

TEST_F(WatchStoreTroubleTest, damageFoundWhileTheListIsRead_movesTheFileAsideBeforeAnyWrite) {
    writeList(2000, 0);
    damagePage(path(), u"watched"_s, true);
    const QByteArray damaged = readAll(path());
    WatchRunner runner(u"http://127.0.0.1:9"_s, [] { return kNow; });
    const StoreOpenResult result = runner.open(path());
    ASSERT_EQ(result.status, StoreOpenResult::Status::MovedAside) << result.error.toStdString();
    EXPECT_EQ(readAll(result.movedTo), damaged);
    EXPECT_TRUE(runner.monitor().entries().isEmpty());
    runner.monitor().setHeld(true);
    EXPECT_TRUE(runner.monitor().add(u"fresh.example"_s));
}

TEST(WatchStoreFullDisk, listOnAFullDiskIsReadAndWritesSayTheDiskIsFull) {
    if (geteuid() != 0)
        GTEST_SKIP() << "the full disk is a small tmpfs in a mount namespace: that needs root";
    QTemporaryDir dir;
    QProcess helper;
    helper.start(QStringLiteral(WATCH_STORE_FULL_DISK), {dir.path()});
    ASSERT_TRUE(helper.waitForFinished(60000));
    if (helper.exitStatus() == QProcess::NormalExit && helper.exitCode() == 77)
        GTEST_SKIP() << "no mount namespace or tmpfs could be had here";
    ASSERT_EQ(helper.exitCode(), 0) << helper.readAllStandardError().toStdString();
    const QStringList lines =
        QString::fromUtf8(helper.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    const int full = int(StoreProblem::Cause::DiskFull);
    EXPECT_EQ(
        lines,
        (QStringList{u"during %1"_s.arg(full),
                     u"open %1 %2 3 1"_s.arg(int(StoreOpenResult::Status::ReadOnly)).arg(full)}));
}

TEST(StoreProblem, sqliteCodesGiveTheirCauseAndOnlyDamageIsProof) {
    using Cause = StoreProblem::Cause;
    const std::pair<int, Cause> codes[] = {
        {5, Cause::Locked},
        {6, Cause::Locked},
        {8, Cause::ReadOnlyFile},
        {8 | 6 << 8, Cause::ReadOnlyFolder},
        {13, Cause::DiskFull},
        {11, Cause::Damaged},
        {26, Cause::Damaged},
        {14, Cause::CannotOpen},
        {3, Cause::NoPermission},
        {10, Cause::IoError},
        {10 | 1 << 8, Cause::IoError},
        {1, Cause::Unexpected},
        {7, Cause::Unexpected},
    };
    for (const auto& [code, cause] : codes) {
        EXPECT_EQ(StoreProblemCauseOfSqlite(code), cause) << code;
        EXPECT_EQ(StoreProblem{cause}.provesDamage(), cause == Cause::Damaged) << code;
    }
    for (int c = int(Cause::DiskFull); c <= int(Cause::Unexpected); ++c) {
        const QString reason = StoreProblem{Cause(c)}.reason();
        EXPECT_TRUE(reason.contains(QRegularExpression(u"^\\p{Han}+$"_s))) << reason.toStdString();
    }
}

TEST_F(WatchStoreTroubleTest, versionOneFileThatCannotBeWritten_isReadIntoMemoryUntouched) {
    MakeV1WatchList(path());
    const QByteArray bytes = readAll(path());
    ASSERT_TRUE(QFile::setPermissions(path(), kReadOnly));
    {
        Unprivileged user;
        if (!user.ok())
            GTEST_SKIP() << "cannot act as an unprivileged user, so permissions stop nothing";
        WatchStore store;
        const StoreOpenResult result = store.open(path());
        ASSERT_EQ(result.status, StoreOpenResult::Status::ReadOnly) << result.error.toStdString();
        const QList<WatchEntry> entries = store.loadAll();
        ASSERT_EQ(entries.size(), 2);
        EXPECT_EQ(entries[1].domain, u"checked.example"_s);
        EXPECT_EQ(entries[1].checkCount, 1);
        EXPECT_EQ(store.recentChecks(u"checked.example"_s, 5).size(), 1);
        // The list in memory has the newest columns.
        WatchEntry held = entries[1];
        held.registry.verdict = RegistryVerdict::Held;
        held.registry.answeredAt = kNow;
        ASSERT_TRUE(store.updateMany({held}));
        EXPECT_EQ(store.loadAll().value(1), held);
    }
    ASSERT_TRUE(QFile::setPermissions(path(), kReadWrite));
    EXPECT_EQ(readAll(path()), bytes) << "a file that cannot be written is not migrated";
}
