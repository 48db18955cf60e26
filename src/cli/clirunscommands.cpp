// The commands that run a job in the foreground: backup, points and restore.
#include "app/jobrunner.h"
#include "options/options.h"
#include "base/events.h"
#include "cli/cliargs.h"
#include "cli/clicommands.h"
#include "cli/clicontext.h"
#include "cli/clioutput.h"
#include "cli/clitexts.h"
#include "cli/runmonitor.h"
#include "engine/files/filesengine.h"
#include "engine/files/restorerun.h"
#include "jobs/jobkinds.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {
// The ERROR and WARNING lines of the run's log, so that the console shows
// why a run did not finish cleanly.
void printProblems(const TJob &job)
{
    constexpr int kMaxLines = 20;
    const QString error = job.JobTranslate(QStringLiteral("ERROR:"));
    const QString warning = job.JobTranslate(QStringLiteral("WARNING:"));
    int shown = 0, more = 0;
    // The run has ended: its log is read in place, a line at a time.
    const LogLines &log = job.LastJobResult.Log;
    for (qsizetype i = 0; i < log.Size(); ++i) {
        const QString line = log.At(i);
        if (!line.contains(error) && !line.contains(warning))
            continue;
        if (shown < kMaxLines) {
            CliOut::Err(line);
            ++shown;
        } else {
            ++more;
        }
    }
    if (more > 0)
        CliOut::Err(QStringLiteral("... %1 more (quorvane-cli log \"%2\")").arg(more).arg(job.stJobName));
}

int finishRun(TJob &job, const QString &summary)
{
    printProblems(job);
    if (!summary.isEmpty())
        CliOut::Out(CliOut::EventText(summary));
    return CliTexts::RunExitCode(job);
}

// The files-and-folders job of that name; other kinds print why they cannot
// run and give nullptr.
TJob_FilesAndFolders *filesJob(CliContext &context, const QString &name)
{
    QString refusal;
    TJob_FilesAndFolders *job = context.FilesJob(name, &refusal);
    if (!job)
        CliOut::Err(refusal);
    return job;
}

// Reads the restore points; the job stays busy (reading) on success.
bool readPoints(TJob_FilesAndFolders &job, RestorePointList &list)
{
    if (!BeginRestore(job)) {
        CliOut::Err(Translate(QStringLiteral("Unable to complete the action at the moment. Please try again in several "
                                             "seconds.")));
        return false;
    }
    list = ReadRestorePoints(job);
    if (!list.ok) {
        CliOut::Err(list.error);
        return false;
    }
    return true;
}

// The restore's output folder: created when missing, and proven writable by
// writing a file into it (permissions alone do not tell, e.g. for root or a
// read-only mount).
bool prepareOutput(const QString &folder, QString *error)
{
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        *error = QStringLiteral("The output folder is a file: %1").arg(folder);
        return false;
    }
    if (!info.exists() && !QDir().mkpath(folder)) {
        *error = QStringLiteral("Unable to create the output folder: %1").arg(folder);
        return false;
    }
    QTemporaryFile probe(folder + QStringLiteral("/.quorvane-write-test-XXXXXX"));
    if (!probe.open()) {
        *error = QStringLiteral("The output folder is not writable: %1 (%2)").arg(folder, probe.errorString());
        return false;
    }
    return true;
}
} // namespace

int RunBackupCommand(const QStringList &args)
{
    const CommandArgs a = ParseCommandArgs(QStringLiteral("backup"), args, {}, {}, 1);
    const QString name = RequireJobName(QStringLiteral("backup"), a);
    CliContext context;
    if (!context.Start())
        return ExitCode::Failed;
    TJob &job = context.Job(name);
    auto *files = qobject_cast<TJob_FilesAndFolders *>(&job);
    if (!files) {
        // The run is refused like the scheduler refuses it, and counts as cancelled.
        job.SetWaiting();
        RefuseJobKind(job, JobKindUnavailableText(job));
        return finishRun(job, context.PrintEvents());
    }
    JobLock lock;
    if (const int refused = context.LockJob(job, lock))
        return refused;
    // The worker keeps the lock until its end.
    if (!Backup(*files, [lock] {})) {
        CliOut::Err(Translate(QStringLiteral("Unable to complete the action at the moment. Please try again in several "
                                             "seconds.")));
        return ExitCode::Failed;
    }
    return finishRun(job, FollowRun(context, job));
}

