// The soak run: three searches over 1,000 pages and a check of 3,000 names against the
// in-process stand-in with failing answers, accounting for every row, then memory and open
// descriptors against where they started. Prints a report; exits 1 when a check failed.

#include "ProcessResources.h"
#include "RowAccounting.h"
#include "SoakDataSet.h"
#include "SoakPhases.h"
#include "SoakReport.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTimer>

#include <algorithm>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace {

// Growth while rows are held may reach twice the rows' own generous estimate (the allocator's
// spare room and fragmentation) plus a one-off allowance: the first use of Qt's network stack,
// the stand-in's worker threads and their heaps.
constexpr long kOneOffAllowanceKiB = 16 * 1024;
// Once the list is empty again, memory must come back to the steady state reached after the
// first search, whatever the number of requests since: by then Qt's network stack and the
// stand-in have made their one-off allocations, and what is left is allocator noise (about
// 0.5 MiB here). After the 5,000 requests of a whole soak, a leak of 600 bytes a request
// would already pass the bound.
constexpr long kNoiseAllowanceKiB = 3 * 1024;
// Qt may open a descriptor or two on first use of its network stack and keep it.
constexpr int kDescriptorsKeptByQt = 2;

struct SoakOptions {
    int pages = 1000;
    int searchRuns = 3;
    int checkRows = 3000;
    std::uint64_t seed = 20240601;
};

SoakOptions ReadOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Soak run against the stand-in services."));
    parser.addHelpOption();
    const QCommandLineOption pages(QStringLiteral("pages"),
                                   QStringLiteral("Result pages per search (1000)."),
                                   QStringLiteral("n"));
    const QCommandLineOption runs(QStringLiteral("search-runs"),
                                  QStringLiteral("Searches, the list cleared between (3)."),
                                  QStringLiteral("n"));
    const QCommandLineOption rows(QStringLiteral("check-rows"),
                                  QStringLiteral("Rows kept for the check of every name (3000)."),
                                  QStringLiteral("n"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed of the data set and of the failures."),
                                  QStringLiteral("n"));
    parser.addOptions({pages, runs, rows, seed});
    parser.process(app);
    SoakOptions options;
    const auto number = [&parser](const QCommandLineOption& option, auto fallback) {
        bool ok = false;
        const qulonglong value = parser.value(option).toULongLong(&ok);
        return ok && value > 0 ? static_cast<decltype(fallback)>(value) : fallback;
    };
    options.pages = std::min(number(pages, options.pages), 32767);
    options.searchRuns = number(runs, options.searchRuns);
    options.checkRows = number(rows, options.checkRows);
    options.seed = number(seed, options.seed);
    return options;
}

// Runs each step from the main loop, one turn apart, as the window runs one handler after
// another; the loop's own housekeeping (deferred deletes) happens in between.
class StepChain {
public:
    void add(std::function<void()> step) { m_steps.push_back(std::move(step)); }
    void start(std::function<void()> finished) {
        m_finished = std::move(finished);
        next();
    }

private:
    void next() {
        QTimer::singleShot(0, [this] {
            if (m_at == m_steps.size()) {
                m_finished();
                return;
            }
            m_steps[m_at++]();
            next();
        });
    }

    std::vector<std::function<void()>> m_steps;
    std::function<void()> m_finished;
    size_t m_at = 0;
};

struct Soak {
    SoakOptions options;
    SoakReport report;
    SoakDataSet data;
    ResultListModel rows;
    QElapsedTimer clock;

    OpenDescriptors descriptorsAtStart;
    long steadyKiB = -1;   // after the first search, the list cleared
    long previousKiB = -1; // before the phase that runs now
    int requestsSinceSteady = 0;
    std::map<std::string, int> searchFailures;
    std::map<std::string, int> checkFailures;

    // The soak only proves something about the ways of failing it actually met.
    void checkModesMet(const std::string& phase, const std::map<std::string, int>& failures) {
        std::string counts;
        bool allMet = true;
        for (const FailureMode mode :
             {FailureMode::ServerError, FailureMode::DropConnection, FailureMode::Hang}) {
            const auto found = failures.find(FailureNote(mode));
            const int count = found == failures.end() ? 0 : found->second;
            allMet &= count > 0;
            counts +=
                (counts.empty() ? "" : ", ") + std::to_string(count) + " " + FailureName(mode);
        }
        report.check(phase + " met every way of failing", allMet, counts);
    }

    void measureGrowth(const std::string& phase, long estimateKiB) {
        const long now = ResidentKiB();
        const long growth = now - previousKiB;
        const long bound = 2 * estimateKiB + kOneOffAllowanceKiB;
        report.check(phase + ": memory growth " + FormatKiB(growth) + " within " +
                         FormatKiB(bound) + " (rows' estimate " + FormatKiB(estimateKiB) + ")",
                     growth <= bound, FormatKiB(previousKiB) + " -> " + FormatKiB(now));
        previousKiB = now;
    }

