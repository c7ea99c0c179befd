#include "TestServer.h"

#include <QCoreApplication>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace {

// Qt asks for br and gzip, and this cpp-httplib compresses every text/* body it is handed as
// a string. A body served through a provider of known length goes out as it is, so the code
// under test receives exactly the bytes a test wrote, with the content type it chose.
void sendUncompressed(httplib::Response& response) {
    if (response.body.empty())
        return;
    std::string contentType = response.get_header_value("Content-Type");
    if (contentType.empty())
        contentType = "text/plain";
    response.headers.erase("Content-Type");
    auto body = std::make_shared<std::string>();
    body->swap(response.body);
    response.set_content_provider(
        body->size(), contentType, [body](size_t offset, size_t length, httplib::DataSink& sink) {
            return sink.write(body->data() + offset, std::min(length, body->size() - offset));
        });
}

} // namespace

TestServer::TestServer(Handler handler)
    : TestServer(ServerHandler([handler = std::move(handler)](
                                   TestServer&, const httplib::Request& request,
                                   httplib::Response& response) { handler(request, response); })) {}

TestServer::TestServer(ServerHandler handler) {
    m_server.set_tcp_nodelay(true);
    m_server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        std::lock_guard lock(m_mutex);
        m_targets.push_back(request.target);
        if (m_onArrival) {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [callback = m_onArrival, target = request.target] { callback(target); },
                Qt::QueuedConnection);
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    m_server.Get(".*", [this, handler = std::move(handler)](const httplib::Request& request,
                                                            httplib::Response& response) {
        handler(*this, request, response);
        sendUncompressed(response);
    });
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

bool TestServer::holdUntilReleased() {
    std::unique_lock lock(m_mutex);
    m_stopping.wait(lock, [this] { return m_stopRequested || m_released; });
    return !m_stopRequested;
}

void TestServer::release() {
    {
        std::lock_guard lock(m_mutex);
        m_released = true;
    }
    m_stopping.notify_all();
}

void TestServer::onArrival(std::function<void(const std::string& target)> callback) {
    std::lock_guard lock(m_mutex);
    m_onArrival = std::move(callback);
}

void answerText(httplib::Response& response, const std::string& body, const char* contentType) {
    response.status = 200;
    response.set_content(body, contentType);
}
