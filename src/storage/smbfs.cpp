#include "storage/smbfs.h"

#include "base/filenamecodec.h"
#include "storage/destinationerror.h"
#include "storage/networkconnection.h"

#include "storage/smbclientlib.h"

#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

[[noreturn]] void ThrowErrno(int code)
{
    ThrowDestinationError(code ? code : EIO);
}

[[noreturn]] void Fail(LocalCopyError::Side side, int code)
{
    code = code ? code : EIO;
    throw LocalCopyError(side, code, SystemErrorMessage(code));
}

class Smb {
public:
    explicit Smb(TNetworkPathConnection &c) : m_c(c)
    {
        if (!c.Context())
            ThrowErrno(ENOTCONN);
        ctx = c.Context();
    }

    // A path of this connection's share; anything else is refused so that
    // the job's credentials are never sent to another server.
    UncPath Parse(const QString &path) const
    {
        UncPath u;
        if (!ParseUncPath(path, u))
            ThrowErrno(EINVAL);
        const UncPath &root = m_c.Path();
        if (u.server.compare(root.server, Qt::CaseInsensitive) != 0 || u.port != root.port
            || u.share.compare(root.share, Qt::CaseInsensitive) != 0)
            ThrowErrno(EXDEV);
        return u;
    }

    // stat; false when the entry is missing.
    bool Stat(const UncPath &u, struct stat &st) const
    {
        std::memset(&st, 0, sizeof st);
        errno = 0;
        if (SmbLib().getFunctionStat(ctx)(ctx, u.Url().constData(), &st) == 0)
            return true;
        if (errno == ENOENT || errno == ENOTDIR)
            return false;
        ThrowErrno(errno);
    }

    int Unlink(const UncPath &u) const
    {
        errno = 0;
        return SmbLib().getFunctionUnlink(ctx)(ctx, u.Url().constData()) == 0 ? 0 : (errno ? errno : EIO);
    }

    int Rmdir(const UncPath &u) const
    {
        errno = 0;
        return SmbLib().getFunctionRmdir(ctx)(ctx, u.Url().constData()) == 0 ? 0 : (errno ? errno : EIO);
    }

    int Chmod(const UncPath &u, mode_t mode) const
    {
        errno = 0;
        return SmbLib().getFunctionChmod(ctx)(ctx, u.Url().constData(), mode) == 0 ? 0 : (errno ? errno : EIO);
    }

    // Deletes u and everything below it; returns the first errno met.
    int RemoveTree(const UncPath &u) const
    {
        struct stat st {};
        try {
            if (!Stat(u, st))
                return 0;
        } catch (const QvError &) {
            return errno ? errno : EIO;
        }
        if (!S_ISDIR(st.st_mode)) {
            if ((st.st_mode & S_IWUSR) == 0)
                Chmod(u, 0666);
            const int r = Unlink(u);
            return r == ENOENT ? 0 : r;
        }
        if ((st.st_mode & S_IWUSR) == 0)
            Chmod(u, 0777);
        // The listing is read completely before anything is deleted.
        std::vector<QString> names;
        errno = 0;
        SMBCFILE *dir = SmbLib().getFunctionOpendir(ctx)(ctx, u.Url().constData());
        int first = 0;
        if (!dir) {
            first = errno ? errno : EIO;
        } else {
            while (smbc_dirent *e = SmbLib().getFunctionReaddir(ctx)(ctx, dir)) {
                if (std::strcmp(e->name, ".") == 0 || std::strcmp(e->name, "..") == 0)
                    continue;
                // name is declared as char[1]: the array overload would cut it.
                const char *name = e->name;
                names.push_back(NameFromShare(QString::fromUtf8(name, qsizetype(std::strlen(name)))));
            }
            SmbLib().getFunctionClosedir(ctx)(ctx, dir);
        }
        for (const QString &name : names) {
            UncPath child = u;
            child.folders.append(name);
            const int r = RemoveTree(child);
            if (r != 0 && first == 0)
                first = r;
        }
        const int r = Rmdir(u);
        if (r != 0 && r != ENOENT && first == 0)
            first = r;
        return first;
    }

