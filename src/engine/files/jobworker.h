#pragma once
// The worker threads of job runs: one thread per run, started here, with a
// record per job so that callers can tell whether a run is still going,
// wait for its end, and learn of it.
//
// A job must outlive its worker: whoever destroys a TJob (removing it from
// the jobs list, quitting) first cancels an active run and calls
// WaitForRunToEnd(job, -1). The worker's last touch of the job is the
// Finished callback; after that the record is marked ended and waiters
// wake up.
#include <QString>
#include <functional>

class TJob;

namespace JobWorker {

struct Hooks {
    // The run itself, on the new thread.
    std::function<void()> body;
    // An exception escaped `body`: its message. Runs on the worker thread,
    // before `finished`.
    std::function<void(const QString &message)> escapedError;
    // Runs on the worker thread as its last action on the job.
    std::function<void()> finished;
};

// Starts a worker for `job`. False (and nothing started) while a worker of
// this job is still running.
bool Start(TJob &job, Hooks hooks);

// True while a worker of `job` has not ended.
bool IsRunning(const TJob &job);

// Waits until no worker of `job` runs; `timeoutMs` < 0 waits without limit.
// True when no worker runs any more.
bool WaitForRunToEnd(const TJob &job, int timeoutMs);

// Holds the calling worker while `job` is paused, checking the status every
// 50 ms (well within the 1000 ms a held worker may take to notice a resume
// or a cancel). Returns false when the job is being cancelled.
bool WaitWhilePaused(TJob &job);

} // namespace JobWorker
