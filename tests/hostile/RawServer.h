#pragma once

#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

// A bare TCP server on 127.0.0.1 for answers that no HTTP library gives on purpose: a trickle,
// an endless body, a reset in the middle of a body. Connections are served one after the other
// by the script. Every wait in a script ends early when the client goes away or the server
// stops, and no connection is served for longer than kConnectionLimit.
class RawServer {
public:
    static constexpr std::chrono::seconds kConnectionLimit{20};

    class Connection {
    public:
        Connection(int socket, int stopEvent, int index);
        ~Connection();
        Connection(const Connection&) = delete;
        Connection& operator=(const Connection&) = delete;

        // Counted from 0 in the order the connections came in.
        int index() const { return m_index; }
        // The request head as it came in, up to its blank line.
        const std::string& request() const { return m_request; }
        bool readRequest();
        // False once the client has gone, the server stops or the time is up.
        bool send(std::string_view bytes);
        // False when cut short.
        bool wait(std::chrono::milliseconds duration);
        // Drops the connection with a TCP reset instead of an orderly close.
        void reset();

    private:
        int msLeft() const;

        int m_socket;
        int m_stopEvent;
        int m_index;
        std::chrono::steady_clock::time_point m_deadline;
        std::string m_request;
    };
    using Script = std::function<void(Connection&)>;

    explicit RawServer(Script script);
    ~RawServer();
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;

    // "http://127.0.0.1:PORT"
    QString baseUrl() const;
    int connectionCount() const { return m_connections.load(); }

private:
    void serve();

    Script m_script;
    int m_listener = -1;
    int m_stopEvent = -1;
    int m_port = 0;
    std::atomic<int> m_connections{0};
    std::thread m_thread;
};

// A whole HTTP/1.1 answer with a Content-Length, closing the connection after it.
std::string httpAnswer(std::string_view body, std::string_view statusLine = "200 OK");
// The status line and headers of an answer whose body follows separately.
std::string httpHead(std::string_view statusLine, std::string_view extraHeaders);
