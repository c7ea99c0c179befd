// The program's requests: processor time while a request waits, and a 1,000-page search
// against the stand-in next to curl fetching the same addresses.
#include "CurlPeer.h"
#include "EveryName.h"
#include "ProcessorTime.h"
#include "SilentListener.h"
#include "StandInData.h"
#include "StandInServer.h"
#include "Watchdog.h"

#include "results/ResultListModel.h"
#include "results/StatusLine.h"
#include "results/Workspace.h"
#include "search/BuildListQuery.h"
#include "search/CriteriaLists.h"
#include "search/RunListSearch.h"
#include "web/Closing.h"
#include "web/FetchPage.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>

namespace {

constexpr int kSearchPages = 1000;
constexpr size_t kSearchNames = static_cast<size_t>(kSearchPages) * StandInData::kRowsPerPage;
constexpr int kSearchTimeLimitMs = 120000;

double seconds(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

void ProcessorTimeDuringNetworkWait(benchmark::State& state) {
    SilentListener silent;
    if (silent.port() == 0) {
        state.SkipWithError("no port for the silent server");
        return;
    }
    const QString address =
        QStringLiteral("http://127.0.0.1:") + QString::number(silent.port()) + u"/";
    StatusLine status;
    Closing closing;
    for (auto _ : state) {
        QElapsedTimer clock;
        const double before = ProcessorSeconds();
        clock.start();
        const QString body = FetchPage(address, closing).text;
        const double wall = seconds(clock);
        const double used = ProcessorSeconds() - before;
        state.SetIterationTime(wall);
        state.counters["cpu_ms"] = used * 1e3;
        state.counters["cpu_percent_of_core"] = 100.0 * used / wall;
        if (!body.isEmpty() || wall < 5.0)
            state.SkipWithError("the request did not wait out its 5 seconds");
    }
}

QStringList searchAddresses(const QString& listBase, const SearchCriteria& criteria) {
    const QString query = BuildListQuery(listBase, criteria);
    QStringList addresses{query};
    for (int page = 2; page <= kSearchPages; ++page)
        addresses.append(query + u"&page=" + QString::number(page));
    return addresses;
}

void SearchOf1000Pages(benchmark::State& state) {
    StandInServer server(kSearchNames);
    if (!server.running()) {
        state.SkipWithError("the stand-in did not start");
        return;
    }
    const QString listBase = server.base() + u"/?";
    const SearchCriteria criteria = EveryNameCriteria();
    const QStringList addresses = searchAddresses(listBase, criteria);

    for (auto _ : state) {
        ResultListModel rows;
        StatusLine status;
        Closing closing;
        Workspace workspace{rows, status, closing};
        Watchdog watchdog(closing, kSearchTimeLimitMs);
        QElapsedTimer clock;
        clock.start();
        RunListSearch(listBase, criteria, workspace);
        const double client = seconds(clock);
        state.SetIterationTime(client);
        if (rows.count() != static_cast<int>(kSearchNames)) {
            state.SkipWithError("the search did not bring every row");
            break;
        }

        const CurlRun reused = RunCurl(addresses, Connections::Reused);
        const CurlRun fresh = RunCurl(addresses, Connections::NewEach);
        if (!reused.ok || !fresh.ok || reused.answered != kSearchPages ||
            fresh.answered != kSearchPages) {
            state.SkipWithError("curl did not fetch every page");
            break;
        }
        // The stand-in's own handling per page, as curl sees it: request sent to first byte.
        const double server_ms = 1e3 * reused.serverSeconds / kSearchPages;
        const double client_ms = 1e3 * client / kSearchPages;
        const double curl_ms = 1e3 * reused.wallSeconds / kSearchPages;
        const double curl_fresh_ms = 1e3 * fresh.wallSeconds / kSearchPages;
        state.counters["server_ms_per_page"] = server_ms;
        state.counters["client_ms_per_page"] = client_ms;
        state.counters["curl_ms_per_page"] = curl_ms;
        state.counters["curl_new_conn_ms_per_page"] = curl_fresh_ms;
        state.counters["client_beyond_server_ms"] = client_ms - server_ms;
        state.counters["curl_beyond_server_ms"] = curl_ms - server_ms;
        state.counters["curl_new_conn_beyond_server_ms"] = curl_fresh_ms - server_ms;
        state.counters["client_over_curl"] = (client_ms - server_ms) / (curl_ms - server_ms);
        state.counters["client_over_curl_new_conn"] =
            (client_ms - server_ms) / (curl_fresh_ms - server_ms);
    }
}

} // namespace

BENCHMARK(ProcessorTimeDuringNetworkWait)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(SearchOf1000Pages)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond);
