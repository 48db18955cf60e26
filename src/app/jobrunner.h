#pragma once
// How the application core runs a job of each kind. The scheduler only asks
// "start this job's backup"; what that means is the job kind's engine. Tests
// replace the runner with a recorder so that the scheduler rules run without
// real backups.
#include "jobs/job.h"

#include <QString>
#include <memory>

class JobRunner {
public:
    virtual ~JobRunner();
    // Starts the backup of a waiting job (the kind's Backup: the job becomes
    // jsRunning and its worker starts). A kind that cannot run must not leave
    // the job waiting: it refuses with RefuseJobKind below.
    virtual void StartBackup(TJob &job) = 0;
    // True when an application-data job needs administrator rights.
    virtual bool RequiresElevationForBackup(TJob &job) = 0;
    // The kind's Remove: deletes the job's backup folder at its destination.
    // Runs on the calling thread; true on success.
    virtual bool RemoveBackups(TJob &job) = 0;
    // A worker of the job has not ended yet (it may still touch the job,
    // even after the job's status went back to idle).
    virtual bool IsRunInProgress(const TJob &job) { return IsActiveStatus(job.JobStatus.load()); }
};

// The runner of this build: the files-and-folders engine; the kinds whose
// engines are not part of this build are refused.
std::unique_ptr<JobRunner> CreateEngineJobRunner();

// The refusal of a job whose kind cannot run in this build: the queued job
// goes back to idle with its start stamped (so the same scheduled start does
// not queue it again), its run log holds the error, the run counts as
// cancelled, and the event "<message> (<job name>)" is added.
void RefuseJobKind(TJob &job, const QString &message);
// The text of that refusal for a kind, e.g. "Drive image jobs cannot run in this build."
QString JobKindUnavailableText(const TJob &job);
