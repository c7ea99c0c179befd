#include "RawServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>

namespace {

constexpr size_t kMaxRequestHead = 64 * 1024;

// Waits for the events on the socket or for the stop signal. True only when the socket is
// ready and the server is not stopping.
bool pollSocket(int socket, short events, int stopEvent, int timeoutMs) {
    pollfd fds[2] = {{socket, events, 0}, {stopEvent, POLLIN, 0}};
    if (poll(fds, 2, timeoutMs) <= 0)
        return false;
    return fds[1].revents == 0 && (fds[0].revents & events) != 0;
}

} // namespace

RawServer::Connection::Connection(int socket, int stopEvent, int index)
    : m_socket(socket), m_stopEvent(stopEvent), m_index(index),
      m_deadline(std::chrono::steady_clock::now() + kConnectionLimit) {}

RawServer::Connection::~Connection() {
    if (m_socket >= 0)
        close(m_socket);
}

int RawServer::Connection::msLeft() const {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        m_deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(left.count(), 0));
}

bool RawServer::Connection::readRequest() {
    char buffer[4096];
    while (m_request.find("\r\n\r\n") == std::string::npos && m_request.size() < kMaxRequestHead) {
        if (!pollSocket(m_socket, POLLIN, m_stopEvent, msLeft()))
            return false;
        const ssize_t got = recv(m_socket, buffer, sizeof buffer, 0);
        if (got <= 0)
            return false;
        m_request.append(buffer, static_cast<size_t>(got));
    }
    return true;
}

bool RawServer::Connection::send(std::string_view bytes) {
    while (!bytes.empty()) {
        if (m_socket < 0 || !pollSocket(m_socket, POLLOUT, m_stopEvent, msLeft()))
            return false;
        const ssize_t sent =
            ::send(m_socket, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (sent > 0)
            bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

bool RawServer::Connection::wait(std::chrono::milliseconds duration) {
    if (m_socket < 0)
        return false;
    const int timeoutMs = static_cast<int>(duration.count());
    if (timeoutMs > msLeft())
        return false;
    // The request has been read whole, so the socket turns readable only when the client
    // closes its end; the stop signal interrupts as well.
    pollfd fds[2] = {{m_socket, POLLIN | POLLRDHUP, 0}, {m_stopEvent, POLLIN, 0}};
    return poll(fds, 2, timeoutMs) == 0;
}

void RawServer::Connection::reset() {
    if (m_socket < 0)
        return;
    const linger abortive{1, 0};
    setsockopt(m_socket, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    close(m_socket);
    m_socket = -1;
}

RawServer::RawServer(Script script) : m_script(std::move(script)) {
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    m_stopEvent = eventfd(0, EFD_CLOEXEC);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || m_stopEvent < 0 ||
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, 16) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (m_listener >= 0)
            close(m_listener);
        if (m_stopEvent >= 0)
            close(m_stopEvent);
        throw std::runtime_error("raw test server could not listen on 127.0.0.1");
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

RawServer::~RawServer() {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_stopEvent, &one, sizeof one);
    m_thread.join();
    close(m_listener);
    close(m_stopEvent);
}

QString RawServer::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:") + QString::number(m_port);
}

void RawServer::serve() {
    for (;;) {
        pollfd fds[2] = {{m_listener, POLLIN, 0}, {m_stopEvent, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (fds[1].revents != 0)
            return;
        if (fds[0].revents == 0)
            continue;
        const int socket = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0)
            continue;
        Connection connection(socket, m_stopEvent, m_connections.fetch_add(1));
        if (connection.readRequest())
            m_script(connection);
    }
}

std::string httpHead(std::string_view statusLine, std::string_view extraHeaders) {
    std::string head = "HTTP/1.1 ";
    head += statusLine;
    head += "\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\n";
    head += extraHeaders;
    return head + "\r\n";
}

std::string httpAnswer(std::string_view body, std::string_view statusLine) {
    return httpHead(statusLine, "Content-Length: " + std::to_string(body.size()) + "\r\n") +
           std::string(body);
}
