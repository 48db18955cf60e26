#pragma once
// The worker half of a restore: combines the run folders that make up the
// chosen restore point and restores them one after the other into the
// output folder.
#include <QString>
#include <functional>

class TJob_FilesAndFolders;
struct RestorePointList;

// Starts the restore of point `listInd` of `points` (-1 for a
// synchronisation set) into `outputPath` on a worker thread of its own.
// `password` opens the archives of a compressed point and is never logged.
// False (nothing started) while a worker of the job still runs.
// `finished` runs on the worker as its last action.
bool StartRestore(TJob_FilesAndFolders &job, const RestorePointList &points, int listInd, const QString &outputPath,
                  const QString &password, std::function<void()> finished = {});

// The restore itself, on the calling thread.
void RestoreInThread(TJob_FilesAndFolders &job, const QString &OutputPath, const QString &myZIPPassword, int ListInd);
