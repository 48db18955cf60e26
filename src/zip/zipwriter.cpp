#include "zip/zipwriter.h"

#include "base/filenamecodec.h"
#include "zip/pkwarecrypto.h"

#include <QDateTime>
#include <algorithm>
#include <QFileInfo>
#include <zlib.h>

using namespace ZipFormat;

namespace {

constexpr qsizetype kReadChunk = 512 * 1024;

int ZlibLevel(int level)
{
    switch (level) {
    case 1:
        return 1;
    case 3:
        return 9;
    default:
        return 6;
    }
}

quint32 UnixModeOf(QFileDevice::Permissions p)
{
    quint32 m = 0;
    if (p & QFileDevice::ReadOwner) m |= 0400;
    if (p & QFileDevice::WriteOwner) m |= 0200;
    if (p & QFileDevice::ExeOwner) m |= 0100;
    if (p & QFileDevice::ReadGroup) m |= 0040;
    if (p & QFileDevice::WriteGroup) m |= 0020;
    if (p & QFileDevice::ExeGroup) m |= 0010;
    if (p & QFileDevice::ReadOther) m |= 0004;
    if (p & QFileDevice::WriteOther) m |= 0002;
    if (p & QFileDevice::ExeOther) m |= 0001;
    return m;
}

// MS-DOS attributes in the low byte (read-only, directory), the Unix type
// and permissions in the high word.
quint32 ExternalAttributes(quint32 unixMode, bool folder)
{
    quint32 mode = unixMode & 0xffff;
    if ((mode & kUnixTypeMask) == 0)
        mode |= folder ? kUnixDirectory : kUnixRegular;
    quint32 dos = folder ? kDosDirectory : 0;
    if (!(mode & 0200))
        dos |= kDosReadOnly;
    return (mode << 16) | dos;
}

// An entry's name is the file's own name, byte for byte (FileNameToBytes):
// a name that is not UTF-8 is stored as its bytes, and only a name that is
// UTF-8 carries the flag that says so (general purpose bit 11). A control
// character other than a tab or a line break leaves the flag out too:
// libzip takes a name with one for CP 437 and refuses the whole archive as
// inconsistent when the flag says UTF-8.
quint16 EntryNameFlags(const QByteArray &name)
{
    const bool controls = std::any_of(name.cbegin(), name.cend(), [](char c) {
        return uchar(c) < 0x20 && c != '\t' && c != '\n' && c != '\r';
    });
    return !controls && IsValidUtf8(name) ? kFlagUtf8 : quint16(0);
}

} // namespace

ZipWriter::ZipWriter(ZipWriterSettings settings) : m_settings(std::move(settings)) {}

ZipWriter::~ZipWriter()
{
    // An archive that was never closed has no central directory; it stays
    // as it is and is not a valid archive.
    m_output.abandon();
}

