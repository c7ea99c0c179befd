#include "SoakPhases.h"

#include "RequestLog.h"
#include "RowAccounting.h"
#include "results/ResultListModel.h"
#include "results/StatusLine.h"
#include "results/Workspace.h"
#include "sandbox/Availability.h"
#include "search/RunListSearch.h"
#include "support/UserTexts.h"
#include "verify/VerifyListedDomains.h"
#include "web/Closing.h"

#include <QElapsedTimer>

#include <cstdio>
#include <map>
#include <set>

namespace {

using namespace std::chrono_literals;

constexpr std::string_view kCheckPath = "/check/check_ac1.cgi";

SandboxOptions StandInOptions(const SoakDataSet& data, RequestLog& log, std::uint64_t seed) {
    SandboxOptions options;
    options.jitter = 4ms;
    // Well past the program's 5 seconds, so a late answer could only be taken by mistake.
    options.hangTime = 7s;
    // The soak counts injected failures only; refusals have tests of their own.
    options.checksPerSecond = 0;
    options.seed = seed;
    options.log = log.sink();
    const QDate today = data.today;
    options.now = [today] { return QDateTime(today, QTime(0, 0)); };
    return options;
}

// Moves the stand-in to the next stretch's setting once the given number of items is done.
class StretchSwitch {
public:
    StretchSwitch(SwitchingStandIn& standIn, const FailurePlan& plan, int items)
        : m_standIn(standIn), m_plan(plan), m_firstOf{0, items / 3, 2 * items / 3} {}

    void done(int items) {
        for (size_t stretch = 1; stretch < m_plan.size(); ++stretch) {
            if (items == m_firstOf[stretch] && m_current < stretch) {
                m_current = stretch;
                m_failed |= !m_standIn.switchTo(m_plan[stretch]);
            }
        }
    }
    bool failed() const { return m_failed; }

private:
    SwitchingStandIn& m_standIn;
    const FailurePlan& m_plan;
    std::array<int, 3> m_firstOf;
    size_t m_current = 0;
    bool m_failed = false;
};

std::map<std::string, int> CountFailures(const std::vector<LoggedRequest>& requests) {
    std::map<std::string, int> counts;
    for (const LoggedRequest& request : requests) {
        if (request.failed())
            ++counts[request.failure];
    }
    return counts;
}

std::string DescribeFailures(const std::map<std::string, int>& counts) {
    std::string text;
    for (const auto& [note, count] : counts)
        text += (text.empty() ? "" : ", ") + std::to_string(count) + " " + note;
    return text.empty() ? "none" : text;
}

std::string Seconds(double seconds) {
    return std::to_string(static_cast<int>(seconds + 0.5)) + " s";
}

std::string PlanText(const FailurePlan& plan) {
    std::string text;
    for (const FailureSetting& setting : plan) {
        char share[16];
        std::snprintf(share, sizeof share, " %.1f%%", setting.share * 100);
        text += (text.empty() ? "" : ", then ") + FailureName(setting.mode) + share;
    }
    return text;
}

} // namespace

