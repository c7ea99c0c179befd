#include "RequestLog.h"

#include <charconv>

namespace {

std::vector<std::string_view> SplitAtBlanks(std::string_view line) {
    std::vector<std::string_view> words;
    size_t at = 0;
    while (at < line.size()) {
        const size_t end = std::min(line.find(' ', at), line.size());
        if (end > at)
            words.push_back(line.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

std::optional<int> WholeNumber(std::string_view text) {
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

constexpr std::string_view kFailureNote = "failure=";

} // namespace

std::optional<LoggedRequest> ParseLogLine(std::string_view line) {
    std::vector<std::string_view> words = SplitAtBlanks(line);
    LoggedRequest request;
    if (!words.empty() && words.back().starts_with(kFailureNote)) {
        request.failure = std::string(words.back().substr(kFailureNote.size()));
        words.pop_back();
    }
    // date, time, address, method, at least one word of target, status, bytes
    if (words.size() < 7 || !WholeNumber(words.back()))
        return std::nullopt;
    const std::optional<int> status = WholeNumber(words[words.size() - 2]);
    if (!status)
        return std::nullopt;
    request.status = *status;
    const char* targetStart = words[4].data();
    const std::string_view lastWord = words[words.size() - 3];
    request.target = std::string(targetStart, lastWord.data() + lastWord.size());
    return request;
}

std::optional<std::string> QueryValue(std::string_view target, std::string_view key) {
    const size_t query = target.find('?');
    if (query == std::string_view::npos)
        return std::nullopt;
    size_t at = query + 1;
    while (at <= target.size()) {
        const size_t end = std::min(target.find('&', at), target.size());
        const std::string_view pair = target.substr(at, end - at);
        if (pair.size() > key.size() && pair.starts_with(key) && pair[key.size()] == '=')
            return std::string(pair.substr(key.size() + 1));
        at = end + 1;
    }
    return std::nullopt;
}

int RequestedPage(std::string_view target) {
    const std::optional<std::string> page = QueryValue(target, "page");
    if (!page)
        return 1;
    return WholeNumber(*page).value_or(0);
}

std::function<void(const std::string&)> RequestLog::sink() {
    return [this](const std::string& line) {
        std::lock_guard lock(m_mutex);
        m_lines.push_back(line);
    };
}

std::vector<LoggedRequest> RequestLog::take() {
    std::vector<std::string> lines;
    {
        std::lock_guard lock(m_mutex);
        lines.swap(m_lines);
    }
    std::vector<LoggedRequest> requests;
    requests.reserve(lines.size());
    for (const std::string& line : lines) {
        if (std::optional<LoggedRequest> request = ParseLogLine(line))
            requests.push_back(std::move(*request));
        else {
            std::lock_guard lock(m_mutex);
            ++m_unreadable;
        }
    }
    return requests;
}

int RequestLog::unreadableLines() const {
    std::lock_guard lock(m_mutex);
    return m_unreadable;
}
