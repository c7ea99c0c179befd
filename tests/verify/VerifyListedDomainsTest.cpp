#include "verify/VerifyListedDomains.h"
#include "CheckServer.h"
#include "support/UserTexts.h"
#include "support/WorkspaceWithHistory.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace UserTexts;
using Verdict = Rows::Verdict;

namespace {

const std::string kRefusalMarker = ServiceMarkers::kRefusal;

TEST(VerifyListedDomains, asksEveryRowOnceInOrder_andWritesTheVerdictsWithTheirEvidence) {
    CheckServer server;
    server.answer("taken.com", {200, "|211|\nsecond line"});
    server.answer(" free.com", {200, "|210|"});
    server.answer("中文.cn", {200, "|210|"});
    WorkspaceWithHistory ws;
    ws.addRow(QStringLiteral("taken.com"));
    ws.addRow(QStringLiteral(" free.com"), Verdict::Registered, true);
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
    ws.addRow(QStringLiteral("slow.com"), Verdict::Free);
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
    ws.addRow(QStringLiteral("both.com"), Verdict::Free);
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

// A row as the check left it, and texts that read like a verdict although no check gave them:
// the service's suggestion, and a write of the verdict cell's text.
struct ListedRow {
    const char* domain;
    Verdict verdict;
    bool subdued = false;
    const char* suggestion = "3";
    const char* verdictText = nullptr;
};

void addRows(WorkspaceWithHistory& ws, std::initializer_list<ListedRow> rows) {
    for (const ListedRow& row : rows) {
        ws.addRow(QString::fromUtf8(row.domain), row.verdict, row.subdued);
        const int at = ws.rows.count() - 1;
        ws.rows.setCell(at, ResultListModel::Suggestion, QString::fromUtf8(row.suggestion));
        if (row.verdictText)
            ws.rows.setCell(at, ResultListModel::Verdict, QString::fromUtf8(row.verdictText));
    }
}

TEST(FilterRegistered, keepsOnlyRowsFoundFree_numberedAfresh_whateverTheirTextsSay) {
    WorkspaceWithHistory ws;
    addRows(ws, {
                    {"first.com", Verdict::Free},
                    {"taken.com", Verdict::Registered, true},
                    {"unchecked.com", Verdict::None},
                    {"last.com", Verdict::Free, true},
                    {"said-free.com", Verdict::None, false, "未被注册---OK", "未被注册---OK"},
                    {"said-taken.com", Verdict::Free, false, "已被注册", "已被注册"},
                });

    FilterRegistered(ws.workspace);

    EXPECT_EQ(ws.domains(), Rows::texts({"first.com", "last.com", "said-taken.com"}));
    EXPECT_EQ(Rows::column(ws.rows, ResultListModel::Number), Rows::texts({"1", "2", "3"}));
    EXPECT_EQ(Rows::column(ws.rows, ResultListModel::Verdict), std::vector<QString>(3, kFree));
    EXPECT_FALSE(ws.rows.row(0).subdued);
    EXPECT_TRUE(ws.rows.row(1).subdued) << "a kept row keeps its colour";
    EXPECT_EQ(ws.rows.cell(1, ResultListModel::DeletionTime), QStringLiteral("2026-12-09"));
    EXPECT_EQ(ws.rows.row(1).deletionDate(), QDate(2026, 12, 9)) << "and its date";
    EXPECT_EQ(ws.history, std::vector<QString>{kFiltered});
}

TEST(VerifyUncheckedDomains, asksOnlyAboutRowsWithoutAVerdict_whateverTheirTextsSay) {
    CheckServer server;
    for (const char* name : {"done.com", "open.com", "said-free.com", "taken.com"})
        server.answer(name, {200, "|211|"});
    WorkspaceWithHistory ws;
    addRows(ws, {
                    {"done.com", Verdict::Free, false, "已被注册"},
                    {"open.com", Verdict::None},
                    {"said-free.com", Verdict::None, false, "未被注册---OK", "未被注册---OK"},
                    {"taken.com", Verdict::Registered, true},
                });

    VerifyUncheckedDomains(server.base(), ws.workspace);

    EXPECT_EQ(server.targets(),
              (std::vector<std::string>{"/check/check_ac1.cgi?domain=open.com",
                                        "/check/check_ac1.cgi?domain=said-free.com"}));
    EXPECT_EQ(Rows::column(ws.rows, ResultListModel::Verdict),
              (std::vector<QString>{kFree, kRegistered, kRegistered, kRegistered}));
    EXPECT_FALSE(ws.rows.row(0).subdued);
    EXPECT_TRUE(ws.rows.row(2).subdued);
}

} // namespace
