#include "engine/files/runarchive.h"

#include "engine/files/backuprunstate.h"
#include "jobs/jobkinds.h"

namespace RunArchive {

// Compressed sets arrive with the archive writer's integration; until then
// a compressed job is refused before anything is written at the
// destination, and a compressed run folder is refused by the restore.
bool Available()
{
    return false;
}

bool Prepare(TJob_FilesAndFolders &job, BackupRunState &)
{
    job.AddErrorToLog(job.JobTranslate(QStringLiteral("ZIP archives are not supported by this version of the program.")));
    return false;
}

void Finish(TJob_FilesAndFolders &, BackupRunState &)
{
}

} // namespace RunArchive
