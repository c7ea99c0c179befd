// The catch latency: names listed with their drop moments, watched as the program watches them,
// against the stand-in run as a separate process whose names drop across a spread of seconds.
// Two watches run side by side, each against a stand-in of its own with the same names: one
// asks closely around each name's expected drop, the other only at the interval. For each, the
// time from every name's drop to its announcement and the questions asked about each name on
// its drop day (the stand-in's request log). Both clocks run ahead of the machine's by the same
// offset, so that the drops come a little after the start. Prints one line of JSON.
//
// usage: morrowcatch-bench-catch PATH-TO-morrowcatch-sandbox [NAMES] [SPREAD-SECONDS]
#include "EveryName.h"
#include "results/ResultListModel.h"
#include "results/StatusLine.h"
#include "results/Workspace.h"
#include "search/RunListSearch.h"
#include "search/SearchCriteria.h"
#include "watch/WatchRunner.h"
#include "web/Closing.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// The watch starts this long before the first possible drop, so that its lead-in is measured too.
constexpr qint64 kStartBeforeDay = 130;
// After the last possible drop, the plan without close polling needs up to an interval.
constexpr qint64 kRunAfterSpread = 12 * 60;
constexpr int kStartTimeLimitMs = 60000;

struct StandIn {
    QProcess process;
    QString base;
    QString logPath;
};

bool startStandIn(StandIn& standIn, const QString& program, const QStringList& arguments) {
    standIn.process.setProcessChannelMode(QProcess::MergedChannels);
    standIn.process.start(program, arguments);
    static const QRegularExpression web(QStringLiteral("http://127\\.0\\.0\\.1:(\\d+)/"));
    QByteArray output;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kStartTimeLimitMs && standIn.process.state() != QProcess::NotRunning) {
        standIn.process.waitForReadyRead(1000);
        output += standIn.process.readAll();
        const QRegularExpressionMatch match = web.match(QString::fromUtf8(output));
        if (match.hasMatch()) {
            standIn.base = QStringLiteral("http://127.0.0.1:") + match.captured(1);
            return true;
        }
    }
    std::fprintf(stderr, "the stand-in did not start: %s\n", output.constData());
    return false;
}

// One watch against one stand-in. The names are all .com, which the stand-in answers over RDAP.
struct Watch {
    QString label;
    StandIn standIn;
    std::unique_ptr<WatchRunner> runner;
    QHash<QString, QDateTime> dropAt;      // the list's deletion time of each name
    QHash<QString, QDateTime> announcedAt; // by the watch's clock
};

