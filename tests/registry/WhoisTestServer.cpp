#include "WhoisTestServer.h"

#include <QTcpSocket>

#include <stdexcept>

WhoisTestServer::WhoisTestServer() {
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("whois test server could not listen");
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString WhoisTestServer::address() const {
    return QStringLiteral("127.0.0.1:") + QString::number(port());
}

void WhoisTestServer::serve(QTcpSocket* socket) {
    if (!socket->canReadLine())
        return;
    const QByteArray line = socket->readLine();
    m_queries.append(line);
    emit queried(line);
    const Reply reply = m_replies.value(line.trimmed());
    socket->write(reply.text);
    if (reply.close)
        socket->disconnectFromHost();
}
