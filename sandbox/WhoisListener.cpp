#include "WhoisListener.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

namespace {

constexpr int kWorkers = 4;
using SteadyClock = std::chrono::steady_clock;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    void reset(int fd = -1) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

// Waits until fd is ready for events, the stop descriptor fires or the deadline passes.
bool WaitFor(int fd, short events, int stopFd, SteadyClock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now());
        if (left.count() <= 0)
            return false;
        pollfd fds[2] = {{fd, events, 0}, {stopFd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0 || fds[1].revents != 0)
            return false;
        return fds[0].revents != 0;
    }
}

std::string ClientAddress(const sockaddr_in& address) {
    char text[INET_ADDRSTRLEN] = {};
    if (!::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text))
        return {};
    return text;
}

} // namespace

std::optional<std::string_view> WhoisQueryLine(std::string_view received) {
    const size_t end = received.find('\n');
    if (end == std::string_view::npos)
        return std::nullopt;
    std::string_view line = received.substr(0, end);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

struct WhoisListener::Impl {
    explicit Impl(Answer answer) : answer(std::move(answer)) {}

    void serve() {
        for (;;) {
            pollfd fds[2] = {{listening.get(), POLLIN, 0}, {stopSignal.get(), POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (fds[1].revents != 0)
                return;
            sockaddr_in peer{};
            socklen_t peerLength = sizeof peer;
            // The listening socket does not block: another thread may have taken the connection.
            FileDescriptor connection(::accept4(listening.get(), reinterpret_cast<sockaddr*>(&peer),
                                                &peerLength, SOCK_NONBLOCK | SOCK_CLOEXEC));
            if (connection.get() >= 0)
                converse(connection.get(), ClientAddress(peer));
        }
    }

    void converse(int connection, const std::string& client) {
        const auto deadline = SteadyClock::now() + std::chrono::seconds(kWhoisReadSeconds);
        char buffer[kMaxWhoisQueryBytes];
        size_t length = 0;
        std::optional<std::string_view> query;
        while (!query) {
            if (length == sizeof buffer || !WaitFor(connection, POLLIN, stopSignal.get(), deadline))
                return;
            const ssize_t got = ::recv(connection, buffer + length, sizeof buffer - length, 0);
            if (got < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            if (got <= 0) {
                // A client that ends its side without a line end still asked what it sent.
                if (got < 0 || length == 0)
                    return;
                query = std::string_view(buffer, length);
                break;
            }
            length += static_cast<size_t>(got);
            query = WhoisQueryLine(std::string_view(buffer, length));
        }
        const std::string text = answer(client, *query);
        size_t sent = 0;
        while (sent < text.size()) {
            const ssize_t wrote =
                ::send(connection, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
            if (wrote < 0 && (errno == EAGAIN || errno == EINTR)) {
                if (!WaitFor(connection, POLLOUT, stopSignal.get(), deadline))
                    return;
                continue;
            }
            if (wrote <= 0)
                return;
            sent += static_cast<size_t>(wrote);
        }
        ::shutdown(connection, SHUT_WR);
    }

    Answer answer;
    FileDescriptor listening;
    FileDescriptor stopSignal;
    std::vector<std::thread> workers;
    std::atomic<int> port{-1};
    bool started = false;
};

WhoisListener::WhoisListener(Answer answer) : m_impl(std::make_unique<Impl>(std::move(answer))) {}

WhoisListener::~WhoisListener() {
    stop();
}

int WhoisListener::start(int port) {
    Impl& impl = *m_impl;
    if (impl.started || port < 0 || port > 65535)
        return -1;
    impl.started = true;
    impl.listening.reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    impl.stopSignal.reset(::eventfd(0, EFD_CLOEXEC));
    if (impl.listening.get() < 0 || impl.stopSignal.get() < 0)
        return -1;
    // A quick restart finds the port free; no SO_REUSEPORT, so a second stand-in cannot share it.
    const int yes = 1;
    ::setsockopt(impl.listening.get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(impl.listening.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(impl.listening.get(), 64) != 0 ||
        ::getsockname(impl.listening.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        impl.listening.reset();
        return -1;
    }
    impl.port = ntohs(address.sin_port);
    for (int i = 0; i < kWorkers; ++i)
        impl.workers.emplace_back([&impl] { impl.serve(); });
    return impl.port;
}

int WhoisListener::port() const {
    return m_impl->port;
}

void WhoisListener::stop() {
    Impl& impl = *m_impl;
    if (impl.stopSignal.get() >= 0) {
        // Never read, so it stays readable and wakes every thread.
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t wrote = ::write(impl.stopSignal.get(), &one, sizeof one);
    }
    for (std::thread& worker : impl.workers) {
        if (worker.joinable())
            worker.join();
    }
    impl.workers.clear();
    impl.listening.reset();
}
