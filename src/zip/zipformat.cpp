#include "zip/zipformat.h"

#include <QDateTime>
#include <limits>

namespace ZipFormat {

void ByteWriter::u16(quint16 v)
{
    const char b[2] = {char(v & 0xff), char(v >> 8)};
    m_out.append(b, 2);
}

void ByteWriter::u32(quint32 v)
{
    u16(quint16(v & 0xffff));
    u16(quint16(v >> 16));
}

void ByteWriter::u64(quint64 v)
{
    u32(quint32(v & 0xffffffffu));
    u32(quint32(v >> 32));
}

DosDateTime ToDosDateTime(qint64 unixSeconds)
{
    const QDateTime local = QDateTime::fromSecsSinceEpoch(unixSeconds).toLocalTime();
    QDate d = local.date();
    QTime t = local.time();
    if (!d.isValid() || d.year() < 1980) {
        d = QDate(1980, 1, 1);
        t = QTime(0, 0, 0);
    } else if (d.year() > 2107) {
        d = QDate(2107, 12, 31);
        t = QTime(23, 59, 58);
    }
    DosDateTime r;
    r.date = quint16(((d.year() - 1980) << 9) | (d.month() << 5) | d.day());
    r.time = quint16((t.hour() << 11) | (t.minute() << 5) | (t.second() / 2));
    return r;
}

namespace {

bool TimestampFits(const EntryRecord &e)
{
    return e.hasTimestamp && e.modifiedSecs >= std::numeric_limits<qint32>::min()
        && e.modifiedSecs <= std::numeric_limits<qint32>::max();
}

void TimestampExtra(ByteWriter &w, const EntryRecord &e)
{
    if (!TimestampFits(e))
        return;
    w.u16(kExtraTimestamp);
    w.u16(5);
    w.u8(1); // modification time present
    w.u32(quint32(qint32(e.modifiedSecs)));
}

void AesExtra(ByteWriter &w, const EntryRecord &e)
{
    if (!e.aesStrength)
        return;
    w.u16(kExtraAes);
    w.u16(7);
    w.u16(e.aesVendorVersion);
    w.u8('A');
    w.u8('E');
    w.u8(e.aesStrength);
    w.u16(e.aesActualMethod);
}

quint16 LocalExtraLength(const EntryRecord &e)
{
    return quint16(20 + (TimestampFits(e) ? 9 : 0) + (e.aesStrength ? 11 : 0));
}

quint16 CentralExtraLength(const EntryRecord &e)
{
    return quint16(28 + (TimestampFits(e) ? 9 : 0) + (e.aesStrength ? 11 : 0));
}

} // namespace

QByteArray LocalHeader(const EntryRecord &e)
{
    QByteArray out;
    out.reserve(30 + e.name.size() + LocalExtraLength(e));
    ByteWriter w(out);
    w.u32(kLocalHeaderSignature);
    w.u16(e.versionNeeded());
    w.u16(e.flags);
    w.u16(e.method);
    w.u16(e.dosTime.time);
    w.u16(e.dosTime.date);
    w.u32(e.crc);
    w.u32(0xffffffffu);
    w.u32(0xffffffffu);
    w.u16(quint16(e.name.size()));
    w.u16(LocalExtraLength(e));
    w.bytes(e.name);
    w.u16(kExtraZip64);
    w.u16(16);
    w.u64(e.uncompressedSize);
    w.u64(e.compressedSize);
    TimestampExtra(w, e);
    AesExtra(w, e);
    return out;
}

QByteArray DataDescriptor(const EntryRecord &e)
{
    QByteArray out;
    ByteWriter w(out);
    w.u32(kDataDescriptorSignature);
    w.u32(e.crc);
    w.u64(e.compressedSize);
    w.u64(e.uncompressedSize);
    return out;
}

QByteArray CentralHeader(const EntryRecord &e)
{
    QByteArray out;
    out.reserve(46 + e.name.size() + CentralExtraLength(e));
    ByteWriter w(out);
    w.u32(kCentralHeaderSignature);
    w.u16(quint16((kHostUnix << 8) | e.versionNeeded()));
    w.u16(e.versionNeeded());
    w.u16(e.flags);
    w.u16(e.method);
    w.u16(e.dosTime.time);
    w.u16(e.dosTime.date);
    w.u32(e.crc);
    w.u32(0xffffffffu);
    w.u32(0xffffffffu);
    w.u16(quint16(e.name.size()));
    w.u16(CentralExtraLength(e));
    w.u16(0); // comment length
    w.u16(0); // disk number start
    w.u16(0); // internal attributes
    w.u32(e.externalAttributes);
    w.u32(0xffffffffu);
    w.bytes(e.name);
    w.u16(kExtraZip64);
    w.u16(24);
    w.u64(e.uncompressedSize);
    w.u64(e.compressedSize);
    w.u64(e.localHeaderOffset);
    TimestampExtra(w, e);
    AesExtra(w, e);
    return out;
}

QByteArray EndRecords(quint64 entries, quint64 directoryOffset, quint64 directorySize)
{
    QByteArray out;
    ByteWriter w(out);
    const quint64 zip64EndOffset = directoryOffset + directorySize;
    w.u32(kZip64EndSignature);
    w.u64(44);
    w.u16(quint16((kHostUnix << 8) | kVersionAes));
    w.u16(kVersionZip64);
    w.u32(0);
    w.u32(0);
    w.u64(entries);
    w.u64(entries);
    w.u64(directorySize);
    w.u64(directoryOffset);

    w.u32(kZip64LocatorSignature);
    w.u32(0);
    w.u64(zip64EndOffset);
    w.u32(1);

    const quint16 count16 = entries >= 0xffff ? 0xffff : quint16(entries);
    w.u32(kEndSignature);
    w.u16(0);
    w.u16(0);
    w.u16(count16);
    w.u16(count16);
    w.u32(directorySize >= 0xffffffffu ? 0xffffffffu : quint32(directorySize));
    w.u32(directoryOffset >= 0xffffffffu ? 0xffffffffu : quint32(directoryOffset));
    w.u16(0);
    return out;
}

} // namespace ZipFormat
