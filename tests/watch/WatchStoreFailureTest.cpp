// A watch list file that can no longer be written (a full disk, a file made read-only): the
// watch goes on in memory and says so.
#include "WatchPrinters.h"
#include "WatchedList.h"
#include "support/QStringPrinter.h"

#include "watch/WatchRules.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// Makes every write of the store's own connection fail in SQLite, as on a read-only file.
void setWritable(bool writable) {
    for (const QString& name : QSqlDatabase::connectionNames()) {
        QSqlQuery query(QSqlDatabase::database(name, false));
        ASSERT_TRUE(query.exec(u"PRAGMA query_only = %1"_s.arg(writable ? 0 : 1)));
    }
}

class WatchStoreFailureTest : public WatchedList {
protected:
    void SetUp() override {
        WatchedList::SetUp();
        ASSERT_TRUE(monitor->add(u"kept.example"_s));
        answer(CheckVerdict::Registered);
        advanceSeconds(1);
        setWritable(false);
        ASSERT_FALSE(store.add(WatchRules::newEntry(u"probe.example"_s, std::nullopt, now)))
            << "the store can still write";
    }
};

} // namespace

TEST_F(WatchStoreFailureTest, everyChangeIsAppliedInMemoryAndReported) {
    QSignalSpy failed(monitor.get(), &WatchMonitor::storeFailed);
    const struct {
        const char* change;
        std::function<void()> make;
        std::function<bool()> applied;
    } changes[] = {
        {"add",
         [&] {
             EXPECT_EQ(monitor->addMany({{u"new.example"_s, {}}}), 1);
         },
         [&] { return monitor->entry(u"new.example"_s).has_value(); }},
        {"check", [&] { answer(CheckVerdict::Registered); },
         [&] {
             const std::optional<WatchEntry> entry = monitor->entry(u"new.example"_s);
             return entry && entry->checkCount == 1;
         }},
        {"interval", [&] { monitor->setInterval(90s); },
         [&] { return monitor->interval() == 90s; }},
        {"remove", [&] { EXPECT_EQ(monitor->remove({u"kept.example"_s}), 1); },
         [&] { return !monitor->entry(u"kept.example"_s).has_value(); }},
    };
    for (const auto& c : changes) {
        const qsizetype before = failed.size();
        c.make();
        EXPECT_TRUE(c.applied()) << c.change << " was lost";
        ASSERT_GT(failed.size(), before) << c.change << " was not reported";
        EXPECT_FALSE(failed.back().front().toString().isEmpty()) << c.change;
    }
    // The watch goes on: the name added while the file failed is checked again after the new
    // interval.
    advanceSeconds(90);
    EXPECT_EQ(asked.size(), 3);
}

TEST_F(WatchStoreFailureTest, whatTheFileMissedIsWrittenOnceItTakesWritesAgain) {
    ASSERT_EQ(monitor->remove({u"kept.example"_s}), 1);
    monitor->setInterval(90s);
    ASSERT_EQ(monitor->addMany({{u"new.example"_s, {}}}), 1);
    setWritable(true);
    answer(CheckVerdict::Registered);
    QStringList stored;
    for (const WatchEntry& entry : store.loadAll())
        stored << entry.domain + u":"_s + QString::number(entry.checkCount);
    EXPECT_EQ(stored, QStringList{u"new.example:1"_s});
    EXPECT_EQ(store.recentChecks(u"new.example"_s, 5).size(), 1);
    EXPECT_EQ(store.interval(), 90s);
}

TEST_F(WatchStoreFailureTest, aNameRemovedWhileTheFileFailedCanBeAddedAgain) {
    ASSERT_EQ(monitor->remove({u"kept.example"_s}), 1);
    setWritable(true);
    QSignalSpy failed(monitor.get(), &WatchMonitor::storeFailed);
    ASSERT_EQ(monitor->addMany({{u"kept.example"_s, QDate(2025, 4, 1)}}), 1);
    EXPECT_TRUE(failed.isEmpty()) << failed.value(0).value(0).toString().toStdString();
    const QList<WatchEntry> stored = store.loadAll();
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0], *monitor->entry(u"kept.example"_s)) << "the old row was left as it was";
    EXPECT_TRUE(store.recentChecks(u"kept.example"_s, 5).isEmpty()) << "the old checks stayed";
}
