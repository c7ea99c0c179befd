// The watch list with 10,000 watched names, none due for weeks, each with a log of 50 checks:
// what it adds to the start (after a clean exit and after an unclean one) and to resident memory,
// one pass of the scheduler, the watch list window's opening, and the processor use of the idle
// program between checks. The window is shown offscreen unless told otherwise. Prints one line of
// JSON.
//
// usage: morrowcatch-bench-watch-list [IDLE-SECONDS]
#include "BenchWindow.h"
#include "PaintSeen.h"
#include "ProcStatus.h"
#include "ProcessorTime.h"
#include "ThreadClock.h"
#include "WatchedNames.h"

#include "app/WatchListWindow.h"
#include "watch/WatchListModel.h"
#include "watch/WatchRunner.h"
#include "watch/WatchSchedule.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kWatchedNames = 10000;
constexpr int kChecksPerName = WatchStore::kChecksKeptPerName;
constexpr int kRepetitions = 9;
constexpr int kPasses = 201;
constexpr int kPaintTimeLimitMs = 10000;

struct Timing {
    double wallMs = 0;
    double threadCpuMs = 0;
};

Timing timed(const std::function<void()>& work) {
    QElapsedTimer wall;
    const double cpu = ThreadProcessorSeconds();
    wall.start();
    work();
    return {static_cast<double>(wall.nsecsElapsed()) / 1e6, (ThreadProcessorSeconds() - cpu) * 1e3};
}

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values[values.size() / 2];
}

QJsonObject medians(const QList<Timing>& timings) {
    QList<double> wall, cpu;
    for (const Timing& timing : timings) {
        wall.append(timing.wallMs);
        cpu.append(timing.threadCpuMs);
    }
    return {{QStringLiteral("wall_ms"), median(wall)},
            {QStringLiteral("thread_cpu_ms"), median(cpu)},
            {QStringLiteral("runs"), int(timings.size())}};
}

AppConfig windowConfig(const QString& watchListPath) {
    AppConfig config;
    // The discard port: no check may reach a real service (none is due anyway).
    config.listBase = QStringLiteral("http://127.0.0.1:9/?");
    config.checkBase = QStringLiteral("http://127.0.0.1:9");
    config.now = MovingBenchClock();
    config.today = [] { return BenchNow().date(); };
    config.watchListPath = watchListPath;
    return config;
}

// Resident memory after an empty list is open (the program always opens one), after the list
// of 10,000 names is open and loaded, and after the watch list window's model is made over it.
QJsonObject memoryAdded(const QString& emptyPath, const QString& fullPath) {
    WatchRunner empty(QStringLiteral("http://127.0.0.1:9"), MovingBenchClock());
    empty.open(emptyPath);
    const qint64 beforeKb = ProcStatusKilobytes(QStringLiteral("VmRSS"));
    WatchRunner full(QStringLiteral("http://127.0.0.1:9"), MovingBenchClock());
    const bool opened = full.open(fullPath).usable();
    const qint64 listKb = ProcStatusKilobytes(QStringLiteral("VmRSS"));
    WatchListModel model(full.monitor(), full.store());
    const qint64 modelKb = ProcStatusKilobytes(QStringLiteral("VmRSS"));
    return {{QStringLiteral("before_kb"), beforeKb},
            {QStringLiteral("list_added_kb"), listKb - beforeKb},
            {QStringLiteral("model_added_kb"), modelKb - listKb},
            {QStringLiteral("entries"), int(full.monitor().entries().size())},
            {QStringLiteral("model_rows"), model.rowCount()},
            {QStringLiteral("opened"), opened}};
}

// What a killed or crashed program leaves beside its list: the next start checks the whole file.
void leaveUncleanExitMarker(const QString& path) {
    QFile marker(WatchStore::uncleanExitMarker(path));
    if (!marker.open(QIODevice::WriteOnly))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(marker.fileName()));
}

// The main window's construction with the long list and with an empty one, taken in turns so
// that both see the same load on the machine; the same after an unclean exit; and the list's
// opening and loading alone, as the program does it, after a clean and an unclean exit.
QJsonObject startUpAdded(const QString& emptyPath, const QString& fullPath) {
    QList<Timing> withList, withEmpty, openAlone, withListUnclean, openAloneUnclean;
    bool allOpened = true;
    const auto openAndLoad = [&] {
        WatchRunner list(QStringLiteral("http://127.0.0.1:9"), MovingBenchClock());
        Timing timing = timed([&] {
            allOpened = list.open(fullPath).status == StoreOpenResult::Status::Opened && allOpened;
        });
        allOpened = list.monitor().entries().size() == kWatchedNames && allOpened;
        return timing;
    };
    for (int i = 0; i < kRepetitions; ++i) {
        withEmpty.append(timed([&] { MainWindow window(windowConfig(emptyPath)); }));
        withList.append(timed([&] { MainWindow window(windowConfig(fullPath)); }));
        openAlone.append(openAndLoad());
        leaveUncleanExitMarker(fullPath);
        withListUnclean.append(timed([&] { MainWindow window(windowConfig(fullPath)); }));
        leaveUncleanExitMarker(fullPath);
        openAloneUnclean.append(openAndLoad());
    }
    return {{QStringLiteral("window_with_list"), medians(withList)},
            {QStringLiteral("window_with_empty_list"), medians(withEmpty)},
            {QStringLiteral("open_and_load"), medians(openAlone)},
            {QStringLiteral("window_with_list_after_unclean_exit"), medians(withListUnclean)},
            {QStringLiteral("open_and_load_after_unclean_exit"), medians(openAloneUnclean)},
            {QStringLiteral("all_opened"), allOpened}};
}