bool ZipWriter::open(const QString &archivePath, QString *error)
{
    auto fail = [&](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (m_open)
        m_output.abandon();
    m_open = false;
    m_archiveError.clear();
    m_lastCancelled = false;
    if (m_settings.level < 0 || m_settings.level > 3)
        return fail(QStringLiteral("Unknown compression level %1").arg(m_settings.level));
    if (m_settings.encryption < -1 || m_settings.encryption > 3)
        return fail(QStringLiteral("Unknown encryption method %1").arg(m_settings.encryption));
    if (m_settings.encryption >= 0 && m_settings.password.isEmpty())
        return fail(QStringLiteral("A password is needed to encrypt the archive."));
    m_password = m_settings.password.toUtf8();
    m_noCompression = ExtensionMatcher(m_settings.noCompressionExtensions);
    m_directory.reset(m_settings.tempFolder);
    if (m_readBuffer.size() != kReadChunk)
        m_readBuffer = QByteArray(kReadChunk, '\0');
    if (!m_output.open(archivePath))
        return fail(QStringLiteral("Unable to create the archive \"%1\": %2").arg(archivePath, m_output.errorString()));
    m_open = true;
    return true;
}

void ZipWriter::reportFailure(const QString &file, int code, const QString &message)
{
    if (onFileFailure)
        onFileFailure(file, code, message);
}

bool ZipWriter::failArchive(const QString &file, const QString &message)
{
    if (m_archiveError.isEmpty()) {
        m_archiveError = message;
        reportFailure(file, ZipFailureCode::ArchiveError, message);
    }
    return false;
}

bool ZipWriter::checkUsable(const QString &file)
{
    m_lastCancelled = false;
    if (!m_open) {
        reportFailure(file, ZipFailureCode::ArchiveError, QStringLiteral("The archive is not open."));
        return false;
    }
    // Every call that stores nothing reports it, so that no caller takes a
    // file for archived when the archive is broken.
    if (!m_archiveError.isEmpty()) {
        reportFailure(file, ZipFailureCode::ArchiveError, m_archiveError);
        return false;
    }
    return true;
}

std::unique_ptr<ZipSource> ZipWriter::openSource(const QString &localPath, ZipSourceInfo *info, QString *message)
{
    return OpenLocalZipSource(localPath, m_settings.sharedLockWhileReading, info, message);
}

bool ZipWriter::addFile(const QString &localPath, const QString &entryName)
{
    if (!checkUsable(localPath))
        return false;
    const QString normalized = ZipNames::NormalizeForWriting(entryName, false);
    if (normalized.isEmpty()) {
        reportFailure(localPath, ZipFailureCode::InvalidName,
                      QStringLiteral("Invalid name in the archive: \"%1\"").arg(entryName));
        return false;
    }
    const QByteArray name = FileNameToBytes(normalized);
    const bool deflate = m_settings.level > 0 && !m_noCompression.matches(localPath);
    QString message;
    EntryResult result = EntryResult::SourceChanged;
    // A second pass reads a source that changed during the first one anew.
    for (int pass = 0; result == EntryResult::SourceChanged; ++pass) {
        const bool lastPass = pass > 0;
        ZipSourceInfo info;
        std::unique_ptr<ZipSource> source = openSource(localPath, &info, &message);
        if (!source) {
            reportFailure(localPath, ZipFailureCode::CannotOpen,
                          QStringLiteral("Unable to open the file \"%1\": %2").arg(localPath, message));
            return false;
        }
        result = writeEntry(name, *source, info, deflate, lastPass, &message);
        if (result == EntryResult::Incompressible) {
            // Deflate made it bigger: store it instead, which is smaller.
            if (source->rewind()) {
                result = writeEntry(name, *source, info, false, lastPass, &message);
            } else {
                result = EntryResult::ReadFailed;
                message = source->errorString();
            }
        }
        if (result == EntryResult::Stored && lastPass && source->changedSinceOpened() && onFileChanged)
            onFileChanged(localPath);
    }
    switch (result) {
    case EntryResult::Stored:
        return true;
    case EntryResult::Cancelled:
        m_lastCancelled = true;
        return false;
    case EntryResult::ReadFailed:
        reportFailure(localPath, ZipFailureCode::ReadError,
                      QStringLiteral("Unable to read the file \"%1\": %2").arg(localPath, message));
        return false;
    case EntryResult::ArchiveFailed:
    case EntryResult::Incompressible:
    case EntryResult::SourceChanged:
        break;
    }
    return failArchive(localPath, QStringLiteral("Unable to write the archive \"%1\": %2")
                                      .arg(m_output.path(), message));
}

ZipWriter::EntryResult ZipWriter::writeEntry(const QByteArray &name, ZipSource &source,
                                             const ZipSourceInfo &info, bool deflate, bool keepChanged,
                                             QString *message)
{
    const qint64 start = m_output.position();
    EntryRecord rec;
    rec.name = name;
    rec.flags = EntryNameFlags(name);
    rec.localHeaderOffset = quint64(start);
    rec.modifiedSecs = info.modifiedSecs;
    rec.dosTime = ToDosDateTime(info.modifiedSecs);
    rec.externalAttributes = ExternalAttributes(info.unixMode, false);
    const quint16 dataMethod = deflate ? kMethodDeflated : kMethodStored;
    const int enc = m_settings.encryption;
    std::unique_ptr<PkwareEncryptor> pkware;
    if (enc == 0) {
        // The check byte of the encryption header comes from the time: the
        // CRC is not known before the data has been read.
        rec.flags |= kFlagEncrypted | kFlagDataDescriptor;
        pkware = std::make_unique<PkwareEncryptor>(m_password);
    } else if (enc > 0) {
        rec.flags |= kFlagEncrypted;
        rec.aesStrength = quint8(enc);
        rec.aesActualMethod = dataMethod;
    }
    rec.method = enc > 0 ? kMethodAes : dataMethod;

    auto archiveFailed = [&](const QString &text) {
        *message = text.isEmpty() ? m_output.errorString() : text;
        return EntryResult::ArchiveFailed;
    };
    auto cutBack = [&](EntryResult why) {
        if (!m_output.truncateTo(start))
            return archiveFailed(QString());
        return why;
    };

    if (!m_output.write(LocalHeader(rec)))
        return archiveFailed(QString());
    quint64 written = 0;
    if (pkware) {
        const QByteArray header = pkware->header(quint8(rec.dosTime.time >> 8), message);
        if (header.isEmpty() || !m_output.write(header))
            return archiveFailed(*message);
        written += quint64(header.size());
    } else if (enc > 0) {
        if (!m_aes.begin(m_password, enc, message))
            return archiveFailed(*message);
        const QByteArray preamble = m_aes.preamble();
        if (!m_output.write(preamble))
            return archiveFailed(QString());
        written += quint64(preamble.size());
    }
    if (deflate && !m_deflate.begin(ZlibLevel(m_settings.level), message))
        return archiveFailed(*message);

    quint64 dataSize = 0;
    QString sinkError;
    const DeflateStream::Sink sink = [&](char *data, qsizetype length) {
        if (pkware)
            pkware->encrypt(data, length);
        else if (enc > 0 && !m_aes.encrypt(data, length, &sinkError))
            return false;
        if (!m_output.write(data, length))
            return false;
        dataSize += quint64(length);
        return true;
    };

    quint32 crc = crc32(0L, Z_NULL, 0);
    quint64 total = 0;
    char *buffer = m_readBuffer.data();
    for (;;) {
        const qint64 n = source.read(buffer, m_readBuffer.size());
        if (n < 0) {
            *message = source.errorString();
            return cutBack(EntryResult::ReadFailed);
        }
        if (n > 0) {
            crc = crc32(crc, reinterpret_cast<const Bytef *>(buffer), uInt(n));
            total += quint64(n);
        }
        bool ok;
        QString zlibError;
        if (deflate)
            ok = m_deflate.write(buffer, qsizetype(n), n == 0, sink, &zlibError);
        else
            ok = n == 0 || sink(buffer, qsizetype(n));
        if (!ok)
            return archiveFailed(!zlibError.isEmpty() ? zlibError : sinkError);
        if (onProgress) {
            const double percent = info.size > 0 ? std::min(100.0, 100.0 * double(total) / double(info.size)) : 100.0;
            if (!onProgress(n == 0 ? 100.0 : percent))
                return cutBack(EntryResult::Cancelled);
        }
        if (n == 0)
            break;
    }
    if (!keepChanged && source.changedSinceOpened())
        return cutBack(EntryResult::SourceChanged);
    if (deflate && dataSize >= total)
        return cutBack(EntryResult::Incompressible);

    written += dataSize;
    if (enc > 0) {
        const QByteArray code = m_aes.authCode(message);
        if (code.isEmpty() || !m_output.write(code))
            return archiveFailed(*message);
        written += quint64(code.size());
    }
    if (enc > 0) {
        // Files under 20 bytes leave the CRC out (AE-2), as it would tell
        // too much about so little data; larger ones keep it (AE-1), which
        // every reader checks next to the authentication code. The libzip
        // of our restore refuses AE-2 entries of 20 bytes or more.
        rec.aesVendorVersion = total < 20 ? 2 : 1;
        rec.crc = rec.aesVendorVersion == 2 ? 0 : crc;
    } else {
        rec.crc = crc;
    }
    rec.compressedSize = written;
    rec.uncompressedSize = total;
    if (pkware && !m_output.write(DataDescriptor(rec)))
        return archiveFailed(QString());
    // The local header gets the real sizes too, for readers that stream.
    if (!m_output.overwrite(start, LocalHeader(rec)))
        return archiveFailed(QString());
    QString directoryError;
    if (!m_directory.append(CentralHeader(rec), &directoryError))
        return archiveFailed(directoryError);
    return EntryResult::Stored;
}

bool ZipWriter::addFolder(const QString &entryName, const QString &localFolder)
{
    if (!checkUsable(localFolder.isEmpty() ? entryName : localFolder))
        return false;
    const QString normalized = ZipNames::NormalizeForWriting(entryName, true);
    if (normalized.isEmpty()) {
        reportFailure(localFolder.isEmpty() ? entryName : localFolder, ZipFailureCode::InvalidName,
                      QStringLiteral("Invalid name in the archive: \"%1\"").arg(entryName));
        return false;
    }
    EntryRecord rec;
    rec.name = FileNameToBytes(normalized);
    rec.flags = EntryNameFlags(rec.name);
    rec.localHeaderOffset = quint64(m_output.position());
    qint64 modified = QDateTime::currentSecsSinceEpoch();
    quint32 mode = kUnixDirectory | 0755;
    if (!localFolder.isEmpty()) {
        const QFileInfo fi(localFolder);
        if (fi.exists()) {
            modified = fi.lastModified().toSecsSinceEpoch();
            mode = kUnixDirectory | UnixModeOf(fi.permissions());
        }
    }
    rec.modifiedSecs = modified;
    rec.dosTime = ToDosDateTime(modified);
    rec.externalAttributes = ExternalAttributes(mode, true);
    if (!m_output.write(LocalHeader(rec)))
        return failArchive(entryName, QStringLiteral("Unable to write the archive \"%1\": %2")
                                          .arg(m_output.path(), m_output.errorString()));
    QString directoryError;
    if (!m_directory.append(CentralHeader(rec), &directoryError))
        return failArchive(entryName, QStringLiteral("Unable to write the archive \"%1\": %2")
                                          .arg(m_output.path(), directoryError));
    return true;
}

bool ZipWriter::close(QString *error)
{
    auto fail = [&](const QString &text) {
        if (error)
            *error = text;
        m_output.abandon();
        m_open = false;
        return false;
    };
    if (!m_open)
        return fail(QStringLiteral("The archive is not open."));
    if (!m_archiveError.isEmpty())
        return fail(m_archiveError);
    const quint64 directoryOffset = quint64(m_output.position());
    QString text;
    if (!m_directory.writeTo(m_output, &text))
        return fail(QStringLiteral("Unable to write the archive \"%1\": %2").arg(m_output.path(), text));
    if (!m_output.write(EndRecords(m_directory.entries(), directoryOffset, m_directory.size()))
        || !m_output.close())
        return fail(QStringLiteral("Unable to write the archive \"%1\": %2")
                        .arg(m_output.path(), m_output.errorString()));
    m_open = false;
    m_directory.reset(m_settings.tempFolder);
    return true;
}
