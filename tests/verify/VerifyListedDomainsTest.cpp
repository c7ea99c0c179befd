#include "verify/VerifyListedDomains.h"
#include "CheckServer.h"
#include "support/UserTexts.h"
#include "support/WorkspaceWithHistory.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace UserTexts;

namespace {

const std::string kRefusalMarker = ServiceMarkers::kRefusal;

TEST(VerifyListedDomains, asksEveryRowOnceInOrder_andWritesTheVerdictsWithTheirEvidence) {
    CheckServer server;
    server.answer("taken.com", {200, "|211|\nsecond line"});
    server.answer(" free.com", {200, "|210|"});
    server.answer("中文.cn", {200, "|210|"});
    WorkspaceWithHistory ws;
    ws.addRow(QStringLiteral("taken.com"));
    ws.addRow(QStringLiteral(" free.com"), kRegistered, true);
    ws.addRow(QStringLiteral("中文.cn"));

    QElapsedTimer clock;
    clock.start();
    VerifyListedDomains(server.base(), ws.workspace);
    // A pause of 100 ms follows every question.
    EXPECT_GE(clock.elapsed(), 300);

    const std::vector<std::string> asked{"/check/check_ac1.cgi?domain=taken.com",
                                         "/check/check_ac1.cgi?domain=%20free.com",
                                         "/check/check_ac1.cgi?domain=%E4%B8%AD%E6%96%87.cn"};
    EXPECT_EQ(server.targets(), asked);
    EXPECT_EQ(ws.verdict(0), kRegistered);
    EXPECT_TRUE(ws.rows.row(0).subdued);
    // Found free after being registered: the new verdict, the old colour.
    EXPECT_EQ(ws.verdict(1), kFree);
    EXPECT_TRUE(ws.rows.row(1).subdued);
    EXPECT_EQ(ws.verdict(2), kFree);
    EXPECT_FALSE(ws.rows.row(2).subdued);
    EXPECT_EQ(ws.history, (std::vector<QString>{kListCheckStarting, kAllVerified}));
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(ws.rows.checkedAt(row), WorkspaceWithHistory::kNow) << row;
    EXPECT_EQ(ws.rows.answerLine(0), QStringLiteral("|211|"));
    EXPECT_EQ(ws.rows.answerLine(1), QStringLiteral("|210|"));

    VerifyListedDomains(server.base(), ws.workspace);
    EXPECT_EQ(server.targets().size(), 6u);
}

TEST(VerifyListedDomains, aQuestionThatTimesOut_leavesItsRowAndTheRunGoesOn) {
    CheckServer server;
    server.answer("a.com", {200, "|211|"});
    server.answer("slow.com", {200, "|211|", true});
    server.answer("c.com", {200, "|210|"});
    WorkspaceWithHistory ws;
    ws.workspace.fetchTimeLimit = 300ms;
    ws.addRow(QStringLiteral("a.com"));
    ws.addRow(QStringLiteral("slow.com"), kFree);
    ws.addRow(QStringLiteral("c.com"));

    VerifyListedDomains(server.base(), ws.workspace);

    EXPECT_EQ(server.targets().size(), 3u);
    EXPECT_EQ(ws.verdict(0), kRegistered);
    EXPECT_EQ(ws.verdict(1), kFree);
    EXPECT_FALSE(ws.rows.row(1).subdued);
    EXPECT_FALSE(ws.rows.checkedAt(1).isValid());
    EXPECT_EQ(ws.verdict(2), kFree);
    EXPECT_EQ(ws.history,
              (std::vector<QString>{kListCheckStarting, kTimedOut, kNoAnswer, kAllVerified}));
}

TEST(VerifyListedDomains, refusalsAndErrorPages_giveNoVerdict) {
    CheckServer server;
    server.answer("both.com", {200, kRefusalMarker + "|211|"});
    server.answer("error.com", {500, "|210| service unavailable"});
    server.answer("free.com", {200, "|210|"});
    WorkspaceWithHistory ws;
    ws.addRow(QStringLiteral("both.com"), kFree);
    ws.addRow(QStringLiteral("error.com"));
    ws.addRow(QStringLiteral("free.com"));

    VerifyListedDomains(server.base(), ws.workspace);

    EXPECT_EQ(ws.verdict(0), kFree);
    EXPECT_FALSE(ws.rows.row(0).subdued);
    EXPECT_EQ(ws.verdict(1), QString());
    EXPECT_FALSE(ws.rows.checkedAt(1).isValid());
    EXPECT_EQ(ws.verdict(2), kFree);
    EXPECT_EQ(ws.history,
              (std::vector<QString>{kListCheckStarting, kRateRefused, kNoAnswer, kAllVerified}));
}

TEST(VerifyListedDomains, emptyList_asksNothing) {
    CheckServer server;
    WorkspaceWithHistory ws;
    VerifyListedDomains(server.base(), ws.workspace);
    FilterRegistered(ws.workspace);
    EXPECT_TRUE(server.targets().empty());
    EXPECT_EQ(ws.rows.count(), 0);
    EXPECT_EQ(ws.history, (std::vector<QString>{kListCheckStarting, kAllVerified, kFiltered}));
}

TEST(VerifyListedDomains, closing_stopsTheRunAtOnce) {
    CheckServer server;
    server.answer("slow.com", {200, "|211|", true});
    server.answer("b.com", {200, "|211|"});
    WorkspaceWithHistory ws;
    ws.workspace.fetchTimeLimit = 60s;
    ws.addRow(QStringLiteral("slow.com"));
    ws.addRow(QStringLiteral("b.com"));
    server.onQuestionAbout("slow.com", [&ws] { ws.closing.begin(); });

    QElapsedTimer clock;
    clock.start();
    VerifyListedDomains(server.base(), ws.workspace);

    EXPECT_LT(clock.elapsed(), 30'000) << "returns well before the 60 s limit";
    EXPECT_EQ(server.targets().size(), 1u);
    EXPECT_EQ(ws.verdict(0), QString());
    EXPECT_EQ(ws.verdict(1), QString());
    EXPECT_EQ(ws.history, std::vector<QString>{kListCheckStarting});
}

TEST(VerifyListedDomains, rowsRemovedDuringAWait_areSkipped) {
    CheckServer server;
    server.answer("slow.com", {200, "|211|", true});
    server.answer("b.com", {200, "|211|"});
    WorkspaceWithHistory ws;
    ws.addRow(QStringLiteral("slow.com"));
    ws.addRow(QStringLiteral("b.com"));
    server.onQuestionAbout("slow.com", [&] {
        ws.rows.clear();
        server.release();
    });

    VerifyListedDomains(server.base(), ws.workspace);

    EXPECT_EQ(server.targets().size(), 1u);
    EXPECT_EQ(ws.rows.count(), 0);
    EXPECT_EQ(ws.history, (std::vector<QString>{kListCheckStarting, kAllVerified}));
}

TEST(FilterRegistered, keepsOnlyFreeRows_numberedAfresh) {
    WorkspaceWithHistory ws;
    ws.addRow(QStringLiteral("first.com"), kFree);
    ws.addRow(QStringLiteral("taken.com"), kRegistered, true);
    ws.addRow(QStringLiteral("unchecked.com"));
    ws.addRow(QStringLiteral("last.com"), kFree, true);
    ws.addRow(QStringLiteral("almost.com"), kFree + u' ');

    FilterRegistered(ws.workspace);

    ASSERT_EQ(ws.rows.count(), 2);
    EXPECT_EQ(ws.rows.cell(0, ResultListModel::Domain), QStringLiteral("first.com"));
    EXPECT_EQ(ws.rows.cell(0, ResultListModel::Number), QStringLiteral("1"));
    EXPECT_FALSE(ws.rows.row(0).subdued);
    EXPECT_EQ(ws.rows.cell(1, ResultListModel::Domain), QStringLiteral("last.com"));
    EXPECT_EQ(ws.rows.cell(1, ResultListModel::Number), QStringLiteral("2"));
    EXPECT_EQ(ws.rows.cell(1, ResultListModel::DeletionTime),
              QStringLiteral("2026-12-09 10:00:00"));
    EXPECT_TRUE(ws.rows.row(1).subdued);
    EXPECT_EQ(ws.history, std::vector<QString>{kFiltered});
}

} // namespace
