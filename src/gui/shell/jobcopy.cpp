#include "gui/shell/jobcopy.h"

#include "jobs/jobkinds.h"

void TakeJobSettings(TJob &to, const TJob &from)
{
    to.DestinationSettings = from.DestinationSettings;
    to.SchedulingSettings = from.SchedulingSettings;
    if (auto *t = qobject_cast<TJob_FilesAndFolders *>(&to)) {
        if (auto *f = qobject_cast<const TJob_FilesAndFolders *>(&from))
            t->Settings = f->Settings;
    } else if (auto *t = qobject_cast<TJob_DriveImage *>(&to)) {
        if (auto *f = qobject_cast<const TJob_DriveImage *>(&from)) {
            t->SourceDrivesList = f->SourceDrivesList;
            t->AutocleanOldBackups = f->AutocleanOldBackups;
            t->NumberOfBackupVersionsToKeep = f->NumberOfBackupVersionsToKeep;
        }
    } else if (auto *t = qobject_cast<TJob_AppsData *>(&to)) {
        if (auto *f = qobject_cast<const TJob_AppsData *>(&from))
            t->AppNames = f->AppNames;
    }
    to.SetDerivedFields();
}

std::unique_ptr<TJob> DuplicateJob(const TJob &source, const QString &name)
{
    std::unique_ptr<TJob> job = CreateJobOfKind(source.Kind(), name);
    if (job)
        TakeJobSettings(*job, source);
    return job;
}
