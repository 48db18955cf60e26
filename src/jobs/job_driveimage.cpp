// The drive-image job: its defaults and its two job-file layouts.
#include "jobs/jobfilecodec.h"
#include "jobs/jobfileio.h"
#include "jobs/jobicons.h"
#include "jobs/jobkinds.h"

using namespace JobFileCodec;

namespace {
void writeDriveImageSettings(BinaryWriter &w, const TJob_DriveImage &job)
{
    w.writeStringList(job.SourceDrivesList);
    w.writeBool(job.AutocleanOldBackups);
    w.writeString(job.NumberOfBackupVersionsToKeep);
}

void readDriveImageSettings(BinaryReader &r, TJob_DriveImage &job)
{
    job.SourceDrivesList = r.readStringList();
    job.AutocleanOldBackups = r.readBool();
    job.NumberOfBackupVersionsToKeep = r.readString();
}
} // namespace

TJob_DriveImage::TJob_DriveImage(const QString &JobName, QObject *parent) : TJob(JobName, parent)
{
    // The imaging tool cannot be held in the middle of a run.
    CanPause = false;
    SetDerivedFields();
}

void TJob_DriveImage::SetDerivedFields()
{
    NewSubfolderIsCreatedForEachBackup = true;
    bmpIcon = JobIcons::DriveImage;
}

QByteArray TJob_DriveImage::EncodeLocalContent() const
{
    BinaryWriter w;
    WriteHeader(w, kVersionDriveImage, jkDriveImage);
    WriteResultBlock(w, LastJobResult, LogList, BackupHistory);
    writeDriveImageSettings(w, *this);
    WriteDestinationBlock(w, DestinationSettings);
    WriteSchedulingBlock(w, SchedulingSettings);
    return w.data();
}

void TJob_DriveImage::ParseLocalContent(const QByteArray &plain)
{
    BinaryReader r(plain);
    const Header h = ReadHeaderOfKind(r, jkDriveImage);
    ReadResultBlock(r, h.version, LastJobResult, LogList, BackupHistory);
    readDriveImageSettings(r, *this);
    ReadDestinationBlock(r, DestinationSettings);
    ReadSchedulingBlock(r, SchedulingSettings);
}

QByteArray TJob_DriveImage::EncodeRemoteContent() const
{
    BinaryWriter w;
    WriteHeader(w, kVersionDriveImage, jkDriveImage);
    writeDriveImageSettings(w, *this);
    WriteRemoteDestinationBlock(w, DestinationSettings);
    WriteSchedulingBlock(w, SchedulingSettings);
    return w.data();
}

void TJob_DriveImage::ParseRemoteContent(const QByteArray &plain, bool LoadJobSettings, bool *destinationChanged)
{
    if (destinationChanged)
        *destinationChanged = false;
    BinaryReader r(plain);
    const Header h = ReadHeaderOfKind(r, jkDriveImage);
    if (!LoadJobSettings)
        return;
    readDriveImageSettings(r, *this);
    if (h.version < 2)
        UpgradeLegacySourceItems(SourceDrivesList);
    const bool changed = ReadDestinationBlockKeepingActual(r, DestinationSettings);
    if (destinationChanged)
        *destinationChanged = changed;
    ReadSchedulingBlock(r, SchedulingSettings, /*disable=*/true);
    SetDerivedFields();
}

bool TJob_DriveImage::SaveLocalJobFile(const QString &path)
{
    return SaveLocalJobFileContent(*this, path, EncodeLocalContent());
}

bool TJob_DriveImage::LoadLocalJobFile(const QString &path)
{
    const bool ok = LoadLocalJobFileContent(*this, path, [this](const QByteArray &plain) { ParseLocalContent(plain); });
    SetDerivedFields();
    return ok;
}

bool TJob_DriveImage::SaveRemoteJobFile(const QString &path)
{
    return WriteRemoteJobFileContent(path, EncodeRemoteContent());
}

bool TJob_DriveImage::LoadRemoteJobFile(const QString &path, bool LoadJobSettings, bool *destinationChanged)
{
    if (destinationChanged)
        *destinationChanged = false;
    ReadRemoteJobFileContent(
        path, [&](const QByteArray &plain) { ParseRemoteContent(plain, LoadJobSettings, destinationChanged); });
    return true;
}
