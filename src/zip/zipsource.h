#pragma once
// Where the bytes of a file entry come from: normally a local file, opened
// without blocking and optionally under a shared lock.
#include <QString>
#include <QtGlobal>
#include <memory>

class ZipSource {
public:
    virtual ~ZipSource() = default;
    // Reads up to `max` bytes: the count, 0 at the end, -1 on error.
    virtual qint64 read(char *buffer, qint64 max) = 0;
    // Goes back to the first byte (an entry is written a second time).
    virtual bool rewind() = 0;
    // True when the bytes may have changed since the source was opened (a
    // file written to meanwhile: another size or modification time), so
    // that what was read is no copy of a single moment.
    virtual bool changedSinceOpened() const = 0;
    virtual QString errorString() const = 0;
};

struct ZipSourceInfo {
    qint64 size = 0;           // as seen when opened; only used for progress
    qint64 modifiedSecs = 0;   // seconds since 1970-01-01 UTC
    quint32 unixMode = 0;      // file type and permission bits
};

// A local file. Returns null with `cannotOpen` set and a message when the
// file cannot be opened (missing, not a regular file, no permission, or
// locked by another program when `sharedLock` is asked for).
std::unique_ptr<ZipSource> OpenLocalZipSource(const QString &path, bool sharedLock, ZipSourceInfo *info,
                                              QString *message);
