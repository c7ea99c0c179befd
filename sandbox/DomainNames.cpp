#include "DomainNames.h"

namespace {

constexpr size_t kLongestLabel = 63;
constexpr size_t kLongestName = 253;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool IsLabel(std::string_view label, bool allowNonAscii) {
    if (label.empty() || label.size() > kLongestLabel || label.front() == '-' ||
        label.back() == '-')
        return false;
    for (const char c : label) {
        const bool nonAscii = static_cast<unsigned char>(c) >= 0x80;
        if (!IsLetterOrDigit(c) && c != '-' && !(allowNonAscii && nonAscii))
            return false;
    }
    return true;
}

} // namespace

bool IsPlainLabel(std::string_view label) {
    return IsLabel(label, false);
}

std::optional<std::string> NormaliseDomainName(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (!text.empty() && text.back() == '.')
        text.remove_suffix(1);
    if (text.size() > kLongestName)
        return std::nullopt;

    std::string name(text);
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    size_t labels = 0;
    size_t start = 0;
    while (true) {
        const size_t dot = name.find('.', start);
        const std::string_view label =
            std::string_view(name).substr(start, dot == std::string::npos ? dot : dot - start);
        if (!IsLabel(label, true))
            return std::nullopt;
        ++labels;
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    if (labels < 2)
        return std::nullopt;
    return name;
}
