#pragma once
// The archive side of a compressed backup run (one archive per run, or one
// per copied file) and of the restore of such a run folder. The scan and the
// storage primitive already route every copy of a compressed run through the
// job's archiver; this is where the archiver is made, the run's archive is
// opened, closed and uploaded, and where a restore reads the archives.
#include "engine/files/backupsetlayout.h"

#include <QString>

class TJob_FilesAndFolders;
struct BackupRunState;

namespace RunArchive {

// Before the scan of a compressed run: makes the job's archiver and, in
// one-archive mode, opens "data.zip" in the job's temp folder (and makes
// the run's refusal rule cancel). False (an error logged) when it cannot.
bool Prepare(TJob_FilesAndFolders &job, BackupRunState &run);

// After the scan: closes the run's archive and, unless the run is being
// cancelled, uploads it into the run's folder. Failures cancel the run.
void Finish(TJob_FilesAndFolders &job, BackupRunState &run);

} // namespace RunArchive
