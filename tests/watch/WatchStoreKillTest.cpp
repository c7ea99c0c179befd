#include "support/QStringPrinter.h"

#include "watch/WatchStore.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// What the writer reported as committed before it was killed.
struct Reported {
    QHash<QString, int> checkCounts; // every added name, with its highest reported count
    int lines = 0;
};

void readLines(QProcess& writer, Reported& reported) {
    while (writer.canReadLine()) {
        const QStringList words = QString::fromUtf8(writer.readLine()).trimmed().split(u' ');
        ++reported.lines;
        if (words.size() == 2 && words[0] == u"added"_s)
            reported.checkCounts.insert(words[1], 0);
        else if (words.size() == 3 && words[0] == u"checked"_s)
            reported.checkCounts[words[1]] = words[2].toInt();
        else
            ADD_FAILURE() << "unexpected line: " << words.join(u' ').toStdString();
    }
}

} // namespace

TEST(WatchStoreKill, killDuringABurstOfWrites_losesNothingReportedAndLeavesTheFileSound) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"watchlist.sqlite"_s);
    constexpr int kLinesBeforeKill = 2000;

    QProcess writer;
    writer.start(QStringLiteral(WATCH_STORE_BURST), {path});
    ASSERT_TRUE(writer.waitForStarted());
    Reported reported;
    while (reported.lines < kLinesBeforeKill) {
        ASSERT_TRUE(writer.waitForReadyRead(30000))
            << "the writer stopped: " << writer.readAllStandardError().toStdString();
        readLines(writer, reported);
    }
    writer.kill();
    ASSERT_TRUE(writer.waitForFinished());
    EXPECT_EQ(writer.exitStatus(), QProcess::CrashExit);
    // Lines already in the pipe were printed after their commits.
    readLines(writer, reported);
    EXPECT_TRUE(QFile::exists(WatchStore::uncleanExitMarker(path)))
        << "the next start must know the last one ended uncleanly";

    WatchStore store;
    const StoreOpenResult result = store.open(path);
    ASSERT_EQ(result.status, StoreOpenResult::Status::Opened) << result.error.toStdString();
    QHash<QString, int> stored;
    for (const WatchEntry& entry : store.loadAll())
        stored.insert(entry.domain, entry.checkCount);

    int checksReported = 0;
    for (auto it = reported.checkCounts.cbegin(); it != reported.checkCounts.cend(); ++it) {
        ASSERT_TRUE(stored.contains(it.key())) << it.key().toStdString() << " was lost";
        EXPECT_GE(stored.value(it.key()), it.value()) << it.key().toStdString();
        EXPECT_GE(store.recentChecks(it.key(), WatchStore::kChecksKeptPerName).size(),
                  std::min(it.value(), WatchStore::kChecksKeptPerName));
        checksReported += it.value();
    }
    // At most the one change in flight when the kill came may be there without its line.
    EXPECT_LE(stored.size(), reported.checkCounts.size() + 1);
    std::printf("kill test: %d lines read, %lld names and %d checks reported, %lld names stored\n",
                reported.lines, qlonglong(reported.checkCounts.size()), checksReported,
                qlonglong(stored.size()));
}
