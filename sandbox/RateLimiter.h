#pragma once

#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

// Counts each client's questions over the last second. Every question counts, refused ones
// included, so a client that keeps hammering stays refused until it slows down.
class RateLimiter {
public:
    using Clock = std::chrono::steady_clock;

    // 0 admits everything.
    explicit RateLimiter(int perSecond) : m_perSecond(perSecond) {}

    // Records a question; false when it is one more than the client may ask within a second.
    bool admit(const std::string& client, Clock::time_point now);
    // How many clients it remembers; idle ones are forgotten once there are many.
    size_t trackedClients();

private:
    void forgetIdleClients(Clock::time_point now);

    const int m_perSecond;
    std::mutex m_mutex;
    // Only the latest perSecond + 1 questions of a client matter.
    std::unordered_map<std::string, std::deque<Clock::time_point>> m_recent;
};
