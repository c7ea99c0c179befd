#pragma once

#include <QDateTime>
#include <QString>

// What one availability question found. The numbers are stored in the watch list file.
enum class CheckVerdict { Free = 0, Registered = 1, NoVerdict = 2 };

// One entry of a name's check log.
struct CheckRecord {
    QDateTime time;
    int httpStatus = 0; // 0 when no answer came
    CheckVerdict verdict = CheckVerdict::NoVerdict;
    QString firstLine; // the answer's first line, as AnswerFirstLine cuts it

    friend bool operator==(const CheckRecord&, const CheckRecord&) = default;
};

// What the check hands back to the scheduler: the record, and whether the service refused the
// question for asking too often (which slows the watch down).
struct CheckResult {
    CheckRecord record;
    bool rateRefused = false;
};
