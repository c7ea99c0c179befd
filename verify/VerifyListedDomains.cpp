#include "verify/VerifyListedDomains.h"

#include "results/FetchStatus.h"
#include "results/ResultListModel.h"
#include "results/StatusLine.h"
#include "results/Workspace.h"
#include "verify/ApplyVerdict.h"
#include "web/Closing.h"
#include "web/FetchPage.h"
#include "web/Pause.h"

namespace {

const QString kStartText = QStringLiteral("状态：开始验证列表中的域名...");
const QString kNoAnswerText = QStringLiteral("状态：获取域名列表失败。");
const QString kRefusedText = QStringLiteral("状态：操作过于频繁，请稍后再试。");
const QString kDoneText = QStringLiteral("状态：所有域名已完成验证。");
const QString kFilteredText = QStringLiteral("状态：已被注册的域名已被过滤。");

constexpr double kPauseAfterEachMs = 100;

void verifyRows(const QString& checkBase, Workspace& workspace, bool onlyUnchecked) {
    ResultListModel& rows = workspace.rows;
    workspace.status.setText(kStartText);
    // Rows that a nested targeted check appends meanwhile are not visited.
    const int rowCount = rows.count();
    workspace.reportProgress(0, rowCount);
    for (int row = 0; row < rowCount && !workspace.stopRequested; ++row) {
        if (workspace.closing.isClosing())
            return;
        if (row >= rows.count())
            continue;
        if (onlyUnchecked && rows.row(row).verdict != ResultRow::Verdict::None)
            continue;
        const QString address =
            AvailabilityAddress(checkBase, rows.cell(row, ResultListModel::Domain));
        const FetchOutcome answer = FetchPage(address, workspace.closing, workspace.fetchTimeLimit);
        ReportFetchOutcome(workspace.status, answer);
        if (workspace.closing.isClosing())
            return;
        const AnswerClass verdict = ClassifyFetched(answer);
        if (verdict == AnswerClass::Empty) {
            workspace.status.setText(kNoAnswerText);
        } else if (verdict == AnswerClass::RateRefusal) {
            workspace.status.setText(kRefusedText);
        } else if (row < rows.count()) {
            ApplyVerdict(rows, row, verdict);
            rows.setEvidence(row, workspace.now(), AnswerFirstLine(answer.text));
        }
        workspace.reportProgress(row + 1, rowCount);
        Pause(kPauseAfterEachMs, workspace.closing);
    }
    if (workspace.closing.isClosing())
        return;
    workspace.status.setText(kDoneText);
}

} // namespace

void VerifyListedDomains(const QString& checkBase, Workspace& workspace) {
    verifyRows(checkBase, workspace, false);
}

void VerifyUncheckedDomains(const QString& checkBase, Workspace& workspace) {
    verifyRows(checkBase, workspace, true);
}

void FilterRegistered(Workspace& workspace) {
    workspace.rows.removeRowsIf(
        [](const ResultRow& row) { return row.verdict != ResultRow::Verdict::Free; });
    workspace.rows.renumber();
    workspace.status.setText(kFilteredText);
}
