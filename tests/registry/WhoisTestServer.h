#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTcpServer>

// A WHOIS server on 127.0.0.1 with an ephemeral port, on the test's own event loop: it reads
// the query line and answers each name as the test says, then closes, or keeps the connection
// open without a word. Unknown names get an empty answer.
class WhoisTestServer : public QObject {
    Q_OBJECT
public:
    struct Reply {
        QByteArray text;
        bool close = true;
    };

    WhoisTestServer();

    quint16 port() const { return m_server.serverPort(); }
    // "127.0.0.1:PORT"
    QString address() const;
    void answer(const QByteArray& name, Reply reply) { m_replies[name] = std::move(reply); }
    // The query lines received, CRLF included, in order.
    QList<QByteArray> queries() const { return m_queries; }

signals:
    void queried(const QByteArray& line);

private:
    void serve(class QTcpSocket* socket);

    QTcpServer m_server;
    QMap<QByteArray, Reply> m_replies;
    QList<QByteArray> m_queries;
};
