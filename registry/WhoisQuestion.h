#pragma once

#include "registry/RegistryResult.h"
#include "registry/WhoisServers.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>
#include <functional>

// One WHOIS question in the background: one TCP connection, the name and CRLF, the answer read
// until the server closes, within kMaxWhoisBytes and the time limit.
class WhoisQuestion : public QObject {
    Q_OBJECT
public:
    using WallClock = std::function<QDateTime()>;
    using Done = std::function<void(const RegistryResult& result)>;

    explicit WhoisQuestion(WallClock clock, QObject* parent = nullptr);

    void setTimeLimit(std::chrono::milliseconds limit) { m_timeLimit = limit; }
    // done is called once, unless abort() comes first; one question at a time.
    void ask(const WhoisServer& server, const QString& asciiName, Done done);
    void abort();

private:
    void readAvailable();
    void conclude(NoVerdictReason failure);
    void stop();

    WallClock m_clock;
    std::chrono::milliseconds m_timeLimit;
    QTcpSocket m_socket;
    QTimer m_deadline;
    WhoisServer m_server;
    QString m_domain;
    QByteArray m_answer;
    bool m_overLimit = false;
    Done m_done;
};
