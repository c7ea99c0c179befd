#include "registry/WhoisQuestion.h"

#include "registry/WhoisAnswer.h"

WhoisQuestion::WhoisQuestion(WallClock clock, QObject* parent)
    : QObject(parent), m_clock(std::move(clock)), m_timeLimit(kWhoisTimeLimit) {
    m_deadline.setSingleShot(true);
    m_deadline.setTimerType(Qt::PreciseTimer);
    connect(&m_deadline, &QTimer::timeout, this,
            [this] { conclude(NoVerdictReason::Unreachable); });
    connect(&m_socket, &QTcpSocket::connected, this,
            [this] { m_socket.write(m_domain.toLatin1() + "\r\n"); });
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] { readAvailable(); });
    // The server closing is the answer's end; any other error means no answer.
    connect(&m_socket, &QTcpSocket::disconnected, this,
            [this] { conclude(NoVerdictReason::None); });
    connect(&m_socket, &QTcpSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError error) {
                if (error != QAbstractSocket::RemoteHostClosedError)
                    conclude(NoVerdictReason::Unreachable);
            });
}

void WhoisQuestion::ask(const WhoisServer& server, const QString& asciiName, Done done) {
    stop();
    m_server = server;
    m_domain = asciiName;
    m_done = std::move(done);
    m_socket.connectToHost(server.host, server.port);
    m_deadline.start(m_timeLimit);
}

void WhoisQuestion::abort() {
    m_done = {};
    stop();
}

void WhoisQuestion::readAvailable() {
    if (m_overLimit)
        return;
    // One byte past the limit is enough to know the answer was cut off.
    m_answer += m_socket.read(kMaxWhoisBytes + 1 - m_answer.size());
    if (m_answer.size() > kMaxWhoisBytes) {
        m_overLimit = true;
        conclude(NoVerdictReason::Unreadable);
    }
}

void WhoisQuestion::conclude(NoVerdictReason failure) {
    if (!m_done)
        return;
    Done done = std::exchange(m_done, {});
    const QDateTime now = m_clock();
    RegistryResult result;
    if (failure == NoVerdictReason::None) {
        readAvailable();
        result = m_overLimit
                     ? NoVerdictResult(NoVerdictReason::Unreadable, RegistryProtocol::Whois, now)
                     : ReadWhoisAnswer(m_answer, m_domain, m_server.notFoundTexts, now);
    } else {
        result = NoVerdictResult(failure, RegistryProtocol::Whois, now);
    }
    result.domain = m_domain;
    result.registry = m_server.address();
    stop();
    done(result);
}

void WhoisQuestion::stop() {
    m_deadline.stop();
    m_socket.abort();
    m_answer.clear();
    m_overLimit = false;
}
