#pragma once
// The local file copy of the storage layer: chunked, with progress and a
// cancel flag, optionally unbuffered, keeping the source's modification
// time and its holes (a sparse file stays sparse), and never leaving a
// partial file under the target's name.
#include "base/errors.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <ctime>
#include <functional>

struct LocalCopyOptions {
    // Called after every chunk with the percent done (bytes * 100 / total,
    // rounded; 0 for an empty file). May be empty.
    std::function<void(int percent)> progress;
    // Polled before every chunk; any non-zero value cancels the copy.
    // May be null.
    const std::atomic<qint32> *cancel = nullptr;
    // Bypass the page cache (O_DIRECT where the file system allows it,
    // otherwise the cache is dropped behind every chunk).
    bool unbuffered = false;
    // Called (once) when the source changed while it was copied twice: its
    // size or modification time after the copy was not the one before it.
    // A first change is not reported: the source is copied once more, and
    // the second copy is kept either way. May be empty.
    std::function<void()> changedWhileCopied;
    // A folder above the source: no entry below it on the way to the source,
    // the source included, is followed when it is a symbolic link; the copy
    // refuses one (LocalCopyError, side Source, code ELOOP). The folder
    // itself is opened as named. Empty: links are followed as usual.
    QString linkFreeBelow;
    // The copy is readable and writable by its owner only (0600) instead of
    // getting the source's permission bits: the backup set's own files, which
    // may hold passwords, wherever they are copied.
    bool ownerOnly = false;
};

// A failed copy. `side` tells whether reading the source or writing the
// target failed; `code` is the errno value (0 when the failure has none).
class LocalCopyError : public QvError {
public:
    enum Side { Source, Target };
    LocalCopyError(Side side, int code, const QString &message)
        : QvError(message), m_side(side), m_code(code) {}
    Side side() const { return m_side; }
    int code() const { return m_code; }
    // The file is in use by someone else (the counterpart of a sharing or
    // lock violation): EBUSY or ETXTBSY. A permission error is not a lock.
    bool inUse() const;

private:
    Side m_side;
    int m_code;
};

// The copy was cancelled through the cancel flag.
class LocalCopyCancelled : public QvError {
public:
    LocalCopyCancelled();
};

// True for the errno values that mean "in use" (EBUSY, ETXTBSY).
bool IsInUseError(int code);

// The percent of a transfer: done * 100 / total, rounded; 0 for an empty file.
int TransferPercent(qint64 done, qint64 total);

// Tells a copy's progress callback the percentage whenever it changes, and
// once at the end when it never did (an empty file).
class TransferProgress {
public:
    TransferProgress(const std::function<void(int percent)> &report, qint64 total) : m_report(report), m_total(total) {}
    void Update(qint64 done)
    {
        const int percent = TransferPercent(done, m_total);
        if (m_report && percent != m_last) {
            m_last = percent;
            m_report(percent);
        }
    }
    void Finish(qint64 done)
    {
        if (m_report && m_last < 0)
            m_report(TransferPercent(done, m_total));
    }

private:
    const std::function<void(int percent)> &m_report;
    qint64 m_total;
    int m_last = -1;
};

// The system's message for an errno value.
QString SystemErrorMessage(int code);

// Copies the regular file `source` to `target`, replacing an existing
// target file (also a read-only one). The data goes to a temporary file in
// the target's folder that is renamed over the target only when complete;
// on failure or cancel the temporary file is removed and the target is left
// as it was. The copy gets the source's permission bits (0600 with
// `ownerOnly`) and modification time; the holes of a sparse source (as
// SEEK_DATA and SEEK_HOLE tell them) stay holes. A source whose size or modification time changed while it
// was read is copied once more (see changedWhileCopied). Throws
// LocalCopyError or LocalCopyCancelled.
void CopyLocalFile(const QString &source, const QString &target, const LocalCopyOptions &options = {});

// The name prefix of the temporary files CopyLocalFile writes, so that a
// scan can recognise leftovers of a crashed run.
QString LocalCopyTempPrefix();

// A file being written for `target`: unnamed in its folder (O_TMPFILE)
// where the file system allows, else under a temporary name there. Commit
// gives it its permission bits and times and then the target's name,
// replacing a file of that name. Until then (and when dropped without
// Commit) the target is left as it was and nothing of the copy remains.
// Errors throw LocalCopyError with side Target.
class LocalTargetFile {
public:
    LocalTargetFile(const QString &target, bool unbuffered);
    ~LocalTargetFile();
    LocalTargetFile(const LocalTargetFile &) = delete;
    LocalTargetFile &operator=(const LocalTargetFile &) = delete;

    int fd() const { return m_fd; }
    // Writes all of `data` at the current position.
    void Write(const char *data, size_t size);
    // The same, leaving every aligned block of kHoleBlockSize zeros a hole.
    void WriteSkippingZeros(const char *data, size_t size);
    // The next write goes to `offset`; what lies between stays a hole (and
    // Commit makes a hole at the end part of the file).
    void SkipTo(qint64 offset);
    qint64 Position() const { return m_position; }
    // Lets the kernel copy up to `max` bytes from the position of `source`
    // to the current position (copy_file_range): the count, 0 at the end,
    // -1 with errno when the pair of files does not allow it.
    qint64 CopyFrom(int source, qint64 max);
    // Drops the written range from the page cache (unbuffered copies).
    void DropCache(qint64 offset, qint64 size);
    void Commit(unsigned permissions, const timespec &atime, const timespec &mtime);

private:
    void SeekIfSkipped();

    QByteArray m_target;
    QByteArray m_temp;   // the temporary name, while the copy has one
    int m_fd = -1;
    bool m_direct = false;
    bool m_unnamed = false; // an O_TMPFILE file, named when complete
    qint64 m_position = 0;  // where the next write goes
    bool m_skipped = false; // m_position lies beyond what was written
};

// The copy FileOperation stages files through the temporary folder with
// (CopyLocalFile). Tests replace it to produce failures that cannot be
// made on purpose on this platform (a file in use by another program).
// Returns the previous function; null restores CopyLocalFile.
using LocalCopyFunction = void (*)(const QString &, const QString &, const LocalCopyOptions &);
LocalCopyFunction SetStagingCopyFunction(LocalCopyFunction function);
LocalCopyFunction StagingCopyFunction();