    void measureSteady(const std::string& phase) {
        const long now = ResidentKiB();
        if (steadyKiB < 0) {
            steadyKiB = now;
            report.note(phase + ": steady state " + FormatKiB(now));
        } else {
            const long bound = kNoiseAllowanceKiB;
            report.check(phase + ": back to the steady state within " + FormatKiB(bound) +
                             " after " + std::to_string(requestsSinceSteady) + " requests",
                         now - steadyKiB <= bound, FormatKiB(steadyKiB) + " -> " + FormatKiB(now));
        }
        previousKiB = now;
    }
};

FailurePlan SearchPlan(int run) {
    // Each run starts with another mode, so the first page meets each of them in turn.
    FailurePlan plan{FailureSetting{FailureMode::ServerError, 0.015},
                     FailureSetting{FailureMode::DropConnection, 0.015},
                     FailureSetting{FailureMode::Hang, 0.003}};
    std::rotate(plan.begin(), plan.begin() + run % 3, plan.end());
    return plan;
}

void AddSteps(Soak& soak, StepChain& chain) {
    chain.add([&soak] {
        soak.report.note(std::to_string(soak.data.catalog->size()) + " names, " +
                         std::to_string(soak.data.listed.size()) + " listed by the query (" +
                         std::to_string(soak.data.pageCount()) + " pages of 30)");
        soak.previousKiB = ResidentKiB();
        soak.report.note("with the data set: " + FormatKiB(soak.previousKiB) + " resident");
    });
    for (int run = 1; run <= soak.options.searchRuns; ++run) {
        const std::string label = "search " + std::to_string(run);
        chain.add([&soak, run, label] {
            soak.report.section(label);
            const PhaseTimes times =
                SoakSearch(soak.data, SearchPlan(run - 1), soak.options.seed + 100 * run, soak.rows,
                           soak.report, label);
            for (const auto& [note, count] : times.failures)
                soak.searchFailures[note] += count;
            if (soak.steadyKiB >= 0)
                soak.requestsSinceSteady += times.requests;
        });
        chain.add(
            [&soak, label] { soak.measureGrowth(label, EstimatedRowsKiB(Snapshot(soak.rows))); });
        if (run < soak.options.searchRuns) {
            chain.add([&soak, label] {
                soak.rows.clear();
                soak.measureSteady(label + ", list cleared");
            });
        }
    }
    chain.add([&soak] {
        const int keep = soak.options.checkRows;
        int seen = 0;
        soak.rows.removeRowsIf([&seen, keep](const ResultRow&) { return ++seen > keep; });
        soak.report.section("check of every name");
        soak.report.note("kept the first " + std::to_string(soak.rows.count()) + " rows");
        soak.previousKiB = ResidentKiB();
    });
    chain.add([&soak] {
        const long before = EstimatedRowsKiB(Snapshot(soak.rows));
        const FailurePlan plan{FailureSetting{FailureMode::ServerError, 0.015},
                               FailureSetting{FailureMode::DropConnection, 0.015},
                               FailureSetting{FailureMode::Hang, 0.003}};
        const PhaseTimes times =
            SoakVerify(soak.data, plan, soak.options.seed + 7, soak.rows, soak.report);
        soak.checkFailures = times.failures;
        soak.requestsSinceSteady += times.requests;
        soak.measureGrowth("check", EstimatedRowsKiB(Snapshot(soak.rows)) - before);
    });
    chain.add([&soak] {
        soak.report.section("afterwards");
        soak.rows.clear();
        soak.measureSteady("list cleared");
        const OpenDescriptors now = CountOpenDescriptors();
        const OpenDescriptors& start = soak.descriptorsAtStart;
        soak.report.check(
            "open descriptors back near the start",
            now.total <= start.total + kDescriptorsKeptByQt && now.sockets <= start.sockets,
            std::to_string(start.total) + " -> " + std::to_string(now.total) + ", sockets " +
                std::to_string(start.sockets) + " -> " + std::to_string(now.sockets));
        soak.checkModesMet("the searches", soak.searchFailures);
        soak.checkModesMet("the check", soak.checkFailures);
        soak.report.note("wall time " + std::to_string(soak.clock.elapsed() / 1000) + " s");
    });
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    auto soak = std::make_unique<Soak>();
    soak->options = ReadOptions(app);
    soak->clock.start();
    soak->descriptorsAtStart = CountOpenDescriptors();
    soak->report.section("data set");
    soak->report.note("start: " + FormatKiB(ResidentKiB()) + " resident, " +
                      std::to_string(soak->descriptorsAtStart.total) + " descriptors (" +
                      std::to_string(soak->descriptorsAtStart.sockets) + " sockets)");
    try {
        // One day for both the data set and the stand-in's verdicts, even across midnight.
        soak->data = MakeSoakDataSet(QDate::currentDate(), soak->options.pages,
                                     soak->options.pages * 10, soak->options.seed);
    } catch (const std::exception& error) {
        soak->report.check("data set", false, error.what());
        soak->report.printTotals();
        return 1;
    }

    StepChain chain;
    AddSteps(*soak, chain);
    chain.start([&soak] {
        soak->report.printTotals();
        QCoreApplication::exit(soak->report.failed() == 0 ? 0 : 1);
    });
    return app.exec();
}
