#pragma once

#include "registry/RegistryFetch.h"
#include "registry/RegistryResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <chrono>

// The rules of one RDAP domain question (RFC 7480, 9082, 9083).
inline constexpr qsizetype kMaxRdapBodyBytes = 1024 * 1024;
inline constexpr std::chrono::milliseconds kRdapTimeLimit{10'000};
inline constexpr std::chrono::seconds kDefaultRetryAfter{60};
inline constexpr std::chrono::seconds kMaxRetryAfter{600};
inline constexpr char kRdapMediaType[] = "application/rdap+json";

// "{base}domain/{name}" for a name in ASCII form; base ends in "/".
QUrl RdapDomainAddress(const QString& base, const QString& asciiName);

// How long a 429 asks to wait: Retry-After in seconds or as an HTTP date, at most
// kMaxRetryAfter; kDefaultRetryAfter when absent or unreadable.
std::chrono::seconds ReadRetryAfter(QByteArrayView value, const QDateTime& now);

// Reads an RDAP answer to a domain question: 404 is "not held"; 200 with a domain object is
// "held", with its statuses and events; 429 is a refusal with its wait; anything else, or a body
// over kMaxRdapBodyBytes, gives no verdict.
RegistryResult ReadRdapAnswer(int httpStatus, const HttpHeaders& headers, const QByteArray& body,
                              const QDateTime& now);
