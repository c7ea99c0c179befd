#include "verify/VerifyTargetDomain.h"

#include "results/FetchStatus.h"
#include "results/ResultListModel.h"
#include "results/StatusLine.h"
#include "results/Workspace.h"
#include "verify/ApplyVerdict.h"
#include "web/Closing.h"
#include "web/FetchPage.h"

namespace {

const QString kStartText = QStringLiteral("状态：开始验证用户指定域名...");
const QString kDoneText = QStringLiteral("状态：用户指定的域名已完成验证。");

} // namespace

void VerifyTargetDomain(const QString& checkBase, const QString& name, Workspace& workspace) {
    workspace.status.setText(kStartText);
    const FetchOutcome answer = FetchPage(AvailabilityAddress(checkBase, name), workspace.closing,
                                          workspace.fetchTimeLimit);
    ReportFetchOutcome(workspace.status, answer);
    if (workspace.closing.isClosing())
        return;
    const AnswerClass verdict = ClassifyFetched(answer);
    if (verdict == AnswerClass::Registered || verdict == AnswerClass::NotRegistered) {
        ResultListModel& rows = workspace.rows;
        // Numbered only now: operations that ran inside the wait may have added rows.
        ResultRow row;
        row.cells[ResultListModel::Number] = QString::number(rows.count() + 1);
        row.cells[ResultListModel::Domain] = name;
        rows.appendRow(std::move(row));
        ApplyVerdict(rows, rows.count() - 1, verdict);
        rows.setEvidence(rows.count() - 1, workspace.now(), AnswerFirstLine(answer.text));
    }
    workspace.status.setText(kDoneText);
}
