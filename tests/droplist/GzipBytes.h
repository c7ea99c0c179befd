#pragma once

#include <QByteArray>

#include <zlib.h>

// The bytes packed as one gzip member, as gzip(1) writes them.
inline QByteArray GzipBytes(const QByteArray& plain) {
    z_stream z{};
    deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    QByteArray packed(static_cast<qsizetype>(deflateBound(&z, uLong(plain.size()))) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
    z.avail_in = static_cast<uInt>(plain.size());
    z.next_out = reinterpret_cast<Bytef*>(packed.data());
    z.avail_out = static_cast<uInt>(packed.size());
    deflate(&z, Z_FINISH);
    packed.resize(static_cast<qsizetype>(z.total_out));
    deflateEnd(&z);
    return packed;
}
