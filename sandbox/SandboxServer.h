#pragma once

#include "Availability.h"
#include "DomainCatalog.h"
#include "RateLimiter.h"
#include "SandboxClock.h"

#include <QDate>
#include <QDateTime>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// How an answer chosen to fail goes wrong.
enum class FailureMode {
    Hang,           // answers only after the hang time, well past the program's 5 seconds
    ServerError,    // a 500 page
    DropConnection, // sends the headers, then closes the connection
};

struct SandboxOptions {
    std::chrono::milliseconds latency{0};
    std::chrono::milliseconds jitter{0}; // up to this much more, chosen per answer
    double failureShare = 0.0;           // 0 to 1
    FailureMode failureMode = FailureMode::Hang;
    std::chrono::milliseconds hangTime{6000};
    int checksPerSecond = 20; // per client; 0 lifts the limit
    // RDAP domain questions and WHOIS queries per second and client, each protocol counted on
    // its own; 0 lifts the limit. Far above the program's one question a second per registry.
    int registryQuestionsPerSecond = 5;
    // The WHOIS listener's port (0: any free one); none: no WHOIS listener.
    std::optional<int> whoisPort;
    std::uint64_t seed = 1; // for the jitter and the choice of failing answers
    // Receives one line per request, from the server's threads one at a time.
    std::function<void(const std::string& line)> log;
    // The stand-in's time: which deletions are past, which names have dropped, the log's times.
    // Called from the server's threads, any number at once.
    SandboxClock now = SystemNow;
    DropRules drop;
    // The rate limits' clock.
    std::function<RateLimiter::Clock::time_point()> limiterNow = RateLimiter::Clock::now;
};

// The stand-in services on 127.0.0.1: the deleted-domain list at "/", the availability check at
// "/check/check_ac1.cgi", and the registries: the RDAP bootstrap file at "/rdap/dns.json", RDAP
// domain answers at "/rdap/domain/NAME", WHOIS on a port of its own when options.whoisPort
// is set, and each day's drop list at "/lists/YYYY-MM-DD.txt" and ".csv". Serves on threads of its
// own from start() to stop().
class SandboxServer {
public:
    SandboxServer(std::shared_ptr<const DomainCatalog> catalog, SandboxOptions options);
    ~SandboxServer();
    SandboxServer(const SandboxServer&) = delete;
    SandboxServer& operator=(const SandboxServer&) = delete;

    // Binds the port (0: any free one) and the WHOIS port, and starts serving. Returns the port,
    // or -1 when a port cannot be bound or the server already ran.
    int start(int port);
    int port() const;
    // The WHOIS listener's port; -1 when it does not run.
    int whoisPort() const;
    // Cuts short every wait for latency or a hang, and returns once the threads are gone.
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// One request log line, with control characters replaced and the target cut to a sane length,
// stamped with the given time (the stand-in's clock; the machine's when not given).
std::string FormatRequestLogLine(const std::string& remoteAddress, const std::string& method,
                                 const std::string& target, int status, size_t bodyBytes,
                                 const std::string& note, const QDateTime& time);
