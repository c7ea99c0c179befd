#include "registry/RdapQuestion.h"

#include "registry/RdapAnswer.h"

RdapQuestion::RdapQuestion(WallClock clock, QNetworkAccessManager* manager, QObject* parent)
    : QObject(parent), m_clock(std::move(clock)), m_timeLimit(kRdapTimeLimit), m_fetch(manager) {
    connect(&m_fetch, &RegistryFetch::finished, this, [this](const HttpAnswer& answer) {
        const QDateTime now = m_clock();
        RegistryResult result;
        switch (answer.kind) {
        case FetchOutcome::Kind::Page:
            result = ReadRdapAnswer(answer.httpStatus, answer.headers, answer.body, now);
            break;
        case FetchOutcome::Kind::TooLarge:
            result = NoVerdictResult(NoVerdictReason::Unreadable, RegistryProtocol::Rdap, now);
            break;
        default:
            result = NoVerdictResult(NoVerdictReason::Unreachable, RegistryProtocol::Rdap, now);
            break;
        }
        result.domain = m_domain;
        result.registry = m_registry;
        if (Done done = std::exchange(m_done, {}))
            done(result);
    });
}

void RdapQuestion::ask(const QString& base, const QString& asciiName, Done done) {
    m_done = std::move(done);
    m_domain = asciiName;
    const QUrl address = RdapDomainAddress(base, asciiName);
    m_registry = address.host();
    // An address Qt cannot ask ends as a transport failure, from the event loop.
    m_fetch.start(address, QByteArray(kRdapMediaType), kMaxRdapBodyBytes, m_timeLimit);
}

void RdapQuestion::abort() {
    m_done = {};
    m_fetch.abort();
}
