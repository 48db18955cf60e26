#pragma once
// The records of the ZIP file format as the archive writer emits them.
// Every entry is written in ZIP64 form: the 32-bit size and offset fields
// hold 0xFFFFFFFF and the real values live in the ZIP64 extra field, in the
// local header as well as in the central directory.
#include <QByteArray>
#include <QtGlobal>

namespace ZipFormat {

constexpr quint32 kLocalHeaderSignature = 0x04034b50;
constexpr quint32 kCentralHeaderSignature = 0x02014b50;
constexpr quint32 kDataDescriptorSignature = 0x08074b50;
constexpr quint32 kZip64EndSignature = 0x06064b50;
constexpr quint32 kZip64LocatorSignature = 0x07064b50;
constexpr quint32 kEndSignature = 0x06054b50;

constexpr quint16 kMethodStored = 0;
constexpr quint16 kMethodDeflated = 8;
constexpr quint16 kMethodAes = 99;

constexpr quint16 kFlagEncrypted = 0x0001;
constexpr quint16 kFlagDataDescriptor = 0x0008;
constexpr quint16 kFlagUtf8 = 0x0800;

constexpr quint16 kExtraZip64 = 0x0001;
constexpr quint16 kExtraTimestamp = 0x5455;
constexpr quint16 kExtraAes = 0x9901;

constexpr quint16 kVersionZip64 = 45;
constexpr quint16 kVersionAes = 51;
constexpr quint16 kHostUnix = 3;

constexpr quint32 kDosDirectory = 0x10;
constexpr quint32 kDosReadOnly = 0x01;
constexpr quint32 kUnixTypeMask = 0170000;
constexpr quint32 kUnixDirectory = 0040000;
constexpr quint32 kUnixRegular = 0100000;
constexpr quint32 kUnixSymlink = 0120000;

// Appends little-endian integers to a byte array.
class ByteWriter {
public:
    explicit ByteWriter(QByteArray &out) : m_out(out) {}
    void u8(quint8 v) { m_out.append(char(v)); }
    void u16(quint16 v);
    void u32(quint32 v);
    void u64(quint64 v);
    void bytes(const QByteArray &b) { m_out.append(b); }

private:
    QByteArray &m_out;
};

struct DosDateTime {
    quint16 time = 0;
    quint16 date = 0;
};

// MS-DOS date and time of a moment given in seconds since 1970 (UTC),
// expressed in local time and clamped to the range the format can hold
// (1980-01-01 to 2107-12-31). Seconds are stored in two-second steps.
DosDateTime ToDosDateTime(qint64 unixSeconds);

// Everything the local header, the data descriptor and the central
// directory record of one entry hold.
struct EntryRecord {
    QByteArray name;                 // the bytes; UTF-8 when flags has kFlagUtf8
    quint16 flags = kFlagUtf8;
    quint16 method = kMethodStored;  // as written in the headers (99 for AES)
    DosDateTime dosTime;
    qint64 modifiedSecs = 0;         // for the extended timestamp field
    bool hasTimestamp = true;
    quint32 crc = 0;
    quint64 compressedSize = 0;      // everything after the local header up to the descriptor
    quint64 uncompressedSize = 0;
    quint64 localHeaderOffset = 0;
    quint32 externalAttributes = 0;
    quint8 aesStrength = 0;          // 1, 2, 3 for AES 128/192/256; 0 without AES
    quint16 aesActualMethod = 0;     // the compression method behind AES
    quint16 aesVendorVersion = 1;    // 1: AE-1, CRC stored; 2: AE-2, CRC left out (0)

    quint16 versionNeeded() const { return aesStrength ? kVersionAes : kVersionZip64; }
};

// The local header. Its length depends only on the name and on whether AES
// is used, so the header written before the data can be overwritten in
// place once the sizes and the checksum are known.
QByteArray LocalHeader(const EntryRecord &e);
// The ZIP64 data descriptor (signature, CRC-32, two 64-bit sizes).
QByteArray DataDescriptor(const EntryRecord &e);
// The central directory record.
QByteArray CentralHeader(const EntryRecord &e);
// The ZIP64 end of central directory record, its locator and the classic
// end record (which carries the real values where they fit).
QByteArray EndRecords(quint64 entries, quint64 directoryOffset, quint64 directorySize);

} // namespace ZipFormat
