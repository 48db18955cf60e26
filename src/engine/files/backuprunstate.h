#pragma once
// The state one backup run works on, held by the worker for the run's
// duration: the settings it runs with, where it writes, the backup set's
// state as loaded from the remote job file, and the lists the run fills.
#include "engine/files/pathindex.h"
#include "jobs/jobkinds.h"

#include <QString>
#include <QStringList>

struct BackupRunState {
    TSpecificSettings Settings; // the job's settings as the run started
    TBackupType RunType = btFull;
    QString BackupRoot;   // the set's folder at the destination
    QString BackupFolder; // this run's folder (BackupRoot for synchronisation)

    // MainBackupList, the reference lists and the two sizes.
    TBackupSetState Set;

    QStringList CurrentFilesList;
    QStringList CurrentFilesTimeList;
    QStringList CurrentDirsList;
    QStringList CopiedFilesList;
    QStringList CreatedDirsList;
    QStringList RemovedFilesList;
    QStringList RemovedDirsList;
    PathSet CreatedFoldersCache;
    QStringList BackupsToRemove;
    QStringList StartFlagList;

    // Empties the set's state and every run list (an existing set was removed).
    void ResetSetAndLists()
    {
        Set = TBackupSetState();
        CurrentFilesList.clear();
        CurrentFilesTimeList.clear();
        CurrentDirsList.clear();
        CopiedFilesList.clear();
        CreatedDirsList.clear();
        RemovedFilesList.clear();
        RemovedDirsList.clear();
        CreatedFoldersCache.Clear();
        BackupsToRemove.clear();
        StartFlagList.clear();
    }
};
