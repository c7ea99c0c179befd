// Peak resident memory of the program with 100,000 rows in its list: the window, shown, runs
// a real search of 3,334 pages against the stand-in executable in a process of its own; every
// row then gets a verdict and its evidence, as a check of every name leaves them, and the
// window repaints. Prints one line of JSON.
#include "BenchWindow.h"
#include "EveryName.h"
#include "ProcStatus.h"
#include "Watchdog.h"

#include "results/StatusLine.h"
#include "results/Workspace.h"
#include "sandbox/Availability.h"
#include "search/CriteriaLists.h"
#include "search/RunListSearch.h"
#include "verify/ApplyVerdict.h"
#include "web/Closing.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include <cstdio>

namespace {

constexpr int kRows = 100000;
// 3,334 pages of 30; the last one holds the 20 rows past 100,000.
constexpr int kNames = 100020;
constexpr int kStartTimeLimitMs = 60000;
constexpr int kSearchTimeLimitMs = 600000;

// Starts the stand-in on a free port and returns its base address, or an empty text.
QString startStandIn(QProcess& standIn, const QString& program) {
    standIn.setProcessChannelMode(QProcess::MergedChannels);
    standIn.start(program,
                  {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--size"),
                   QString::number(kNames), QStringLiteral("--seed"), QStringLiteral("20261208")});
    static const QRegularExpression announced(QStringLiteral("http://127\\.0\\.0\\.1:(\\d+)/"));
    QByteArray output;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kStartTimeLimitMs && standIn.state() != QProcess::NotRunning) {
        standIn.waitForReadyRead(1000);
        output += standIn.readAll();
        const QRegularExpressionMatch match = announced.match(QString::fromUtf8(output));
        if (match.hasMatch())
            return QStringLiteral("http://127.0.0.1:") + match.captured(1);
    }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-morrowcatch-sandbox\n", argv[0]);
        return 2;
    }
    QProcess standIn;
    const QString base = startStandIn(standIn, QString::fromLocal8Bit(argv[1]));
    if (base.isEmpty()) {
        std::fprintf(stderr, "the stand-in did not start\n");
        return 1;
    }

    std::unique_ptr<MainWindow> window = MakeShownWindow();
    const qint64 shownKb = ProcStatusKilobytes(QStringLiteral("VmRSS"));
    const qint64 shownAnonKb = ProcStatusKilobytes(QStringLiteral("RssAnon"));

    Closing closing;
    Workspace workspace{window->rows(), window->status(), closing};
    Watchdog watchdog(closing, kSearchTimeLimitMs);
    RunListSearch(base + u"/?", EveryNameCriteria(), workspace);
    ResultListModel& rows = window->rows();
    if (rows.count() > kRows)
        rows.removeRowsIf([&rows](const ResultRow& row) {
            return row.cells[ResultListModel::Number].toInt() > kRows;
        });
    window->repaint();
    QCoreApplication::processEvents();
    const qint64 searchedKb = ProcStatusKilobytes(QStringLiteral("VmRSS"));

    // What a check of every name leaves in each row: the verdict and its evidence.
    const QDateTime checkedAt = QDateTime::currentDateTime();
    for (int row = 0; row < rows.count(); ++row) {
        const bool isRegistered = row % 2 != 0;
        const QString answer = QString::fromStdString(
            AvailabilityAnswer(isRegistered ? Availability::Registered : Availability::Free,
                               rows.row(row).cells[ResultListModel::Domain].toStdString()));
        ApplyVerdict(rows, row,
                     isRegistered ? AnswerClass::Registered : AnswerClass::NotRegistered);
        rows.setEvidence(row, checkedAt, AnswerFirstLine(answer));
    }
    window->repaint();
    QCoreApplication::processEvents();

    standIn.terminate();
    standIn.waitForFinished(5000);
    const auto kb = [](const char* field) {
        return static_cast<long long>(ProcStatusKilobytes(QString::fromLatin1(field)));
    };
    std::printf("{\"rows\": %d, \"shown_rss_kb\": %lld, \"shown_anon_kb\": %lld, "
                "\"searched_rss_kb\": %lld, \"rss_kb\": %lld, \"anon_kb\": %lld, \"file_kb\": "
                "%lld, \"hwm_kb\": %lld}\n",
                rows.count(), static_cast<long long>(shownKb), static_cast<long long>(shownAnonKb),
                static_cast<long long>(searchedKb), kb("VmRSS"), kb("RssAnon"), kb("RssFile"),
                kb("VmHWM"));
    return rows.count() == kRows ? 0 : 1;
}
