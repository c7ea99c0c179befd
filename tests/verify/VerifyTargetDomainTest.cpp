#include "verify/VerifyTargetDomain.h"
#include "CheckServer.h"
#include "verify/AvailabilityCheck.h"

#include <QNetworkReply>
#include <QTcpServer>
#include <QTimer>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const QString kStart = QStringLiteral("状态：开始验证用户指定域名...");
const QString kDone = QStringLiteral("状态：用户指定的域名已完成验证。");
const QString kErrorPrefix = QStringLiteral("状态：发生错误，错误代码：");
const std::string kRefusalMarker = "您的请求过于频繁";

TEST(VerifyTargetDomain, appendsEachCheckedNameAsTheNextRow) {
    CheckServer server;
    server.answer("taken.com", {200, "|211|"});
    server.answer("free.com ", {200, "|210|"});
    CheckWorkspace ws;
    for (int i = 0; i < 30; ++i)
        ws.addRow(QStringLiteral("listed%1.com").arg(i), kVerdictFree);

    VerifyTargetDomain(server.base(), QStringLiteral("taken.com"), ws.workspace);
    VerifyTargetDomain(server.base(), QStringLiteral("taken.com"), ws.workspace);
    VerifyTargetDomain(server.base(), QStringLiteral("free.com "), ws.workspace);

    ASSERT_EQ(ws.rows.count(), 33);
    for (const int row : {30, 31}) {
        EXPECT_EQ(ws.rows.cell(row, ResultListModel::Number), QString::number(row + 1));
        EXPECT_EQ(ws.rows.cell(row, ResultListModel::Domain), QStringLiteral("taken.com"));
        EXPECT_EQ(ws.rows.cell(row, ResultListModel::DeletionTime), QString());
        EXPECT_EQ(ws.rows.cell(row, ResultListModel::DeletionType), QString());
        EXPECT_EQ(ws.rows.cell(row, ResultListModel::Suggestion), QString());
        EXPECT_EQ(ws.verdict(row), kVerdictRegistered);
        EXPECT_TRUE(ws.rows.row(row).subdued);
    }
    EXPECT_EQ(ws.rows.cell(32, ResultListModel::Number), QStringLiteral("33"));
    EXPECT_EQ(ws.rows.cell(32, ResultListModel::Domain), QStringLiteral("free.com "));
    EXPECT_EQ(ws.verdict(32), kVerdictFree);
    EXPECT_FALSE(ws.rows.row(32).subdued);
    EXPECT_EQ(server.targets().back(), "/check/check_ac1.cgi?domain=free.com%20");
    EXPECT_EQ(ws.history, (std::vector<QString>{kStart, kDone, kStart, kDone, kStart, kDone}));
}

TEST(VerifyTargetDomain, noVerdict_addsNoRow_andEndsWithItsOwnText) {
    CheckServer server;
    server.answer("busy.com", {200, kRefusalMarker});
    server.answer("error.com", {502, "|210| bad gateway"});
    QTcpServer closedPort;
    ASSERT_TRUE(closedPort.listen(QHostAddress::LocalHost));
    const QString refusedBase =
        QStringLiteral("http://127.0.0.1:") + QString::number(closedPort.serverPort());
    closedPort.close();
    CheckWorkspace ws;

    VerifyTargetDomain(server.base(), QStringLiteral("busy.com"), ws.workspace);
    VerifyTargetDomain(server.base(), QStringLiteral("error.com"), ws.workspace);
    VerifyTargetDomain(refusedBase, QStringLiteral("any.com"), ws.workspace);

    EXPECT_EQ(ws.rows.count(), 0);
    EXPECT_EQ(server.targets().size(), 2u);
    ASSERT_EQ(ws.history.size(), 7u);
    // The connection failure was reported, then replaced by the end text.
    EXPECT_EQ(ws.history[5], kErrorPrefix + QString::number(QNetworkReply::ConnectionRefusedError));
    EXPECT_EQ(ws.status.text(), kDone);
}

TEST(VerifyTargetDomain, rowIsNumberedAfterTheWait_behindRowsAddedMeanwhile) {
    CheckServer server;
    server.answer("slow.com", {200, "|211|", 500ms});
    server.answer("fast.com", {200, "|210|"});
    CheckWorkspace ws;
    ws.addRow(QStringLiteral("listed.com"));
    QTimer::singleShot(
        100, [&] { VerifyTargetDomain(server.base(), QStringLiteral("fast.com"), ws.workspace); });

    VerifyTargetDomain(server.base(), QStringLiteral("slow.com"), ws.workspace);

    ASSERT_EQ(ws.rows.count(), 3);
    EXPECT_EQ(ws.rows.cell(1, ResultListModel::Domain), QStringLiteral("fast.com"));
    EXPECT_EQ(ws.rows.cell(1, ResultListModel::Number), QStringLiteral("2"));
    EXPECT_EQ(ws.rows.cell(2, ResultListModel::Domain), QStringLiteral("slow.com"));
    EXPECT_EQ(ws.rows.cell(2, ResultListModel::Number), QStringLiteral("3"));
    EXPECT_EQ(ws.verdict(2), kVerdictRegistered);
    EXPECT_EQ(ws.status.text(), kDone);
}

TEST(VerifyTargetDomain, closingDuringTheWait_addsNoRow) {
    CheckServer server;
    server.answer("slow.com", {200, "|211|", 3000ms});
    CheckWorkspace ws;
    QTimer::singleShot(100, &ws.closing, &Closing::begin);

    VerifyTargetDomain(server.base(), QStringLiteral("slow.com"), ws.workspace);

    EXPECT_EQ(ws.rows.count(), 0);
    EXPECT_EQ(ws.history, std::vector<QString>{kStart});
}

} // namespace
