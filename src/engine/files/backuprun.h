#pragma once
// One backup run of a files-and-folders job: Backup prepares it on the
// calling thread and starts the worker; BackupInThread is the run itself.
#include <functional>

class TJob_FilesAndFolders;

// Starts a backup run of `job` on a worker thread of its own and returns at
// once. Refused (false, nothing changed) while the job has an active run or
// its previous worker has not ended. `finished`, when given, runs on the
// worker as its last action (the job is idle again by then).
bool Backup(TJob_FilesAndFolders &job, std::function<void()> finished = {});

// The run itself, in the order of its steps; runs on the calling thread.
// Backup calls it on the worker.
void BackupInThread(TJob_FilesAndFolders &job);
