// Parsing one 30-row result page and appending its rows to the list.
#include "StandInData.h"

#include "app/ResultListModel.h"
#include "search/ParseResultPage.h"

#include <benchmark/benchmark.h>

namespace {

// The list is emptied now and then, outside the timing, so it does not grow for ever.
constexpr int kRowsBeforeClearing = 30000;

void ParseAndInsertPage(benchmark::State& state) {
    const QString page = StandInData::resultPage();
    ResultListModel rows;
    if (ParseResultPage(page, true, rows) <= 1 || rows.count() != StandInData::kRowsPerPage) {
        state.SkipWithError("the page did not give 30 rows and its page count");
        return;
    }
    rows.clear();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseResultPage(page, true, rows));
        if (rows.count() >= kRowsBeforeClearing) {
            state.PauseTiming();
            rows.clear();
            state.ResumeTiming();
        }
    }
    state.counters["page_bytes"] = static_cast<double>(page.toUtf8().size());
    state.counters["rows"] = StandInData::kRowsPerPage;
}

// The parse alone, to tell its share from the append's.
void ParseRowsOnly(benchmark::State& state) {
    const QString page = StandInData::resultPage();
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseRows(page, 1));
}

} // namespace

BENCHMARK(ParseAndInsertPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(ParseRowsOnly)->Unit(benchmark::kMicrosecond);
