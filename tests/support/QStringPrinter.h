#pragma once

#include <QString>

#include <cstdio>
#include <ostream>

// Lets GoogleTest print texts readably: quoted UTF-8, with control characters, quotes and
// lone surrogates escaped so that a NUL or a broken page shows up in a failure message.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool pair =
            c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (pair) {
            *out << text.sliced(i, 2).toStdString();
            ++i;
        } else if (c == u'"' || c == u'\\') {
            *out << '\\' << static_cast<char>(c.unicode());
        } else if (c == u'\n') {
            *out << "\\n";
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7f || c.isSurrogate()) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned{c.unicode()});
            *out << escaped;
        } else {
            *out << QString(c).toStdString();
        }
    }
    *out << '"';
}
