// The check of every name over a list of 1,000 rows against the stand-in, next to its floor:
// the 100 ms pause after each question.
#include "StandInServer.h"
#include "Watchdog.h"

#include "results/ResultListModel.h"
#include "results/StatusLine.h"
#include "results/Workspace.h"
#include "verify/ApplyVerdict.h"
#include "verify/VerifyListedDomains.h"
#include "web/Closing.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>

namespace {

constexpr int kNames = 1000;
constexpr double kFloorSeconds = kNames * 0.1;
constexpr int kTimeLimitMs = 300000;

void CheckOf1000Names(benchmark::State& state) {
    StandInServer server(30000);
    if (!server.running()) {
        state.SkipWithError("the stand-in did not start");
        return;
    }
    for (auto _ : state) {
        ResultListModel rows;
        for (int i = 0; i < kNames; ++i) {
            ResultRow row;
            row.cells[ResultListModel::Number] = QString::number(i + 1);
            row.cells[ResultListModel::Domain] = QString::fromStdString(
                server.catalog()->domain(static_cast<DomainCatalog::Index>(i)).fullName());
            rows.appendRow(std::move(row));
        }
        StatusLine status;
        Closing closing;
        Workspace workspace{rows, status, closing};
        Watchdog watchdog(closing, kTimeLimitMs);
        QElapsedTimer clock;
        clock.start();
        VerifyListedDomains(server.base(), workspace);
        const double total = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(total);

        int verdicts = 0;
        for (int i = 0; i < rows.count(); ++i)
            verdicts += rows.cell(i, ResultListModel::Verdict).isEmpty() ? 0 : 1;
        state.counters["total_s"] = total;
        state.counters["floor_s"] = kFloorSeconds;
        state.counters["over_floor_ms_per_name"] = 1e3 * (total - kFloorSeconds) / kNames;
        state.counters["verdicts"] = verdicts;
        if (verdicts != kNames)
            state.SkipWithError("not every name got its verdict");
    }
}

} // namespace

BENCHMARK(CheckOf1000Names)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond);
