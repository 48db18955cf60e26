#pragma once
// The preparation of a restore, without any window: the main thread marks
// the job busy, reads the list of restore points from the destination, and
// then either starts the worker with the chosen point or ends the restore
// cancelled. The folder picker, the restore-point window and the password
// box of the windowed program (and the command line) sit between these
// calls.
#include <QList>
#include <QString>

class TJob_FilesAndFolders;

struct RestorePoint {
    QString folderName;  // the run folder's name as stored
    QString displayName; // as the list shows it (";" -> ":")
    bool needsPassword = false; // its archives need a password
};

struct RestorePointList {
    // The list was read. Otherwise `error` is the text of the error dialog
    // and the restore has ended (the job is idle again).
    bool ok = false;
    QString error;
    // A synchronisation set has no points: the whole set is restored
    // (start it with the index -1).
    bool synchronization = false;
    QList<RestorePoint> points; // oldest first
};

// Marks the job busy reading restore points (jsRunning,
// joReadRestorePoints), clears the shown path and takes the option
// snapshot. False when the job is active.
bool BeginRestore(TJob_FilesAndFolders &job);

// The user closed the folder picker: the job is idle again.
void AbandonRestore(TJob_FilesAndFolders &job);

// Connects, downloads the remote job file and the start flag, and returns
// the restore points. Sets the job's backup type from the set's marker.
// A synchronisation set whose last run did not finish cannot be restored:
// the error is logged and the restore ends cancelled.
RestorePointList ReadRestorePoints(TJob_FilesAndFolders &job);

// The user cancelled the choice (or anything before the worker): the
// restore ends cancelled, logged and saved.
void CancelRestore(TJob_FilesAndFolders &job);
