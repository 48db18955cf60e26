#pragma once
// Another process that holds a file lock, for the tests of the per-job
// lock: util-linux flock(1), which takes the same kernel lock (flock) as the
// program, so it is an independent holder and witness.
#include <QProcess>
#include <QString>

class ForeignLockHolder {
public:
    ForeignLockHolder() = default;
    ~ForeignLockHolder();
    ForeignLockHolder(const ForeignLockHolder &) = delete;
    ForeignLockHolder &operator=(const ForeignLockHolder &) = delete;

    // Starts the holder on `path` and returns once it holds the lock (false
    // when it could not take it).
    bool Hold(const QString &path);
    // Ends the holder with SIGKILL, as a crash would, and waits for its end.
    void Kill();

    // Whether another process could take the lock of `path` right now. A
    // file the witness had to create is removed again.
    static bool IsFree(const QString &path);

private:
    QProcess m_process;
};
