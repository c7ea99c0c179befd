#include "SandboxServer.h"

#include "Availability.h"
#include "DailyLists.h"
#include "DomainNames.h"
#include "FilterDomains.h"
#include "ListQuery.h"
#include "RateLimiter.h"
#include "RegistryLife.h"
#include "RegistryTexts.h"
#include "RenderListPage.h"
#include "SeededRandom.h"
#include "WhoisListener.h"

#include <httplib.h>

#include <QDateTime>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr const char* kText = "text/plain; charset=utf-8";
constexpr const char* kFailureHeader = "X-Sandbox-Failure";
constexpr size_t kWorkerThreads = 16;
constexpr size_t kLongestLoggedTarget = 2048;
// The rate limit's window: after this long a refused client is admitted again.
constexpr const char* kRetryAfterSeconds = "1";

// A body with a known length goes out as it is: cpp-httplib would otherwise brotli-compress
// every text answer that Qt offers to accept, at about 40 ms a page.
void SetBody(httplib::Response& response, std::string body, const char* contentType) {
    if (body.empty()) {
        response.set_content(body, contentType);
        return;
    }
    auto shared = std::make_shared<const std::string>(std::move(body));
    response.set_content_provider(shared->size(), contentType,
                                  [shared](size_t offset, size_t length, httplib::DataSink& sink) {
                                      if (offset >= shared->size())
                                          return false;
                                      return sink.write(shared->data() + offset,
                                                        std::min(length, shared->size() - offset));
                                  });
}

void DropConnection(httplib::Response& response) {
    // A provider that fails makes the server close the connection after the headers.
    response.set_header(kFailureHeader, "drop");
    response.set_content_provider(1024, kHtml,
                                  [](size_t, size_t, httplib::DataSink&) { return false; });
}

std::vector<std::string> ParameterValues(const httplib::Request& request, const std::string& key) {
    std::vector<std::string> values;
    const size_t count = request.get_param_value_count(key);
    values.reserve(count);
    for (size_t i = 0; i < count; ++i)
        values.push_back(request.get_param_value(key, i));
    return values;
}

} // namespace

struct SandboxServer::Impl {
    Impl(std::shared_ptr<const DomainCatalog> catalog, SandboxOptions options)
        : catalog(std::move(catalog)), options(std::move(options)),
          limiter(this->options.checksPerSecond),
          rdapLimiter(this->options.registryQuestionsPerSecond),
          whoisLimiter(this->options.registryQuestionsPerSecond),
          rdapDomains(RdapTopLevelDomains(*this->catalog)), random(this->options.seed),
          whois([this](const std::string& client, std::string_view query) {
              return answerWhois(client, query);
          }) {}

    enum class Fate { Answer, Hang, ServerError, Drop };

    QDateTime now() const { return options.now(); }
    QDate today() const { return now().toLocalTime().date(); }

    // Waits, or less when the server is stopping. False when cut short.
    bool pause(std::chrono::milliseconds duration) {
        if (duration <= std::chrono::milliseconds::zero())
            return true;
        std::unique_lock lock(stopMutex);
        return !stopping.wait_for(lock, duration, [this] { return stopRequested; });
    }

    // The latency of this answer, and whether and how it fails.
    Fate prepare() {
        std::chrono::milliseconds delay = options.latency;
        bool fails = false;
        {
            std::lock_guard lock(randomMutex);
            if (options.jitter.count() > 0)
                delay += std::chrono::milliseconds(
                    random.below(static_cast<std::uint64_t>(options.jitter.count()) + 1));
            fails = options.failureShare > 0 && random.fraction() < options.failureShare;
        }
        pause(delay);
        if (!fails)
            return Fate::Answer;
        switch (options.failureMode) {
        case FailureMode::Hang:
            return Fate::Hang;
        case FailureMode::ServerError:
            return Fate::ServerError;
        case FailureMode::DropConnection:
            return Fate::Drop;
        }
        return Fate::Answer;
    }

    // True when the answer failed and is already set.
    bool failed(Fate fate, httplib::Response& response) {
        switch (fate) {
        case Fate::Answer:
            return false;
        case Fate::Hang:
            response.set_header(kFailureHeader, "hang");
            pause(options.hangTime);
            return false;
        case Fate::ServerError:
            response.status = 500;
            response.set_header(kFailureHeader, "500");
            SetBody(response,
                    "<!DOCTYPE html>\n<html><head><title>500 Internal Server Error</title></head>"
                    "<body><h1>500 Internal Server Error</h1></body></html>\n",
                    kHtml);
            return true;
        case Fate::Drop:
            DropConnection(response);
            return true;
        }
        return false;
    }

