// When the watch may say "free": only on two free answers in a row, at least 30 seconds apart;
// and what a later answer does to a name that was found free.
#include "WatchedList.h"
#include "support/QStringPrinter.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString kName = u"drop.example"_s;
constexpr CheckVerdict F = CheckVerdict::Free, R = CheckVerdict::Registered,
                       N = CheckVerdict::NoVerdict;
constexpr int kWatching = 1, kFree = 2, kCaught = 4; // the stored numbers

struct EvidenceCase {
    const char* what;
    QList<std::pair<int, CheckVerdict>> answers; // at seconds after the first
    int state;
    int announced;
};

void PrintTo(const EvidenceCase& c, std::ostream* out) {
    *out << c.what;
}

class WatchEvidence : public WatchedList, public ::testing::WithParamInterface<EvidenceCase> {};

} // namespace

// Each answer is asked for with "check now" at its second, so the test sets every gap itself.
TEST_P(WatchEvidence, freeOnlyOnTwoFreeAnswersInARowThirtySecondsApart) {
    const EvidenceCase& c = GetParam();
    QSignalSpy announced(monitor.get(), &WatchMonitor::becameFree);
    ASSERT_TRUE(monitor->add(kName));
    const QDateTime first = now;
    for (const auto& [second, verdict] : c.answers) {
        now = first.addSecs(second);
        monitor->checkNow({kName});
        answer(verdict);
    }
    EXPECT_EQ(asked.size(), c.answers.size()) << "check now skipped the name";
    const WatchEntry entry = *monitor->entry(kName);
    EXPECT_EQ(int(entry.state), c.state);
    EXPECT_EQ(entry.nextCheck.isValid(), c.state == kWatching) << "checks stop once finished";
    EXPECT_EQ(announced.size(), c.announced);
    WatchStore reread;
    ASSERT_TRUE(reread.open(dir.filePath(u"watchlist.sqlite"_s)).usable());
    EXPECT_EQ(int(reread.loadAll().value(0).state), c.state) << "as stored";
}

INSTANTIATE_TEST_SUITE_P(
    Answers, WatchEvidence,
    ::testing::Values(
        EvidenceCase{"one free answer", {{0, F}}, kWatching, 0},
        EvidenceCase{"two free answers 29 s apart", {{0, F}, {29, F}}, kWatching, 0},
        EvidenceCase{"two free answers 30 s apart", {{0, F}, {30, F}}, kFree, 1},
        EvidenceCase{"an early second keeps the first", {{0, F}, {5, F}, {30, F}}, kFree, 1},
        EvidenceCase{"registered in between", {{0, F}, {10, R}, {40, F}}, kWatching, 0},
        EvidenceCase{"no verdict in between", {{0, F}, {10, N}, {40, F}}, kWatching, 0},
        EvidenceCase{"a new row of two", {{0, F}, {10, R}, {40, F}, {70, F}}, kFree, 1},
        EvidenceCase{"free, then registered", {{0, F}, {30, F}, {60, R}}, kCaught, 1},
        EvidenceCase{"free stays on no verdict", {{0, F}, {30, F}, {60, N}}, kFree, 1},
        EvidenceCase{
            "caught, then free again", {{0, F}, {30, F}, {60, R}, {90, F}, {120, F}}, kFree, 2},
        EvidenceCase{"announced once", {{0, F}, {30, F}, {60, F}, {90, F}}, kFree, 1}));

TEST_F(WatchedList, aFirstFreeAnswerIsConfirmedThirtySecondsLaterNotAnIntervalLater) {
    ASSERT_TRUE(monitor->add(kName));
    answer(CheckVerdict::Free);
    advanceSeconds(29);
    EXPECT_EQ(asked.size(), 1);
    advanceSeconds(1);
    ASSERT_EQ(asked.size(), 2);
    answer(CheckVerdict::Free);
    EXPECT_EQ(monitor->entry(kName)->state, WatchState::Free);
}

TEST_F(WatchedList, aGivenUpNameCheckedNowNeedsTheSameEvidence) {
    ASSERT_TRUE(monitor->add(kName, kStart.date().addDays(-10)));
    monitor->checkNow({kName});
    answer(CheckVerdict::Free);
    EXPECT_EQ(monitor->entry(kName)->state, WatchState::GivenUp);
    advanceSeconds(30);
    ASSERT_EQ(asked.size(), 2) << "the confirming check is planned for a given-up name too";
    answer(CheckVerdict::Free);
    EXPECT_EQ(monitor->entry(kName)->state, WatchState::Free);
}
