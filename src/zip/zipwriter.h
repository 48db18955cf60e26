#pragma once
// The streaming ZIP writer of the backup engine.
//
// Each file is compressed, encrypted and written as it is added, so memory
// stays bounded whatever the sizes: fixed buffers, plus the central
// directory records, which move to a temporary file once they grow large.
// Every entry is written in ZIP64 form. A file that cannot be opened or read
// is skipped: the archive is cut back to where that entry began, the failure
// is reported at once through `onFileFailure`, and the writer goes on. A
// file written to while it is read (another size or modification time at
// the end) is cut back and read once more; when it changes again, that
// second entry is kept and `onFileChanged` tells.
#include "zip/centraldirectory.h"
#include "zip/deflatestream.h"
#include "zip/zipformat.h"
#include "zip/winzipaes.h"
#include "zip/zipnames.h"
#include "zip/zipoutput.h"
#include "zip/zipsource.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

struct ZipWriterSettings {
    int level = 2;                    // 0 stored, 1 fastest, 2 normal, 3 maximum
    int encryption = -1;              // -1 none, 0 traditional PKWARE, 1/2/3 AES 128/192/256
    QString password;                 // used as UTF-8 bytes
    QString noCompressionExtensions;  // ";"-separated extensions without dots: stored as they are
    bool sharedLockWhileReading = false;
    QString tempFolder;               // for the writer's own temporary files; system temp when empty
};

// The codes `onFileFailure` reports.
namespace ZipFailureCode {
constexpr int CannotOpen = 12;    // missing, not a regular file, no permission, or locked
constexpr int ReadError = 13;     // opened, but reading failed part-way
constexpr int ArchiveError = 14;  // the archive itself could not be written; it is unusable
constexpr int InvalidName = 15;   // the entry name is empty or leads outside ("..")
} // namespace ZipFailureCode

class ZipWriter {
public:
    explicit ZipWriter(ZipWriterSettings settings = {});
    virtual ~ZipWriter();
    ZipWriter(const ZipWriter &) = delete;
    ZipWriter &operator=(const ZipWriter &) = delete;

    const ZipWriterSettings &settings() const { return m_settings; }
    // Takes effect with the next open().
    void setSettings(const ZipWriterSettings &settings) { m_settings = settings; }

    // Creates the archive, replacing an existing file. An archive still open
    // is abandoned first.
    bool open(const QString &archivePath, QString *error);
    bool isOpen() const { return m_open; }
    QString archivePath() const { return m_output.path(); }

    // Adds a local file under `entryName`. True when the entry was stored;
    // false when it was skipped (reported through onFileFailure), cancelled
    // through onProgress (see lastAddCancelled) or the archive has failed.
    bool addFile(const QString &localPath, const QString &entryName);
    // Adds a folder entry ("/" is appended to the name). The time and the
    // permissions come from `localFolder` when given, else now and 0755.
    bool addFolder(const QString &entryName, const QString &localFolder = QString());
    // Writes the central directory and the end records and closes the
    // file. After a cancelled or skipped entry the archive holds the
    // entries stored before and after it.
    bool close(QString *error);

    bool lastAddCancelled() const { return m_lastCancelled; }
    // Set once writing the archive failed (disk full, ...); every later
    // add fails and reports ArchiveError, and the archive must be thrown away.
    QString archiveError() const { return m_archiveError; }
    quint64 entryCount() const { return m_directory.entries(); }

    // A file that could not be stored: its path, a ZipFailureCode and a
    // message for the log.
    std::function<void(const QString &file, int code, const QString &message)> onFileFailure;
    // Progress of the current file in percent, called per chunk; returning
    // false cancels the file.
    std::function<bool(double percent)> onProgress;
    // A file that changed while it was read twice; its second entry was
    // stored.
    std::function<void(const QString &file)> onFileChanged;

protected:
    // Opens the bytes of a file entry; null with `message` when the file
    // cannot be opened. Tests override it to simulate read errors.
    virtual std::unique_ptr<ZipSource> openSource(const QString &localPath, ZipSourceInfo *info,
                                                  QString *message);

private:
    enum class EntryResult { Stored, Incompressible, ReadFailed, Cancelled, ArchiveFailed, SourceChanged };

    // With `keepChanged` false, a source that changed while it was read is
    // cut back (SourceChanged) instead of stored.
    EntryResult writeEntry(const QByteArray &name, ZipSource &source, const ZipSourceInfo &info,
                           bool deflate, bool keepChanged, QString *message);
    void reportFailure(const QString &file, int code, const QString &message);
    bool failArchive(const QString &file, const QString &message);
    bool checkUsable(const QString &file);

    ZipWriterSettings m_settings;
    ExtensionMatcher m_noCompression;
    QByteArray m_password;
    ZipOutput m_output;
    CentralDirectory m_directory;
    DeflateStream m_deflate;
    WinZipAesEncryptor m_aes;
    QByteArray m_readBuffer;
    bool m_open = false;
    bool m_lastCancelled = false;
    QString m_archiveError;
};
