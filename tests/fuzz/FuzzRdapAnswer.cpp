#include "registry/JsonSkim.h"
#include "registry/RdapAnswer.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const QDateTime kNow(QDate(2026, 3, 2), QTime(9, 30), Qt::UTC);
constexpr int kStatuses[] = {200, 404, 429, 500};

// What the JSON check takes, Qt must take too, with the same domain.
void checkSkimAgainstQt(const QByteArray& body) {
    constexpr std::array<QByteArrayView, 1> wanted = {"objectClassName"};
    std::array<QByteArrayView, 1> found;
    if (!SkimJsonObject(body, wanted, found))
        return;
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject())
        std::abort();
    const bool skimmedDomain = found[0] == QByteArrayView("\"domain\"");
    if (skimmedDomain && document.object().value(u"objectClassName").toString() != u"domain")
        std::abort();
}

} // namespace

// An answer from an RDAP server: the first byte picks the status, the first line is the
// Retry-After header, the rest is the body.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const int status = kStatuses[data[0] % std::size(kStatuses)];
    const QByteArray rest(reinterpret_cast<const char*>(data + 1),
                          static_cast<qsizetype>(size - 1));
    const qsizetype newline = rest.indexOf('\n');
    const QByteArray retryAfter = newline < 0 ? QByteArray() : rest.left(newline);
    const QByteArray body = newline < 0 ? rest : rest.mid(newline + 1);

    const RegistryResult result = ReadRdapAnswer(status, {{"Retry-After", retryAfter}}, body, kNow);
    if (status != 404 && result.verdict == RegistryVerdict::NotHeld)
        std::abort();
    if (status != 200 && result.isHeld())
        std::abort();
    if (result.statuses.size() > 32)
        std::abort();
    for (const QString& text : result.statuses) {
        if (text.isEmpty() || text.size() > 100)
            std::abort();
    }
    if (result.refusalWait < std::chrono::seconds(0) || result.refusalWait > kMaxRetryAfter)
        std::abort();
    checkSkimAgainstQt(body);
    return 0;
}
