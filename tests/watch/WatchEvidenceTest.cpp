// When the watch may say "free": only two free answers in a row, at least 30 seconds apart; and
// what a later answer does to a name that was found free.
#include "WatchPrinters.h"
#include "WatchedList.h"
#include "support/QStringPrinter.h"

#include "watch/WatchRules.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString kName = u"drop.example"_s;

struct Step {
    int atSecond; // after the first answer
    CheckVerdict verdict;
};

struct EvidenceCase {
    const char* what;
    QList<Step> answers;
    int state; // the stored number of the state expected at the end
    int announced;
};

void PrintTo(const EvidenceCase& c, std::ostream* out) {
    *out << c.what;
}

class WatchEvidenceTest : public WatchedList, public ::testing::WithParamInterface<EvidenceCase> {};

constexpr CheckVerdict F = CheckVerdict::Free;
constexpr CheckVerdict R = CheckVerdict::Registered;
constexpr CheckVerdict N = CheckVerdict::NoVerdict;
constexpr int kWatching = 1;
constexpr int kFree = 2;
constexpr int kCaught = 4;

} // namespace

// Each answer is asked for with "check now" at its second, so the test sets every gap itself.
TEST_P(WatchEvidenceTest, freeOnlyOnTwoFreeAnswersInARowThirtySecondsApart) {
    const EvidenceCase& c = GetParam();
    QSignalSpy announced(monitor.get(), &WatchMonitor::becameFree);
    ASSERT_TRUE(monitor->add(kName));
    const QDateTime first = now;
    for (const Step& step : c.answers) {
        now = first.addSecs(step.atSecond);
        monitor->checkNow({kName});
        ASSERT_EQ(asked.size(), &step - c.answers.data() + 1) << "at second " << step.atSecond;
        answer(step.verdict, 200, kName + u"|answer"_s);
    }
    EXPECT_EQ(int(monitor->entry(kName)->state), c.state);
    EXPECT_EQ(announced.size(), c.announced);
    WatchStore reread;
    ASSERT_TRUE(reread.open(dir.filePath(u"watchlist.sqlite"_s)).usable());
    EXPECT_EQ(int(reread.loadAll().value(0).state), c.state) << "as stored";
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, WatchEvidenceTest,
    ::testing::Values(
        EvidenceCase{"one free answer", {{0, F}}, kWatching, 0},
        EvidenceCase{"two free answers 29 s apart", {{0, F}, {29, F}}, kWatching, 0},
        EvidenceCase{"two free answers 30 s apart", {{0, F}, {30, F}}, kFree, 1},
        EvidenceCase{"an early second answer keeps the first", {{0, F}, {5, F}, {30, F}}, kFree, 1},
        EvidenceCase{
            "registered in between starts again", {{0, F}, {10, R}, {40, F}}, kWatching, 0},
        EvidenceCase{
            "no verdict in between starts again", {{0, F}, {10, N}, {40, F}}, kWatching, 0},
        EvidenceCase{"a new run of two", {{0, F}, {10, R}, {40, F}, {70, F}}, kFree, 1},
        EvidenceCase{"free, then registered", {{0, F}, {30, F}, {60, R}}, kCaught, 1},
        EvidenceCase{"free stays on no verdict", {{0, F}, {30, F}, {60, N}}, kFree, 1},
        EvidenceCase{"free announced once", {{0, F}, {30, F}, {60, F}, {90, F}}, kFree, 1}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(WatchedList, aFirstFreeAnswerIsConfirmedThirtySecondsLaterNotAnIntervalLater) {
    QSignalSpy announced(monitor.get(), &WatchMonitor::becameFree);
    ASSERT_TRUE(monitor->add(kName));
    answer(CheckVerdict::Free);
    EXPECT_EQ(monitor->entry(kName)->nextCheck, now.addSecs(30));
    advanceSeconds(29);
    EXPECT_EQ(asked.size(), 1);
    advanceSeconds(1);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(announced.isEmpty());
    answer(CheckVerdict::Free);
    EXPECT_EQ(monitor->entry(kName)->state, WatchState::Free);
    EXPECT_EQ(announced.size(), 1);
}

TEST_F(WatchedList, aFreeNameIsCheckedNowAndOnceFoundTakenItIsCaughtAndNoLongerChecked) {
    QSignalSpy announced(monitor.get(), &WatchMonitor::becameFree);
    ASSERT_TRUE(monitor->add(kName));
    answer(CheckVerdict::Free);
    advanceSeconds(30);
    answer(CheckVerdict::Free);
    ASSERT_EQ(monitor->entry(kName)->state, WatchState::Free);

    advanceSeconds(60);
    monitor->checkNow({kName});
    ASSERT_EQ(asked.size(), 3) << "check now skipped a free name";
    answer(CheckVerdict::Registered);
    const WatchEntry caught = *monitor->entry(kName);
    EXPECT_EQ(int(caught.state), kCaught);
    EXPECT_FALSE(caught.nextCheck.isValid());
    advanceSeconds(24 * 3600);
    EXPECT_EQ(asked.size(), 3) << "a caught name is not checked on its own";
    EXPECT_EQ(announced.size(), 1);
}

TEST_F(WatchedList, aGivenUpNameCheckedNowNeedsTheSameEvidence) {
    const QDate date = kStart.date().addDays(-10);
    ASSERT_TRUE(monitor->add(kName, date));
    ASSERT_EQ(monitor->entry(kName)->state, WatchState::GivenUp);
    monitor->checkNow({kName});
    ASSERT_EQ(asked.size(), 1);
    answer(CheckVerdict::Free);
    EXPECT_EQ(monitor->entry(kName)->state, WatchState::GivenUp);
    advanceSeconds(30);
    ASSERT_EQ(asked.size(), 2) << "the confirming check is planned for a given-up name too";
    answer(CheckVerdict::Free);
    EXPECT_EQ(monitor->entry(kName)->state, WatchState::Free);
}
