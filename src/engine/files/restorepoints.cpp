#include "engine/files/restorepoints.h"

#include "base/appstate.h"
#include "base/datetime.h"
#include "base/errors.h"
#include "base/events.h"
#include "base/paths.h"
#include "engine/files/backupsetlayout.h"
#include "engine/files/enginetext.h"
#include "engine/files/jobworker.h"
#include "jobs/jobkinds.h"

#include <QDir>
#include <QFileInfo>

bool BeginRestore(TJob_FilesAndFolders &job)
{
    if (IsActiveStatus(job.JobStatus.load()) || JobWorker::IsRunning(job))
        return false;
    job.JobStatus.store(jsRunning);
    job.JobOperation.store(joReadRestorePoints);
    job.CurrentFileOperationType.store(atNone);
    job.SetCurrentFileOperationPath(QString());
    job.OptionsToJobOptions();
    job.NotifyChanged();
    return true;
}

void AbandonRestore(TJob_FilesAndFolders &job)
{
    job.JobStatus.store(jsNone);
    job.NotifyChanged();
}

RestorePointList ReadRestorePoints(TJob_FilesAndFolders &job)
{
    const auto T = [&job](const QString &text) { return job.JobTranslate(text); };
    RestorePointList out;
    // 4.
    job.LastJobResult.Cancelled = false;
    job.ClearRunLog();

    // 5.
    QString root;
    job.ConnectToStorage(root);
    const QString errorPrefix = T(QStringLiteral("ERROR:"));
    if (root.isEmpty() || root.startsWith(errorPrefix)) {
        job.JobStatus.store(jsNone);
        job.NotifyChanged();
        out.error = T(QStringLiteral("Unable to connect to the backup storage.")) + QStringLiteral("\r\n")
                    + (root.startsWith(errorPrefix) ? root.mid(errorPrefix.size()).trimmed() : root);
        return out;
    }

    // 6.
    const QString temp = job.TempFolderPath();
    if (!temp.isEmpty())
        QDir().mkpath(ToLongPath(temp));
    job.AddToLog(T(QStringLiteral("Reading the list of restore points.")));
    const bool jobFile = !temp.isEmpty()
                         && job.FileOperation(atCopyFromRemoteToLocalFile, job.TempJobFilePath(),
                                              root + AppState::JobFileExtension(), 0, true)
                                == orSuccess;
    // A flag that is there but cannot be read still tells of an unfinished run.
    const bool startFlag = !temp.isEmpty()
                           && (job.FileOperation(atCopyFromRemoteToLocalFile, JoinPath(temp, BackupSet::StartFlagFile),
                                                 JoinPath(root, BackupSet::StartFlagFile), 0, false)
                                   == orSuccess
                               || !job.LastFileOperationOutcome().entryMissing);
    job.DisconnectFromStorage();
    job.CurrentFileOperationType.store(atNone);

    // 7.
    const auto fail = [&](const QString &error) {
        out.error = error;
        job.DeleteTempFiles();
        job.JobStatus.store(jsNone);
        job.NotifyChanged();
        return out;
    };
    if (!jobFile)
        return fail(FillPercentS(T(QStringLiteral("Unable to copy the job file \"%s\" from the backup directory.")),
                                  {job.stJobName + AppState::JobFileExtension()}));

    // 8.
    TBackupSetState state;
    try {
        job.LoadRemoteBackupList(job.TempJobFilePath(), state);
    } catch (const QvError &e) {
        job.AddErrorToLog(e.message());
        return fail(e.message());
    }
    QStringList main = std::move(state.MainBackupList);
    if (!main.isEmpty()) {
        if (const std::optional<TBackupType> type = BackupSet::TypeOfMarker(main.first())) {
            job.Settings.Backup.BackupType = *type;
            job.SetDerivedFields();
        }
    }
    const bool sync = job.Settings.Backup.BackupType == btSynchronization;

    // 9.
    if (startFlag && sync) {
        job.JobStatus.store(jsCancelling);
        const QString message = FillPercentS(
            T(QStringLiteral("Last backup job was cancelled, so %s is not able to restore your files. Please copy the "
                             "backup folder \"%s\" from the storage manually.")),
            {QString::fromLatin1(AppState::ApplicationTitle), job.stJobName});
        job.AddErrorToLog(message);
        out.error = message;
        CancelRestore(job);
        return out;
    }

    // 10.
    if (!main.isEmpty())
        main.removeFirst();
    out.synchronization = sync;
    if (!sync) {
        for (const QString &name : std::as_const(main)) {
            RestorePoint p;
            p.folderName = name;
            p.displayName = BackupSet::DisplayName(name);
            p.needsPassword = BackupSet::NameNeedsPassword(name);
            out.points.append(p);
        }
        job.AddToLog(T(QStringLiteral("Choosing the restore point.")));
    }
    out.ok = true;
    return out;
}

void CancelRestore(TJob_FilesAndFolders &job)
{
    // 11., cancelled.
    job.JobStatus.store(jsNone);
    job.DeleteTempFiles();
    job.AddToLog(job.JobTranslate(QStringLiteral("Restore is cancelled.")));
    AddEvent(FillPercentS(job.TranslateForEvent(QStringLiteral("\"%s\" restore is cancelled.")), {job.stJobName}));
    job.AddEventtoBackupHistory(job.JobTranslate(QStringLiteral("Restore is cancelled.")), false);
    job.LastJobResult.Cancelled = true;
    job.LastJobResult.EndTime = Clock::NowAsDouble();
    if (!AppState::ApplicationClosing)
        job.SaveLocalJobFile(job.LocalJobFilePath());
    job.NotifyChanged();
}
