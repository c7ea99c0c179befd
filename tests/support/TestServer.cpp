#include "TestServer.h"

#include <stdexcept>

TestServer::TestServer(Handler handler) {
    m_server.set_tcp_nodelay(true);
    m_server.set_pre_routing_handler(
        [this](const httplib::Request& request, httplib::Response&) {
            std::lock_guard lock(m_mutex);
            m_targets.push_back(request.target);
            return httplib::Server::HandlerResponse::Unhandled;
        });
    m_server.Get(".*", handler);
    m_port = m_server.bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        throw std::runtime_error("test server could not bind to 127.0.0.1");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    while (!m_server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TestServer::~TestServer() {
    {
        std::lock_guard lock(m_mutex);
        m_stopRequested = true;
    }
    m_stopping.notify_all();
    m_server.stop();
    if (m_thread.joinable())
        m_thread.join();
}

QString TestServer::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:") + QString::number(m_port);
}

std::vector<std::string> TestServer::targets() const {
    std::lock_guard lock(m_mutex);
    return m_targets;
}

size_t TestServer::requestCount() const {
    std::lock_guard lock(m_mutex);
    return m_targets.size();
}

bool TestServer::sleepUnlessStopping(std::chrono::milliseconds duration) {
    std::unique_lock lock(m_mutex);
    return !m_stopping.wait_for(lock, duration, [this] { return m_stopRequested; });
}

void answerText(httplib::Response& response, const std::string& body, const char* contentType) {
    response.status = 200;
    response.set_content(body, contentType);
}
