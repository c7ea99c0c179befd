#include "watch/CheckRecord.h"

QString CheckRecord::boundedFirstLine(QStringView answer) {
    qsizetype end = 0;
    while (end < answer.size() && end < kFirstLineLimit && answer[end] != u'\n' &&
           answer[end] != u'\r')
        ++end;
    if (end > 0 && end < answer.size() && answer[end - 1].isHighSurrogate() &&
        answer[end].isLowSurrogate())
        --end;
    return answer.first(end).toString();
}
