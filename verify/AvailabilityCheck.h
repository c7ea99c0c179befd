#pragma once

#include <QString>

class ResultListModel;
struct FetchOutcome;

// The question to the availability-check service and the reading of its answer.
enum class AnswerClass { Empty, RateRefusal, Registered, NotRegistered };

inline const QString kVerdictRegistered = QStringLiteral("已被注册");
inline const QString kVerdictFree = QStringLiteral("未被注册---OK");

// checkBase is the service's scheme and host; the name goes in as typed, unescaped.
QString AvailabilityAddress(const QString& checkBase, const QString& name);

// Empty, then the rate refusal marker, then "|211|"; anything else is free.
AnswerClass ClassifyAnswer(const QString& text);

// As ClassifyAnswer, but only a page with an HTTP status of 200-299 can give a verdict: an
// error page, a time-out or a failure must never read as "free".
AnswerClass ClassifyFetched(const FetchOutcome& outcome);

// What a verdict rests on, for the verdict cell's tooltip: the first line of the service's
// answer, cut to a readable length.
QString AnswerFirstLine(const QString& answer);

// Writes the verdict of a Registered or NotRegistered answer into the row, greying a
// registered one. Other classes leave the row as it is.
void ApplyVerdict(ResultListModel& rows, int row, AnswerClass answer);
