#include "registry/WhoisAnswer.h"
#include "registry/WhoisServers.h"

#include <QUrl>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const QDateTime kNow(QDate(2026, 3, 2), QTime(9, 30), Qt::UTC);
const QString kNames[] = {QStringLiteral("example.com"), QStringLiteral("xn--fiqs8s.cn"),
                          QStringLiteral("a.de"), QStringLiteral("example.zz")};

} // namespace

// A WHOIS server's answer: the first byte picks the name asked, the rest is the answer.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QString& name = kNames[data[0] % std::size(kNames)];
    const QByteArrayView answer(reinterpret_cast<const char*>(data + 1),
                                static_cast<qsizetype>(size - 1));
    const std::optional<WhoisServer> server = WhoisServerFor(name);
    const RegistryResult result =
        ReadWhoisAnswer(answer, name, server ? server->notFoundTexts : QStringList(), kNow);

    if (answer.size() > kMaxWhoisBytes && result.verdict != RegistryVerdict::NoVerdict)
        std::abort();
    if (!server && result.verdict == RegistryVerdict::NotHeld)
        std::abort();
    // Held means the answer names the domain, in one form or the other.
    const QString text = QString::fromUtf8(answer);
    if (result.isHeld() && !text.contains(name, Qt::CaseInsensitive) &&
        !text.contains(QUrl::fromAce(name.toLatin1()), Qt::CaseInsensitive))
        std::abort();
    if (result.statuses.size() > 32)
        std::abort();
    for (const QString& status : result.statuses) {
        if (status.size() > 100)
            std::abort();
    }
    return 0;
}
