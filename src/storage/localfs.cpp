#include "storage/localfs.h"

#include "base/filenamecodec.h"
#include "base/paths.h"
#include "storage/destinationerror.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <cstring>
#include <unistd.h>

namespace {

QByteArray Native(const QString &path)
{
    return FileNameToBytes(ToLongPath(path));
}

[[noreturn]] void ThrowErrno(int code)
{
    ThrowDestinationError(code);
}

// Deletes `path` and everything below it without following links. Returns
// 0 or the first errno met; goes on past failures so that as much as
// possible is removed.
int RemoveTreeAt(int dirfd, const char *name)
{
    struct stat st {};
    if (fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? 0 : errno;
    if (!S_ISDIR(st.st_mode))
        return unlinkat(dirfd, name, 0) == 0 || errno == ENOENT ? 0 : errno;

    // A folder without write permission keeps its entries: give it back.
    if ((st.st_mode & S_IWUSR) == 0)
        fchmodat(dirfd, name, st.st_mode | S_IWUSR | S_IXUSR, 0);
    int first = 0;
    const int fd = openat(dirfd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        first = errno;
    } else if (DIR *dir = fdopendir(fd)) {
        while (dirent *e = readdir(dir)) {
            if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0)
                continue;
            const int r = RemoveTreeAt(::dirfd(dir), e->d_name);
            if (r != 0 && first == 0)
                first = r;
        }
        closedir(dir);
    } else {
        first = errno;
        ::close(fd);
    }
    if (unlinkat(dirfd, name, AT_REMOVEDIR) != 0 && errno != ENOENT && first == 0)
        first = errno;
    return first;
}

} // namespace

DestinationFileSystem::Info LocalFileSystem::Stat(const QString &path)
{
    Info info;
    struct stat st {};
    if (lstat(Native(path).constData(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return info;
        ThrowErrno(errno);
    }
    info.exists = true;
    info.isFolder = S_ISDIR(st.st_mode);
    info.isLink = S_ISLNK(st.st_mode);
    info.readOnly = (st.st_mode & S_IWUSR) == 0;
    info.size = st.st_size;
    return info;
}

void LocalFileSystem::ClearReadOnly(const QString &path)
{
    const QByteArray p = Native(path);
    struct stat st {};
    if (lstat(p.constData(), &st) != 0)
        ThrowErrno(errno);
    if (S_ISLNK(st.st_mode))
        return;
    if (chmod(p.constData(), (st.st_mode & 07777) | S_IWUSR) != 0)
        ThrowErrno(errno);
}

void LocalFileSystem::Upload(const QString &localPath, const QString &remotePath,
                             const LocalCopyOptions &options)
{
    CopyLocalFile(ToLongPath(localPath), ToLongPath(remotePath), options);
}

void LocalFileSystem::Download(const QString &remotePath, const QString &localPath,
                               const LocalCopyOptions &options)
{
    if (m_linkFreeRoot.isEmpty()) {
        CopyLocalFile(ToLongPath(remotePath), ToLongPath(localPath), options);
        return;
    }
    LocalCopyOptions o = options;
    o.linkFreeBelow = ToLongPath(m_linkFreeRoot);
    CopyLocalFile(ToLongPath(remotePath), ToLongPath(localPath), o);
}

void LocalFileSystem::RemoveFile(const QString &path)
{
    if (unlink(Native(path).constData()) != 0 && errno != ENOENT)
        ThrowErrno(errno);
}

void LocalFileSystem::RemoveEmptyFolder(const QString &path)
{
    if (rmdir(Native(path).constData()) != 0 && errno != ENOENT)
        ThrowErrno(errno);
}

void LocalFileSystem::RemoveTree(const QString &path)
{
    const int r = RemoveTreeAt(AT_FDCWD, Native(path).constData());
    if (r != 0)
        ThrowErrno(r);
}

void LocalFileSystem::MakePath(const QString &path)
{
    const QByteArray p = Native(path);
    if (p.isEmpty())
        ThrowErrno(ENOENT);
    // Walk down the components, creating what is missing.
    for (qsizetype i = 1; i <= p.size(); ++i) {
        if (i < p.size() && p[i] != '/')
            continue;
        const QByteArray part = p.left(i);
        if (part.endsWith('/'))
            continue;
        if (mkdir(part.constData(), 0777) == 0)
            continue;
        const int err = errno;
        struct stat st {};
        if (err == EEXIST && stat(part.constData(), &st) == 0 && S_ISDIR(st.st_mode))
            continue;
        ThrowErrno(err == EEXIST ? ENOTDIR : err);
    }
}

void LocalFileSystem::Rename(const QString &from, const QString &to)
{
    const QByteArray a = Native(from), b = Native(to);
    if (renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return;
    if (errno != EINVAL && errno != ENOSYS)
        ThrowErrno(errno);
    // The file system has no no-replace rename: check, then rename.
    struct stat st {};
    if (lstat(b.constData(), &st) == 0)
        ThrowErrno(EEXIST);
    if (::rename(a.constData(), b.constData()) != 0)
        ThrowErrno(errno);
}
