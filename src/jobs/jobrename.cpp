// Renaming a job everywhere its name is used: the backup folder and the
// remote job file at the destination (when it has run), the local job file
// and the log folder.
#include "jobs/job.h"

#include "base/appstate.h"
#include "base/events.h"
#include "base/paths.h"
#include "jobs/jobtext.h"
#include "platform/folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// The job's folder at the destination with its last component replaced:
// "/backups/Old" -> "/backups/New", "/Old" -> "/New", and a relative cloud
// path "Old" -> "New".
QString siblingFolder(const QString &folder, const QString &newname)
{
    QString base = folder;
    while (base.size() > 1 && base.endsWith(QLatin1Char('/')))
        base.chop(1);
    const QString parent = LocalParentPath(base);
    if (parent.isEmpty())
        return newname;
    if (parent.endsWith(QLatin1Char('/')))
        return parent + newname;
    return parent + QLatin1Char('/') + newname;
}
} // namespace

bool TJob::ChangeName(const QString &newname)
{
    if (newname == stJobName)
        return true;

    // Renames the local records; true when the job now carries the new name.
    auto renameLocal = [this, &newname]() -> bool {
        const QString oldFile = LocalJobFilePath();
        const QString newFile = LocalJobFilePathFor(newname);
        if (QFileInfo::exists(oldFile)) {
            if (QFileInfo::exists(newFile))
                QFile::remove(newFile); // a stale file of a job removed long ago
            if (!QFile::rename(oldFile, newFile)) {
                AddEvent(FillPercentS(TranslateForEvent(QStringLiteral(
                                          "Unable to rename the file \"%s\" to \"%s\" in directory: %s")),
                                      {PathFileName(oldFile), PathFileName(newFile), Folders::DataFolder()}));
                return false;
            }
        } else if (QFileInfo::exists(newFile)) {
            // A job that was never saved takes the name; a stale file of that
            // name must not be loaded as its settings on the next start.
            QFile::remove(newFile);
        }
        // The log folder follows only once the job file carries the new name,
        // so a failed rename never separates a job from its logs.
        const QString oldLogs = LogFolderPath();
        stJobName = newname;
        const QString newLogs = LogFolderPath();
        if (!oldLogs.isEmpty() && !newLogs.isEmpty() && QFileInfo(oldLogs).isDir())
            QDir().rename(oldLogs, newLogs); // failures leave the old logs where they are
        NotifyChanged();
        return true;
    };

    if (LastJobResult.EndTime == 0)
        return renameLocal();

    // The job has run: its backups at the destination are renamed first.
    JobStatus.store(jsRunning);
    JobOperation.store(joRename);
    OptionsToJobOptions();
    NotifyChanged();
    QString folder;
    ConnectToStorage(folder);
    if (folder.startsWith(JobTranslate(QStringLiteral("ERROR:")))) {
        AddEvent(folder);
        JobStatus.store(jsNone);
        NotifyChanged();
        return false;
    }
    const QString ext = AppState::JobFileExtension();
    const QString newFolder = siblingFolder(folder, newname);
    bool result = false;
    if (FileOperation(atRenameRemoteFolder, newFolder, folder, 0, false) == orSuccess) {
        if (FileOperation(atRenameRemoteFile, newFolder + ext, folder + ext, 0, false) == orSuccess) {
            result = renameLocal();
            // The job keeps its old name: its backups must keep it too, or the
            // next run would no longer find its backup set.
            if (!result)
                FileOperation(atRenameRemoteFile, folder + ext, newFolder + ext, 0, false);
        }
        if (!result)
            FileOperation(atRenameRemoteFolder, folder, newFolder, 0, false);
    }
    DisconnectFromStorage();
    JobStatus.store(jsNone);
    NotifyChanged();
    return result;
}
