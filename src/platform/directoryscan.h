#pragma once
// Listing a folder for the backup scan: every entry with its kind and its
// last-write time, read with one status call per entry relative to the open
// folder (no walk of the whole path for each file), and the conversion of
// such a time to the local calendar. Symbolic links are never followed: a
// link is reported as a link, whatever it points to. Names and paths are in
// the lossless form of filenamecodec.h: any name the file system holds is
// listed.
#include <QString>
#include <memory>

namespace DirectoryScan {

enum class Kind {
    File,    // a regular file
    Folder,  // a folder
    Link,    // a symbolic link (to a file, to a folder, or dangling)
    Special, // a device node, a pipe (FIFO) or a socket
};

struct Entry {
    QString name;
    Kind kind = Kind::Special;
    // Last-write time of a file, milliseconds since 1970-01-01 UTC; valid
    // only when `timeKnown` (false when the file vanished while listed, or
    // its status could not be read: then the kind is the one the listing
    // gave, a file when it gave none).
    qint64 modifiedMs = 0;
    bool timeKnown = false;
};

class Reader {
public:
    // Opens `folder` for listing; check ok().
    explicit Reader(const QString &folder);
    ~Reader();
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    bool ok() const;
    // Why the folder could not be opened or read on ("<system message>").
    QString error() const;
    // The next entry ("." and ".." left out); false at the end or when
    // reading the folder failed (then error() is set).
    bool Next(Entry &entry);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// True when `path` is a folder (or a link to one).
bool FolderExists(const QString &path);

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
};
// The local calendar date and time of a UTC time in milliseconds; false
// when the system cannot represent it.
bool ToLocalTime(qint64 utcMs, LocalTime &out);

} // namespace DirectoryScan
