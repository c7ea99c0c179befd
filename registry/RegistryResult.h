#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <chrono>

// What a registry says about one name: the registries are the authority on whether a name is
// held. A question that brings no clear answer gives no verdict, never "not held".
enum class RegistryVerdict {
    Held,
    HeldInRedemption,  // deleted by its registrar, still restorable
    HeldPendingDelete, // the last days before the name drops
    NotHeld,
    NoVerdict,
};

enum class NoVerdictReason {
    None,            // there is a verdict
    InvalidName,     // not a domain name that could be asked
    UnknownRegistry, // no RDAP server and no WHOIS server known for the name
    Unreachable,     // no answer: refused connection, transport failure, time-out
    Unreadable,      // an answer that says neither (error status, foreign body, cut off)
    Refused,         // the registry asked to slow down; see askAgainAt
};

enum class RegistryProtocol { None, Rdap, Whois };

struct RegistryEvents {
    QDateTime registration;
    QDateTime expiration;
    QDateTime lastChanged;
    QDateTime deletion;
};

struct RegistryResult {
    RegistryVerdict verdict = RegistryVerdict::NoVerdict;
    NoVerdictReason reason = NoVerdictReason::Unreadable;
    RegistryProtocol protocol = RegistryProtocol::None;
    QString domain;   // the name as asked, in ASCII form
    QString registry; // the server asked ("host" or "host:port")
    // The status values as the registry wrote them (RFC 8056 texts or EPP codes).
    QStringList statuses;
    RegistryEvents events;
    QDateTime answeredAt;
    // For a refusal: what the registry asked for, and when this registry may be asked again.
    std::chrono::seconds refusalWait{0};
    QDateTime askAgainAt;
    int httpStatus = 0; // RDAP only

    bool isHeld() const {
        return verdict == RegistryVerdict::Held || verdict == RegistryVerdict::HeldInRedemption ||
               verdict == RegistryVerdict::HeldPendingDelete;
    }
};

// The verdict for a held name from its statuses. RDAP writes "redemption period", EPP-style
// WHOIS "redemptionPeriod"; both are understood, in any case.
RegistryVerdict HeldVerdictOf(const QStringList& statuses);

// A result without a verdict.
RegistryResult NoVerdictResult(NoVerdictReason reason, RegistryProtocol protocol,
                               const QDateTime& at);
