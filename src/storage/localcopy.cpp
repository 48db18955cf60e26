#include "storage/localcopy.h"

#include "base/filenamecodec.h"
#include "base/paths.h"
#include "base/zeroblocks.h"

#include <QList>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kChunk = size_t(4) << 20; // progress and cancel are checked per chunk
constexpr size_t kAlign = 4096;            // O_DIRECT buffers and offsets

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes and reports the result (a delayed write error shows up here).
    int close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd >= 0 ? ::close(fd) : 0;
    }

private:
    int m_fd = -1;
};

struct AlignedBuffer {
    explicit AlignedBuffer(size_t size)
    {
        if (posix_memalign(&data, kAlign, size) != 0)
            data = nullptr;
    }
    ~AlignedBuffer() { std::free(data); }
    AlignedBuffer(const AlignedBuffer &) = delete;
    AlignedBuffer &operator=(const AlignedBuffer &) = delete;
    void *data = nullptr;
};

[[noreturn]] void Fail(LocalCopyError::Side side, int code)
{
    throw LocalCopyError(side, code, SystemErrorMessage(code));
}

// The plain path's buffer: one per copying thread, kept between copies. A
// fresh one per file would fault its pages in again each time, and after the
// first free the allocator serves a block this size from the heap, where the
// small allocations made between two copies keep it from being given back.
char *CopyBuffer()
{
    thread_local std::unique_ptr<AlignedBuffer> buffer;
    if (!buffer) {
        auto fresh = std::make_unique<AlignedBuffer>(kChunk);
        if (!fresh->data)
            Fail(LocalCopyError::Target, ENOMEM);
        buffer = std::move(fresh);
    }
    return static_cast<char *>(buffer->data);
}

bool DropDirectFlag(int fd)
{
    const int fl = fcntl(fd, F_GETFL);
    return fl >= 0 && (fl & O_DIRECT) && fcntl(fd, F_SETFL, fl & ~O_DIRECT) == 0;
}

int OpenFile(int folder, const char *name, int flags, bool &direct)
{
    if (direct) {
        const int fd = ::openat(folder, name, flags | O_DIRECT);
        if (fd >= 0 || errno != EINVAL)
            return fd;
        direct = false; // the file system refuses O_DIRECT
    }
    return ::openat(folder, name, flags);
}

