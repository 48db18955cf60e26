// The commands on the jobs list itself: list, create, remove and log.
#include "options/options.h"
#include "base/events.h"
#include "base/textfile.h"
#include "cli/cliargs.h"
#include "cli/clicommands.h"
#include "cli/clicontext.h"
#include "cli/clioutput.h"
#include "cli/clitexts.h"
#include "cli/jobspec.h"
#include "jobs/jobkinds.h"
#include "jobs/jobtext.h"

#include <QFile>
#include <QFileInfo>

int RunListCommand(const QStringList &args)
{
    ParseCommandArgs(QStringLiteral("list"), args, {}, {}, 0);
    CliContext context;
    if (!context.Start())
        return ExitCode::Failed;
    for (const auto &job : context.Core().Jobs().Jobs()) {
        CliOut::Out(QStringList{job->stJobName, CliTexts::Kind(*job), CliTexts::Status(*job), CliTexts::LastResult(*job)}
                        .join(QLatin1Char('\t')));
    }
    return ExitCode::Ok;
}

int RunCreateCommand(const QStringList &args)
{
    QStringList warnings;
    std::unique_ptr<TJob_FilesAndFolders> job = JobFromCreateArguments(args, &warnings);
    CliContext context;
    if (!context.Start())
        return ExitCode::Failed;
    QString message;
    if (!context.LockJobsList(&message)) {
        CliOut::Err(message);
        return ExitCode::Failed;
    }
    JobsList &jobs = context.Core().Jobs();
    // Names are compared without regard to case, like the window does.
    for (const QString &existing : jobs.Names()) {
        if (existing.trimmed().compare(job->stJobName, Qt::CaseInsensitive) == 0) {
            CliOut::Err(FillPercentS(Translate(QStringLiteral("Job \"%s\" already exists. Please specify another name.")),
                                     {job->stJobName}));
            return ExitCode::Failed;
        }
    }
    for (const QString &w : std::as_const(warnings))
        CliOut::Err(Translate(QStringLiteral("WARNING:")) + QLatin1Char(' ') + w);

    const QString path = job->LocalJobFilePath();
    if (!job->SaveLocalJobFile(path)) {
        context.PrintEvents();
        return ExitCode::Failed;
    }
    TJob *added = jobs.Add(std::move(job));
    if (!jobs.SaveJobsListOrReport()) {
        // Without the list entry the job file would never be read: take it back.
        QFile::remove(path);
        jobs.Take(jobs.Count() - 1);
        context.PrintEvents();
        return ExitCode::Failed;
    }
    CliOut::Out(FillPercentS(Translate(QStringLiteral("Created new job: \"%s\".")), {added->stJobName}));
    return ExitCode::Ok;
}

int RunRemoveCommand(const QStringList &args)
{
    const CommandArgs a = ParseCommandArgs(QStringLiteral("remove"), args, {}, {QStringLiteral("keep-backups")}, 1);
    const QString name = RequireJobName(QStringLiteral("remove"), a);
    CliContext context;
    if (!context.Start())
        return ExitCode::Failed;
    const int index = context.Core().Jobs().IndexOf(name);
    context.Job(name); // an unknown name is a usage error
    QString message;
    if (!context.LockJobsList(&message)) {
        CliOut::Err(message);
        return ExitCode::Failed;
    }
    // Held here already, so that a job in use elsewhere ends with its own exit code.
    JobLock lock;
    if (const int refused = context.LockJob(context.Job(name), lock))
        return refused;
    bool backupsFailed = false;
    QObject::connect(&context.Core(), &ApplicationCore::ErrorMessage, [&](const QString &text) {
        backupsFailed = true;
        CliOut::Err(text);
    });
    const bool removed = context.Core().RemoveJob(index, !a.Flags.contains(QStringLiteral("keep-backups")));
    context.PrintEvents();
    if (!removed || context.Core().Jobs().IndexOf(name) >= 0)
        return ExitCode::Failed;
    return backupsFailed ? ExitCode::Failed : ExitCode::Ok;
}

int RunLogCommand(const QStringList &args)
{
    const CommandArgs a = ParseCommandArgs(QStringLiteral("log"), args, {}, {QStringLiteral("history")}, 1);
    const QString name = RequireJobName(QStringLiteral("log"), a);
    CliContext context;
    if (!context.Start())
        return ExitCode::Failed;
    TJob &job = context.Job(name);
    if (a.Flags.contains(QStringLiteral("history"))) {
        for (const QString &line : std::as_const(job.BackupHistory))
            CliOut::Out(line);
        return ExitCode::Ok;
    }
    if (job.LogList.isEmpty()) {
        CliOut::Err(QStringLiteral("The job \"%1\" has no run logs yet.").arg(name));
        return ExitCode::Failed;
    }
    // The log folder follows the current options, like the window's View Log.
    job.OptionsToJobOptions();
    const QString path = job.LogFilePath(job.LogList.last());
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        CliOut::Err(Translate(QStringLiteral("Log file does not exist:")) + QLatin1Char(' ') + path);
        return ExitCode::Failed;
    }
    try {
        for (const QString &line : ReadTextLines(path))
            CliOut::Out(line);
    } catch (const QvError &e) {
        CliOut::Err(e.message());
        return ExitCode::Failed;
    }
    return ExitCode::Ok;
}
