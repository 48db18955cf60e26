#pragma once
// Opening a local source file for reading the way the backup engine needs it.
// The path is in the lossless form of filenamecodec.h.
#include <QString>

namespace SourceFile {

enum class OpenFailure {
    None,
    NotFound,      // the path does not exist (any more)
    NotRegular,    // a folder, FIFO, socket or device: never read as a file
    AccessDenied,  // no permission
    Locked,        // another program holds a conflicting lock
    Other,
};

// Opens `path` read-only, close-on-exec and without ever blocking (a FIFO or
// a device is refused instead of waiting for a writer). Only regular files
// are accepted. With `sharedLock` a non-blocking shared lock is taken (a
// whole-file flock and a POSIX read lock), so that programs which take a
// write lock cannot change the file while it is read; a file that cannot be
// locked is refused as Locked. The locks end when the descriptor is closed.
// Returns the descriptor, or -1 with `failure` and a readable `error`.
// `info`, when given, receives the opened file's size, modification time
// and permission bits.
struct Info {
    qint64 size = 0;
    qint64 modifiedSecs = 0;   // seconds since 1970-01-01 UTC
    qint64 modifiedNsecs = 0;  // and the nanoseconds within that second
    quint32 mode = 0;          // the file type and permission bits (st_mode)
};
int OpenForReading(const QString &path, bool sharedLock, OpenFailure *failure, QString *error,
                   Info *info = nullptr);

// The same information of an open file now; false when it cannot be read.
bool InfoOfOpenFile(int fd, Info *info);
// True when `now` shows another size or modification time than `before`:
// the file was written to in between.
bool SizeOrTimeChanged(const Info &before, const Info &now);

} // namespace SourceFile
