#include "RateLimiter.h"

namespace {

constexpr auto kWindow = std::chrono::seconds(1);
constexpr size_t kClientsBeforeCleanup = 1024;

} // namespace

bool RateLimiter::admit(const std::string& client, Clock::time_point now) {
    if (m_perSecond <= 0)
        return true;
    std::lock_guard lock(m_mutex);
    if (m_recent.size() >= kClientsBeforeCleanup && !m_recent.contains(client))
        forgetIdleClients(now);
    std::deque<Clock::time_point>& recent = m_recent[client];
    while (!recent.empty() && now - recent.front() >= kWindow)
        recent.pop_front();
    recent.push_back(now);
    if (recent.size() > static_cast<size_t>(m_perSecond) + 1)
        recent.pop_front();
    return recent.size() <= static_cast<size_t>(m_perSecond);
}

void RateLimiter::forgetIdleClients(Clock::time_point now) {
    std::erase_if(m_recent, [now](const auto& entry) {
        return entry.second.empty() || now - entry.second.back() >= kWindow;
    });
}

size_t RateLimiter::trackedClients() {
    std::lock_guard lock(m_mutex);
    return m_recent.size();
}
