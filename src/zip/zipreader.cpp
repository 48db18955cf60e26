#include "zip/zipreader.h"

#include "base/filenamecodec.h"
#include "zip/zipformat.h"
#include "zip/zipnames.h"

#include "base/zeroblocks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>
#include <zip.h>

namespace {

constexpr qsizetype kChunk = 256 * 1024;

QString LibzipText(zip_error_t *err)
{
    return QString::fromUtf8(zip_error_strerror(err));
}

// What a libzip error means for the user of a restore.
QString ExplainError(int code, const QString &libzipText, bool encrypted)
{
    switch (code) {
    case ZIP_ER_NOPASSWD:
        return QStringLiteral("The archive is protected by a password, but no password was given.");
    case ZIP_ER_WRONGPASSWD:
        return QStringLiteral("Wrong password.");
    case ZIP_ER_CRC:
        return encrypted ? QStringLiteral("Wrong password or damaged data (checksum error).")
                         : QStringLiteral("The data is damaged (checksum error).");
    case ZIP_ER_COMPRESSED_DATA:
    case ZIP_ER_ZLIB:
        return encrypted ? QStringLiteral("Wrong password or damaged data.")
                         : QStringLiteral("The compressed data is damaged.");
    case ZIP_ER_INCONS:
    case ZIP_ER_NOZIP:
    case ZIP_ER_EOF:
        return QStringLiteral("The archive is damaged or not a ZIP archive (%1).").arg(libzipText);
    default:
        return libzipText;
    }
}

// Creates `relative` below `base` one component at a time, refusing to pass
// through a symbolic link or anything that is not a folder.
bool EnsureFolderInside(const QString &base, const QString &relative, QString *error)
{
    if (!QDir().mkpath(base)) {
        *error = QStringLiteral("Unable to create the folder \"%1\".").arg(base);
        return false;
    }
    QString path = base;
    for (const QString &part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        path = QDir(path).filePath(part);
        const QFileInfo fi(path);
        if (fi.isSymLink()) {
            *error = QStringLiteral("\"%1\" is a symbolic link; nothing is extracted through it.").arg(path);
            return false;
        }
        if (fi.exists()) {
            if (!fi.isDir()) {
                *error = QStringLiteral("\"%1\" exists and is not a folder.").arg(path);
                return false;
            }
            continue;
        }
        if (!QDir().mkdir(path) && !QFileInfo(path).isDir()) {
            *error = QStringLiteral("Unable to create the folder \"%1\".").arg(path);
            return false;
        }
    }
    return true;
}

QFileDevice::Permissions PermissionsOf(quint32 mode)
{
    QFileDevice::Permissions p;
    if (mode & 0400) p |= QFileDevice::ReadOwner | QFileDevice::ReadUser;
    if (mode & 0200) p |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    if (mode & 0100) p |= QFileDevice::ExeOwner | QFileDevice::ExeUser;
    if (mode & 0040) p |= QFileDevice::ReadGroup;
    if (mode & 0020) p |= QFileDevice::WriteGroup;
    if (mode & 0010) p |= QFileDevice::ExeGroup;
    if (mode & 0004) p |= QFileDevice::ReadOther;
    if (mode & 0002) p |= QFileDevice::WriteOther;
    if (mode & 0001) p |= QFileDevice::ExeOther;
    return p;
}

} // namespace

ZipReader::ZipReader() = default;

ZipReader::~ZipReader()
{
    close();
}

void ZipReader::close()
{
    if (m_archive) {
        zip_discard(m_archive);
        m_archive = nullptr;
    }
    m_path.clear();
    m_otherNames.clear();
    m_otherNamesRead = false;
}