// Opens `path`, which lies below `top`, without following a link on the
// way below `top`: each folder is opened from the one above it, and the
// last name too, with O_NOFOLLOW. A link anywhere gives ELOOP.
int OpenWithoutLinksBelow(const QByteArray &top, const QByteArray &path, bool &direct)
{
    FileDescriptor folder(::open(top.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0)
        return -1;
    QList<QByteArray> names = path.mid(top.size()).split('/');
    names.removeAll(QByteArray());
    names.removeAll(QByteArrayLiteral("."));
    if (names.isEmpty() || names.contains(QByteArrayLiteral(".."))) {
        errno = EINVAL;
        return -1;
    }
    for (qsizetype i = 0; i + 1 < names.size(); ++i) {
        const int next = ::openat(folder.get(), names[i].constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) {
            // A link to a folder is "not a directory" to O_NOFOLLOW.
            const int err = errno;
            struct stat st {};
            errno = err == ENOTDIR && ::fstatat(folder.get(), names[i].constData(), &st, AT_SYMLINK_NOFOLLOW) == 0
                            && S_ISLNK(st.st_mode)
                        ? ELOOP
                        : err;
            return -1;
        }
        folder.reset(next);
    }
    return OpenFile(folder.get(), names.last().constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW, direct);
}

int OpenSource(const QByteArray &path, const QByteArray &linkFreeBelow, bool &direct)
{
    if (!linkFreeBelow.isEmpty()) {
        const QByteArray top = linkFreeBelow.endsWith('/') ? linkFreeBelow : linkFreeBelow + '/';
        if (path.startsWith(top))
            return OpenWithoutLinksBelow(top, path, direct);
    }
    return OpenFile(AT_FDCWD, path.constData(), O_RDONLY | O_CLOEXEC, direct);
}

// The folder a target is written in.
QString FolderOf(const QString &target)
{
    const QString folder = LocalParentPath(target);
    return folder.isEmpty() ? QStringLiteral(".") : folder;
}

// A fresh temporary name in `folder`.
QByteArray TempPathIn(const QString &folder)
{
    return FileNameToBytes(
        JoinPath(folder, LocalCopyTempPrefix() + QString::number(QRandomGenerator::global()->generate64(), 16)));
}

int CreateTemp(const QString &folder, QByteArray &tempPath, bool &direct)
{
    for (int tries = 0; tries < 16; ++tries) {
        tempPath = TempPathIn(folder);
        int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
        int fd = ::open(tempPath.constData(), flags | (direct ? O_DIRECT : 0), 0600);
        if (fd < 0 && direct && errno == EINVAL) {
            direct = false;
            fd = ::open(tempPath.constData(), flags, 0600);
        }
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// An unnamed file in `folder` (O_TMPFILE), named only when complete: one
// change to the folder per copy instead of a create and a rename, and an
// interrupted copy, even a crash, leaves nothing behind. -1 where the file
// system cannot (the caller then writes under a temporary name).
int CreateUnnamed(const QString &folder, bool &direct)
{
    // The finished file is linked in through its /proc/self/fd entry.
    static const bool canLink = ::access("/proc/self/fd", X_OK) == 0;
    if (!canLink)
        return -1;
    const QByteArray path = FileNameToBytes(folder);
    const int flags = O_TMPFILE | O_WRONLY | O_CLOEXEC;
    int fd = ::open(path.constData(), flags | (direct ? O_DIRECT : 0), 0600);
    if (fd < 0 && direct && errno == EINVAL) {
        fd = ::open(path.constData(), flags, 0600);
        if (fd >= 0)
            direct = false;
    }
    return fd;
}

// Gives the unnamed file open as `fd` the name `name`; false with errno set
// (EEXIST when the name is taken).
bool LinkUnnamed(int fd, const QByteArray &name)
{
    char self[32];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    return ::linkat(AT_FDCWD, self, AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0;
}

// Writes all of buf; drops O_DIRECT when the kernel refuses the (unaligned)
// tail of a file.
void WriteAll(int fd, const char *buf, size_t n, bool &direct)
{
    size_t off = 0;
    while (off < n) {
        const ssize_t w = ::write(fd, buf + off, n - off);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EINVAL && direct && DropDirectFlag(fd)) {
                direct = false;
                continue;
            }
            Fail(LocalCopyError::Target, errno);
        }
        off += size_t(w);
    }
}

ssize_t ReadSome(int fd, char *buf, size_t n, bool &direct)
{
    for (;;) {
        const ssize_t r = ::read(fd, buf, n);
        if (r >= 0)
            return r;
        if (errno == EINTR)
            continue;
        if (errno == EINVAL && direct && DropDirectFlag(fd)) {
            direct = false;
            continue;
        }
        Fail(LocalCopyError::Source, errno);
    }
}

} // namespace

int TransferPercent(qint64 done, qint64 total)
{
    if (total <= 0)
        return 0;
    if (done >= total)
        return 100;
    return int((done * 100 + total / 2) / total);
}

bool IsInUseError(int code)
{
    return code == EBUSY || code == ETXTBSY;
}

bool LocalCopyError::inUse() const
{
    return IsInUseError(m_code);
}

QString SystemErrorMessage(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

LocalCopyCancelled::LocalCopyCancelled() : QvError(SystemErrorMessage(ECANCELED)) {}

QString LocalCopyTempPrefix()
{
    return QStringLiteral(".qvcopy-");
}

LocalTargetFile::LocalTargetFile(const QString &target, bool unbuffered)
    : m_target(FileNameToBytes(target)), m_direct(unbuffered)
{
    const QString folder = FolderOf(target);
    m_fd = CreateUnnamed(folder, m_direct);
    m_unnamed = m_fd >= 0;
    if (!m_unnamed)
        m_fd = CreateTemp(folder, m_temp, m_direct);
    if (m_fd < 0)
        Fail(LocalCopyError::Target, errno);
}

LocalTargetFile::~LocalTargetFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_temp.isEmpty())
        ::unlink(m_temp.constData());
}

void LocalTargetFile::SeekIfSkipped()
{
    if (!m_skipped)
        return;
    if (::lseek(m_fd, off_t(m_position), SEEK_SET) < 0)
        Fail(LocalCopyError::Target, errno);
    m_skipped = false;
}

