#include "platform/sourcefile.h"

#include "base/filenamecodec.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SourceFile {

namespace {

QString ErrnoText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

OpenFailure FailureOf(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return OpenFailure::NotFound;
    case EACCES:
    case EPERM:
        return OpenFailure::AccessDenied;
    case EISDIR:
        return OpenFailure::NotRegular;
    case EWOULDBLOCK:
    case EBUSY:
    case ETXTBSY:
        return OpenFailure::Locked;
    default:
        return OpenFailure::Other;
    }
}

void Fill(const struct stat &st, Info *info)
{
    info->size = st.st_size;
    info->modifiedSecs = st.st_mtim.tv_sec;
    info->modifiedNsecs = st.st_mtim.tv_nsec;
    info->mode = st.st_mode;
}

int Fail(int fd, OpenFailure kind, const QString &text, OpenFailure *failure, QString *error)
{
    if (fd >= 0)
        ::close(fd);
    if (failure)
        *failure = kind;
    if (error)
        *error = text;
    return -1;
}

} // namespace

int OpenForReading(const QString &path, bool sharedLock, OpenFailure *failure, QString *error,
                   Info *info)
{
    if (failure)
        *failure = OpenFailure::None;
    const QByteArray native = FileNameToBytes(path);
    int fd;
    do {
        fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int err = errno;
        return Fail(-1, FailureOf(err), ErrnoText(err), failure, error);
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        return Fail(fd, FailureOf(err), ErrnoText(err), failure, error);
    }
    if (!S_ISREG(st.st_mode))
        return Fail(fd, OpenFailure::NotRegular, QStringLiteral("Not a regular file"), failure, error);
    // Reads of a regular file never block; clear the flag so that nothing
    // downstream sees EAGAIN.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (sharedLock) {
        if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
            const int err = errno;
            return Fail(fd, err == EWOULDBLOCK ? OpenFailure::Locked : FailureOf(err),
                        QStringLiteral("The file is locked by another process"), failure, error);
        }
        struct flock fl;
        std::memset(&fl, 0, sizeof fl);
        fl.l_type = F_RDLCK;
        fl.l_whence = SEEK_SET;
        if (::fcntl(fd, F_SETLK, &fl) != 0) {
            const int err = errno;
            return Fail(fd, (err == EACCES || err == EAGAIN) ? OpenFailure::Locked : FailureOf(err),
                        QStringLiteral("The file is locked by another process"), failure, error);
        }
    }
    if (info)
        Fill(st, info);
    return fd;
}

bool InfoOfOpenFile(int fd, Info *info)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return false;
    Fill(st, info);
    return true;
}

bool SizeOrTimeChanged(const Info &before, const Info &now)
{
    return before.size != now.size || before.modifiedSecs != now.modifiedSecs
           || before.modifiedNsecs != now.modifiedNsecs;
}

} // namespace SourceFile
