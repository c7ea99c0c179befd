#include "registry/RegistryResult.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Whether a status is the given key ("pendingdelete") in any spelling: "pending delete",
// "pendingDelete", "PENDING_DELETE". Compared in place: a check reads thousands of statuses.
bool isStatus(QStringView status, QLatin1StringView key) {
    qsizetype k = 0;
    for (const QChar c : status) {
        if (c == u' ' || c == u'_' || c == u'-' || c == u'\t')
            continue;
        char16_t lower = c.unicode();
        if (lower >= u'A' && lower <= u'Z')
            lower += u'a' - u'A';
        if (k == key.size() || lower != key[k].unicode())
            return false;
        ++k;
    }
    return k == key.size();
}

} // namespace

RegistryVerdict HeldVerdictOf(const QStringList& statuses) {
    bool pendingDelete = false;
    for (const QString& status : statuses) {
        // "redemption period" and "pending restore" come together with "pending delete": the
        // name can still come back, so they decide.
        if (isStatus(status, "redemptionperiod"_L1) || isStatus(status, "pendingrestore"_L1))
            return RegistryVerdict::HeldInRedemption;
        if (isStatus(status, "pendingdelete"_L1))
            pendingDelete = true;
    }
    return pendingDelete ? RegistryVerdict::HeldPendingDelete : RegistryVerdict::Held;
}

RegistryResult NoVerdictResult(NoVerdictReason reason, RegistryProtocol protocol,
                               const QDateTime& at) {
    RegistryResult result;
    result.verdict = RegistryVerdict::NoVerdict;
    result.reason = reason;
    result.protocol = protocol;
    result.answeredAt = at;
    return result;
}
