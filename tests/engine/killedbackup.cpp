// qv_killed_backup: one backup run of a files-and-folders job that kills
// itself with SIGKILL at a chosen moment, for the tests of what such a kill
// leaves at the destination. Test-only: the shipped programs have no such
// hook.
//
//   qv_killed_backup DATA_FOLDER JOB_NAME STAMP MOMENT TRACE_FILE
//
// The job and the options come from DATA_FOLDER as the program keeps them
// (the local job file and the options file); STAMP (ISO date and time) is
// the run's clock, so that every run of the same job makes the same folder.
//
// The moments of a run are counted from 1 in the order they happen:
//   - "before": an attempt at a destination operation is about to start
//     (the storage session's Perform), so every state the destination can be
//     left in between two operations is one moment;
//   - "changed": the job reported progress (after every file operation, the
//     ZIP operations that only write the local archive included, and while a
//     transfer is under way).
// Each moment is appended to TRACE_FILE as "N<TAB>kind<TAB>what", where what
// is the operation and its path, or the newest line of the run log. At
// moment MOMENT the process writes its run log so far to TRACE_FILE + ".log"
// and kills itself; with MOMENT 0 it runs to the end, writes its run log
// there and exits with 0 (finished) or 3 (cancelled). 2: it could not start.
#include "options/options.h"
#include "base/appstate.h"
#include "base/datetime.h"
#include "engine/files/filesengine.h"
#include "jobs/jobkinds.h"
#include "platform/folders.h"
#include "storage/storagesession.h"

#include <QCoreApplication>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>

#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

QString OperationName(TFileOperationType op)
{
    switch (op) {
    case atCopyFromLocalToRemoteFile:
    case atCopyFromLocalToRemoteFileThroughTempFolder:
        return QStringLiteral("upload");
    case atCopyFromRemoteToLocalFile:
        return QStringLiteral("download");
    case atRemoveRemoteFile:
        return QStringLiteral("remove file");
    case atRemoveRemoteEmptyFolder:
        return QStringLiteral("remove empty folder");
    case atRemoveRemoteNotEmptyFolder:
        return QStringLiteral("remove folder");
    case atCreateRemoteFolder:
        return QStringLiteral("create folder");
    case atRenameRemoteFolder:
        return QStringLiteral("rename folder");
    case atRenameRemoteFile:
        return QStringLiteral("rename file");
    default:
        return QStringLiteral("operation %1").arg(int(op));
    }
}

// Counts the moments, writes them down and kills the process at the chosen one.
class Moments {
public:
    Moments(TJob &job, int killAt, const QString &traceFile) : m_job(job), m_killAt(killAt), m_traceFile(traceFile)
    {
        m_trace = std::fopen(QFile::encodeName(traceFile).constData(), "w");
    }
    ~Moments()
    {
        if (m_trace)
            std::fclose(m_trace);
    }
    Moments(const Moments &) = delete;
    Moments &operator=(const Moments &) = delete;
    bool ok() const { return m_trace != nullptr; }

    void Reach(const char *kind, const QString &what)
    {
        QMutexLocker lock(&m_mutex);
        ++m_count;
        std::fprintf(m_trace, "%d\t%s\t%s\n", m_count, kind, what.toUtf8().constData());
        std::fflush(m_trace);
        if (m_count != m_killAt)
            return;
        WriteRunLog();
        // What a kill -9 does: no destructor, no flush of the program's own
        // buffers, no end of the run.
        ::kill(::getpid(), SIGKILL);
    }

    // The newest line of the run log.
    QString LastLogLine() const
    {
        const QStringList log = m_job.RunLogSnapshot();
        return log.isEmpty() ? QString() : log.last();
    }

    void WriteRunLog() const
    {
        QFile f(m_traceFile + QStringLiteral(".log"));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(m_job.RunLogSnapshot().join(QLatin1Char('\n')).toUtf8() + '\n');
    }

private:
    TJob &m_job;
    const int m_killAt;
    const QString m_traceFile;
    std::FILE *m_trace = nullptr;
    QMutex m_mutex;
    int m_count = 0;
};

// The destination as the registered connector opens it, with a moment
// before every attempt at an operation.
class CountingSession : public StorageSession {
public:
    CountingSession(std::unique_ptr<StorageSession> inner, Moments &moments)
        : m_inner(std::move(inner)), m_moments(moments)
    {
    }

    QString ShownPath(const QString &remotePath) const override { return m_inner->ShownPath(remotePath); }
    void PrepareAttempt(FileOperationContext &ctx) override { m_inner->PrepareAttempt(ctx); }
    TOperationResult Perform(FileOperationContext &ctx, TFileOperationType op, const QString &localPath,
                             const QString &remotePath) override
    {
        m_moments.Reach("before", OperationName(op) + QLatin1Char(' ') + remotePath);
        return m_inner->Perform(ctx, op, localPath, remotePath);
    }
    void AttemptFailed(FileOperationContext &ctx) override { m_inner->AttemptFailed(ctx); }
    void OperationFinished(FileOperationContext &ctx, bool cancelled) override
    {
        m_inner->OperationFinished(ctx, cancelled);
    }
    void Disconnect(TJob &job) override { m_inner->Disconnect(job); }

private:
    std::unique_ptr<StorageSession> m_inner;
    Moments &m_moments;
};

void CountDestinationOperations(TDestinationType kind, Moments &moments)
{
    const StorageConnector real = FindStorageConnector(kind);
    RegisterStorageConnector(kind, [real, &moments](TJob &job, QString &jobFolderPath) {
        return std::unique_ptr<StorageSession>(std::make_unique<CountingSession>(real(job, jobFolderPath), moments));
    });
}

int Fail(const QString &message)
{
    std::fprintf(stderr, "qv_killed_backup: %s\n", message.toLocal8Bit().constData());
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6)
        return Fail(QStringLiteral("usage: qv_killed_backup DATA_FOLDER JOB_NAME STAMP MOMENT TRACE_FILE"));
    const QString jobName = args.at(2);
    const QDateTime stamp = QDateTime::fromString(args.at(3), Qt::ISODate);
    bool numberOk = false;
    const int killAt = args.at(4).toInt(&numberOk);
    if (!stamp.isValid() || !numberOk || killAt < 0)
        return Fail(QStringLiteral("bad stamp or moment"));

    Folders::SetDataFolderOverride(args.at(1));
    AppState::SetJobFileExtension(QStringLiteral(".qvj"));
    if (!LoadOptions(Options(), OptionsFilePath()))
        return Fail(QStringLiteral("cannot read the options file ") + OptionsFilePath());
    TJob_FilesAndFolders job(jobName);
    if (!job.LoadLocalJobFile(job.LocalJobFilePath()))
        return Fail(QStringLiteral("cannot read the job file ") + job.LocalJobFilePath());
    Clock::SetOverride([stamp] { return stamp; });

    Moments moments(job, killAt, args.at(5));
    if (!moments.ok())
        return Fail(QStringLiteral("cannot write ") + args.at(5));
    CountDestinationOperations(dtLocalOrExternalDrive, moments);
    CountDestinationOperations(dtNetwork, moments);
    // Direct: the worker itself stops at the moment it reports.
    const QMetaObject::Connection watch = QObject::connect(
        &job, &TJob::Changed, &job, [&] { moments.Reach("changed", moments.LastLogLine()); }, Qt::DirectConnection);

    if (!Backup(job))
        return Fail(QStringLiteral("the run did not start"));
    JobWorker::WaitForRunToEnd(job, -1);
    QObject::disconnect(watch);
    moments.WriteRunLog();
    return job.LastJobResult.Cancelled ? 3 : 0;
}