// Searches the stand-in's list as the window does and watches every row found, with its time.
bool watchListedNames(Watch& watch, const WatchMonitor::Clock& clock, const QString& folder,
                      bool closePolling) {
    ResultListModel rows;
    StatusLine status;
    Closing closing;
    Workspace workspace{rows, status, closing};
    RunListSearch(watch.standIn.base + u"/?", EveryNameCriteria(), workspace);
    QList<WatchMonitor::NewName> names;
    for (int row = 0; row < rows.count(); ++row) {
        const ResultRow& listed = rows.row(row);
        const QString domain = rows.cell(row, ResultListModel::Domain);
        const QString cell = listed.listedDeletionTime();
        watch.dropAt.insert(domain,
                            QDateTime::fromString(cell, QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        names.append({domain, listed.deletionDate(), cell});
    }
    if (names.isEmpty()) {
        std::fprintf(stderr, "%s: the list held no names\n", qPrintable(watch.label));
        return false;
    }

    RegistrySettings registry;
    registry.bootstrapAddress = watch.standIn.base + u"/rdap/dns.json";
    registry.cacheFolder = folder + u"/registry";
    watch.runner = std::make_unique<WatchRunner>(watch.standIn.base, clock, registry);
    if (!watch.runner->open(folder + u"/watchlist.sqlite").usable()) {
        std::fprintf(stderr, "%s: the watch list did not open\n", qPrintable(watch.label));
        return false;
    }
    WatchMonitor& monitor = watch.runner->monitor();
    monitor.setClosePolling(closePolling);
    QObject::connect(&monitor, &WatchMonitor::becameFree,
                     [&watch, clock](const QString& domain, bool) {
                         if (!watch.announcedAt.contains(domain))
                             watch.announcedAt.insert(domain, clock());
                     });
    return monitor.addMany(names) == names.size();
}

double percentile(QList<double> values, double share) {
    if (values.isEmpty())
        return -1;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<qsizetype>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

// Questions about each name on its drop day, from the stand-in's request log: availability
// questions and registry questions.
QJsonObject questionsPerName(const Watch& watch) {
    QFile log(watch.standIn.logPath);
    QHash<QString, int> availability;
    QHash<QString, int> registry;
    if (log.open(QIODevice::ReadOnly)) {
        while (!log.atEnd()) {
            const QString line = QString::fromUtf8(log.readLine()).trimmed();
            const QStringList fields = line.split(u' ');
            if (fields.size() < 5)
                continue;
            const QDateTime at = QDateTime::fromString(fields[0] + u' ' + fields[1],
                                                       QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
            const QString& target = fields[4];
            for (auto it = watch.dropAt.cbegin(); it != watch.dropAt.cend(); ++it) {
                if (at.date() != it.value().date())
                    continue;
                if (target.endsWith(u"domain=" + it.key()))
                    ++availability[it.key()];
                else if (target.endsWith(u"/rdap/domain/" + it.key()))
                    ++registry[it.key()];
            }
        }
    }
    QList<double> totals;
    int most = 0;
    for (auto it = watch.dropAt.cbegin(); it != watch.dropAt.cend(); ++it) {
        const int total = availability.value(it.key()) + registry.value(it.key());
        totals.append(total);
        most = std::max(most, total);
    }
    int availabilitySum = 0;
    int registrySum = 0;
    for (int count : availability)
        availabilitySum += count;
    for (int count : registry)
        registrySum += count;
    const double names = std::max<qsizetype>(watch.dropAt.size(), 1);
    return {{QStringLiteral("median"), percentile(totals, 0.5)},
            {QStringLiteral("most"), most},
            {QStringLiteral("availability_mean"), availabilitySum / names},
            {QStringLiteral("registry_mean"), registrySum / names}};
}

QJsonObject report(const Watch& watch) {
    QList<double> latencies;
    QJsonArray each;
    for (auto it = watch.dropAt.cbegin(); it != watch.dropAt.cend(); ++it) {
        const auto announced = watch.announcedAt.find(it.key());
        if (announced == watch.announcedAt.cend())
            continue;
        const double seconds = static_cast<double>(it.value().msecsTo(*announced)) / 1000.0;
        latencies.append(seconds);
        each.append(QJsonObject{{QStringLiteral("name"), it.key()},
                                {QStringLiteral("latency_s"), seconds}});
    }
    return {{QStringLiteral("names"), watch.dropAt.size()},
            {QStringLiteral("announced"), latencies.size()},
            {QStringLiteral("median_s"), percentile(latencies, 0.5)},
            {QStringLiteral("p95_s"), percentile(latencies, 0.95)},
            {QStringLiteral("earliest_s"), percentile(latencies, 0.0)},
            {QStringLiteral("latest_s"), percentile(latencies, 1.0)},
            {QStringLiteral("questions"), questionsPerName(watch)},
            {QStringLiteral("each"), each}};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-morrowcatch-sandbox [NAMES] [SPREAD-SECONDS]\n",
                     argv[0]);
        return 2;
    }
    const QString program = QString::fromLocal8Bit(argv[1]);
    const int nameCount = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 500) : 20;
    const int spread = argc > 3 ? std::clamp(std::atoi(argv[3]), 1, 3600) : 300;

    // Both clocks stand a little before the start of tomorrow, the names' deletion day, with
    // the drops at its first seconds.
    const QDateTime machineNow = QDateTime::currentDateTime();
    const QDate dropDay = machineNow.date().addDays(1);
    const qint64 offset = machineNow.secsTo(dropDay.startOfDay()) - kStartBeforeDay;
    const WatchMonitor::Clock clock = [offset] {
        return QDateTime::currentDateTime().addSecs(offset);
    };

    QTemporaryDir folder;
    QFile csv(folder.filePath(QStringLiteral("drops.csv")));
    if (!csv.open(QIODevice::WriteOnly))
        return 1;
    for (int i = 0; i < nameCount; ++i) {
        csv.write(QStringLiteral("catch%1moon.com,%2 00:00:00,Delete\n")
                      .arg(i, 2, 10, QLatin1Char('0'))
                      .arg(dropDay.toString(Qt::ISODate))
                      .toUtf8());
    }
    csv.close();

    Watch watches[2];
    watches[0].label = QStringLiteral("close_polling");
    watches[1].label = QStringLiteral("interval_only");
    for (int i = 0; i < 2; ++i) {
        Watch& watch = watches[i];
        const QString own = folder.filePath(watch.label);
        QDir().mkpath(own);
        watch.standIn.logPath = own + u"/requests.log";
        if (!startStandIn(watch.standIn, program,
                          {QStringLiteral("--port"), QStringLiteral("0"),
                           QStringLiteral("--whois-port"), QStringLiteral("0"),
                           QStringLiteral("--csv"), csv.fileName(), QStringLiteral("--drop-hour"),
                           QStringLiteral("0"), QStringLiteral("--drop-spread"),
                           QString::number(spread), QStringLiteral("--caught-percent"),
                           QStringLiteral("0"), QStringLiteral("--clock-offset"),
                           QString::number(offset), QStringLiteral("--log"),
                           watch.standIn.logPath}))
            return 1;
        if (!watchListedNames(watch, clock, own, i == 0))
            return 1;
    }

    // Until every name is announced by both, or the interval plan has had its chance.
    const QDateTime giveUpAt = dropDay.startOfDay().addSecs(spread + kRunAfterSpread);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const bool allAnnounced =
            std::all_of(std::begin(watches), std::end(watches), [](const Watch& watch) {
                return watch.announcedAt.size() == watch.dropAt.size();
            });
        if (allAnnounced || clock() >= giveUpAt)
            QCoreApplication::quit();
    });
    poll.start(1000);
    app.exec();

    QJsonObject result{{QStringLiteral("names"), nameCount}, {QStringLiteral("spread_s"), spread}};
    for (Watch& watch : watches) {
        watch.runner->stop();
        watch.standIn.process.terminate();
        watch.standIn.process.waitForFinished(5000);
        result.insert(watch.label, report(watch));
    }
    std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    return 0;
}
