#pragma once
// The binary encoding of every data file of the program: little-endian
// int32 and int64, one-byte booleans, date-times as 8-byte doubles (days
// since 1899-12-30, local time), strings as an int32 count of UTF-16 code
// units followed by the code units (UTF-16LE, no terminator), and string
// lists as an int32 count followed by the strings.
#include "base/errors.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

class BinaryWriter {
public:
    // Receives the encoded bytes piece by piece; it may change them in place
    // (to scramble them) and returns false when they could not be stored.
    using Sink = std::function<bool(QByteArray &piece)>;

    // Collects everything in data().
    BinaryWriter() = default;
    // Hands the bytes to `sink` whenever a piece of kPieceBytes has filled,
    // so that a file of a million entries is never held whole.
    explicit BinaryWriter(Sink sink) : m_sink(std::move(sink)) {}
    static constexpr qsizetype kPieceBytes = 64 * 1024;

    void writeInt32(qint32 v);
    void writeInt64(qint64 v);
    void writeByte(quint8 v);
    void writeBool(bool v) { writeByte(v ? 1 : 0); }
    void writeDouble(double v);
    void writeDateTime(double v) { writeDouble(v); }
    void writeString(const QString &s);
    void writeStringList(const QStringList &list);
    // An enumeration is stored as an int32 holding its ordinal.
    template <typename E> void writeEnum(E e) { writeInt32(static_cast<qint32>(e)); }

    // Without a sink: everything written so far.
    const QByteArray &data() const { return m_data; }
    // With a sink: hands over the rest; false when any piece was refused.
    bool finish();

private:
    void written(); // hands over a full piece

    QByteArray m_data;
    Sink m_sink;
    bool m_failed = false;
};

// Reads the encoding above. Every read checks the bytes left: a truncated
// field or a count that cannot fit in what remains throws DecodeError, so a
// damaged or hostile file can neither crash the reader nor make it allocate
// more than the file's own size.
class BinaryReader {
public:
    explicit BinaryReader(const QByteArray &data) : m_data(data), m_size(data.size()) {}
    // Fills `into` with the next `size` bytes of the input, or throws.
    using Source = std::function<void(char *into, qsizetype size)>;
    // Reads `size` bytes from `source` as the fields need them, holding a
    // piece of about kPieceBytes at a time instead of the whole input.
    BinaryReader(qint64 size, Source source);
    static constexpr qsizetype kPieceBytes = 64 * 1024;

    qint32 readInt32();
    qint64 readInt64();
    quint8 readByte();
    bool readBool() { return readByte() != 0; }
    double readDouble();
    double readDateTime() { return readDouble(); }
    QString readString();
    QStringList readStringList();
    // Appends the strings to an existing list (the loaders append to lists).
    void readStringListInto(QStringList &list);
    // Passes over a list with the same checks, without building it.
    void skipStringList();
    // Stored as int32; only the low byte is kept, like a one-byte enum field.
    template <typename E> E readEnum() { return static_cast<E>(static_cast<quint8>(readInt32() & 0xFF)); }
    void skip(qint64 bytes);

    qint64 position() const { return m_pos; }
    qint64 remaining() const { return m_size - m_pos; }
    bool atEnd() const { return remaining() <= 0; }

private:
    // Checks that `bytes` are left and makes them available at here().
    void need(qint64 bytes, const char *what);
    const char *here() const { return m_data.constData() + (m_pos - m_base); }
    qint32 readListCount();

    QByteArray m_data; // the input from m_base on (all of it without a source)
    qint64 m_base = 0;
    qint64 m_size = 0;
    qint64 m_pos = 0;
    Source m_source;
};
