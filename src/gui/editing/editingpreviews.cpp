#include "gui/editing/editingpreviews.h"

#include "base/appstate.h"
#include "base/errors.h"
#include "base/paths.h"
#include "engine/files/backupsetlayout.h"
#include "gui/editing/logviewer.h"
#include "gui/editing/restorelist.h"
#include "jobs/jobkinds.h"

#include <QFileInfo>
#include <QListWidget>

std::unique_ptr<TfrmLog> LogViewerPreview(TJob &job, QWidget *parent)
{
    if (job.LogList.isEmpty())
        return nullptr;
    job.OptionsToJobOptions();
    const QString path = job.LogFilePath(job.LogList.last());
    auto viewer = std::make_unique<TfrmLog>(parent);
    if (path.isEmpty() || !viewer->LoadReport(path, true, nullptr))
        return nullptr;
    return viewer;
}

std::unique_ptr<TfrmRestoreList> RestoreListPreview(const TJob_FilesAndFolders &job, QWidget *parent)
{
    const TDestinationSettings &d = job.DestinationSettings;
    if (d.DestinationType != dtLocalOrExternalDrive)
        return nullptr;
    const QString path = JoinPath(JoinPath(d.LocalOrExternalDrive.Disk, d.LocalOrExternalDrive.Subfolder.mid(1)),
                                  job.stJobName + AppState::JobFileExtension());
    if (!QFileInfo(path).isFile())
        return nullptr;
    TJob_FilesAndFolders reader(job.stJobName);
    TBackupSetState state;
    try {
        reader.LoadRemoteBackupList(path, state);
    } catch (const QvError &) {
        return nullptr; // a damaged set simply has no preview
    }
    QStringList names;
    for (int i = 1; i < state.MainBackupList.size(); ++i) // the first line is the set's marker
        names.append(BackupSet::DisplayName(state.MainBackupList.at(i)));
    auto list = std::make_unique<TfrmRestoreList>(parent);
    list->SetPoints(names);
    if (!names.isEmpty())
        list->ListBox1()->setCurrentRow(int(names.size()) - 1);
    return list;
}
