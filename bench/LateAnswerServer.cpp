#include "LateAnswerServer.h"

#include "LoopbackPort.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

LateAnswerServer::LateAnswerServer() : m_listener(ListenOnLoopback(SOCK_NONBLOCK, m_port)) {}

LateAnswerServer::~LateAnswerServer() {
    for (int connection : m_connections)
        ::close(connection);
    if (m_listener >= 0)
        ::close(m_listener);
}

QString LateAnswerServer::base() const {
    return QStringLiteral("http://127.0.0.1:") + QString::number(m_port);
}

void LateAnswerServer::takeWaiting() {
    for (;;) {
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            return;
        m_connections.push_back(connection);
    }
}

bool LateAnswerServer::requestArrived() {
    takeWaiting();
    for (int connection : m_connections) {
        char first = 0;
        if (::recv(connection, &first, 1, MSG_PEEK | MSG_DONTWAIT) == 1)
            return true;
    }
    return false;
}

void LateAnswerServer::answerAll() {
    takeWaiting();
    static constexpr char kEmptyPage[] = "HTTP/1.1 200 OK\r\n"
                                         "Content-Type: text/html; charset=utf-8\r\n"
                                         "Content-Length: 0\r\n"
                                         "Connection: close\r\n\r\n";
    for (int connection : m_connections) {
        // The request is read first: closing a socket with unread bytes resets the connection,
        // and the client would see an error instead of the page.
        char request[4096];
        while (::recv(connection, request, sizeof request, MSG_DONTWAIT) > 0) {
        }
        (void)::send(connection, kEmptyPage, sizeof kEmptyPage - 1, MSG_NOSIGNAL);
        ::shutdown(connection, SHUT_WR);
        ::close(connection);
    }
    m_connections.clear();
}
