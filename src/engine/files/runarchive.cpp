#include "engine/files/runarchive.h"

#include "base/errors.h"
#include "base/paths.h"
#include "engine/files/backuprunstate.h"
#include "engine/files/ziparchiver.h"
#include "jobs/jobkinds.h"
#include "storage/localfs.h"

#include <QFileInfo>

namespace RunArchive {

namespace {
ZipArchiver *RunArchiver(TJob_FilesAndFolders &job)
{
    return dynamic_cast<ZipArchiver *>(job.Archiver.get());
}

void CancelRun(TJob_FilesAndFolders &job)
{
    job.JobStatus.store(jsCancelling);
    job.NotifyChanged();
}
} // namespace

bool Prepare(TJob_FilesAndFolders &job, BackupRunState &run)
{
    const TCompression &compression = run.Settings.Compression;
    const bool oneArchive = !compression.CreateIndividualZipForEachItem;
    auto archiver = std::make_shared<ZipArchiver>(job, ZipSettingsForJob(job, compression), oneArchive);
    job.Archiver = archiver;
    if (!oneArchive)
        return true;

    // A destination that refuses a file cannot be waited for: the archive
    // would miss the file while the run goes on.
    job.JobOptions.Processing.IfDestinationNotAvailable_Then = 0;
    const QString temp = job.TempFolderPath();
    if (temp.isEmpty()) {
        job.AddErrorToLog(job.JobTranslate(QStringLiteral("The directory does not exist:")) + QLatin1Char(' ')
                          + job.JobOptions.General.PathForTempFiles);
        return false;
    }
    const QString path = JoinPath(temp, BackupSet::RunArchiveFile);
    job.AddFileEventToLog(QStringLiteral("Opening the archive:"), path);
    QString error;
    try {
        LocalFileSystem().MakePath(temp);
    } catch (const QvError &e) {
        job.AddErrorToLog(e.message());
        return false;
    }
    if (!archiver->Open(path, &error)) {
        job.AddErrorToLog(error);
        return false;
    }
    return true;
}

void Finish(TJob_FilesAndFolders &job, BackupRunState &run)
{
    ZipArchiver *archiver = RunArchiver(job);
    if (!archiver || run.Settings.Compression.CreateIndividualZipForEachItem || !archiver->IsOpen())
        return;
    const QString path = archiver->ArchivePath();
    job.AddFileEventToLog(QStringLiteral("Closing the archive:"), path);
    QString error;
    if (!archiver->Close(&error)) {
        job.AddErrorToLog(error);
        CancelRun(job);
        return;
    }
    if (job.JobStatus.load() == jsCancelling || !QFileInfo::exists(path))
        return;
    const int retries = std::max(0, job.JobOptions.Processing.IfDestinationNotAvailable_Retry_Times);
    if (job.FileOperation(atCopyFromLocalToRemoteFile, path, JoinPath(run.BackupFolder, BackupSet::RunArchiveFile),
                          retries, true)
        != orSuccess)
        CancelRun(job);
}

} // namespace RunArchive
