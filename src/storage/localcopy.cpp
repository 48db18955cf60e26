#include "storage/localcopy.h"

#include "base/filenamecodec.h"
#include "base/paths.h"

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

int OpenSource(const QByteArray &path, bool &direct)
{
    if (direct) {
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_DIRECT);
        if (fd >= 0 || errno != EINVAL)
            return fd;
        direct = false; // the file system refuses O_DIRECT
    }
    return ::open(path.constData(), O_RDONLY | O_CLOEXEC);
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

void LocalTargetFile::Write(const char *data, size_t size)
{
    WriteAll(m_fd, data, size, m_direct);
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

void CopyLocalFile(const QString &source, const QString &target, const LocalCopyOptions &options)
{
    const auto cancelled = [&] { return options.cancel && options.cancel->load() != 0; };
    if (cancelled())
        throw LocalCopyCancelled();

    bool directIn = options.unbuffered;
    FileDescriptor in(OpenSource(FileNameToBytes(source), directIn));
    if (in.get() < 0)
        Fail(LocalCopyError::Source, errno);
    struct stat st {};
    if (fstat(in.get(), &st) != 0)
        Fail(LocalCopyError::Source, errno);
    if (S_ISDIR(st.st_mode))
        Fail(LocalCopyError::Source, EISDIR);
    if (!S_ISREG(st.st_mode))
        Fail(LocalCopyError::Source, EINVAL);

    LocalTargetFile out(target, options.unbuffered);

    const qint64 total = st.st_size;
    qint64 done = 0;
    // copy_file_range lets the kernel (or the file system, by sharing
    // extents) do the work; unbuffered copies take the plain path.
    bool useCopyRange = !options.unbuffered;
    TransferProgress progress(options.progress, total);

    for (;;) {
        if (cancelled())
            throw LocalCopyCancelled();
        ssize_t n = 0;
        if (useCopyRange) {
            n = ::copy_file_range(in.get(), nullptr, out.fd(), nullptr, kChunk, 0);
            if (n == 0 && done >= total)
                break; // the whole file, as its size said
            if (n <= 0) {
                // Refused by this pair of file systems (EXDEV, EINVAL,
                // EOPNOTSUPP, ...) or an end that some file systems report
                // early: the plain path goes on from the same offsets, and
                // classifies a real error by the side that fails.
                if (n < 0 && errno == EINTR)
                    continue;
                useCopyRange = false;
                continue;
            }
        } else {
            char *buf = CopyBuffer();
            n = ReadSome(in.get(), buf, kChunk, directIn);
            if (n == 0)
                break;
            out.Write(buf, size_t(n));
            if (options.unbuffered) {
                out.DropCache(done, n);
                if (!directIn)
                    posix_fadvise(in.get(), done, n, POSIX_FADV_DONTNEED);
            }
        }
        done += n;
        progress.Update(done);
        // The size fstat gave is copied; a call more would only find the
        // end. (A file that reports no size is read to its end.)
        if (total > 0 && done >= total)
            break;
    }
    progress.Finish(done);
    out.Commit(st.st_mode, st.st_atim, st.st_mtim);
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