// One pass of the scheduler over the list: the monitor's own, with nothing due, and the scan
// alone that it is made of.
QJsonObject schedulerPass(WatchRunner& list) {
    QList<Timing> runDue, scan;
    WatchMonitor& monitor = list.monitor();
    const QDateTime now = BenchNow();
    for (int i = 0; i < kPasses; ++i) {
        runDue.append(timed([&] { monitor.runDue(); }));
        scan.append(timed([&] {
            const WatchSchedule schedule = WatchSchedule::scan(monitor.entries(), now);
            if (schedule.mostOverdue >= 0)
                std::fprintf(stderr, "a name is due: the pass is not the idle one\n");
        }));
    }
    return {{QStringLiteral("run_due"), medians(runDue)},
            {QStringLiteral("scan"), medians(scan)},
            {QStringLiteral("checking"), monitor.isChecking()}};
}

// From the watch list window's construction to its table's first paint.
QJsonObject windowOpening(WatchRunner& list) {
    QList<Timing> openings;
    bool painted = true;
    for (int i = 0; i < kRepetitions; ++i) {
        PaintSeen paint;
        openings.append(timed([&] {
            WatchListWindow window(list.monitor(), list.store());
            window.view()->viewport()->installEventFilter(&paint);
            window.showAndRaise();
            QElapsedTimer limit;
            limit.start();
            while (!paint.seen && limit.elapsed() < kPaintTimeLimitMs)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }));
        painted = painted && paint.seen;
    }
    QJsonObject result = medians(openings);
    result.insert(QStringLiteral("painted"), painted);
    return result;
}

// The whole process's processor time over an idle stretch of the event loop, with the main
// window shown and the long list watched.
QJsonObject idleUse(const QString& fullPath, int idleSeconds) {
    std::unique_ptr<MainWindow> window = MakeShownWindow(windowConfig(fullPath));
    // The start's own work (first paints, the first pass) is over before the measurement.
    QTest::qWait(2000);
    QEventLoop idle;
    QTimer::singleShot(idleSeconds * 1000, Qt::PreciseTimer, &idle, &QEventLoop::quit);
    QElapsedTimer wall;
    const double cpu = ProcessorSeconds();
    wall.start();
    idle.exec();
    const double cpuMs = (ProcessorSeconds() - cpu) * 1e3;
    const double wallMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    return {{QStringLiteral("cpu_ms"), cpuMs},
            {QStringLiteral("wall_ms"), wallMs},
            {QStringLiteral("percent_of_core"), 100.0 * cpuMs / wallMs},
            {QStringLiteral("entries"), int(window->watchList().monitor().entries().size())},
            {QStringLiteral("checking"), window->watchList().monitor().isChecking()}};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int idleSeconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10;
    QTemporaryDir folder;
    const QString fullPath = folder.filePath(QStringLiteral("watchlist-10000.sqlite"));
    const QString emptyPath = folder.filePath(QStringLiteral("watchlist-empty.sqlite"));
    if (idleSeconds < 1 || !folder.isValid() ||
        !WriteWatchedNames(fullPath, kWatchedNames, BenchNow()) ||
        !WriteCheckLogs(fullPath, kChecksPerName, BenchNow()) ||
        !WriteWatchedNames(emptyPath, 0, BenchNow())) {
        std::fprintf(stderr, "usage: %s [IDLE-SECONDS]; the list files could not be written\n",
                     argv[0]);
        return 1;
    }

    QJsonObject report{{QStringLiteral("names"), kWatchedNames},
                       {QStringLiteral("checks_per_name"), kChecksPerName},
                       {QStringLiteral("platform"), QGuiApplication::platformName()}};
    // First, while the process's heap holds nothing else of this benchmark.
    report.insert(QStringLiteral("memory"), memoryAdded(emptyPath, fullPath));
    report.insert(QStringLiteral("start_up"), startUpAdded(emptyPath, fullPath));
    {
        WatchRunner list(QStringLiteral("http://127.0.0.1:9"), MovingBenchClock());
        list.open(fullPath);
        report.insert(QStringLiteral("scheduler_pass"), schedulerPass(list));
        report.insert(QStringLiteral("window_opening"), windowOpening(list));
    }
    report.insert(QStringLiteral("idle"), idleUse(fullPath, idleSeconds));
    std::printf("%s\n", QJsonDocument(report).toJson(QJsonDocument::Compact).constData());
    return 0;
}
