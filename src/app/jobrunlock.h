#pragma once
// One job never runs twice at once, whichever process runs it: a backup
// run, a restore (from reading its restore points to the end of its worker)
// and the removal of a job or its backups each hold the job's lock in the
// data folder (platform/joblock.h) for their whole length. A worker keeps
// its copy of the lock until its end (capture it in the run's `finished`
// hook), so the lock goes exactly when the run does.
#include "platform/joblock.h"

#include <QString>

class TJob;

// Takes the lock of `job`. When it is not held, `refusal` says why in a
// sentence for the events list, a dialog or the console: another process
// works on the job, or the lock file cannot be used.
JobLock LockJob(const TJob &job, QString *refusal);

// The start of a waiting job that another process runs is refused: the job
// goes back to idle with the start stamped (the other process serves it),
// and the event `refusal` is added. The job's files are left alone: they
// belong to the process that runs it.
void RefuseLockedJob(TJob &job, const QString &refusal);
