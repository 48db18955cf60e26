#pragma once
// Raw deflate (no zlib or gzip wrapper) as ZIP entries hold it, streamed
// through a fixed output buffer.
#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

struct z_stream_s;

class DeflateStream {
public:
    // Receives each piece of compressed output; the buffer may be changed
    // in place (the writer encrypts it there). Returns false to stop.
    using Sink = std::function<bool(char *data, qsizetype length)>;

    DeflateStream();
    ~DeflateStream();
    DeflateStream(const DeflateStream &) = delete;
    DeflateStream &operator=(const DeflateStream &) = delete;

    // Starts a new entry at a zlib level (1..9). The stream is reused
    // between entries.
    bool begin(int zlibLevel, QString *error);
    // Compresses `length` bytes; with `finish` the stream is ended and all
    // pending output delivered. False on a zlib error (with `error`) or when
    // the sink stopped (error left empty).
    bool write(const char *data, qsizetype length, bool finish, const Sink &sink, QString *error);

private:
    std::unique_ptr<z_stream_s> m_stream;
    bool m_initialised = false;
    int m_level = -1;
    QByteArray m_out;
};
