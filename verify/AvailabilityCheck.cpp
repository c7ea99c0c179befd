#include "verify/AvailabilityCheck.h"

#include "results/ResultListModel.h"
#include "web/FetchOutcome.h"

namespace {

const QString kCheckPath = QStringLiteral("/check/check_ac1.cgi");
const QString kRefusalMarker = QStringLiteral("您的请求过于频繁");
const QString kRegisteredMarker = QStringLiteral("|211|");
constexpr qsizetype kEvidenceChars = 200;

} // namespace

QString AvailabilityAddress(const QString& checkBase, const QString& name) {
    return checkBase + kCheckPath + u"?domain=" + name;
}

AnswerClass ClassifyAnswer(const QString& text) {
    if (text.isEmpty())
        return AnswerClass::Empty;
    if (text.contains(kRefusalMarker))
        return AnswerClass::RateRefusal;
    if (text.contains(kRegisteredMarker))
        return AnswerClass::Registered;
    return AnswerClass::NotRegistered;
}

AnswerClass ClassifyFetched(const FetchOutcome& outcome) {
    if (!outcome.isPage() || outcome.httpStatus < 200 || outcome.httpStatus > 299)
        return AnswerClass::Empty;
    return ClassifyAnswer(outcome.text);
}

QString AnswerFirstLine(const QString& answer) {
    qsizetype lineEnd = 0;
    while (lineEnd < answer.size() && lineEnd < kEvidenceChars && answer.at(lineEnd) != u'\n' &&
           answer.at(lineEnd) != u'\r')
        ++lineEnd;
    return answer.left(lineEnd);
}

void ApplyVerdict(ResultListModel& rows, int row, AnswerClass answer) {
    if (row < 0 || row >= rows.count())
        return;
    switch (answer) {
    case AnswerClass::Registered:
        rows.setCell(row, ResultListModel::Verdict, kVerdictRegistered);
        rows.setSubdued(row);
        break;
    case AnswerClass::NotRegistered:
        // A row greyed by an earlier check keeps its colour.
        rows.setCell(row, ResultListModel::Verdict, kVerdictFree);
        break;
    case AnswerClass::Empty:
    case AnswerClass::RateRefusal:
        break;
    }
}
