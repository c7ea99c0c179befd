#include "verify/VerifyTargetDomain.h"
#include "CheckServer.h"
#include "support/UserTexts.h"
#include "support/WorkspaceWithHistory.h"

#include <QElapsedTimer>
#include <QNetworkReply>
#include <QTcpServer>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

using namespace UserTexts;

namespace {

const QString kStart = kTypedCheckStarting;
const QString kDone = kTypedVerified;

TEST(VerifyTargetDomain, appendsEachCheckedNameAsTheNextRow) {
    CheckServer server;
    server.answer("taken.com", {200, "|211|"});
    server.answer("free.com ", {200, "|210|"});
    WorkspaceWithHistory ws;
    for (int i = 0; i < 30; ++i)
        ws.addRow(QStringLiteral("listed%1.com").arg(i), Rows::Verdict::Free);

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
        EXPECT_EQ(ws.verdict(row), kRegistered);
        EXPECT_TRUE(ws.rows.row(row).subdued);
        EXPECT_EQ(ws.rows.checkedAt(row), WorkspaceWithHistory::kNow);
        EXPECT_EQ(ws.rows.answerLine(row), QStringLiteral("|211|"));
    }
    EXPECT_EQ(ws.rows.cell(32, ResultListModel::Number), QStringLiteral("33"));
    EXPECT_EQ(ws.rows.cell(32, ResultListModel::Domain), QStringLiteral("free.com "));
    EXPECT_EQ(ws.verdict(32), kFree);
    EXPECT_FALSE(ws.rows.row(32).subdued);
    EXPECT_EQ(server.targets().back(), "/check/check_ac1.cgi?domain=free.com%20");
    EXPECT_EQ(ws.history, (std::vector<QString>{kStart, kDone, kStart, kDone, kStart, kDone}));
}

TEST(VerifyTargetDomain, noVerdict_addsNoRow_andEndsWithItsOwnText) {
    CheckServer server;
    server.answer("busy.com", {200, ServiceMarkers::kRefusal});
    server.answer("error.com", {502, "|210| bad gateway"});
    QTcpServer closedPort;
    ASSERT_TRUE(closedPort.listen(QHostAddress::LocalHost));
    const QString refusedBase =
        QStringLiteral("http://127.0.0.1:") + QString::number(closedPort.serverPort());
    closedPort.close();
    WorkspaceWithHistory ws;

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
    server.answer("slow.com", {200, "|211|", true});
    server.answer("fast.com", {200, "|210|"});
    WorkspaceWithHistory ws;
    ws.addRow(QStringLiteral("listed.com"));
    server.onQuestionAbout("slow.com", [&] {
        VerifyTargetDomain(server.base(), QStringLiteral("fast.com"), ws.workspace);
        server.release();
    });

    VerifyTargetDomain(server.base(), QStringLiteral("slow.com"), ws.workspace);

    ASSERT_EQ(ws.rows.count(), 3);
    EXPECT_EQ(ws.rows.cell(1, ResultListModel::Domain), QStringLiteral("fast.com"));
    EXPECT_EQ(ws.rows.cell(1, ResultListModel::Number), QStringLiteral("2"));
    EXPECT_EQ(ws.rows.cell(2, ResultListModel::Domain), QStringLiteral("slow.com"));
    EXPECT_EQ(ws.rows.cell(2, ResultListModel::Number), QStringLiteral("3"));
    EXPECT_EQ(ws.verdict(2), kRegistered);
    EXPECT_EQ(ws.history, (std::vector<QString>{kStart, kStart, kDone, kDone}));
}

TEST(VerifyTargetDomain, closingDuringTheWait_addsNoRow) {
    CheckServer server;
    server.answer("slow.com", {200, "|211|", true});
    WorkspaceWithHistory ws;
    ws.workspace.fetchTimeLimit = 60s;
    server.onQuestionAbout("slow.com", [&ws] { ws.closing.begin(); });

    QElapsedTimer clock;
    clock.start();
    VerifyTargetDomain(server.base(), QStringLiteral("slow.com"), ws.workspace);

    EXPECT_LT(clock.elapsed(), 30'000) << "returns well before the 60 s limit";
    EXPECT_EQ(ws.rows.count(), 0);
    EXPECT_EQ(ws.history, std::vector<QString>{kStart});
}

} // namespace
