#pragma once
// The lock that keeps one job from running twice at once, across processes:
// whoever runs a job's backup, restores it or removes its backups holds the
// job's lock, a kernel lock (flock) on a file named after the job in the
// data folder. The kernel lets go of it when its holder ends in any way, a
// killed process included, so a lock can never be left behind by a process
// that no longer runs.
//
// Within one process the lock is shared: copies of a held JobLock hold it
// together (a worker keeps its copy until its end), a second Acquire for the
// same job while this process holds it succeeds at once, and the kernel lock
// goes with the last copy. Whether this process may start something on the
// job is the job's own status to tell; the lock answers "does another
// process work on it".
#include <QString>

class JobLock {
public:
    enum class Status {
        NotHeld,              // a default lock, or one released
        Held,
        HeldByAnotherProcess, // another process holds the job's lock
        Failed,               // the lock file cannot be used (errorString says why)
    };

    JobLock() = default;
    ~JobLock();
    JobLock(const JobLock &other);
    JobLock &operator=(const JobLock &other);
    JobLock(JobLock &&other) noexcept;
    JobLock &operator=(JobLock &&other) noexcept;

    // Takes the lock of the job `jobName` in `folder` without waiting.
    static JobLock Acquire(const QString &folder, const QString &jobName);

    Status status() const { return m_status; }
    bool IsHeld() const { return m_status == Status::Held; }
    QString errorString() const { return m_error; }

    // Lets go of this copy's hold; the last hold in the process removes the
    // lock file and releases the kernel lock.
    void Release();

    // The lock file of a job: the job's name and ".lock" in `folder`.
    static QString LockFilePath(const QString &folder, const QString &jobName);

private:
    QString m_path;
    Status m_status = Status::NotHeld;
    QString m_error;
};