    void answerList(const httplib::Request& request, httplib::Response& response) {
        if (failed(prepare(), response))
            return;
        const ListQuery query = ParseListQuery(
            [&request](const std::string& key) { return ParameterValues(request, key); });
        const std::vector<DomainCatalog::Index> matches = FindMatches(*catalog, query, today());
        response.status = 200;
        SetBody(response,
                matches.empty() ? RenderNoResultPage()
                                : RenderListPage(*catalog, matches, query, options.drop),
                kHtml);
    }

    void answerDailyList(const httplib::Request& request, httplib::Response& response) {
        const QDate day = QDate::fromString(QString::fromStdString(request.matches[1].str()),
                                            QStringLiteral("yyyy-MM-dd"));
        if (!day.isValid()) {
            response.status = 404;
            SetBody(response, "no such day\n", kText);
            return;
        }
        response.status = 200;
        if (request.matches[2].str() == "csv")
            SetBody(response, DailyListCsv(*catalog, day), "text/csv; charset=utf-8");
        else
            SetBody(response, DailyListText(*catalog, day), kText);
    }

    void answerCheck(const httplib::Request& request, httplib::Response& response) {
        if (failed(prepare(), response))
            return;
        if (!limiter.admit(request.remote_addr, options.limiterNow())) {
            response.status = 200;
            SetBody(response, TooFrequentAnswer(), kText);
            return;
        }
        const std::optional<std::string> name =
            NormaliseDomainName(request.get_param_value("domain"));
        if (!name) {
            response.status = 400;
            SetBody(response, "invalid domain name\n", kText);
            return;
        }
        response.status = 200;
        SetBody(response,
                AvailabilityAnswer(DecideAvailability(*catalog, *name, now(), options.drop), *name),
                kText);
    }

    void answerBootstrap(httplib::Response& response) {
        response.status = 200;
        const std::string base = "http://127.0.0.1:" + std::to_string(port.load()) + "/rdap/";
        SetBody(response, RdapBootstrapJson(rdapDomains, base, now()), "application/json");
    }

    void answerRdap(const httplib::Request& request, httplib::Response& response) {
        if (failed(prepare(), response))
            return;
        const auto error = [&response](int status, std::string_view title) {
            response.status = status;
            SetBody(response, RdapErrorJson(status, title), kRdapContentType);
        };
        if (!rdapLimiter.admit(request.remote_addr, options.limiterNow())) {
            response.set_header("Retry-After", kRetryAfterSeconds);
            return error(429, "Too Many Requests");
        }
        const std::optional<std::string> name = NormaliseDomainName(request.matches[1].str());
        if (!name)
            return error(400, "Bad Request");
        // A name of a top-level domain asked over WHOIS is not this server's to answer.
        const RegistryLife life = WhoisNotFoundText(*name)
                                      ? RegistryLife{}
                                      : LifeIn(*catalog, *name, now(), options.drop);
        if (!life.isHeld())
            return error(404, "Not Found");
        response.status = 200;
        SetBody(response, RdapDomainJson(*name, life, now()), kRdapContentType);
    }

    std::string answerWhois(const std::string& client, std::string_view query) {
        std::string text;
        int status = 200;
        if (!whoisLimiter.admit(client, options.limiterNow())) {
            text = kWhoisTooFrequent;
            status = 429;
        } else if (const std::optional<std::string> name = NormaliseDomainName(query)) {
            // Names of the top-level domains answered over RDAP are not held here.
            const RegistryLife life = WhoisNotFoundText(*name)
                                          ? LifeIn(*catalog, *name, now(), options.drop)
                                          : RegistryLife{};
            text = WhoisAnswerText(*name, life);
            status = life.isHeld() ? 200 : 404;
        } else {
            text = kWhoisInvalidQuery;
            status = 400;
        }
        writeLog(client, "WHOIS", std::string(query), status, text.size(), {});
        return text;
    }

    void log(const httplib::Request& request, const httplib::Response& response) {
        const std::string length = response.get_header_value("Content-Length");
        writeLog(request.remote_addr, request.method, request.target, response.status,
                 length.empty() ? response.body.size() : std::strtoull(length.c_str(), nullptr, 10),
                 response.get_header_value(kFailureHeader));
    }

    void writeLog(const std::string& client, const std::string& method, const std::string& target,
                  int status, size_t bodyBytes, const std::string& note) {
        if (!options.log)
            return;
        const std::string line =
            FormatRequestLogLine(client, method, target, status, bodyBytes, note, now());
        std::lock_guard lock(logMutex);
        options.log(line);
    }

