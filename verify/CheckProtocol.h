#pragma once

#include "results/VerdictTexts.h"

#include <QString>
#include <QStringView>

struct FetchOutcome;

// The question to the availability-check service and the reading of its answer; writing a
// verdict into the result list is ApplyVerdict's business, so the watch can share this alone.
enum class AnswerClass { Empty, RateRefusal, Registered, NotRegistered };

// The evidence kept of an answer is its first line, cut to this many characters.
inline constexpr qsizetype kAnswerLineLimit = 200;

// checkBase is the service's scheme and host; the name goes in as typed, unescaped.
QString AvailabilityAddress(const QString& checkBase, const QString& name);

// Empty, then the rate refusal marker, then "|211|"; anything else is free.
AnswerClass ClassifyAnswer(const QString& text);

// As ClassifyAnswer, but only a page with an HTTP status of 200-299 can give a verdict: an
// error page, a time-out or a failure must never read as "free".
AnswerClass ClassifyFetched(const FetchOutcome& outcome);

// What a verdict rests on, for tooltips and the watch's log: the first line of the service's
// answer, cut to kAnswerLineLimit without splitting a character.
QString AnswerFirstLine(QStringView answer);
