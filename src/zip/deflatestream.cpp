#include "zip/deflatestream.h"

#include <zlib.h>

namespace {
constexpr int kOutputChunk = 256 * 1024;
}

DeflateStream::DeflateStream() : m_stream(std::make_unique<z_stream_s>()), m_out(kOutputChunk, '\0') {}

DeflateStream::~DeflateStream()
{
    if (m_initialised)
        deflateEnd(m_stream.get());
}

bool DeflateStream::begin(int zlibLevel, QString *error)
{
    if (m_initialised && m_level == zlibLevel) {
        if (deflateReset(m_stream.get()) == Z_OK)
            return true;
        deflateEnd(m_stream.get());
        m_initialised = false;
    }
    if (m_initialised) {
        deflateEnd(m_stream.get());
        m_initialised = false;
    }
    *m_stream = z_stream_s{};
    const int rc = deflateInit2(m_stream.get(), zlibLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    if (rc != Z_OK) {
        if (error)
            *error = QStringLiteral("Unable to start the compression (zlib error %1)").arg(rc);
        return false;
    }
    m_initialised = true;
    m_level = zlibLevel;
    return true;
}

bool DeflateStream::write(const char *data, qsizetype length, bool finish, const Sink &sink, QString *error)
{
    z_stream_s *z = m_stream.get();
    z->next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
    z->avail_in = uInt(length);
    const int flush = finish ? Z_FINISH : Z_NO_FLUSH;
    for (;;) {
        z->next_out = reinterpret_cast<Bytef *>(m_out.data());
        z->avail_out = uInt(m_out.size());
        const int rc = deflate(z, flush);
        if (rc == Z_STREAM_ERROR) {
            if (error)
                *error = QStringLiteral("Compression failed (zlib error %1)").arg(rc);
            return false;
        }
        const qsizetype produced = m_out.size() - qsizetype(z->avail_out);
        if (produced > 0 && !sink(m_out.data(), produced))
            return false;
        if (finish) {
            if (rc == Z_STREAM_END)
                return true;
        } else if (z->avail_in == 0 && z->avail_out != 0) {
            return true;
        }
    }
}
