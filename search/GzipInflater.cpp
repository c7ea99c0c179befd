#include "search/GzipInflater.h"

#include <zlib.h>

#include <array>

namespace {
constexpr size_t kPieceBytes = 256 * 1024;
// 15 window bits, plus 16: gzip framing only.
constexpr int kGzipWindowBits = 15 + 16;
} // namespace

struct GzipInflater::Stream {
    z_stream z{};
    bool ready = false;
    std::array<unsigned char, kPieceBytes> out{};
};

GzipInflater::GzipInflater() : m_stream(std::make_unique<Stream>()) {
    m_stream->ready = inflateInit2(&m_stream->z, kGzipWindowBits) == Z_OK;
}

GzipInflater::~GzipInflater() {
    if (m_stream->ready)
        inflateEnd(&m_stream->z);
}

bool GzipInflater::looksLikeGzip(QByteArrayView start) {
    return start.size() >= 2 && static_cast<unsigned char>(start[0]) == 0x1f &&
           static_cast<unsigned char>(start[1]) == 0x8b;
}

GzipInflater::Outcome GzipInflater::feed(QByteArrayView packed, const Sink& sink) {
    if (!m_stream->ready || m_corrupt)
        return Outcome::Corrupt;
    z_stream& z = m_stream->z;
    // zlib's input pointer is not const in this version's interface, but it only reads.
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    z.avail_in = static_cast<uInt>(packed.size());
    while (z.avail_in > 0 || !m_atMemberEnd) {
        if (m_atMemberEnd) {
            // Another member follows the one that ended.
            if (inflateReset(&z) != Z_OK) {
                m_corrupt = true;
                return Outcome::Corrupt;
            }
            m_atMemberEnd = false;
        }
        z.next_out = m_stream->out.data();
        z.avail_out = static_cast<uInt>(m_stream->out.size());
        const int result = inflate(&z, Z_NO_FLUSH);
        const auto produced = static_cast<qsizetype>(m_stream->out.size() - z.avail_out);
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
            m_corrupt = true;
            return Outcome::Corrupt;
        }
        if (produced > 0 &&
            !sink(QByteArrayView(reinterpret_cast<const char*>(m_stream->out.data()), produced)))
            return Outcome::More;
        if (result == Z_STREAM_END)
            m_atMemberEnd = true;
        else if (produced == 0 && (z.avail_in == 0 || result == Z_BUF_ERROR))
            break;
    }
    return m_atMemberEnd ? Outcome::Done : Outcome::More;
}
