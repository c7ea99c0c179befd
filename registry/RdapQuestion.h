#pragma once

#include "registry/RegistryFetch.h"
#include "registry/RegistryResult.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

// One RDAP domain question, asked in the background: the answer read by ReadRdapAnswer, or no
// verdict when none came.
class RdapQuestion : public QObject {
    Q_OBJECT
public:
    using WallClock = std::function<QDateTime()>;
    using Done = std::function<void(const RegistryResult& result)>;

    // manager: shared with other questions, so that their connections are kept; may be null.
    RdapQuestion(WallClock clock, QNetworkAccessManager* manager = nullptr,
                 QObject* parent = nullptr);

    void setTimeLimit(std::chrono::milliseconds limit) { m_timeLimit = limit; }
    // base as the bootstrap gives it; the name in ASCII form. done is called once, unless
    // abort() comes first; one question at a time.
    void ask(const QString& base, const QString& asciiName, Done done);
    void abort();

private:
    WallClock m_clock;
    std::chrono::milliseconds m_timeLimit;
    RegistryFetch m_fetch;
    Done m_done;
    QString m_domain;
    QString m_registry;
};
