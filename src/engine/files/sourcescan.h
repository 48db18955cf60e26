#pragma once
// The scan of a backup run: walks the job's source items in order, decides
// file by file whether a file changed since the reference state, copies it
// through the storage primitive into the run's folder (or archive),
// creates the destination folders the copies need, and finally records or
// mirrors what disappeared from the sources. Runs on the run's worker and
// honours pause and cancel before every item, folder entry and file.
//
// What could not be read is never taken for gone: a missing source item, a
// folder that cannot be listed and a file that cannot be read keep their
// entries of the reference state (with their times), so nothing of them is
// recorded as removed or deleted from a mirror. Only a listing that worked
// and no longer shows an entry makes a removal. Links are never followed;
// they, and devices, pipes and sockets, are skipped with a warning each.
#include "engine/files/backuprunstate.h"
#include "engine/files/changedetection.h"
#include "engine/files/pathindex.h"
#include "jobs/jobkinds.h"

#include <vector>

class SourceScan {
public:
    SourceScan(TJob_FilesAndFolders &job, BackupRunState &run);

    // The source items, then (unless the run is being cancelled) the
    // removed items.
    void Run();

    // The folder a folder item names ("/data/*" -> "/data", "/*" -> "/"),
    // or an empty string when `item` is not a folder item.
    static QString FolderOfItem(const QString &item);

private:
    bool Cancelling() const;
    // Holds while paused; false when the run is being cancelled.
    bool Proceed();

    void FolderItem(const QString &folder);
    void FileItem(const QString &path);
    void Walk(const QString &folder, const QString &relative);
    void BackupFile(const QString &fullPath, const QString &relative, const QString &timeText,
                    const QString &chainFolder, bool insideFolderItem);
    // A folder entry that is not a file or a folder: a warning naming it.
    void SkipEntry(const QString &fullPath, bool link);
    // The previous state of `relative` and of everything below it (all of
    // the reference state for "") is carried into the new one.
    void KeepPreviousState(const QString &relative);
    bool UnderKeptFolder(const QString &relative) const;
    void CarryKeptEntries();
    // Adds a folder to CurrentDirsList; true when the reference state has it.
    bool AddCurrentDir(const QString &relative);
    // A folder new since the reference state, under the refusal rule.
    bool CreateNewFolder(const QString &relative);
    bool EnsureFolderChain(const QString &relative);
    bool CreateFolder(const QString &relative);
    TOperationResult Copy(const QString &fullPath, const QString &relative);
    // The rule for a destination that refuses a file or folder: true to try
    // the same operation again (after a pause the user ended), false when the
    // run is cancelled.
    bool RetryAfterRefusal();
    void RemovedItems();
    void RemoveAtDestination(TFileOperationType op, const QString &relative);
    QString Destination(const QString &relative) const;

    TJob_FilesAndFolders &m_job;
    BackupRunState &m_run;
    SourceFilter m_filter;
    int m_retries;
    bool m_incrementalOrDifferential;
    bool m_createFoldersDirectly; // full and synchronisation runs
    bool m_oneArchive;
    bool m_zipPerFile;
    bool m_directCopy;
    // The last folder creation failed on a name the destination refuses:
    // no retry or pause helps, and that folder is left out.
    bool m_folderNameRefused = false;

    // The reference state, indexed; an entry is "seen" once the scan met
    // its path, whatever happened to the file then.
    PathIndex m_previousFiles;
    PathIndex m_previousDirs;
    std::vector<bool> m_fileSeen;
    std::vector<bool> m_dirSeen;
    PathSet m_keptFolders;

    // The job's own backup set when it lies on a local drive, and where it
    // lies inside the folder item being walked (relative paths of the run;
    // empty when it is not inside).
    QString m_setFolder;
    QString m_setRelative;
    QString m_jobFileRelative;
};
