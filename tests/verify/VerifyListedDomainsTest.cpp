#include "verify/VerifyListedDomains.h"
#include "CheckServer.h"
#include "verify/AvailabilityCheck.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const QString kStart = QStringLiteral("状态：开始验证列表中的域名...");
const QString kNoAnswer = QStringLiteral("状态：获取域名列表失败。");
const QString kRefused = QStringLiteral("状态：操作过于频繁，请稍后再试。");
const QString kDone = QStringLiteral("状态：所有域名已完成验证。");
const QString kFiltered = QStringLiteral("状态：已被注册的域名已被过滤。");
const QString kTimedOut = QStringLiteral("状态：超时，跳过...");
const std::string kRefusalMarker = "您的请求过于频繁";

TEST(VerifyListedDomains, asksEveryRowOnceInOrder_andWritesTheVerdicts) {
    CheckServer server;
    server.answer("taken.com", {200, "|211|"});
    server.answer(" free.com", {200, "|210|"});
    server.answer("中文.cn", {200, "|210|"});
    CheckWorkspace ws;
    ws.addRow(QStringLiteral("taken.com"));
    ws.addRow(QStringLiteral(" free.com"), kVerdictRegistered, true);
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
    EXPECT_EQ(ws.verdict(0), kVerdictRegistered);
    EXPECT_TRUE(ws.rows.row(0).subdued);
    // Found free after being registered: the new verdict, the old colour.
    EXPECT_EQ(ws.verdict(1), kVerdictFree);
    EXPECT_TRUE(ws.rows.row(1).subdued);
    EXPECT_EQ(ws.verdict(2), kVerdictFree);
    EXPECT_FALSE(ws.rows.row(2).subdued);
    EXPECT_EQ(ws.history, (std::vector<QString>{kStart, kDone}));

    VerifyListedDomains(server.base(), ws.workspace);
    EXPECT_EQ(server.targets().size(), 6u);
}

TEST(VerifyListedDomains, aQuestionThatTimesOut_leavesItsRowAndTheRunGoesOn) {
    CheckServer server;
    server.answer("a.com", {200, "|211|"});
    server.answer("slow.com", {200, "|211|", 6000ms});
    server.answer("c.com", {200, "|210|"});
    CheckWorkspace ws;
    ws.addRow(QStringLiteral("a.com"));
    ws.addRow(QStringLiteral("slow.com"), kVerdictFree);
    ws.addRow(QStringLiteral("c.com"));

    VerifyListedDomains(server.base(), ws.workspace);

    EXPECT_EQ(ws.verdict(0), kVerdictRegistered);
    EXPECT_EQ(ws.verdict(1), kVerdictFree);
    EXPECT_FALSE(ws.rows.row(1).subdued);
    EXPECT_EQ(ws.verdict(2), kVerdictFree);
    EXPECT_EQ(ws.history, (std::vector<QString>{kStart, kTimedOut, kNoAnswer, kDone}));
}

TEST(VerifyListedDomains, refusalsAndErrorPages_giveNoVerdict) {
    CheckServer server;
    server.answer("both.com", {200, kRefusalMarker + "|211|"});
    server.answer("error.com", {500, "|210| service unavailable"});
    server.answer("free.com", {200, "|210|"});
    CheckWorkspace ws;
    ws.addRow(QStringLiteral("both.com"), kVerdictFree);
    ws.addRow(QStringLiteral("error.com"));
    ws.addRow(QStringLiteral("free.com"));

    VerifyListedDomains(server.base(), ws.workspace);

    EXPECT_EQ(ws.verdict(0), kVerdictFree);
    EXPECT_FALSE(ws.rows.row(0).subdued);
    EXPECT_EQ(ws.verdict(1), QString());
    EXPECT_EQ(ws.verdict(2), kVerdictFree);
    EXPECT_EQ(ws.history, (std::vector<QString>{kStart, kRefused, kNoAnswer, kDone}));
}

TEST(VerifyListedDomains, emptyList_asksNothing) {
    CheckServer server;
    CheckWorkspace ws;
    VerifyListedDomains(server.base(), ws.workspace);
    FilterRegistered(ws.workspace);
    EXPECT_TRUE(server.targets().empty());
    EXPECT_EQ(ws.rows.count(), 0);
    EXPECT_EQ(ws.history, (std::vector<QString>{kStart, kDone, kFiltered}));
}

TEST(VerifyListedDomains, closing_stopsTheRunAtOnce) {
    CheckServer server;
    server.answer("slow.com", {200, "|211|", 3000ms});
    server.answer("b.com", {200, "|211|"});
    CheckWorkspace ws;
    ws.addRow(QStringLiteral("slow.com"));
    ws.addRow(QStringLiteral("b.com"));
    QTimer::singleShot(100, &ws.closing, &Closing::begin);

    QElapsedTimer clock;
    clock.start();
    VerifyListedDomains(server.base(), ws.workspace);

    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(server.targets().size(), 1u);
    EXPECT_EQ(ws.verdict(0), QString());
    EXPECT_EQ(ws.verdict(1), QString());
    EXPECT_EQ(ws.history, std::vector<QString>{kStart});
}

TEST(VerifyListedDomains, rowsRemovedDuringAWait_areSkipped) {
    CheckServer server;
    server.answer("slow.com", {200, "|211|", 300ms});
    server.answer("b.com", {200, "|211|"});
    CheckWorkspace ws;
    ws.addRow(QStringLiteral("slow.com"));
    ws.addRow(QStringLiteral("b.com"));
    QTimer::singleShot(50, [&ws] { ws.rows.clear(); });

    VerifyListedDomains(server.base(), ws.workspace);

    EXPECT_EQ(server.targets().size(), 1u);
    EXPECT_EQ(ws.rows.count(), 0);
    EXPECT_EQ(ws.history.back(), kDone);
}

TEST(FilterRegistered, keepsOnlyFreeRows_numberedAfresh) {
    CheckWorkspace ws;
    ws.addRow(QStringLiteral("first.com"), kVerdictFree);
    ws.addRow(QStringLiteral("taken.com"), kVerdictRegistered, true);
    ws.addRow(QStringLiteral("unchecked.com"));
    ws.addRow(QStringLiteral("last.com"), kVerdictFree, true);
    ws.addRow(QStringLiteral("almost.com"), kVerdictFree + u' ');

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
