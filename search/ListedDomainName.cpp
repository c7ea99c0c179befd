#include "search/ListedDomainName.h"

#include <QString>
#include <QUrl>

namespace {

constexpr qsizetype kLongestName = 253;
constexpr qsizetype kLongestLabel = 63;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsLabelCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

// Lower-case ASCII only.
bool IsAsciiDomainName(QByteArrayView name) {
    if (name.isEmpty() || name.size() > kLongestName)
        return false;
    int labels = 0;
    qsizetype start = 0;
    while (start <= name.size()) {
        qsizetype end = name.indexOf('.', start);
        if (end < 0)
            end = name.size();
        const QByteArrayView label = name.sliced(start, end - start);
        if (label.isEmpty() || label.size() > kLongestLabel || label.front() == '-' ||
            label.back() == '-')
            return false;
        for (const char c : label) {
            if (!IsLabelCharacter(c))
                return false;
        }
        ++labels;
        start = end + 1;
    }
    return labels >= 2;
}

bool IsAscii(QByteArrayView text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

bool NormaliseListedName(QByteArrayView text, std::string& name) {
    while (!text.isEmpty() && IsBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && IsBlank(text.back()))
        text.chop(1);
    if (!text.isEmpty() && text.back() == '.')
        text.chop(1);
    if (text.isEmpty() || text.size() > 4 * kLongestName)
        return false;

    if (IsAscii(text)) {
        name.assign(text.data(), static_cast<size_t>(text.size()));
        for (char& c : name) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return IsAsciiDomainName(QByteArrayView(name.data(), qsizetype(name.size())));
    }

    const QString lower = QString::fromUtf8(text).toLower();
    const QByteArray ace = QUrl::toAce(lower);
    if (ace.isEmpty() || !IsAsciiDomainName(ace.toLower()))
        return false;
    name = lower.toStdString();
    return true;
}
