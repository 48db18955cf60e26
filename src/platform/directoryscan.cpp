#include "platform/directoryscan.h"

#include "base/filenamecodec.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DirectoryScan {

struct Reader::Impl {
    DIR *dir = nullptr;
    int error = 0;
};

Reader::Reader(const QString &folder) : d(std::make_unique<Impl>())
{
    const QByteArray path = FileNameToBytes(folder);
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        d->error = errno;
        return;
    }
    d->dir = ::fdopendir(fd);
    if (!d->dir) {
        d->error = errno;
        ::close(fd);
    }
}

Reader::~Reader()
{
    if (d->dir)
        ::closedir(d->dir);
}

bool Reader::ok() const
{
    return d->dir != nullptr && d->error == 0;
}

QString Reader::error() const
{
    return d->error == 0 ? QString() : QString::fromLocal8Bit(std::strerror(d->error));
}

namespace {
qint64 Milliseconds(const struct timespec &t)
{
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

Kind KindOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return Kind::File;
    if (S_ISDIR(mode))
        return Kind::Folder;
    if (S_ISLNK(mode))
        return Kind::Link;
    return Kind::Special;
}

// The kind the listing gives when the entry's status cannot be read.
Kind KindOfListing(unsigned char type)
{
    switch (type) {
    case DT_LNK:
        return Kind::Link;
    case DT_FIFO:
    case DT_SOCK:
    case DT_CHR:
    case DT_BLK:
        return Kind::Special;
    default:
        return Kind::File; // DT_REG, or a file system that does not say
    }
}
} // namespace

bool Reader::Next(Entry &entry)
{
    if (!d->dir)
        return false;
    while (true) {
        errno = 0;
        const dirent *e = ::readdir(d->dir);
        if (!e) {
            d->error = errno;
            return false;
        }
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
            continue;
        // Without loss: a name that is not UTF-8 keeps its bytes, so the
        // engine can open, copy and record it under its own name.
        entry.name = FileNameFromBytes(e->d_name);
        entry.timeKnown = false;
        entry.modifiedMs = 0;
        if (e->d_type == DT_DIR) {
            entry.kind = Kind::Folder;
            return true;
        }
        struct stat st {};
        if (::fstatat(::dirfd(d->dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            // Gone since it was listed, or its status cannot be read.
            entry.kind = KindOfListing(e->d_type);
            return true;
        }
        entry.kind = KindOfMode(st.st_mode);
        if (entry.kind == Kind::File) {
            entry.modifiedMs = Milliseconds(st.st_mtim);
            entry.timeKnown = true;
        }
        return true;
    }
}

bool FolderExists(const QString &path)
{
    struct stat st {};
    return ::stat(FileNameToBytes(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ToLocalTime(qint64 utcMs, LocalTime &out)
{
    qint64 secs = utcMs / 1000;
    qint64 ms = utcMs % 1000;
    if (ms < 0) {
        ms += 1000;
        --secs;
    }
    const time_t t = time_t(secs);
    struct tm tm {};
    if (!::localtime_r(&t, &tm))
        return false;
    out.year = tm.tm_year + 1900;
    out.month = tm.tm_mon + 1;
    out.day = tm.tm_mday;
    out.hour = tm.tm_hour;
    out.minute = tm.tm_min;
    out.second = tm.tm_sec;
    out.msec = int(ms);
    return true;
}

} // namespace DirectoryScan
