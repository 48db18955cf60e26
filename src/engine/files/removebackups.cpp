#include "engine/files/removebackups.h"

#include "base/appstate.h"
#include "base/events.h"
#include "engine/files/jobworker.h"
#include "jobs/jobkinds.h"

bool Remove(TJob_FilesAndFolders &job)
{
    if (IsActiveStatus(job.JobStatus.load()) || JobWorker::IsRunning(job))
        return false;
    job.OptionsToJobOptions();
    job.JobOperation.store(joRemove);
    job.JobStatus.store(jsRunning);
    job.NotifyChanged();
    const auto done = [&job](bool result) {
        job.JobStatus.store(jsNone);
        job.NotifyChanged();
        return result;
    };

    QString root;
    job.ConnectToStorage(root);
    const QString errorPrefix = job.JobTranslate(QStringLiteral("ERROR:"));
    if (root.isEmpty() || root.startsWith(errorPrefix)) {
        AddEvent(root);
        return done(false);
    }
    bool removed =
        job.FileOperation(atRemoveRemoteFile, QString(), root + AppState::JobFileExtension(), 0, true) == orSuccess;
    if (removed)
        removed = job.FileOperation(atRemoveRemoteNotEmptyFolder, QString(), root, 0, true) == orSuccess;
    job.DisconnectFromStorage();
    return done(removed);
}
