#pragma once

#include "registry/RegistryResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <chrono>

// The rules of one WHOIS question: the answer is read until the server closes.
inline constexpr qsizetype kMaxWhoisBytes = 256 * 1024;
inline constexpr std::chrono::milliseconds kWhoisTimeLimit{10'000};

// Reads a whole WHOIS answer about a name (ASCII form): a refusal (the registry's "limit
// exceeded" texts) asks to wait; one of the registry's not-found texts is "not held"; an answer
// that names the domain otherwise is "held", with its status lines and expiry date; anything
// else (empty, cut off at kMaxWhoisBytes, naming neither) gives no verdict.
RegistryResult ReadWhoisAnswer(QByteArrayView answer, const QString& asciiName,
                               const QStringList& notFoundTexts, const QDateTime& now);
