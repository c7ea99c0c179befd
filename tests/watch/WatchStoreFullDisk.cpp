// Mounts a small tmpfs over argv[1] in a mount namespace of its own (so it needs root, and the
// mount ends with the process), writes a watch list there, fills the disk, and tells what the
// store made of it, one line each:
//   "during <cause>"                       a write after the disk filled during the session
//   "open <status> <cause> <names> <notice>" opening the list on the full disk
// Exits 77 when no namespace or tmpfs could be had.
#include "watch/WatchRules.h"
#include "watch/WatchStore.h"

#include <QCoreApplication>
#include <QFile>

#include <sched.h>
#include <sys/mount.h>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

bool fillDisk(const QString& path) {
    QFile filler(path);
    if (!filler.open(QIODevice::WriteOnly))
        return false;
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    if (unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", argv[1], "tmpfs", 0, "size=2m") != 0)
        return 77;
    QCoreApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString path = folder + u"/watchlist.sqlite"_s;
    const QDateTime now(QDate(2025, 3, 1), QTime(12, 0), Qt::UTC);

    WatchStore store;
    if (store.open(path).status != StoreOpenResult::Status::Opened)
        return 3;
    QList<WatchEntry> names;
    for (int i = 0; i < 3; ++i)
        names.append(WatchRules::newEntry(u"name-%1.example"_s.arg(i), std::nullopt, now));
    if (store.addMany(names).size() != names.size() || !fillDisk(folder + u"/filler"_s))
        return 4;
    // Enough rows that they cannot all fit in the pages the file already has.
    QList<WatchEntry> more;
    for (int i = 0; i < 2000; ++i)
        more.append(WatchRules::newEntry(u"more-%1.example"_s.arg(i), std::nullopt, now));
    const bool written = !store.addMany(more).isEmpty();
    std::printf("during %d\n", written ? -1 : int(store.lastProblem().cause));
    store.close();
    // Closing freed what the file's companions held.
    if (!fillDisk(folder + u"/filler-2"_s))
        return 5;

    const StoreOpenResult opened = store.open(path);
    std::printf("open %d %d %lld %d\n", int(opened.status), int(opened.cause),
                qlonglong(store.loadAll().size()), opened.notice.isEmpty() ? 0 : 1);
    return 0;
}
