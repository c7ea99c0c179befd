#include "verify/ApplyVerdict.h"

#include "results/ResultListModel.h"

void ApplyVerdict(ResultListModel& rows, int row, AnswerClass answer) {
    if (row < 0 || row >= rows.count())
        return;
    switch (answer) {
    case AnswerClass::Registered:
        rows.setVerdict(row, ResultRow::Verdict::Registered);
        rows.setSubdued(row);
        break;
    case AnswerClass::NotRegistered:
        // A row greyed by an earlier check keeps its colour.
        rows.setVerdict(row, ResultRow::Verdict::Free);
        break;
    case AnswerClass::Empty:
    case AnswerClass::RateRefusal:
        break;
    }
}
