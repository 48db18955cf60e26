#include "app/jobrunlock.h"

#include "options/options.h"
#include "base/events.h"
#include "jobs/job.h"
#include "jobs/jobtext.h"
#include "platform/folders.h"

JobLock LockJob(const TJob &job, QString *refusal)
{
    JobLock lock = JobLock::Acquire(Folders::DataFolder(), job.stJobName);
    if (refusal && !lock.IsHeld()) {
        if (lock.status() == JobLock::Status::HeldByAnotherProcess)
            *refusal = FillPercentS(Translate(QStringLiteral("The job \"%s\" is busy in another process of the "
                                                             "program. Try again when it has finished.")),
                                    {job.stJobName});
        else
            *refusal = FillPercentS(Translate(QStringLiteral("Unable to lock the job \"%s\":")), {job.stJobName})
                       + QLatin1Char(' ') + lock.errorString();
    }
    return lock;
}

void RefuseLockedJob(TJob &job, const QString &refusal)
{
    // The other process runs the job and writes its files: the start counts
    // as served here without touching them.
    if (job.JobStatus.load() == jsWaiting)
        job.Cancel(TJob::WaitingStamp::Keep);
    AddEvent(refusal);
}