    SMBCCTX *ctx = nullptr;

private:
    TNetworkPathConnection &m_c;
};

// An open file on the share, closed when dropped.
class SmbFile {
public:
    SmbFile(SMBCCTX *ctx, SMBCFILE *f) : m_ctx(ctx), m_f(f) {}
    ~SmbFile()
    {
        if (m_f)
            SmbLib().getFunctionClose(m_ctx)(m_ctx, m_f);
    }
    SMBCFILE *get() const { return m_f; }
    int close()
    {
        SMBCFILE *f = m_f;
        m_f = nullptr;
        errno = 0;
        return SmbLib().getFunctionClose(m_ctx)(m_ctx, f) == 0 ? 0 : (errno ? errno : EIO);
    }

private:
    SMBCCTX *m_ctx;
    SMBCFILE *m_f;
};

struct Buffer {
    Buffer() : data(new char[SmbFileSystem::kChunk]) {}
    std::unique_ptr<char[]> data;
};

} // namespace

DestinationFileSystem::Info SmbFileSystem::Stat(const QString &path)
{
    Smb smb(m_connection);
    Info info;
    struct stat st {};
    if (!smb.Stat(smb.Parse(path), st))
        return info;
    info.exists = true;
    info.isFolder = S_ISDIR(st.st_mode);
    // libsmbclient shows the read-only attribute as missing write bits.
    info.readOnly = (st.st_mode & S_IWUSR) == 0;
    info.size = st.st_size;
    return info;
}

void SmbFileSystem::ClearReadOnly(const QString &path)
{
    Smb smb(m_connection);
    const UncPath u = smb.Parse(path);
    struct stat st {};
    if (!smb.Stat(u, st))
        ThrowErrno(ENOENT);
    if (const int r = smb.Chmod(u, S_ISDIR(st.st_mode) ? 0777 : 0666))
        ThrowErrno(r);
}

void SmbFileSystem::RemoveLeftovers()
{
    Smb smb(m_connection);
    QList<QByteArray> keep;
    for (const QByteArray &url : std::as_const(m_leftovers)) {
        errno = 0;
        if (SmbLib().getFunctionUnlink(smb.ctx)(smb.ctx, url.constData()) != 0 && errno != ENOENT)
            keep.append(url);
    }
    m_leftovers = keep;
}

