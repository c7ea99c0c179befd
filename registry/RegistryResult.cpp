#include "registry/RegistryResult.h"

namespace {

// "pending delete", "pendingDelete" and "PENDING DELETE" all become "pendingdelete".
QString statusKey(const QString& status) {
    QString key;
    key.reserve(status.size());
    for (const QChar c : status) {
        if (!c.isSpace() && c != u'_' && c != u'-')
            key.append(c.toLower());
    }
    return key;
}

} // namespace

RegistryVerdict HeldVerdictOf(const QStringList& statuses) {
    bool pendingDelete = false;
    for (const QString& status : statuses) {
        const QString key = statusKey(status);
        // "redemption period" and "pending restore" come together with "pending delete": the
        // name can still come back, so they decide.
        if (key == u"redemptionperiod" || key == u"pendingrestore")
            return RegistryVerdict::HeldInRedemption;
        if (key == u"pendingdelete")
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
