#include "registry/RdapAnswer.h"

#include "registry/JsonSkim.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

// A registry's answer is small; these keep a hostile one from growing a result.
constexpr qsizetype kMaxStatuses = 32;
constexpr qsizetype kMaxStatusLength = 100;

QDateTime readDate(const QJsonValue& value) {
    const QString text = value.toString();
    if (text.isEmpty() || text.size() > 64)
        return {};
    QDateTime date = QDateTime::fromString(text, Qt::ISODateWithMs);
    return date.isValid() ? date.toUTC() : QDateTime();
}

void readEvents(const QJsonArray& events, RegistryEvents& into) {
    for (const QJsonValue& value : events) {
        const QJsonObject event = value.toObject();
        const QString action = event.value(u"eventAction").toString();
        QDateTime* slot = nullptr;
        if (action == u"registration")
            slot = &into.registration;
        else if (action == u"expiration")
            slot = &into.expiration;
        else if (action == u"last changed")
            slot = &into.lastChanged;
        else if (action == u"deletion")
            slot = &into.deletion;
        if (slot && !slot->isValid())
            *slot = readDate(event.value(u"eventDate"));
    }
}

// A member's value when it is an array, else an empty one.
QJsonArray arrayOf(QByteArrayView text) {
    if (text.isEmpty() || text.front() != '[')
        return {};
    return QJsonDocument::fromJson(QByteArray::fromRawData(text.data(), text.size())).array();
}

} // namespace

QUrl RdapDomainAddress(const QString& base, const QString& asciiName) {
    return QUrl(base + u"domain/" + asciiName, QUrl::StrictMode);
}

std::chrono::seconds ReadRetryAfter(QByteArrayView value, const QDateTime& now) {
    const QByteArrayView trimmed = value.trimmed();
    if (trimmed.isEmpty())
        return kDefaultRetryAfter;
    if (std::all_of(trimmed.begin(), trimmed.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        // More digits than the cap has seconds, and no overflow.
        if (trimmed.size() > 6)
            return kMaxRetryAfter;
        return std::min(std::chrono::seconds(trimmed.toInt()), kMaxRetryAfter);
    }
    const QDateTime date = ReadHttpDate(trimmed);
    if (!date.isValid() || !now.isValid())
        return kDefaultRetryAfter;
    const qint64 seconds = std::clamp<qint64>(now.secsTo(date), 0, kMaxRetryAfter.count());
    return std::chrono::seconds(seconds);
}

RegistryResult ReadRdapAnswer(int httpStatus, const HttpHeaders& headers, const QByteArray& body,
                              const QDateTime& now) {
    RegistryResult result =
        NoVerdictResult(NoVerdictReason::Unreadable, RegistryProtocol::Rdap, now);
    result.httpStatus = httpStatus;
    if (httpStatus == 404) {
        result.verdict = RegistryVerdict::NotHeld;
        result.reason = NoVerdictReason::None;
        return result;
    }
    if (httpStatus == 429) {
        result.reason = NoVerdictReason::Refused;
        result.refusalWait = ReadRetryAfter(HeaderValue(headers, "Retry-After"), now);
        result.askAgainAt = now.addSecs(result.refusalWait.count());
        return result;
    }
    if (httpStatus != 200 || body.size() > kMaxRdapBodyBytes)
        return result;
    // Only the three members read here are built by Qt; the rest is checked and passed over.
    static constexpr QByteArrayView wanted[] = {"objectClassName", "status", "events"};
    QByteArrayView found[std::size(wanted)];
    if (!SkimJsonObject(body, wanted, found) || found[0] != "\"domain\"")
        return result;

    for (const QJsonValue& status : arrayOf(found[1])) {
        const QString text = status.toString().trimmed();
        if (!text.isEmpty() && result.statuses.size() < kMaxStatuses)
            result.statuses.append(text.left(kMaxStatusLength));
    }
    readEvents(arrayOf(found[2]), result.events);
    result.verdict = HeldVerdictOf(result.statuses);
    result.reason = NoVerdictReason::None;
    return result;
}
