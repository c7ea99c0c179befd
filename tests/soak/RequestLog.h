#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One request as the stand-in logged it. failure is empty for a proper answer, otherwise the
// way it was made to fail: "500", "drop" or "hang".
struct LoggedRequest {
    std::string target;
    int status = 0;
    std::string failure;

    bool failed() const { return !failure.empty(); }
};

// Reads "date time address method target status bytes [failure=note]". The target is whatever
// lies between the method and the status, so a blank inside it does no harm.
std::optional<LoggedRequest> ParseLogLine(std::string_view line);

// The value of the first "key=" in the target's query as it was sent, or nothing when the
// key is missing.
std::optional<std::string> QueryValue(std::string_view target, std::string_view key);

// The page a list request asked for: its "page" key, 1 without one, 0 when unreadable.
int RequestedPage(std::string_view target);

// Collects the stand-in's log lines from its threads.
class RequestLog {
public:
    std::function<void(const std::string&)> sink();
    // Every request logged since the last call, in the order the lines came; unreadable lines
    // are counted, not returned.
    std::vector<LoggedRequest> take();
    int unreadableLines() const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
    int m_unreadable = 0;
};
