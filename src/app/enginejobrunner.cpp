// The job runner of this build: files-and-folders jobs run on their engine;
// drive-image and application-data jobs have no engine here and are refused
// with a clear event instead of pretending to run.
#include "app/jobrunner.h"

#include "app/jobrunlock.h"
#include "options/options.h"
#include "base/events.h"
#include "engine/files/filesengine.h"
#include "jobs/jobkinds.h"

namespace {
class EngineJobRunner : public JobRunner {
public:
    void StartBackup(TJob &job) override
    {
        if (auto *files = qobject_cast<TJob_FilesAndFolders *>(&job)) {
            // Another process (a second instance, quorvane-cli) may run the
            // same job: then this start is refused, not run beside it.
            QString refusal;
            const JobLock lock = LockJob(job, &refusal);
            if (!lock.IsHeld()) {
                RefuseLockedJob(job, refusal);
                return;
            }
            // The worker keeps the lock until its end. Refused while the
            // previous worker of the job has not ended: the job stays
            // waiting and the next tick tries again.
            Backup(*files, [lock] {});
            return;
        }
        RefuseJobKind(job, JobKindUnavailableText(job));
    }

    bool RequiresElevationForBackup(TJob &) override
    {
        // Application data is read from the user's own folders and the
        // program's own registry file: no administrator rights on this platform.
        return false;
    }

    bool RemoveBackups(TJob &job) override
    {
        if (auto *files = qobject_cast<TJob_FilesAndFolders *>(&job))
            return Remove(*files);
        AddEvent(JobKindUnavailableText(job) + QStringLiteral(" (") + job.stJobName + QLatin1Char(')'));
        return false;
    }

    bool IsRunInProgress(const TJob &job) override { return JobWorker::IsRunning(job); }
};
} // namespace

std::unique_ptr<JobRunner> CreateEngineJobRunner()
{
    return std::make_unique<EngineJobRunner>();
}
