// Parsing one 30-row result page and appending its rows to the list.
#include "StandInData.h"
#include "ThreadClock.h"

#include "results/ResultListModel.h"
#include "search/ParseResultPage.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

// The list is emptied now and then, outside the timing, so it does not grow for ever.
constexpr int kRowsBeforeClearing = 30000;
// Empty lists are made this many at a time, outside the timing.
constexpr size_t kEmptyListsAtOnce = 100;

// A page onto a list that grows through 30,000 rows, as in a long search: the list's storage
// grows with it.
void ParseAndInsertPage(benchmark::State& state) {
    const QString page = StandInData::resultPage();
    ResultListModel rows;
    if (ParseResultPage(page, true, rows) <= 1 || rows.count() != StandInData::kRowsPerPage) {
        state.SkipWithError("the page did not give 30 rows and its page count");
        return;
    }
    rows.clear();
    const double faultsBefore = ThreadPageFaults();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseResultPage(page, true, rows));
        if (rows.count() >= kRowsBeforeClearing) {
            state.PauseTiming();
            rows.clear();
            state.ResumeTiming();
        }
    }
    state.counters["page_faults"] =
        benchmark::Counter(ThreadPageFaults() - faultsBefore, benchmark::Counter::kAvgIterations);
    state.counters["page_bytes"] = static_cast<double>(page.toUtf8().size());
    state.counters["rows"] = StandInData::kRowsPerPage;
}

// The first page of a search, into an empty list.
void ParseAndInsertFirstPage(benchmark::State& state) {
    const QString page = StandInData::resultPage();
    std::vector<std::unique_ptr<ResultListModel>> lists;
    size_t next = kEmptyListsAtOnce;
    for (auto _ : state) {
        if (next == kEmptyListsAtOnce) {
            state.PauseTiming();
            lists.clear();
            for (size_t i = 0; i < kEmptyListsAtOnce; ++i)
                lists.push_back(std::make_unique<ResultListModel>());
            next = 0;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(ParseResultPage(page, true, *lists[next++]));
    }
}

// The parse alone, to tell its share from the append's.
void ParseRowsOnly(benchmark::State& state) {
    const QString page = StandInData::resultPage();
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseRows(page, 1));
}

} // namespace

BENCHMARK(ParseAndInsertPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(ParseAndInsertFirstPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(ParseRowsOnly)->Unit(benchmark::kMicrosecond);
