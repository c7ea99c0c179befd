#include "results/FetchStatus.h"

#include "results/StatusLine.h"
#include "web/PageRequest.h"

namespace {

const QString kTimedOutText = QStringLiteral("状态：超时，跳过...");
const QString kErrorText = QStringLiteral("状态：发生错误，错误代码：");

} // namespace

void ReportFetchOutcome(StatusLine& status, const FetchOutcome& outcome) {
    using Kind = FetchOutcome::Kind;
    switch (outcome.kind) {
    case Kind::TimedOut:
        status.setText(kTimedOutText);
        break;
    case Kind::Failed:
        status.setText(kErrorText + QString::number(outcome.errorCode));
        break;
    case Kind::TooLarge:
        status.setText(kErrorText + QString::number(kBodyTooLargeCode));
        break;
    case Kind::Page:
    case Kind::Closing:
        break;
    }
}
