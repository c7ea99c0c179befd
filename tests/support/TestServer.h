#pragma once

#include <httplib.h>

#include <QObject>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A real HTTP server on 127.0.0.1 with an ephemeral port, answering on its own threads so
// that it keeps serving while the code under test waits in a nested event loop. Bodies go out
// uncompressed, byte for byte as the handler set them.
class TestServer {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;
    // For handlers that need the server itself, e.g. to hold their answer until release().
    using ServerHandler =
        std::function<void(TestServer& server, const httplib::Request&, httplib::Response&)>;

    explicit TestServer(Handler handler);
    explicit TestServer(ServerHandler handler);
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    int port() const { return m_port; }
    // "http://127.0.0.1:PORT"
    QString baseUrl() const;
    // The request targets (path and raw query) in the order they arrived.
    std::vector<std::string> targets() const;
    size_t requestCount() const;

    // For handlers that stall: sleeps for the given time, or less when the server is stopping.
    // Returns false when it was cut short.
    bool sleepUnlessStopping(std::chrono::milliseconds duration);

    // For handlers that stall until the test lets them go: blocks until release() or the
    // server stops. Returns false when the server stopped.
    bool holdUntilReleased();
    void release();

    // Called on the main thread, through its event loop, each time a request has arrived, with
    // the request's target. Lets a test act on an arrival instead of on a timer.
    void onArrival(std::function<void(const std::string& target)> callback);

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    mutable std::mutex m_mutex;
    std::condition_variable m_stopping;
    bool m_stopRequested = false;
    bool m_released = false;
    std::function<void(const std::string&)> m_onArrival;
    std::vector<std::string> m_targets;
};

// Sets a complete UTF-8 HTML or text answer.
void answerText(httplib::Response& response, const std::string& body,
                const char* contentType = "text/html; charset=utf-8");