    std::shared_ptr<const DomainCatalog> catalog;
    SandboxOptions options;
    RateLimiter limiter;
    RateLimiter rdapLimiter;
    RateLimiter whoisLimiter;
    const std::vector<std::string> rdapDomains;
    httplib::Server server;
    std::thread thread;
    std::atomic<int> port{-1};
    bool started = false;

    std::mutex randomMutex;
    SeededRandom random;
    std::mutex logMutex;
    std::mutex stopMutex;
    std::condition_variable stopping;
    bool stopRequested = false;
    std::condition_variable listeningChanged;
    bool listening = false;
    // Last: its threads call into the members above, so it stops and goes first.
    WhoisListener whois;
};

SandboxServer::SandboxServer(std::shared_ptr<const DomainCatalog> catalog, SandboxOptions options)
    : m_impl(std::make_unique<Impl>(std::move(catalog), std::move(options))) {}

SandboxServer::~SandboxServer() {
    stop();
}

int SandboxServer::start(int port) {
    Impl& impl = *m_impl;
    if (impl.started || port < 0 || port > 65535)
        return -1;
    impl.started = true;
    httplib::Server& server = impl.server;
    // cpp-httplib asks for its worker pool once the listening loop is marked running, the
    // moment from which stop() takes effect.
    server.new_task_queue = [&impl] {
        {
            std::lock_guard lock(impl.stopMutex);
            impl.listening = true;
        }
        impl.listeningChanged.notify_all();
        return new httplib::ThreadPool(kWorkerThreads);
    };
    server.set_tcp_nodelay(true);
    // cpp-httplib's default SO_REUSEPORT would let a second sandbox share a busy port and take
    // half of its requests; SO_REUSEADDR alone only allows a quick restart.
    server.set_socket_options([](socket_t socket) {
        const int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    // Short idle limits let stop() return quickly even with a kept-alive connection open.
    server.set_keep_alive_timeout(1);
    server.set_read_timeout(2);
    server.set_payload_max_length(64 * 1024);
    server.Get("/", [&impl](const httplib::Request& request, httplib::Response& response) {
        impl.answerList(request, response);
    });
    server.Get(R"(/check/check_ac1\.cgi)",
               [&impl](const httplib::Request& request, httplib::Response& response) {
                   impl.answerCheck(request, response);
               });
    server.Get("/rdap/dns.json", [&impl](const httplib::Request&, httplib::Response& response) {
        impl.answerBootstrap(response);
    });
    server.Get(R"(/rdap/domain/([^/]+))",
               [&impl](const httplib::Request& request, httplib::Response& response) {
                   impl.answerRdap(request, response);
               });
    server.Get(R"(/lists/(\d{4}-\d{2}-\d{2})\.(txt|csv))",
               [&impl](const httplib::Request& request, httplib::Response& response) {
                   impl.answerDailyList(request, response);
               });
    server.set_logger([&impl](const httplib::Request& request, const httplib::Response& response) {
        impl.log(request, response);
    });

    if (impl.options.whoisPort && impl.whois.start(*impl.options.whoisPort) < 0)
        return -1;
    const int bound = port == 0 ? server.bind_to_any_port("127.0.0.1")
                                : (server.bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0) {
        impl.whois.stop();
        return -1;
    }
    impl.port = bound;
    impl.thread = std::thread([&server] { server.listen_after_bind(); });
    std::unique_lock lock(impl.stopMutex);
    impl.listeningChanged.wait(lock, [&impl] { return impl.listening; });
    return bound;
}

int SandboxServer::port() const {
    return m_impl->port;
}

int SandboxServer::whoisPort() const {
    return m_impl->whois.port();
}

void SandboxServer::stop() {
    Impl& impl = *m_impl;
    {
        std::lock_guard lock(impl.stopMutex);
        impl.stopRequested = true;
    }
    impl.stopping.notify_all();
    impl.whois.stop();
    impl.server.stop();
    if (impl.thread.joinable())
        impl.thread.join();
}

std::string FormatRequestLogLine(const std::string& remoteAddress, const std::string& method,
                                 const std::string& target, int status, size_t bodyBytes,
                                 const std::string& note, const QDateTime& time) {
    const auto printable = [](std::string text, size_t longest) {
        if (text.size() > longest)
            text.resize(longest);
        for (char& c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte == 0x7f)
                c = '?';
        }
        return text;
    };
    std::string line =
        time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).toStdString();
    line += ' ';
    line += printable(remoteAddress, 64);
    line += ' ';
    line += printable(method, 16);
    line += ' ';
    line += printable(target, kLongestLoggedTarget);
    line += ' ';
    line += std::to_string(status);
    line += ' ';
    line += std::to_string(bodyBytes);
    if (!note.empty()) {
        line += " failure=";
        line += printable(note, 16);
    }
    return line;
}
