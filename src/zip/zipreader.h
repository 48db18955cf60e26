#pragma once
// Reading the archives of a backup set during a restore (libzip: ZIP64,
// traditional PKWARE and WinZip AES).
//
// Nothing is ever written outside the output folder: entry names that are
// absolute, carry a drive or a ".." component, symbolic link entries and
// paths that would pass through an existing symbolic link are refused.
// Files are written under a temporary hidden name and renamed only when
// complete and verified (checksum or authentication code, size), so a
// failure never leaves a file that looks complete.
#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>

struct zip;
class QIODevice;

struct ZipEntryInfo {
    QString name;               // as stored: its bytes in the form of filenamecodec.h
    quint64 index = 0;
    qint64 size = 0;            // declared uncompressed size
    qint64 compressedSize = 0;
    QDateTime modified;         // extended timestamp when present, else the MS-DOS time
    bool isFolder = false;
    bool isSymlink = false;
    bool encrypted = false;
    int encryptionMethod = 0;   // 0 none, 1 traditional PKWARE, 257/258/259 AES 128/192/256 (libzip's codes)
    int compressionMethod = 0;  // 0 stored, 8 deflated (the real method also behind AES)
    quint32 unixMode = 0;       // permission bits when made on a Unix system, else 0
};

class ZipReader {
public:
    ZipReader();
    ~ZipReader();
    ZipReader(const ZipReader &) = delete;
    ZipReader &operator=(const ZipReader &) = delete;

    // Opens an archive; the password (used as UTF-8 bytes) is needed for
    // encrypted entries only. Damaged archives are refused here already
    // where the damage shows in the directory.
    bool open(const QString &archivePath, const QString &password, QString *error);
    void close();
    bool isOpen() const { return m_archive != nullptr; }
    QString archivePath() const { return m_path; }

    QList<ZipEntryInfo> entries() const;

    // Extracts the entry `entryName` to its own relative path below
    // `outputFolder` (a folder entry creates the folder).
    bool extractEntry(const QString &entryName, const QString &outputFolder, QString *error);
    // Extracts the file entry `entryName` to exactly `targetPath`; its
    // folder is created when missing.
    bool extractEntryTo(const QString &entryName, const QString &targetPath, QString *error);
    // Writes the data of the file entry `entryName` to `out`, verified as
    // above, and gives the entry's details in `info`; the caller stores the
    // file with its mode and time (a restore writes it to a path of its own
    // choosing). A folder or symbolic link entry is refused. On failure
    // `out` may hold part of the data.
    bool extractEntryData(const QString &entryName, QIODevice &out, ZipEntryInfo *info, QString *error);
    // Extracts every entry below `outputFolder`. The names of all entries
    // are checked first: an archive with a single refused entry extracts
    // nothing. Stops at the first failure.
    bool extractAll(const QString &outputFolder, QString *error);

    // Progress of the current entry in percent; returning false cancels it.
    std::function<bool(double percent)> onProgress;

private:
    bool entryInfo(quint64 index, ZipEntryInfo *info) const;
    bool locate(const QString &entryName, ZipEntryInfo *info, QString *error) const;
    // The index of the entry stored under exactly `name`, or -1.
    qint64 indexOf(const QByteArray &name) const;
    bool checkEntry(const ZipEntryInfo &info, QString *relativePath, QString *error) const;
    bool extractFile(const ZipEntryInfo &info, const QString &targetPath, QString *error);
    // The entry's data into `out`, with its size checked and progress
    // reported; `target` names the destination in messages.
    bool readEntryInto(const ZipEntryInfo &info, QIODevice &out, const QString &target, QString *error);
    QString entryError(const ZipEntryInfo &info, const QString &reason) const;

    zip *m_archive = nullptr;
    QString m_path;
    // libzip finds a name by its UTF-8 reading, which for a name stored
    // without the UTF-8 flag is its CP 437 reading, not its bytes. The
    // entries whose bytes differ from that reading, by their bytes; made at
    // the first lookup that needs it.
    mutable QHash<QByteArray, quint64> m_otherNames;
    mutable bool m_otherNamesRead = false;
};