bool ZipReader::open(const QString &archivePath, const QString &password, QString *error)
{
    close();
    int code = 0;
    zip_t *za = zip_open(FileNameToBytes(archivePath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!za) {
        zip_error_t err;
        zip_error_init_with_code(&err, code);
        const QString text = LibzipText(&err);
        zip_error_fini(&err);
        if (error) {
            const QString reason = code == ZIP_ER_OPEN || code == ZIP_ER_READ || code == ZIP_ER_NOENT
                ? text
                : ExplainError(code, text, false);
            *error = QStringLiteral("Unable to open the archive \"%1\": %2").arg(archivePath, reason);
        }
        return false;
    }
    if (!password.isEmpty()
        && zip_set_default_password(za, password.toUtf8().constData()) != 0) {
        if (error)
            *error = QStringLiteral("Unable to open the archive \"%1\": %2")
                         .arg(archivePath, LibzipText(zip_get_error(za)));
        zip_discard(za);
        return false;
    }
    m_archive = za;
    m_path = archivePath;
    return true;
}

bool ZipReader::entryInfo(quint64 index, ZipEntryInfo *info) const
{
    zip_stat_t st;
    zip_stat_init(&st);
    // The name's own bytes: the program's writer stores a file name that is
    // not UTF-8 as it is (without the UTF-8 flag), and it must come back as
    // the same name (see filenamecodec.h), not as a CP 437 reading of it.
    if (zip_stat_index(m_archive, index, ZIP_FL_ENC_RAW, &st) != 0 || !(st.valid & ZIP_STAT_NAME))
        return false;
    info->index = index;
    info->name = FileNameFromBytes(st.name);
    info->size = (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : 0;
    info->compressedSize = (st.valid & ZIP_STAT_COMP_SIZE) ? qint64(st.comp_size) : 0;
    info->encrypted = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
    info->encryptionMethod = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) ? int(st.encryption_method) : 0;
    info->compressionMethod = (st.valid & ZIP_STAT_COMP_METHOD) ? int(st.comp_method) : 0;

    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    quint32 unixMode = 0;
    if (zip_file_get_external_attributes(m_archive, index, 0, &opsys, &attributes) == 0
        && opsys == ZIP_OPSYS_UNIX)
        unixMode = attributes >> 16;
    const quint32 type = unixMode & ZipFormat::kUnixTypeMask;
    info->isSymlink = type == ZipFormat::kUnixSymlink;
    info->isFolder = info->name.endsWith(QLatin1Char('/')) || type == ZipFormat::kUnixDirectory
        || (opsys != ZIP_OPSYS_UNIX && (attributes & ZipFormat::kDosDirectory));
    info->unixMode = unixMode & 07777;

    // The extended timestamp holds the exact UTC time; the MS-DOS time is
    // local and has two-second steps.
    info->modified = QDateTime();
    for (zip_flags_t where : {ZIP_FL_CENTRAL, ZIP_FL_LOCAL}) {
        zip_uint16_t len = 0;
        const zip_uint8_t *data = zip_file_extra_field_get_by_id(m_archive, index, ZipFormat::kExtraTimestamp,
                                                                 0, &len, where);
        if (data && len >= 5 && (data[0] & 1)) {
            const qint32 secs = qint32(quint32(data[1]) | (quint32(data[2]) << 8) | (quint32(data[3]) << 16)
                                       | (quint32(data[4]) << 24));
            info->modified = QDateTime::fromSecsSinceEpoch(secs);
            break;
        }
    }
    if (!info->modified.isValid() && (st.valid & ZIP_STAT_MTIME))
        info->modified = QDateTime::fromSecsSinceEpoch(qint64(st.mtime));
    return true;
}

QList<ZipEntryInfo> ZipReader::entries() const
{
    QList<ZipEntryInfo> out;
    if (!m_archive)
        return out;
    const zip_int64_t n = zip_get_num_entries(m_archive, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        ZipEntryInfo info;
        if (entryInfo(quint64(i), &info))
            out.append(info);
    }
    return out;
}

QString ZipReader::entryError(const ZipEntryInfo &info, const QString &reason) const
{
    return QStringLiteral("Unable to extract \"%1\" from the archive \"%2\": %3").arg(info.name, m_path, reason);
}

bool ZipReader::locate(const QString &entryName, ZipEntryInfo *info, QString *error) const
{
    if (!m_archive) {
        *error = QStringLiteral("The archive is not open.");
        return false;
    }
    const QByteArray name = FileNameToBytes(entryName);
    qint64 index = indexOf(name);
    if (index < 0) // a folder may be asked for without its trailing "/"
        index = indexOf(name + '/');
    if (index < 0 || !entryInfo(quint64(index), info)) {
        *error = QStringLiteral("The archive \"%1\" has no entry \"%2\".").arg(m_path, entryName);
        return false;
    }
    return true;
}

qint64 ZipReader::indexOf(const QByteArray &name) const
{
    const zip_int64_t index = zip_name_locate(m_archive, name.constData(), ZIP_FL_ENC_RAW);
    if (index >= 0)
        return index;
    if (!m_otherNamesRead) {
        m_otherNamesRead = true;
        const zip_int64_t n = zip_get_num_entries(m_archive, 0);
        for (zip_int64_t i = 0; i < n; ++i) {
            const char *raw = zip_get_name(m_archive, zip_uint64_t(i), ZIP_FL_ENC_RAW);
            const char *read = zip_get_name(m_archive, zip_uint64_t(i), 0);
            if (raw && read && qstrcmp(raw, read) != 0 && !m_otherNames.contains(raw))
                m_otherNames.insert(QByteArray(raw), quint64(i)); // the first of equal names, as libzip
        }
    }
    const auto it = m_otherNames.constFind(name);
    return it == m_otherNames.cend() ? -1 : qint64(*it);
}

bool ZipReader::checkEntry(const ZipEntryInfo &info, QString *relativePath, QString *error) const
{
    if (info.isSymlink) {
        *error = entryError(info, QStringLiteral("Symbolic links are not extracted."));
        return false;
    }
    QString reason;
    *relativePath = ZipNames::SafeRelativePath(info.name, &reason);
    if (relativePath->isEmpty()) {
        *error = entryError(info, reason + QLatin1Char('.'));
        return false;
    }
    return true;
}

bool ZipReader::extractEntry(const QString &entryName, const QString &outputFolder, QString *error)
{
    QString local;
    QString &err = error ? *error : local;
    ZipEntryInfo info;
    QString relative;
    if (!locate(entryName, &info, &err) || !checkEntry(info, &relative, &err))
        return false;
    if (info.isFolder)
        return EnsureFolderInside(outputFolder, relative, &err);
    const qsizetype slash = relative.lastIndexOf(QLatin1Char('/'));
    if (slash > 0 && !EnsureFolderInside(outputFolder, relative.left(slash), &err))
        return false;
    if (slash <= 0 && !EnsureFolderInside(outputFolder, QString(), &err))
        return false;
    return extractFile(info, QDir(outputFolder).filePath(relative), &err);
}

bool ZipReader::extractEntryTo(const QString &entryName, const QString &targetPath, QString *error)
{
    QString local;
    QString &err = error ? *error : local;
    ZipEntryInfo info;
    if (!locate(entryName, &info, &err))
        return false;
    if (info.isSymlink) {
        err = entryError(info, QStringLiteral("Symbolic links are not extracted."));
        return false;
    }
    if (info.isFolder) {
        err = entryError(info, QStringLiteral("The entry is a folder."));
        return false;
    }
    const QString folder = QFileInfo(targetPath).absolutePath();
    if (!QDir().mkpath(folder)) {
        err = QStringLiteral("Unable to create the folder \"%1\".").arg(folder);
        return false;
    }
    return extractFile(info, targetPath, &err);
}

bool ZipReader::extractAll(const QString &outputFolder, QString *error)
{
    QString local;
    QString &err = error ? *error : local;
    if (!m_archive) {
        err = QStringLiteral("The archive is not open.");
        return false;
    }
    const QList<ZipEntryInfo> all = entries();
    if (all.size() != qsizetype(zip_get_num_entries(m_archive, 0))) {
        err = QStringLiteral("The archive \"%1\" is damaged: an entry cannot be read.").arg(m_path);
        return false;
    }
    QStringList relatives;
    relatives.reserve(all.size());
    for (const ZipEntryInfo &info : all) {
        QString relative;
        if (!checkEntry(info, &relative, &err))
            return false;
        relatives.append(relative);
    }
    if (!EnsureFolderInside(outputFolder, QString(), &err))
        return false;
    for (qsizetype i = 0; i < all.size(); ++i) {
        const ZipEntryInfo &info = all.at(i);
        const QString &relative = relatives.at(i);
        if (info.isFolder) {
            if (!EnsureFolderInside(outputFolder, relative, &err))
                return false;
            continue;
        }
        const qsizetype slash = relative.lastIndexOf(QLatin1Char('/'));
        if (slash > 0 && !EnsureFolderInside(outputFolder, relative.left(slash), &err))
            return false;
        if (!extractFile(info, QDir(outputFolder).filePath(relative), &err))
            return false;
    }
    return true;
}

bool ZipReader::extractEntryData(const QString &entryName, QIODevice &out, ZipEntryInfo *info, QString *error)
{
    QString local;
    QString &err = error ? *error : local;
    if (!locate(entryName, info, &err))
        return false;
    if (info->isSymlink) {
        err = entryError(*info, QStringLiteral("Symbolic links are not extracted."));
        return false;
    }
    if (info->isFolder) {
        err = entryError(*info, QStringLiteral("The entry is a folder."));
        return false;
    }
    return readEntryInto(*info, out, entryName, &err);
}

bool ZipReader::readEntryInto(const ZipEntryInfo &info, QIODevice &out, const QString &target, QString *error)
{
    zip_file_t *zf = zip_fopen_index(m_archive, info.index, 0);
    if (!zf) {
        zip_error_t *ze = zip_get_error(m_archive);
        *error = entryError(info, ExplainError(zip_error_code_zip(ze), LibzipText(ze), info.encrypted));
        return false;
    }
    struct Closer {
        zip_file_t *f;
        ~Closer() { zip_fclose(f); }
    } closer{zf};

    QByteArray buffer(kChunk, '\0');
    qint64 total = 0;
    for (;;) {
        const zip_int64_t n = zip_fread(zf, buffer.data(), zip_uint64_t(buffer.size()));
        if (n < 0) {
            zip_error_t *ze = zip_file_get_error(zf);
            *error = entryError(info, ExplainError(zip_error_code_zip(ze), LibzipText(ze), info.encrypted));
            return false;
        }
        if (n == 0)
            break;
        total += n;
        if (total > info.size) {
            *error = entryError(info, QStringLiteral("The archive is damaged: the entry holds more data than its recorded size."));
            return false;
        }
        // The archive keeps no holes: written to a file, blocks of zeros
        // become holes again, so that a sparse file comes back sparse.
        auto *file = qobject_cast<QFileDevice *>(&out);
        const bool written = file ? ForEachDataRun(total - n, buffer.constData(), n,
                                                   [file](qint64 offset, const char *data, qint64 size) {
                                                       return (file->pos() == offset || file->seek(offset))
                                                              && file->write(data, size) == size;
                                                   })
                                  : out.write(buffer.constData(), n) == n;
        if (!written) {
            *error = entryError(info, QStringLiteral("Unable to write \"%1\": %2").arg(target, out.errorString()));
            return false;
        }
        if (onProgress && !onProgress(info.size > 0 ? 100.0 * double(total) / double(info.size) : 100.0)) {
            *error = entryError(info, QStringLiteral("Cancelled."));
            return false;
        }
    }
    if (total != info.size) {
        *error = entryError(info, QStringLiteral("The archive is damaged: the entry holds less data than its recorded size."));
        return false;
    }
    // A hole at the end is part of the file's size.
    if (auto *file = qobject_cast<QFileDevice *>(&out);
        file && (!file->flush() || (file->size() != total && !file->resize(total)))) {
        *error = entryError(info, QStringLiteral("Unable to write \"%1\": %2").arg(target, file->errorString()));
        return false;
    }
    return true;
}

bool ZipReader::extractFile(const ZipEntryInfo &info, const QString &targetPath, QString *error)
{
    const QFileInfo target(targetPath);
    if (target.isDir() && !target.isSymLink()) {
        *error = entryError(info, QStringLiteral("\"%1\" is a folder.").arg(targetPath));
        return false;
    }
    // A hidden temporary name beside the target: renamed only when complete.
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.qvzip-XXXXXX.part"));
    if (!temp.open()) {
        *error = entryError(info, QStringLiteral("Unable to create a file in \"%1\": %2")
                                      .arg(target.absolutePath(), temp.errorString()));
        return false;
    }
    if (!readEntryInto(info, temp, targetPath, error))
        return false;
    if (!temp.flush()) {
        *error = entryError(info, QStringLiteral("Unable to write \"%1\": %2").arg(targetPath, temp.errorString()));
        return false;
    }
    if (!temp.setPermissions(PermissionsOf(info.unixMode ? (info.unixMode & 0777) : 0644))
        || (info.modified.isValid() && !temp.setFileTime(info.modified, QFileDevice::FileModificationTime))) {
        *error = entryError(info, QStringLiteral("Unable to set the attributes of \"%1\": %2")
                                      .arg(targetPath, temp.errorString()));
        return false;
    }
    temp.close();
    // rename() replaces a file or a symbolic link at the target itself and
    // never writes through the link.
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(temp.fileName()).toStdString(),
                            QFile::encodeName(targetPath).toStdString(), ec);
    if (ec) {
        *error = entryError(info, QStringLiteral("Unable to create \"%1\": %2")
                                      .arg(targetPath, QString::fromLocal8Bit(ec.message().c_str())));
        return false;
    }
    temp.setAutoRemove(false);
    return true;
}
