#pragma once

#include "watch/CheckRecord.h"
#include "web/AsyncFetch.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

// The watch's question to the availability service: the same address and classes of answer as
// the window's check of every name, asked in the background, and stricter: only an answer that
// names the asked name gives a verdict. It never opens a nested wait and writes nothing of the
// window's.
class AvailabilityQuestion : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    using Done = std::function<void(const CheckResult& result)>;

    AvailabilityQuestion(QString checkBase, Clock clock, QObject* parent = nullptr);

    void setTimeLimit(std::chrono::nanoseconds limit) { m_timeLimit = limit; }
    // Asks about the name; done is called once with what the answer says, unless abort() comes
    // first. One question at a time: a new one replaces the one in flight.
    void ask(const QString& domain, Done done);
    void abort();

    // How an outcome reads as a check of the domain: only a page of 200-299 that names the domain
    // gives a verdict (a maintenance or login page answered with 200 gives none), and only the
    // free class gives "free".
    static CheckResult resultOf(const FetchOutcome& outcome, const QString& domain,
                                const QDateTime& at);

private:
    QString m_checkBase;
    Clock m_clock;
    std::chrono::nanoseconds m_timeLimit = kFetchTimeLimit;
    AsyncFetch m_fetch;
    Done m_done;
    QString m_domain;
};
