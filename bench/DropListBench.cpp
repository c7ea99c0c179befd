// Reading and filtering a drop list of 1,000,000 names, beside grep -E and a short Python filter
// over the same file with the same criteria, and appending 1,000,000 rows of an "accept all"
// reading to the result list.
#include "ProcStatus.h"
#include "Stopwatch.h"

#include "search/ReadDropList.h"

#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>

namespace {

constexpr int kNames = 1000000;
const QDate kToday(2026, 12, 8);

// A fixed list of distinct names of 2 to 9 characters under six suffixes, written once and a
// line at a time, so that the process holds no copy of it when the reading is measured.
const QString& ListFile() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("drop-list.txt"));
        std::mt19937 random(20261208);
        const char* suffixes[] = {"com", "net", "org", "cn", "com.cn", "xyz"};
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        for (int i = 0; i < kNames; ++i) {
            // A letter, then the number in base 36 padded to a width of its own: distinct.
            QByteArray label = QByteArray::number(i, 36);
            const int width = 1 + static_cast<int>(random() % 8);
            if (label.size() < width)
                label.prepend(QByteArray(width - label.size(), '0'));
            label.prepend(static_cast<char>('a' + random() % 26));
            out.write(label + '.' + suffixes[random() % std::size(suffixes)] + '\n');
        }
        return file;
    }();
    return path;
}

// Keyword "a" at the start, 4 to 8 characters before the suffix, .com or .net.
NameCriteria Criteria() {
    NameCriteria criteria;
    criteria.keyword = "a";
    criteria.place = KeywordPlace::Start;
    criteria.shortest = 4;
    criteria.longest = 8;
    criteria.suffixes = {"com", "net"};
    return criteria;
}

// The peers read the same criteria as an expression.
const char* kExpression = R"(^a[a-z0-9-]{3,7}\.(com|net)$)";
const char* kPythonFilter = R"(import sys
n = 0
with open(sys.argv[1], encoding="utf-8") as f:
    for line in f:
        name = line.strip().lower()
        label, _, suffix = name.partition(".")
        if label.startswith("a") and 4 <= len(label) <= 8 and suffix in ("com", "net"):
            n += 1
print(n)
)";

// Resets the peak resident size, so that the peak of the next step can be read.
void ResetPeakMemory() {
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

void ReadAndFilter(benchmark::State& state) {
    const QString& file = ListFile();
    Stopwatch watch(state);
    qint64 kept = 0;
    double addedMiB = 0;
    for (auto _ : state) {
        ResetPeakMemory();
        const qint64 before = ProcStatusKilobytes(QStringLiteral("VmRSS"));
        std::vector<ResultRow> rows;
        watch.start();
        const DropListOutcome outcome =
            ReadDropListFile(file, Criteria(), kToday,
                             {[&rows](std::vector<ResultRow>&& batch) {
                                  rows.insert(rows.end(), std::make_move_iterator(batch.begin()),
                                              std::make_move_iterator(batch.end()));
                              },
                              {},
                              nullptr});
        watch.stop();
        addedMiB =
            std::max(addedMiB, (ProcStatusKilobytes(QStringLiteral("VmHWM")) - before) / 1024.0);
        kept = outcome.counts.kept;
        benchmark::DoNotOptimize(rows.data());
    }
    state.counters["kept"] = static_cast<double>(kept);
    state.counters["added_MiB"] = addedMiB;
}
BENCHMARK(ReadAndFilter)->UseManualTime()->Unit(benchmark::kMillisecond);

// A peer run as a process of its own, timed from start to end; the count it prints is kept.
void RunPeer(benchmark::State& state, const QString& program, const QStringList& arguments) {
    Stopwatch watch(state);
    double kept = 0;
    for (auto _ : state) {
        QProcess process;
        watch.start();
        process.start(program, arguments);
        process.waitForFinished(-1);
        watch.stop();
        kept = process.readAllStandardOutput().trimmed().toDouble();
        if (process.exitCode() != 0)
            state.SkipWithError("the peer failed");
    }
    state.counters["kept"] = kept;
}

void GrepPeer(benchmark::State& state) {
    RunPeer(state, QStringLiteral("grep"),
            {QStringLiteral("-cE"), QString::fromLatin1(kExpression), ListFile()});
}
BENCHMARK(GrepPeer)->UseManualTime()->Unit(benchmark::kMillisecond);

void PythonPeer(benchmark::State& state) {
    RunPeer(state, QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"), QString::fromLatin1(kPythonFilter), ListFile()});
}
BENCHMARK(PythonPeer)->UseManualTime()->Unit(benchmark::kMillisecond);

void AppendAcceptAll(benchmark::State& state) {
    std::vector<ResultRow> all;
    ReadDropListFile(ListFile(), {}, kToday,
                     {[&all](std::vector<ResultRow>&& batch) {
                          all.insert(all.end(), std::make_move_iterator(batch.begin()),
                                     std::make_move_iterator(batch.end()));
                      },
                      {},
                      nullptr});
    Stopwatch watch(state);
    for (auto _ : state) {
        std::vector<ResultRow> rows = all;
        ResultListModel model;
        watch.start();
        model.appendRows(std::move(rows));
        watch.stop();
        benchmark::DoNotOptimize(model.count());
    }
    state.counters["rows"] = static_cast<double>(all.size());
}
BENCHMARK(AppendAcceptAll)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
