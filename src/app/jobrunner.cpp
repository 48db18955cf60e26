#include "app/jobrunner.h"

#include "options/options.h"
#include "base/appstate.h"
#include "base/events.h"
#include "jobs/job.h"

JobRunner::~JobRunner() = default;

QString JobKindUnavailableText(const TJob &job)
{
    switch (job.Kind()) {
    case jkDriveImage:
        return Translate(QStringLiteral("Drive image jobs cannot run in this build."));
    case jkAppsData:
        return Translate(QStringLiteral("Application data jobs cannot run in this build."));
    default:
        return Translate(QStringLiteral("This kind of job cannot run in this build."));
    }
}

void RefuseJobKind(TJob &job, const QString &message)
{
    // Cancelling a waiting job stamps its start, so the scheduled start that
    // queued it counts as served and does not queue it again every second.
    if (job.JobStatus.load() == jsWaiting)
        job.Cancel();
    if (job.JobStatus.load() != jsNone)
        return; // it runs after all; nothing to refuse
    job.OptionsToJobOptions();
    job.ClearRunLog();
    job.AddErrorToLog(message);
    job.LastJobResult.Cancelled = true;
    job.AddEventtoBackupHistory(message, false);
    AddEvent(message + QStringLiteral(" (") + job.stJobName + QLatin1Char(')'));
    if (!AppState::ApplicationClosing)
        job.SaveLocalJobFile(job.LocalJobFilePath());
    job.NotifyChanged();
}
