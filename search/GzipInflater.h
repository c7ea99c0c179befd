#pragma once

#include <QByteArrayView>

#include <functional>
#include <memory>

// Unpacks a gzip stream (one member or several, as concatenated files give) piece by piece, in
// bounded pieces, so that a file of any size passes through a fixed amount of memory.
class GzipInflater {
public:
    enum class Outcome { More, Done, Corrupt };
    // Receives each unpacked piece; returning false stops the unpacking.
    using Sink = std::function<bool(QByteArrayView piece)>;

    GzipInflater();
    ~GzipInflater();
    GzipInflater(const GzipInflater&) = delete;
    GzipInflater& operator=(const GzipInflater&) = delete;

    // More: waiting for more input; Done: the last member ended with this input; Corrupt: the
    // data is not gzip or is damaged. A sink that stops gives More.
    Outcome feed(QByteArrayView packed, const Sink& sink);
    // Whether the input so far ended exactly at the end of a member.
    bool atMemberEnd() const { return m_atMemberEnd; }

    static bool looksLikeGzip(QByteArrayView start);

private:
    struct Stream;
    std::unique_ptr<Stream> m_stream;
    bool m_atMemberEnd = false;
    bool m_corrupt = false;
};