void SmbFileSystem::Upload(const QString &localPath, const QString &remotePath,
                           const LocalCopyOptions &options)
{
    if (!m_leftovers.isEmpty())
        RemoveLeftovers();
    Smb smb(m_connection);
    const UncPath target = smb.Parse(remotePath);
    if (target.folders.isEmpty())
        Fail(LocalCopyError::Target, EISDIR);
    const auto cancelled = [&] { return options.cancel && options.cancel->load() != 0; };
    if (cancelled())
        throw LocalCopyCancelled();

    const int fd = ::open(FileNameToBytes(localPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        Fail(LocalCopyError::Source, errno);
    const std::unique_ptr<int, void (*)(int *)> fdGuard(new int(fd), [](int *p) {
        ::close(*p);
        delete p;
    });
    struct stat st {};
    if (fstat(fd, &st) != 0)
        Fail(LocalCopyError::Source, errno);
    if (S_ISDIR(st.st_mode))
        Fail(LocalCopyError::Source, EISDIR);

    // A file written to while it is read gives a copy of no single moment
    // (a torn copy): it is sent once more from its start, and a change
    // during that second copy is reported with the copy kept.
    Buffer buffer;
    for (int pass = 0;; ++pass) {
        // The data goes to a temporary name beside the target and is renamed
        // over it when complete: a broken transfer never leaves a file that
        // looks complete under the target's name.
        UncPath temp = target;
        SMBCFILE *raw = nullptr;
        for (int tries = 0; tries < 16 && !raw; ++tries) {
            temp.folders.last() = LocalCopyTempPrefix()
                                  + QString::number(QRandomGenerator::global()->generate64(), 16);
            errno = 0;
            // The mode counts as far as the server lets a client choose it.
            raw = SmbLib().getFunctionOpen(smb.ctx)(smb.ctx, temp.Url().constData(),
                                                O_WRONLY | O_CREAT | O_EXCL, options.ownerOnly ? 0600 : 0666);
            if (!raw && errno != EEXIST)
                Fail(LocalCopyError::Target, errno);
        }
        if (!raw)
            Fail(LocalCopyError::Target, EEXIST);
        SmbFile out(smb.ctx, raw);
        bool committed = false;
        struct TempRemover {
            Smb &smb;
            const UncPath &temp;
            SmbFile &out;
            bool &committed;
            QList<QByteArray> &leftovers;
            ~TempRemover()
            {
                if (committed)
                    return;
                out.close();
                const int r = smb.Unlink(temp);
                if (r != 0 && r != ENOENT)
                    leftovers.append(temp.Url());
            }
        } remover{smb, temp, out, committed, m_leftovers};

        const qint64 total = st.st_size;
        qint64 done = 0;
        TransferProgress progress(options.progress, total);
        for (;;) {
            if (cancelled())
                throw LocalCopyCancelled();
            const ssize_t n = ::read(fd, buffer.data.get(), kChunk);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                Fail(LocalCopyError::Source, errno);
            }
            if (n == 0)
                break;
            for (ssize_t off = 0; off < n;) {
                errno = 0;
                const ssize_t w = SmbLib().getFunctionWrite(smb.ctx)(smb.ctx, out.get(),
                                                                 buffer.data.get() + off, size_t(n - off));
                if (w <= 0)
                    Fail(LocalCopyError::Target, errno);
                off += w;
            }
            if (options.unbuffered)
                posix_fadvise(fd, done, n, POSIX_FADV_DONTNEED);
            done += n;
            progress.Update(done);
        }
        progress.Finish(done);
        if (const int r = out.close())
            Fail(LocalCopyError::Target, r);

        struct stat after {};
        if (fstat(fd, &after) != 0)
            Fail(LocalCopyError::Source, errno);
        const bool changed = done != total || after.st_size != st.st_size || after.st_mtim.tv_sec != st.st_mtim.tv_sec
                             || after.st_mtim.tv_nsec != st.st_mtim.tv_nsec;
        if (changed && pass == 0) {
            st = after;
            if (::lseek(fd, 0, SEEK_SET) < 0)
                Fail(LocalCopyError::Source, errno);
            continue; // the remover deletes this pass's temporary file
        }

        struct timeval times[2] = {{st.st_atim.tv_sec, st.st_atim.tv_nsec / 1000},
                                   {st.st_mtim.tv_sec, st.st_mtim.tv_nsec / 1000}};
        errno = 0;
        if (SmbLib().getFunctionUtimes(smb.ctx)(smb.ctx, temp.Url().constData(), times) != 0)
            Fail(LocalCopyError::Target, errno);
        errno = 0;
        if (SmbLib().getFunctionRename(smb.ctx)(smb.ctx, temp.Url().constData(), smb.ctx,
                                            target.Url().constData())
            != 0)
            Fail(LocalCopyError::Target, errno);
        committed = true;
        // A read-only source gives a read-only copy, as on a local drive.
        if ((st.st_mode & S_IWUSR) == 0) {
            if (const int r = smb.Chmod(target, 0444))
                Fail(LocalCopyError::Target, r);
        }
        if (changed && options.changedWhileCopied)
            options.changedWhileCopied();
        return;
    }
}

void SmbFileSystem::Download(const QString &remotePath, const QString &localPath,
                             const LocalCopyOptions &options)
{
    Smb smb(m_connection);
    const UncPath source = smb.Parse(remotePath);
    const auto cancelled = [&] { return options.cancel && options.cancel->load() != 0; };
    if (cancelled())
        throw LocalCopyCancelled();
    errno = 0;
    SMBCFILE *raw = SmbLib().getFunctionOpen(smb.ctx)(smb.ctx, source.Url().constData(), O_RDONLY, 0);
    if (!raw)
        Fail(LocalCopyError::Source, errno);
    SmbFile in(smb.ctx, raw);
    struct stat st {};
    errno = 0;
    if (SmbLib().getFunctionFstat(smb.ctx)(smb.ctx, in.get(), &st) != 0)
        Fail(LocalCopyError::Source, errno);

    LocalTargetFile out(localPath, options.unbuffered);
    Buffer buffer;
    const qint64 total = st.st_size;
    qint64 done = 0;
    TransferProgress progress(options.progress, total);
    for (;;) {
        if (cancelled())
            throw LocalCopyCancelled();
        errno = 0;
        const ssize_t n = SmbLib().getFunctionRead(smb.ctx)(smb.ctx, in.get(), buffer.data.get(), kChunk);
        if (n < 0)
            Fail(LocalCopyError::Source, errno);
        if (n == 0)
            break;
        // The share cannot tell where a sparse file's holes are: blocks of
        // zeros become holes again.
        out.WriteSkippingZeros(buffer.data.get(), size_t(n));
        if (options.unbuffered)
            out.DropCache(done, n);
        done += n;
        progress.Update(done);
    }
    progress.Finish(done);
    in.close();
    const unsigned permissions = options.ownerOnly ? 0600 : (st.st_mode & S_IWUSR) ? 0644 : 0444;
    out.Commit(permissions, st.st_atim, st.st_mtim);
}

void SmbFileSystem::RemoveFile(const QString &path)
{
    Smb smb(m_connection);
    const int r = smb.Unlink(smb.Parse(path));
    if (r != 0 && r != ENOENT)
        ThrowErrno(r);
}

void SmbFileSystem::RemoveEmptyFolder(const QString &path)
{
    Smb smb(m_connection);
    const int r = smb.Rmdir(smb.Parse(path));
    if (r != 0 && r != ENOENT)
        ThrowErrno(r);
}

void SmbFileSystem::RemoveTree(const QString &path)
{
    Smb smb(m_connection);
    const UncPath u = smb.Parse(path);
    if (u.folders.isEmpty())
        ThrowErrno(EPERM); // never the share itself
    if (const int r = smb.RemoveTree(u))
        ThrowErrno(r);
}

void SmbFileSystem::MakePath(const QString &path)
{
    Smb smb(m_connection);
    const UncPath u = smb.Parse(path);
    UncPath part = u;
    part.folders.clear();
    for (const QString &name : u.folders) {
        part.folders.append(name);
        struct stat st {};
        if (smb.Stat(part, st)) {
            if (!S_ISDIR(st.st_mode))
                ThrowErrno(ENOTDIR);
            continue;
        }
        errno = 0;
        if (SmbLib().getFunctionMkdir(smb.ctx)(smb.ctx, part.Url().constData(), 0777) != 0
            && errno != EEXIST)
            ThrowErrno(errno);
    }
}

void SmbFileSystem::Rename(const QString &from, const QString &to)
{
    Smb smb(m_connection);
    const UncPath a = smb.Parse(from), b = smb.Parse(to);
    struct stat st {};
    if (smb.Stat(b, st))
        ThrowErrno(EEXIST);
    errno = 0;
    if (SmbLib().getFunctionRename(smb.ctx)(smb.ctx, a.Url().constData(), smb.ctx, b.Url().constData()) != 0)
        ThrowErrno(errno);
}
