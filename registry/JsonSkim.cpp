#include "registry/JsonSkim.h"

namespace {

// Deeper documents are refused rather than followed (the recursion stays small).
constexpr int kMaxDepth = 256;

class Skimmer {
public:
    explicit Skimmer(QByteArrayView json) : m_at(json.data()), m_end(json.data() + json.size()) {}

    bool skimTop(std::span<const QByteArrayView> wanted, std::span<QByteArrayView> found) {
        skipSpace();
        if (!object(0, wanted, found))
            return false;
        skipSpace();
        return m_at == m_end;
    }

private:
    bool atEnd() const { return m_at == m_end; }
    char peek() const { return *m_at; }

    void skipSpace() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++m_at;
    }

    bool value(int depth) {
        if (atEnd())
            return false;
        switch (peek()) {
        case '{':
            return object(depth + 1, {}, {});
        case '[':
            return array(depth + 1);
        case '"':
            return string();
        case 't':
            return literal("true");
        case 'f':
            return literal("false");
        case 'n':
            return literal("null");
        default:
            return number();
        }
    }

    bool object(int depth, std::span<const QByteArrayView> wanted,
                std::span<QByteArrayView> found) {
        if (depth > kMaxDepth || atEnd() || peek() != '{')
            return false;
        ++m_at;
        skipSpace();
        if (!atEnd() && peek() == '}') {
            ++m_at;
            return true;
        }
        while (true) {
            skipSpace();
            const char* keyStart = m_at;
            if (atEnd() || peek() != '"' || !string())
                return false;
            const QByteArrayView key(keyStart + 1, m_at - keyStart - 2);
            skipSpace();
            if (atEnd() || peek() != ':')
                return false;
            ++m_at;
            skipSpace();
            const char* valueStart = m_at;
            if (!value(depth))
                return false;
            for (size_t i = 0; i < wanted.size(); ++i) {
                if (key == wanted[i])
                    found[i] = QByteArrayView(valueStart, m_at - valueStart);
            }
            skipSpace();
            if (atEnd())
                return false;
            if (peek() == '}') {
                ++m_at;
                return true;
            }
            if (peek() != ',')
                return false;
            ++m_at;
        }
    }

    bool array(int depth) {
        if (depth > kMaxDepth)
            return false;
        ++m_at;
        skipSpace();
        if (!atEnd() && peek() == ']') {
            ++m_at;
            return true;
        }
        while (true) {
            skipSpace();
            if (!value(depth))
                return false;
            skipSpace();
            if (atEnd())
                return false;
            if (peek() == ']') {
                ++m_at;
                return true;
            }
            if (peek() != ',')
                return false;
            ++m_at;
        }
    }

    bool literal(const char* word) {
        for (; *word; ++word, ++m_at) {
            if (atEnd() || peek() != *word)
                return false;
        }
        return true;
    }

    static bool isDigit(char c) { return c >= '0' && c <= '9'; }

    bool digits() {
        const char* start = m_at;
        while (!atEnd() && isDigit(peek()))
            ++m_at;
        return m_at != start;
    }

    bool number() {
        if (!atEnd() && peek() == '-')
            ++m_at;
        if (atEnd())
            return false;
        if (peek() == '0')
            ++m_at;
        else if (!digits())
            return false;
        if (!atEnd() && peek() == '.') {
            ++m_at;
            if (!digits())
                return false;
        }
        if (!atEnd() && (peek() == 'e' || peek() == 'E')) {
            ++m_at;
            if (!atEnd() && (peek() == '+' || peek() == '-'))
                ++m_at;
            if (!digits())
                return false;
        }
        return true;
    }

    static bool isHex(char c) {
        return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }

    // One UTF-8 sequence starting at a byte of 0x80 or above (RFC 3629: no overlong forms, no
    // surrogates, nothing above U+10FFFF).
    bool utf8Sequence() {
        const auto byte = [this](qsizetype i) { return static_cast<unsigned char>(m_at[i]); };
        const unsigned char lead = byte(0);
        int length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (m_end - m_at < length)
            return false;
        if (byte(1) < low || byte(1) > high)
            return false;
        for (int i = 2; i < length; ++i) {
            if (byte(i) < 0x80 || byte(i) > 0xBF)
                return false;
        }
        m_at += length;
        return true;
    }

    bool string() {
        ++m_at; // the opening quote
        while (!atEnd()) {
            const unsigned char c = static_cast<unsigned char>(peek());
            if (c == '"') {
                ++m_at;
                return true;
            }
            if (c < 0x20)
                return false;
            if (c == '\\') {
                ++m_at;
                if (atEnd())
                    return false;
                const char escaped = peek();
                ++m_at;
                if (escaped == 'u') {
                    for (int i = 0; i < 4; ++i, ++m_at) {
                        if (atEnd() || !isHex(peek()))
                            return false;
                    }
                } else if (escaped != '"' && escaped != '\\' && escaped != '/' && escaped != 'b' &&
                           escaped != 'f' && escaped != 'n' && escaped != 'r' && escaped != 't') {
                    return false;
                }
            } else if (c >= 0x80) {
                if (!utf8Sequence())
                    return false;
            } else {
                ++m_at;
            }
        }
        return false;
    }

    const char* m_at;
    const char* m_end;
};

} // namespace

bool SkimJsonObject(QByteArrayView json, std::span<const QByteArrayView> wanted,
                    std::span<QByteArrayView> found) {
    for (QByteArrayView& slot : found)
        slot = {};
    if (found.size() < wanted.size())
        return false;
    return Skimmer(json).skimTop(wanted, found);
}
