// Processor use of the whole program, every thread included, while it waits for an answer:
// a search's wait for its first page, a check of every name's wait and a targeted check's wait.
// The window is the real one, shown on the current platform (xcb on an X server, or offscreen),
// and each operation is started by clicking its button. The service holds every answer for
// 4 seconds; the measurement covers 3 of them, from 0.5 s after the click. Prints one line of
// JSON.
//
// usage: morrowcatch-bench-waits [REPETITIONS]
#include "BenchWindow.h"
#include "LateAnswerServer.h"
#include "ProcessorTime.h"
#include "ResultRows.h"

#include "ui_MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

constexpr int kMeasureFromMs = 500;
constexpr int kMeasureUntilMs = 3500;
constexpr int kAnswerAtMs = 4000;
// The operation has long ended by now unless something is wrong; this ends it.
constexpr int kGiveUpAtMs = 15000;
constexpr int kRowsToCheck = 30;

struct WaitUse {
    double cpuMs = 0;
    double wallMs = 0;
    // The request had arrived before the measurement, and the operation was still waiting for
    // its answer when the measurement ended.
    bool waited = false;
};

// Clicks the button and measures the middle 3 seconds of the wait that follows. The click
// returns when the operation has ended, so the measurement runs from timers inside its wait.
WaitUse measureWait(MainWindow& window, LateAnswerServer& server, QPushButton* button,
                    const std::function<void()>& afterMeasuring) {
    WaitUse use;
    double cpuAtStart = 0;
    QElapsedTimer wall;
    bool arrivedAtStart = false;
    bool clickReturned = false;
    QTimer::singleShot(kMeasureFromMs, Qt::PreciseTimer, [&] {
        arrivedAtStart = server.requestArrived();
        wall.start();
        cpuAtStart = ProcessorSeconds();
    });
    QTimer::singleShot(kMeasureUntilMs, Qt::PreciseTimer, [&] {
        use.cpuMs = (ProcessorSeconds() - cpuAtStart) * 1e3;
        use.wallMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
        use.waited = arrivedAtStart && !clickReturned;
        if (afterMeasuring)
            afterMeasuring();
    });
    bool answered = false;
    QTimer::singleShot(kAnswerAtMs, Qt::PreciseTimer, [&] {
        server.answerAll();
        answered = true;
    });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [&] {
        window.stopRunningOperation();
        server.answerAll();
    });
    giveUp.start(kGiveUpAtMs);
    QTest::mouseClick(button, Qt::LeftButton);
    clickReturned = true;
    // An operation that ended early would leave the timers above to fire into the next wait.
    (void)QTest::qWaitFor([&answered] { return answered; }, kGiveUpAtMs);
    // The window takes in the answer before the next click.
    QTest::qWait(300);
    return use;
}

QJsonObject percentages(const QList<WaitUse>& uses) {
    QJsonArray percent, cpuMs, wallMs;
    bool allWaited = true;
    for (const WaitUse& use : uses) {
        percent.append(use.wallMs > 0 ? 100.0 * use.cpuMs / use.wallMs : -1.0);
        cpuMs.append(use.cpuMs);
        wallMs.append(use.wallMs);
        allWaited = allWaited && use.waited;
    }
    return {{QStringLiteral("percent_of_core"), percent},
            {QStringLiteral("cpu_ms"), cpuMs},
            {QStringLiteral("wall_ms"), wallMs},
            {QStringLiteral("all_waited"), allWaited}};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 3;
    if (repetitions < 1) {
        std::fprintf(stderr, "usage: %s [REPETITIONS]\n", argv[0]);
        return 2;
    }

    QList<WaitUse> searches, checks, targeted;
    for (int i = 0; i < repetitions; ++i) {
        // A fresh service for every wait, so that nothing of an earlier one is still queued.
        LateAnswerServer service;
        if (service.port() == 0) {
            std::fprintf(stderr, "no local port for the service\n");
            return 1;
        }
        AppConfig config;
        config.listBase = service.base() + u"/?";
        config.checkBase = service.base();
        std::unique_ptr<MainWindow> window = MakeShownWindow(config);
        const Ui::MainWindow& controls = window->controls();

        controls.keywordEdit->setText(QStringLiteral("a"));
        searches.append(measureWait(*window, service, controls.searchButton, {}));

        window->rows().clear();
        for (std::vector<ResultRow>& page : ParsedPages(kRowsToCheck))
            window->rows().appendRows(std::move(page));
        // Esc once measured: the check ends after the request in flight.
        checks.append(measureWait(*window, service, controls.verifyButton,
                                  [&window] { window->stopRunningOperation(); }));

        controls.targetDomainEdit->setText(QStringLiteral("example.com"));
        targeted.append(measureWait(*window, service, controls.targetCheckButton, {}));
    }

    const QJsonObject report{{QStringLiteral("platform"), QGuiApplication::platformName()},
                             {QStringLiteral("measured_ms"), kMeasureUntilMs - kMeasureFromMs},
                             {QStringLiteral("answer_after_ms"), kAnswerAtMs},
                             {QStringLiteral("search"), percentages(searches)},
                             {QStringLiteral("check_every_name"), percentages(checks)},
                             {QStringLiteral("targeted_check"), percentages(targeted)}};
    std::printf("%s\n", QJsonDocument(report).toJson(QJsonDocument::Compact).constData());
    return 0;
}
