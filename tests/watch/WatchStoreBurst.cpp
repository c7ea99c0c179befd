// Opens the watch list at argv[1] and writes changes until it is killed, printing one line after
// each commit: "added <domain>" or "checked <domain> <count>".
#include "watch/WatchRules.h"
#include "watch/WatchStore.h"

#include <QCoreApplication>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    WatchStore store;
    const StoreOpenResult opened = store.open(QString::fromLocal8Bit(argv[1]));
    if (opened.status != StoreOpenResult::Status::Opened)
        return 3;

    const QDateTime start(QDate(2025, 3, 1), QTime(0, 0), Qt::UTC);
    QList<WatchEntry> entries;
    for (int i = 0; i < 1000000; ++i) {
        const QDateTime now = start.addSecs(i);
        const WatchEntry added =
            WatchRules::newEntry(u"burst-%1.example"_s.arg(i), QDate(2025, 3, 2), now);
        if (!store.add(added))
            return 4;
        entries.append(added);
        std::printf("added %s\n", qPrintable(added.domain));
        std::fflush(stdout);

        // Check an earlier name again, so that names collect several checks.
        WatchEntry& checked = entries[i / 2];
        const CheckRecord record{now, 200, CheckVerdict::Registered, u"registered"_s};
        checked = WatchRules::afterCheck(checked, record, 600s);
        if (!store.recordCheck(record, checked))
            return 5;
        std::printf("checked %s %d\n", qPrintable(checked.domain), checked.checkCount);
        std::fflush(stdout);
    }
    return 0;
}
