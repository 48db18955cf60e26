#include "base/binarycodec.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

void BinaryWriter::written()
{
    if (!m_sink || m_data.size() < kPieceBytes)
        return;
    if (!m_failed && !m_sink(m_data))
        m_failed = true;
    m_data.resize(0); // keeps the capacity for the next piece
}

bool BinaryWriter::finish()
{
    if (m_sink && !m_data.isEmpty()) {
        if (!m_failed && !m_sink(m_data))
            m_failed = true;
        m_data.resize(0);
    }
    return !m_failed;
}

void BinaryWriter::writeInt32(qint32 v)
{
    char b[4];
    qToLittleEndian<qint32>(v, b);
    m_data.append(b, 4);
    written();
}

void BinaryWriter::writeInt64(qint64 v)
{
    char b[8];
    qToLittleEndian<qint64>(v, b);
    m_data.append(b, 8);
    written();
}

void BinaryWriter::writeByte(quint8 v)
{
    m_data.append(static_cast<char>(v));
    written();
}

void BinaryWriter::writeDouble(double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    writeInt64(static_cast<qint64>(bits));
}

void BinaryWriter::writeString(const QString &s)
{
    writeInt32(static_cast<qint32>(s.size()));
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    m_data.append(reinterpret_cast<const char *>(s.utf16()), s.size() * 2);
#else
    for (QChar c : s) {
        char b[2];
        qToLittleEndian<quint16>(c.unicode(), b);
        m_data.append(b, 2);
    }
#endif
    written();
}

void BinaryWriter::writeStringList(const QStringList &list)
{
    // The whole list in one allocation, with room for the small fields that
    // usually follow: lists of a backup set's state hold one line per source
    // file, and growing the buffer step by step would briefly need several
    // times their size.
    // (A writer with a sink holds one piece at a time instead.)
    qint64 bytes = 4;
    for (const QString &s : list)
        bytes += 4 + qint64(s.size()) * 2;
    if (!m_sink && m_data.capacity() - m_data.size() < bytes)
        m_data.reserve(m_data.size() + bytes + 16384);
    writeInt32(static_cast<qint32>(list.size()));
    for (const QString &s : list)
        writeString(s);
}

BinaryReader::BinaryReader(qint64 size, Source source) : m_size(std::max<qint64>(0, size)), m_source(std::move(source))
{
}

void BinaryReader::need(qint64 bytes, const char *what)
{
    if (bytes < 0 || bytes > remaining())
        throw DecodeError(QStringLiteral("Unexpected end of data while reading %1 at offset %2 (%3 bytes needed, %4 left)")
                              .arg(QLatin1String(what))
                              .arg(m_pos)
                              .arg(bytes)
                              .arg(remaining()));
    const qint64 end = m_pos + bytes;
    while (m_source && m_base + m_data.size() < end) {
        // What lies before the position is never read again.
        const qint64 consumed = std::min<qint64>(m_pos - m_base, m_data.size());
        if (consumed > 0) {
            m_data.remove(0, consumed);
            m_base += consumed;
        }
        const qint64 have = m_base + m_data.size();
        const qint64 more = std::min(std::max<qint64>(end - have, kPieceBytes), m_size - have);
        const qsizetype old = m_data.size();
        m_data.resize(old + more);
        m_source(m_data.data() + old, more);
    }
}

qint32 BinaryReader::readInt32()
{
    need(4, "an integer");
    qint32 v = qFromLittleEndian<qint32>(here());
    m_pos += 4;
    return v;
}

qint64 BinaryReader::readInt64()
{
    need(8, "a 64-bit integer");
    qint64 v = qFromLittleEndian<qint64>(here());
    m_pos += 8;
    return v;
}

quint8 BinaryReader::readByte()
{
    need(1, "a byte");
    const quint8 v = static_cast<quint8>(*here());
    ++m_pos;
    return v;
}

double BinaryReader::readDouble()
{
    quint64 bits = static_cast<quint64>(readInt64());
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

QString BinaryReader::readString()
{
    const qint64 start = m_pos;
    qint32 n = readInt32();
    if (n < 0 || qint64(n) * 2 > remaining()) {
        m_pos = start;
        throw DecodeError(QStringLiteral("Invalid string length %1 at offset %2 (%3 bytes left)")
                              .arg(n).arg(start).arg(remaining() - 4));
    }
    need(qint64(n) * 2, "a string");
    QString s(n, Qt::Uninitialized);
    const char *p = here();
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    std::memcpy(s.data(), p, size_t(n) * 2);
#else
    for (qint32 i = 0; i < n; ++i)
        s[i] = QChar(qFromLittleEndian<quint16>(p + 2 * i));
#endif
    m_pos += qint64(n) * 2;
    return s;
}

QStringList BinaryReader::readStringList()
{
    QStringList list;
    readStringListInto(list);
    return list;
}

qint32 BinaryReader::readListCount()
{
    const qint64 start = m_pos;
    qint32 n = readInt32();
    // Each string takes at least its 4-byte count.
    if (n < 0 || qint64(n) * 4 > remaining()) {
        m_pos = start;
        throw DecodeError(QStringLiteral("Invalid list length %1 at offset %2 (%3 bytes left)")
                              .arg(n).arg(start).arg(remaining() - 4));
    }
    return n;
}

void BinaryReader::readStringListInto(QStringList &list)
{
    const qint32 n = readListCount();
    list.reserve(list.size() + n);
    for (qint32 i = 0; i < n; ++i)
        list.append(readString());
}

void BinaryReader::skipStringList()
{
    const qint32 n = readListCount();
    for (qint32 i = 0; i < n; ++i) {
        const qint64 start = m_pos;
        const qint32 length = readInt32();
        if (length < 0 || qint64(length) * 2 > remaining()) {
            m_pos = start;
            throw DecodeError(QStringLiteral("Invalid string length %1 at offset %2 (%3 bytes left)")
                                  .arg(length).arg(start).arg(remaining() - 4));
        }
        m_pos += qint64(length) * 2; // passed over without being read in
    }
}

void BinaryReader::skip(qint64 bytes)
{
    if (bytes < 0 || bytes > remaining())
        need(bytes, "skipped bytes"); // throws
    m_pos += bytes;
}