PhaseTimes SoakSearch(const SoakDataSet& data, const FailurePlan& plan, std::uint64_t seed,
                      ResultListModel& rows, SoakReport& report, const std::string& label) {
    RequestLog log;
    SwitchingStandIn standIn(data.catalog, StandInOptions(data, log, seed));
    PhaseTimes times;
    report.note(label + ": " + std::to_string(data.pageCount()) + " pages; failures " +
                PlanText(plan));
    if (!standIn.start(plan[0])) {
        report.check(label + ": stand-in started", false, "no port");
        return times;
    }

    StatusLine status;
    Closing closing;
    Workspace workspace{rows, status, closing};
    StretchSwitch stretches(standIn, plan, data.pageCount());
    workspace.progress = [&stretches](int done, int) { stretches.done(done); };
    const QString listBase = QStringLiteral("http://127.0.0.1:%1/?").arg(standIn.port());

    QElapsedTimer clock;
    clock.start();
    RunListSearch(listBase, data.criteria, workspace);
    times.seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    standIn.stop();

    const std::vector<LoggedRequest> requests = log.take();
    times.requests = static_cast<int>(requests.size());
    times.failures = CountFailures(requests);
    report.check(label + ": stand-in switched between stretches", !stretches.failed());
    report.check(label + ": every log line readable", log.unreadableLines() == 0);

    // Which pages were asked for, how often, and which of them failed.
    std::map<int, int> askedFor;
    std::set<int> failedPages;
    Findings requestFindings;
    for (const LoggedRequest& request : requests) {
        const int page = RequestedPage(request.target);
        if (!request.target.starts_with("/?") || page < 1)
            requestFindings.push_back("unexpected request " + request.target);
        ++askedFor[page];
        if (request.failed())
            failedPages.insert(page);
    }
    const bool firstPageFailed = failedPages.contains(1);
    const int lastPageAskedFor = firstPageFailed ? 1 : data.pageCount();
    for (int page = 1; page <= lastPageAskedFor; ++page) {
        if (askedFor[page] != 1)
            requestFindings.push_back("page " + std::to_string(page) + " asked for " +
                                      std::to_string(askedFor[page]) + " times");
    }
    for (const auto& [page, count] : askedFor) {
        if (page > lastPageAskedFor)
            requestFindings.push_back("page " + std::to_string(page) + " asked for " +
                                      std::to_string(count) + " times, beyond the last");
    }
    report.check(label + ": each page asked for exactly once", requestFindings);

    std::vector<ResultRow> expected;
    if (!firstPageFailed) {
        expected.reserve(data.listed.size());
        for (size_t i = 0; i < data.listed.size(); ++i) {
            const int page = static_cast<int>(i / kRowsPerPage) + 1;
            if (!failedPages.contains(page))
                expected.push_back(ExpectedRow(data.catalog->domain(data.listed[i]),
                                               static_cast<int>(expected.size()) + 1));
        }
    }
    report.note(label + ": " + Seconds(times.seconds) + ", " + std::to_string(requests.size()) +
                " requests, failed: " + DescribeFailures(times.failures) + "; " +
                std::to_string(rows.count()) + " rows, " + std::to_string(expected.size()) +
                " expected");
    report.check(label + ": rows are exactly those of the pages answered properly",
                 AccountRows(Snapshot(rows), expected));

    // A first page lost on the way gets the failure text; a first page that is an error page
    // is read as a page without rows or count, so the run just ends.
    bool firstPageLost = false;
    for (const LoggedRequest& request : requests) {
        if (RequestedPage(request.target) == 1 && request.failed())
            firstPageLost = request.failure != FailureNote(FailureMode::ServerError);
    }
    const QString wantedStatus =
        firstPageLost ? UserTexts::kFirstPageMissing : UserTexts::kSearchFinished;
    report.check(label + ": status line", status.text() == wantedStatus,
                 status.text().toStdString());
    return times;
}

PhaseTimes SoakVerify(const SoakDataSet& data, const FailurePlan& plan, std::uint64_t seed,
                      ResultListModel& rows, SoakReport& report) {
    RequestLog log;
    SwitchingStandIn standIn(data.catalog, StandInOptions(data, log, seed));
    PhaseTimes times;
    report.note("check of " + std::to_string(rows.count()) + " rows; failures " + PlanText(plan));
    if (!standIn.start(plan[0])) {
        report.check("check: stand-in started", false, "no port");
        return times;
    }

    StatusLine status;
    Closing closing;
    Workspace workspace{rows, status, closing};
    StretchSwitch stretches(standIn, plan, rows.count());
    workspace.progress = [&stretches](int done, int) { stretches.done(done); };
    const QString checkBase = QStringLiteral("http://127.0.0.1:%1").arg(standIn.port());

    const std::vector<ResultRow> before = Snapshot(rows);
    QElapsedTimer clock;
    clock.start();
    VerifyListedDomains(checkBase, workspace);
    times.seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    standIn.stop();

    const std::vector<LoggedRequest> requests = log.take();
    times.requests = static_cast<int>(requests.size());
    times.failures = CountFailures(requests);
    report.check("check: stand-in switched between stretches", !stretches.failed());
    report.check("check: every log line readable", log.unreadableLines() == 0);

    QHash<QString, QuestionFate> fates;
    Findings strayRequests;
    for (const LoggedRequest& request : requests) {
        const std::optional<std::string> name = QueryValue(request.target, "domain");
        if (!request.target.starts_with(kCheckPath) || !name) {
            strayRequests.push_back("unexpected request " + request.target);
            continue;
        }
        QuestionFate& fate = fates[QString::fromStdString(*name)];
        ++fate.asked;
        fate.failed |= request.failed();
        fate.registered =
            DecideAvailability(*data.catalog, *name, QDateTime(data.today, QTime(0, 0)),
                               DropRules{}) == Availability::Registered;
    }
    report.check("check: only availability questions asked", strayRequests);

    const std::vector<ResultRow> after = Snapshot(rows);
    int free = 0;
    int registered = 0;
    for (const ResultRow& row : after) {
        free += row.verdict == ResultRow::Verdict::Free;
        registered += row.verdict == ResultRow::Verdict::Registered;
    }
    report.note("check: " + Seconds(times.seconds) + ", " + std::to_string(requests.size()) +
                " questions, failed: " + DescribeFailures(times.failures) + "; " +
                std::to_string(free) + " free, " + std::to_string(registered) + " registered, " +
                std::to_string(static_cast<int>(after.size()) - free - registered) +
                " without a verdict");
    report.check("check: every row has the stand-in's verdict or none where its question failed",
                 AccountVerdicts(before, after, fates));
    report.check("check: status line", status.text() == UserTexts::kAllVerified,
                 status.text().toStdString());
    return times;
}
