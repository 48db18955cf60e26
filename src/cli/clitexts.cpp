#include "cli/clitexts.h"

#include "options/options.h"
#include "base/datetime.h"
#include "jobs/job.h"
#include "jobs/jobtext.h"

namespace CliTexts {
QString Kind(const TJob &job)
{
    switch (job.Kind()) {
    case jkDriveImage:
        return Translate(QStringLiteral("Drive Image Backup"));
    case jkAppsData:
        return Translate(QStringLiteral("Application Data Backup"));
    default:
        return Translate(QStringLiteral("Files and Folders Backup"));
    }
}

QString Status(const TJob &job)
{
    switch (job.JobStatus.load()) {
    case jsWaiting:
        return Translate(QStringLiteral("Waiting"));
    case jsRunning:
        return Translate(QStringLiteral("Running"));
    case jsCancelling:
        return Translate(QStringLiteral("Cancelling"));
    case jsPaused:
        return Translate(QStringLiteral("Paused"));
    default:
        return Translate(QStringLiteral("Ready"));
    }
}

QString LastResult(const TJob &job)
{
    const TJobResult &r = job.LastJobResult;
    if (r.EndTime == 0)
        return Translate(QStringLiteral("Never started"));
    const QString when = DateTimeToStr(DoubleToDateTime(r.EndTime));
    qint32 errors = 0, warnings = 0;
    job.RunLogCounts(errors, warnings);
    QString pattern;
    if (r.Cancelled)
        pattern = QStringLiteral("Cancelled on %s");
    else if (errors > 0)
        pattern = QStringLiteral("Finished with errors on %s");
    else if (warnings > 0)
        pattern = QStringLiteral("Finished with warnings on %s");
    else
        pattern = QStringLiteral("Finished on %s");
    return FillPercentS(Translate(pattern), {when});
}

int RunExitCode(const TJob &job)
{
    if (job.LastJobResult.Cancelled)
        return 3;
    qint32 errors = 0, warnings = 0;
    job.RunLogCounts(errors, warnings);
    if (errors > 0)
        return 2;
    if (warnings > 0)
        return 1;
    return 0;
}
} // namespace CliTexts
