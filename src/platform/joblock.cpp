#include "platform/joblock.h"

#include <QFile>
#include <QHash>
#include <QMutex>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The kernel locks this process holds, by lock file path, with the number
// of JobLock copies that share each.
struct HeldLock {
    int fd = -1;
    int holds = 0;
};
QMutex g_mutex;
QHash<QString, HeldLock> g_held;

// A lock taken on a file that its last holder removed meanwhile is a lock
// on a file nobody else can find: the name is opened again, this often.
constexpr int kMaxTries = 16;

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// The name becomes a file name in the folder, so it must be one.
bool isFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

bool sameFile(int fd, const QByteArray &path)
{
    struct stat held {}, named {};
    return ::fstat(fd, &held) == 0 && ::lstat(path.constData(), &named) == 0 && held.st_dev == named.st_dev
           && held.st_ino == named.st_ino;
}

} // namespace

QString JobLock::LockFilePath(const QString &folder, const QString &jobName)
{
    return folder + QLatin1Char('/') + jobName + QStringLiteral(".lock");
}

JobLock JobLock::Acquire(const QString &folder, const QString &jobName)
{
    JobLock lock;
    if (!isFileName(jobName)) {
        lock.m_status = Status::Failed;
        lock.m_error = QStringLiteral("\"%1\" cannot name a lock file").arg(jobName);
        return lock;
    }
    const QString path = LockFilePath(folder, jobName);
    const auto fail = [&lock, &path](Status status, int code) {
        lock.m_status = status;
        if (code != 0)
            lock.m_error = path + QStringLiteral(": ") + systemError(code);
        return lock;
    };

    QMutexLocker guard(&g_mutex);
    if (auto it = g_held.find(path); it != g_held.end()) {
        ++it->holds;
        lock.m_path = path;
        lock.m_status = Status::Held;
        return lock;
    }
    const QByteArray native = QFile::encodeName(path);
    for (int tries = 0; tries < kMaxTries; ++tries) {
        const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            return fail(Status::Failed, errno);
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int code = errno;
            ::close(fd);
            if (code == EWOULDBLOCK)
                return fail(Status::HeldByAnotherProcess, 0);
            if (code == EINTR)
                continue;
            return fail(Status::Failed, code);
        }
        if (sameFile(fd, native)) {
            g_held.insert(path, HeldLock{fd, 1});
            lock.m_path = path;
            lock.m_status = Status::Held;
            return lock;
        }
        ::close(fd);
    }
    return fail(Status::Failed, EAGAIN);
}

JobLock::~JobLock()
{
    Release();
}

JobLock::JobLock(const JobLock &other) : m_status(other.m_status), m_error(other.m_error)
{
    if (other.IsHeld()) {
        QMutexLocker guard(&g_mutex);
        ++g_held[other.m_path].holds;
        m_path = other.m_path;
    }
}

JobLock &JobLock::operator=(const JobLock &other)
{
    if (this != &other) {
        JobLock copy(other);
        *this = std::move(copy);
    }
    return *this;
}

JobLock::JobLock(JobLock &&other) noexcept
    : m_path(std::move(other.m_path)), m_status(other.m_status), m_error(std::move(other.m_error))
{
    other.m_path.clear();
    other.m_status = Status::NotHeld;
}

JobLock &JobLock::operator=(JobLock &&other) noexcept
{
    if (this != &other) {
        Release();
        m_path = std::move(other.m_path);
        m_status = other.m_status;
        m_error = std::move(other.m_error);
        other.m_path.clear();
        other.m_status = Status::NotHeld;
    }
    return *this;
}

void JobLock::Release()
{
    if (!IsHeld())
        return;
    m_status = Status::NotHeld;
    QMutexLocker guard(&g_mutex);
    const auto it = g_held.find(m_path);
    if (it != g_held.end() && --it->holds <= 0) {
        // The file goes while it is still locked: a process that opened it
        // just before gets the lock only after this, finds the name gone
        // and opens it afresh (see Acquire).
        ::unlink(QFile::encodeName(m_path).constData());
        ::close(it->fd);
        g_held.erase(it);
    }
    m_path.clear();
}
