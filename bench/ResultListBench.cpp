// Appending 100,000 rows page by page, filtering them, clearing them: on the list alone and on
// the list inside the shown window, whose table reacts to every change.
#include "BenchWindow.h"
#include "ResultRows.h"
#include "Stopwatch.h"

#include "results/ResultListModel.h"
#include "results/StatusLine.h"
#include "results/Workspace.h"
#include "verify/VerifyListedDomains.h"
#include "web/Closing.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kRows = 100000;

const std::vector<std::vector<ResultRow>>& pagesWithVerdicts() {
    static const std::vector<std::vector<ResultRow>> pages = [] {
        auto made = ParsedPages(kRows);
        GiveVerdicts(made);
        return made;
    }();
    return pages;
}

// The list to work on: a bare model, or the one inside a shown window.
class ListUnderTest {
public:
    explicit ListUnderTest(bool inWindow) {
        if (inWindow)
            m_window = MakeShownWindow();
        else
            m_model = std::make_unique<ResultListModel>();
    }
    ResultListModel& rows() { return m_window ? m_window->rows() : *m_model; }
    StatusLine& status() { return m_window ? m_window->status() : m_status; }
    // Lets the window lay itself out and repaint, outside the timing.
    void settle() { QCoreApplication::processEvents(); }

    void fill(std::vector<std::vector<ResultRow>> pages) {
        for (auto& page : pages)
            rows().appendRows(std::move(page));
        settle();
    }

private:
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<ResultListModel> m_model;
    StatusLine m_status;
};

void AppendRowsPageByPage(benchmark::State& state) {
    ListUnderTest list(state.range(0) != 0);
    Stopwatch watch(state);
    for (auto _ : state) {
        list.rows().clear();
        list.settle();
        auto pages = pagesWithVerdicts();
        watch.start();
        for (auto& page : pages)
            list.rows().appendRows(std::move(page));
        watch.stop();
        if (list.rows().count() != kRows)
            state.SkipWithError("not every row arrived");
    }
}

void FilterRegisteredRows(benchmark::State& state) {
    ListUnderTest list(state.range(0) != 0);
    Closing closing;
    Workspace workspace{list.rows(), list.status(), closing};
    Stopwatch watch(state);
    for (auto _ : state) {
        list.rows().clear();
        list.fill(pagesWithVerdicts());
        watch.start();
        FilterRegistered(workspace);
        watch.stop();
        if (list.rows().count() != kRows / 2)
            state.SkipWithError("the filter kept the wrong rows");
    }
}

void ClearRows(benchmark::State& state) {
    ListUnderTest list(state.range(0) != 0);
    Stopwatch watch(state);
    for (auto _ : state) {
        list.fill(pagesWithVerdicts());
        watch.start();
        list.rows().clear();
        watch.stop();
    }
}

} // namespace

// Argument 0: the list alone; 1: the list inside the shown window.
BENCHMARK(AppendRowsPageByPage)
    ->ArgName("window")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(FilterRegisteredRows)
    ->ArgName("window")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ClearRows)->ArgName("window")->Arg(0)->Arg(1)->UseManualTime()->Iterations(1)->Unit(
    benchmark::kMillisecond);
