#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// A port-43 style server on 127.0.0.1: one query line (ending in LF or CRLF) per connection,
// one answer, then the server closes. A line longer than kMaxWhoisQueryBytes, or none within
// kWhoisReadSeconds, gets no answer. Serves on threads of its own from start() to stop().
class WhoisListener {
public:
    // Gets the client's address and the query line without its line end; returns the answer.
    // Called from the listener's threads, several at once.
    using Answer = std::function<std::string(const std::string& client, std::string_view query)>;

    static constexpr size_t kMaxWhoisQueryBytes = 1024;
    static constexpr int kWhoisReadSeconds = 5;

    explicit WhoisListener(Answer answer);
    ~WhoisListener();
    WhoisListener(const WhoisListener&) = delete;
    WhoisListener& operator=(const WhoisListener&) = delete;

    // Binds the port (0: any free one) and starts serving. Returns the port, or -1 when the port
    // cannot be bound or the listener already ran.
    int start(int port);
    int port() const;
    // Ends every connection at once and returns when the threads are gone.
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// The query in a connection's first bytes: the text before the first LF, without a CR before
// it. Nothing while no LF has come.
std::optional<std::string_view> WhoisQueryLine(std::string_view received);
