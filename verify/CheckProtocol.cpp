#include "verify/CheckProtocol.h"

#include "web/FetchOutcome.h"

namespace {

const QString kCheckPath = QStringLiteral("/check/check_ac1.cgi");
const QString kRefusalMarker = QStringLiteral("您的请求过于频繁");
const QString kRegisteredMarker = QStringLiteral("|211|");

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

QString AnswerFirstLine(QStringView answer) {
    qsizetype end = 0;
    while (end < answer.size() && end < kAnswerLineLimit && answer[end] != u'\n' &&
           answer[end] != u'\r')
        ++end;
    if (end > 0 && end < answer.size() && answer[end - 1].isHighSurrogate() &&
        answer[end].isLowSurrogate())
        --end;
    return answer.first(end).toString();
}
