// A watch list file that can no longer be written (a full disk, a file made read-only): the
// watch goes on in memory, says so, and the file gets what it missed once it can be written.
#include "WatchedList.h"
#include "support/QStringPrinter.h"

#include "watch/WatchRules.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <functional>
#include <iterator>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// Every write of the store's own connection fails in SQLite, as on a read-only file.
void setWritable(bool writable) {
    for (const QString& name : QSqlDatabase::connectionNames())
        ASSERT_TRUE(QSqlQuery(QSqlDatabase::database(name, false))
                        .exec(u"PRAGMA query_only = %1"_s.arg(writable ? 0 : 1)));
}

class WatchStoreFailure : public WatchedList {
protected:
    void SetUp() override {
        WatchedList::SetUp();
        ASSERT_TRUE(monitor->add(u"kept.example"_s));
        answer(CheckVerdict::Registered);
        advanceSeconds(1);
        setWritable(false);
        ASSERT_FALSE(store.add(WatchRules::newEntry(u"probe.example"_s, std::nullopt, now)));
    }
};

} // namespace

TEST_F(WatchStoreFailure, everyChangeIsAppliedInMemoryAndReported) {
    QSignalSpy failed(monitor.get(), &WatchMonitor::storeFailed);
    const auto watched = [&](const QString& domain) { return monitor->entry(domain); };
    const std::pair<std::function<void()>, std::function<bool()>> changes[] = {
        {[&] {
             monitor->addMany({{u"new.example"_s, {}}});
         },
         [&] { return watched(u"new.example"_s).has_value(); }},
        {[&] { answer(CheckVerdict::Registered); },
         [&] { return watched(u"new.example"_s).value_or(WatchEntry()).checkCount == 1; }},
        {[&] { monitor->setInterval(90s); }, [&] { return monitor->interval() == 90s; }},
        {[&] { monitor->remove({u"kept.example"_s}); },
         [&] { return !watched(u"kept.example"_s).has_value(); }},
    };
    for (size_t i = 0; i < std::size(changes); ++i) {
        const qsizetype before = failed.size();
        changes[i].first();
        EXPECT_TRUE(changes[i].second()) << "change " << i << " was lost";
        ASSERT_GT(failed.size(), before) << "change " << i << " was not reported";
    }
    advanceSeconds(90);
    EXPECT_EQ(asked.size(), 3) << "the watch goes on at the new interval";
}

TEST_F(WatchStoreFailure, theFileGetsWhatItMissedOnceItCanBeWrittenAgain) {
    monitor->remove({u"kept.example"_s});
    monitor->setInterval(90s);
    monitor->addMany({{u"new.example"_s, {}}});
    setWritable(true);
    QSignalSpy failed(monitor.get(), &WatchMonitor::storeFailed);
    // Its row removed only in memory, the name comes back as new, without its old checks.
    monitor->addMany({{u"kept.example"_s, QDate(2025, 4, 1)}});
    answer(CheckVerdict::Registered); // new.example's check
    EXPECT_TRUE(failed.isEmpty()) << failed.value(0).value(0).toString().toStdString();
    QMap<QString, WatchEntry> stored;
    for (const WatchEntry& entry : store.loadAll())
        stored.insert(entry.domain, entry);
    ASSERT_EQ(stored.size(), monitor->entries().size());
    for (const WatchEntry& entry : monitor->entries())
        EXPECT_EQ(stored.value(entry.domain), entry) << entry.domain.toStdString();
    EXPECT_TRUE(store.recentChecks(u"kept.example"_s, 5).isEmpty());
    EXPECT_EQ(store.recentChecks(u"new.example"_s, 5).size(), 1);
    EXPECT_EQ(store.interval(), 90s);
}