int RunPointsCommand(const QStringList &args)
{
    const CommandArgs a = ParseCommandArgs(QStringLiteral("points"), args, {}, {}, 1);
    const QString name = RequireJobName(QStringLiteral("points"), a);
    CliContext context;
    if (!context.Start())
        return ExitCode::Failed;
    TJob_FilesAndFolders *job = filesJob(context, name);
    if (!job)
        return ExitCode::Failed;
    // Reading the points uses the job's temporary folder, which a run of the
    // job in another process works in.
    JobLock lock;
    if (const int refused = context.LockJob(*job, lock))
        return refused;
    RestorePointList list;
    if (!readPoints(*job, list)) {
        context.PrintEvents();
        return ExitCode::Failed;
    }
    // Only the list was wanted: the job is idle again.
    job->DeleteTempFiles();
    AbandonRestore(*job);
    if (list.synchronization) {
        CliOut::Out(QStringLiteral("1\t") + Translate(QStringLiteral("Mirror")) +
                    QStringLiteral(" (the current copy of the sources)"));
        return ExitCode::Ok;
    }
    for (int i = 0; i < list.points.size(); ++i)
        CliOut::Out(QStringLiteral("%1\t%2").arg(i + 1).arg(list.points[i].displayName));
    return ExitCode::Ok;
}

int RunRestoreCommand(const QStringList &args)
{
    const CommandArgs a = ParseCommandArgs(QStringLiteral("restore"), args,
                                           {QStringLiteral("point"), QStringLiteral("to"), QStringLiteral("password")},
                                           {QStringLiteral("latest")}, 1);
    const QString name = RequireJobName(QStringLiteral("restore"), a);
    if (a.Has(QStringLiteral("point")) == a.Has(QStringLiteral("latest")))
        throw UsageError(QStringLiteral("\"restore\" needs exactly one of --point N and --latest."));
    const int wanted = a.Has(QStringLiteral("point")) ? ParseNumber(QStringLiteral("point"), a.Values.value(QStringLiteral("point")), 1, 1000000) : 0;
    const QString to = a.Values.value(QStringLiteral("to"));
    if (to.trimmed().isEmpty())
        throw UsageError(QStringLiteral("\"restore\" needs the folder to restore into: --to DIR"));
    const QString output = QDir::cleanPath(QFileInfo(to).absoluteFilePath());

    CliContext context;
    if (!context.Start())
        return ExitCode::Failed;
    TJob_FilesAndFolders *job = filesJob(context, name);
    if (!job)
        return ExitCode::Failed;

    JobLock lock;
    if (const int refused = context.LockJob(*job, lock))
        return refused;

    QString outputError;
    if (!prepareOutput(output, &outputError)) {
        CliOut::Err(outputError);
        return ExitCode::Cancelled;
    }

    RestorePointList list;
    if (!readPoints(*job, list)) {
        context.PrintEvents();
        return ExitCode::Cancelled;
    }
    const auto giveUp = [&](const QString &message, int code) {
        // Nothing was restored: the job is idle again, as after a cancelled folder choice.
        job->DeleteTempFiles();
        AbandonRestore(*job);
        CliOut::Err(message);
        return code;
    };
    int index = -1; // the whole set of a mirror
    QString password;
    if (!list.synchronization) {
        const int count = int(list.points.size());
        if (count == 0)
            return giveUp(QStringLiteral("The job \"%1\" has no restore points.").arg(name), ExitCode::Cancelled);
        if (wanted > count)
            return giveUp(QStringLiteral("There is no restore point %1: the job has %2 (quorvane-cli points \"%3\").")
                              .arg(wanted)
                              .arg(count)
                              .arg(name),
                          ExitCode::Usage);
        index = wanted > 0 ? wanted - 1 : count - 1;
        if (list.points[index].needsPassword) {
            password = PasswordFrom(a.Values.value(QStringLiteral("password")), a.Has(QStringLiteral("password")),
                                    "QV_ZIP_PASSWORD");
            if (password.isEmpty())
                return giveUp(QStringLiteral("The restore point needs the ZIP password: --password P or "
                                             "QV_ZIP_PASSWORD."),
                              ExitCode::Usage);
        }
    } else if (wanted > 1) {
        return giveUp(QStringLiteral("A mirror has one restore point only."), ExitCode::Usage);
    }
    // The worker keeps the lock until its end.
    if (!StartRestore(*job, list, index, output, password, [lock] {})) {
        return giveUp(Translate(QStringLiteral("Unable to complete the action at the moment. Please try again in "
                                               "several seconds.")),
                      ExitCode::Failed);
    }
    return finishRun(*job, FollowRun(context, *job));
}