void LocalTargetFile::Write(const char *data, size_t size)
{
    SeekIfSkipped();
    WriteAll(m_fd, data, size, m_direct);
    m_position += qint64(size);
}

void LocalTargetFile::WriteSkippingZeros(const char *data, size_t size)
{
    const qint64 end = m_position + qint64(size);
    ForEachDataRun(m_position, data, qint64(size), [this](qint64 offset, const char *run, qint64 length) {
        SkipTo(offset);
        Write(run, size_t(length));
        return true;
    });
    SkipTo(end);
}

void LocalTargetFile::SkipTo(qint64 offset)
{
    if (offset == m_position)
        return;
    m_position = offset;
    m_skipped = true;
}

qint64 LocalTargetFile::CopyFrom(int source, qint64 max)
{
    SeekIfSkipped();
    const ssize_t n = ::copy_file_range(source, nullptr, m_fd, nullptr, size_t(max), 0);
    if (n > 0)
        m_position += n;
    return n;
}

void LocalTargetFile::DropCache(qint64 offset, qint64 size)
{
    if (m_direct)
        return;
    // Write the range out, then drop it from the page cache, so a huge copy
    // does not push everything else out.
    sync_file_range(m_fd, offset, size,
                    SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    posix_fadvise(m_fd, offset, size, POSIX_FADV_DONTNEED);
}

void LocalTargetFile::Commit(unsigned permissions, const timespec &atime, const timespec &mtime)
{
    // A hole at the end is part of the file's size.
    if (m_skipped && ::ftruncate(m_fd, off_t(m_position)) != 0)
        Fail(LocalCopyError::Target, errno);
    m_skipped = false;
    if (fchmod(m_fd, permissions & 0777) != 0)
        Fail(LocalCopyError::Target, errno);
    const struct timespec times[2] = {atime, mtime};
    if (futimens(m_fd, times) != 0)
        Fail(LocalCopyError::Target, errno);
    if (m_unnamed) {
        if (LinkUnnamed(m_fd, m_target)) {
            const int fd = m_fd;
            m_fd = -1;
            if (::close(fd) != 0) {
                // A delayed write error: the file just named is not complete.
                const int code = errno;
                ::unlink(m_target.constData());
                Fail(LocalCopyError::Target, code);
            }
            return;
        }
        if (errno != EEXIST)
            Fail(LocalCopyError::Target, errno);
        // The target exists: the copy is named beside it and renamed over it.
        const QString folder = FolderOf(FileNameFromBytes(m_target));
        for (int tries = 0; m_temp.isEmpty(); ++tries) {
            const QByteArray temp = TempPathIn(folder);
            if (LinkUnnamed(m_fd, temp))
                m_temp = temp;
            else if (errno != EEXIST || tries >= 16)
                Fail(LocalCopyError::Target, errno);
        }
    }
    const int fd = m_fd;
    m_fd = -1;
    // A delayed write error (a full disk, a network file system) shows up here.
    if (::close(fd) != 0)
        Fail(LocalCopyError::Target, errno);
    if (::rename(m_temp.constData(), m_target.constData()) != 0)
        Fail(LocalCopyError::Target, errno);
    m_temp.clear();
}

namespace {

size_t AlignUp(qint64 n)
{
    return size_t((n + qint64(kAlign) - 1) / qint64(kAlign) * qint64(kAlign));
}

// Copies the data of `in`, read from its start, to `out`, which is new. A
// source of `total` bytes is copied range by range as the file system
// tells its data apart from its holes, and the holes stay holes; a source
// that reports no size is read to its end. False when the source ended
// before `total`.
bool CopyData(int in, bool &directIn, LocalTargetFile &out, qint64 total, const LocalCopyOptions &options)
{
    const auto cancelled = [&] { return options.cancel && options.cancel->load() != 0; };
    // copy_file_range lets the kernel (or the file system, by sharing
    // extents) do the work; unbuffered copies take the plain path.
    bool useCopyRange = !options.unbuffered;
    bool ranges = total > 0;
    TransferProgress progress(options.progress, total);
    qint64 pos = 0;
    while (true) {
        qint64 end = total; // of the range being copied
        if (ranges) {
            const off_t data = ::lseek(in, off_t(pos), SEEK_DATA);
            const off_t hole = data < 0 ? -1 : ::lseek(in, data, SEEK_HOLE);
            if (data < 0 && errno == ENXIO) {
                pos = total; // nothing but a hole up to the end
                break;
            }
            if (hole < 0) {
                ranges = false; // the file system cannot tell: the rest is one range
            } else {
                pos = std::min<qint64>(data, total);
                end = std::min<qint64>(hole, total);
            }
            if (::lseek(in, off_t(pos), SEEK_SET) < 0)
                Fail(LocalCopyError::Source, errno);
            out.SkipTo(pos);
        }
        while (total == 0 || pos < end) {
            if (cancelled())
                throw LocalCopyCancelled();
            const qint64 want = total == 0 ? qint64(kChunk) : std::min<qint64>(qint64(kChunk), end - pos);
            qint64 n = 0;
            if (useCopyRange) {
                n = out.CopyFrom(in, want);
                if (n <= 0) {
                    // Refused by this pair of file systems (EXDEV, EINVAL,
                    // EOPNOTSUPP, ...) or an end that some file systems
                    // report early: the plain path goes on from the same
                    // offsets, and classifies a real error by the side that
                    // fails.
                    if (n < 0 && errno == EINTR)
                        continue;
                    useCopyRange = false;
                    continue;
                }
            } else {
                char *buf = CopyBuffer();
                // Whole aligned blocks for O_DIRECT; what lies beyond the
                // range is read from the hole after it and not written.
                n = ReadSome(in, buf, std::min(kChunk, AlignUp(want)), directIn);
                if (n == 0)
                    break;
                if (total > 0)
                    n = std::min(n, end - pos);
                out.Write(buf, size_t(n));
                if (options.unbuffered) {
                    out.DropCache(pos, n);
                    if (!directIn)
                        posix_fadvise(in, pos, n, POSIX_FADV_DONTNEED);
                }
            }
            pos += n;
            progress.Update(pos);
        }
        if (total > 0 && pos < end)
            return false; // the source ended early: it was cut while read
        if (!ranges || pos >= total)
            break;
    }
    if (total > 0)
        out.SkipTo(total);
    progress.Update(pos);
    progress.Finish(pos);
    return true;
}

bool SameSizeAndTime(const struct stat &a, const struct stat &b)
{
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

} // namespace

void CopyLocalFile(const QString &source, const QString &target, const LocalCopyOptions &options)
{
    if (options.cancel && options.cancel->load() != 0)
        throw LocalCopyCancelled();

    bool directIn = options.unbuffered;
    FileDescriptor in(OpenSource(FileNameToBytes(source), FileNameToBytes(options.linkFreeBelow), directIn));
    if (in.get() < 0)
        Fail(LocalCopyError::Source, errno);
    struct stat st {};
    if (fstat(in.get(), &st) != 0)
        Fail(LocalCopyError::Source, errno);
    if (S_ISDIR(st.st_mode))
        Fail(LocalCopyError::Source, EISDIR);
    if (!S_ISREG(st.st_mode))
        Fail(LocalCopyError::Source, EINVAL);

    // A file written to while it is read gives a copy of no single moment
    // (a torn copy): it is read once more from its start, and a change
    // during that second copy is reported with the copy kept.
    for (int pass = 0;; ++pass) {
        LocalTargetFile out(target, options.unbuffered);
        const bool whole = CopyData(in.get(), directIn, out, st.st_size, options);
        struct stat after {};
        if (fstat(in.get(), &after) != 0)
            Fail(LocalCopyError::Source, errno);
        const bool changed = !whole || !SameSizeAndTime(st, after);
        if (changed && pass == 0) {
            st = after;
            if (::lseek(in.get(), 0, SEEK_SET) < 0)
                Fail(LocalCopyError::Source, errno);
            continue; // the first copy's temporary file goes with `out`
        }
        out.Commit(options.ownerOnly ? 0600 : st.st_mode, st.st_atim, st.st_mtim);
        if (changed && options.changedWhileCopied)
            options.changedWhileCopied();
        return;
    }
}

namespace {
std::atomic<LocalCopyFunction> g_stagingCopy{&CopyLocalFile};
} // namespace

LocalCopyFunction SetStagingCopyFunction(LocalCopyFunction function)
{
    return g_stagingCopy.exchange(function ? function : &CopyLocalFile);
}

LocalCopyFunction StagingCopyFunction()
{
    return g_stagingCopy.load();
}
