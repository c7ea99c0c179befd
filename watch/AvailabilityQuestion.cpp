#include "watch/AvailabilityQuestion.h"

#include "verify/CheckProtocol.h"
#include "watch/WatchRules.h"

AvailabilityQuestion::AvailabilityQuestion(QString checkBase, Clock clock, QObject* parent)
    : QObject(parent), m_checkBase(std::move(checkBase)), m_clock(std::move(clock)) {
    connect(&m_fetch, &AsyncFetch::finished, this, [this](const FetchOutcome& outcome) {
        Done done = std::exchange(m_done, {});
        if (done)
            done(resultOf(outcome, m_domain, m_clock()));
    });
}

void AvailabilityQuestion::ask(const QString& domain, Done done) {
    m_done = std::move(done);
    m_domain = domain;
    m_fetch.start(AvailabilityAddress(m_checkBase, domain), m_timeLimit);
}

void AvailabilityQuestion::abort() {
    m_done = {};
    m_fetch.abort();
}

CheckResult AvailabilityQuestion::resultOf(const FetchOutcome& outcome, const QString& domain,
                                           const QDateTime& at) {
    CheckResult result;
    result.record.time = at;
    result.record.httpStatus = outcome.httpStatus;
    result.record.firstLine = AnswerFirstLine(outcome.text);
    switch (ClassifyFetched(outcome)) {
    case AnswerClass::NotRegistered:
        result.record.verdict = WatchRules::namesDomain(outcome.text, domain)
                                    ? CheckVerdict::Free
                                    : CheckVerdict::NoVerdict;
        break;
    case AnswerClass::Registered:
        result.record.verdict = WatchRules::namesDomain(outcome.text, domain)
                                    ? CheckVerdict::Registered
                                    : CheckVerdict::NoVerdict;
        break;
    case AnswerClass::RateRefusal:
        result.rateRefused = true;
        [[fallthrough]];
    case AnswerClass::Empty:
        result.record.verdict = CheckVerdict::NoVerdict;
        break;
    }
    return result;
}
