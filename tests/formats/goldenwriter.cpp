// Writes the golden files of tests/fixtures/golden (see the README there):
//
//   build/tests/qv_golden_writer tests/fixtures/golden
//
// The files of the current format versions come from the program's own
// writers; those of older versions are crafted field by field as the
// releases of those versions wrote them, following the readers' rules for
// each version. The files are committed: run this only to add the files of
// a new format version, never to make a failing golden test pass.
#include "goldenvalues.h"

#include "options/options.h"
#include "base/binarycodec.h"
#include "base/scrambledfile.h"
#include "base/textfile.h"
#include "engine/files/tempfiles.h"
#include "jobs/jobfilecodec.h"
#include "jobs/jobslist.h"
#include "platform/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <functional>

namespace {

QString g_root;
int g_failures = 0;

QString Path(const QString &relative)
{
    return g_root + QLatin1Char('/') + relative;
}

void Report(bool ok, const QString &relative)
{
    QTextStream(ok ? stdout : stderr) << (ok ? "wrote " : "cannot write ") << relative << '\n';
    if (!ok)
        ++g_failures;
}

void WriteScrambled(const QString &relative, const QByteArray &plain)
{
    Report(ScrambledFile::Write(Path(relative), plain), relative);
}

void WriteRaw(const QString &relative, const QByteArray &bytes)
{
    QFile f(Path(relative));
    Report(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size(), relative);
}

// --- options of older versions ---

QByteArray OldOptions(qint32 version)
{
    const TOptions o = Golden::Options();
    BinaryWriter w;
    w.writeInt32(version);
    w.writeString(o.Language.LanguageOfInterface);
    w.writeBool(o.General.RunProgramAtLogon);
    w.writeBool(o.General.ProtectConfigurationbyPassword);
    if (version >= 8)
        w.writeBool(o.General.BlockSleepModeifJobIsScheduled);
    w.writeString(o.General.strProtectConfiguration_Password);
    w.writeInt32(o.General.ProcessPriority);
    w.writeString(o.General.PathForTempFiles);
    w.writeInt32(o.Logging.MaxNumberOfLogsForEachJob);
    w.writeInt32(o.Logging.MaxNumberOfLinesInHistory);
    w.writeInt32(o.Logging.MaxNumberOfLinesInEventsLog);
    w.writeBool(o.Logging.DontLogCopyingInternalFiles);
    w.writeString(o.Logging.PathForLogFiles);
    w.writeBool(o.Processing.RunOnlyOneJobAtATime);
    w.writeInt32(o.Processing.IfDestinationNotAvailable_Retry_Times);
    w.writeInt32(o.Processing.IfDestinationNotAvailable_Wait_Sec);
    if (version >= 6)
        w.writeInt32(o.Processing.IfDestinationNotAvailable_Then);
    if (version >= 7)
        w.writeBool(o.Processing.RemovePreviousBackupIfCancelled);
    w.writeBool(o.Processing.PreventOtherAppsFromWritingDuringZipping);
    w.writeBool(o.Processing.DontUseBufferingForCopyOperations);
    w.writeBool(o.Processing.SkipHiddenSystemFiles);
    if (version >= 3)
        w.writeBool(o.Processing.SkipLockedFiles);
    if (version >= 5)
        w.writeStringList(o.ExcludedDirs);
    w.writeBool(o.Email.SendEmailNotificationWhenFinishedBackup);
    w.writeBool(o.Email.SendOnlyIfJobIscancelledDueToErrors);
    w.writeString(o.Email.RecipientEmail);
    w.writeString(o.Email.SMTPHost);
    w.writeString(o.Email.SMTPPort);
    w.writeString(o.Email.Username);
    w.writeString(o.Email.Password);
    w.writeInt32(o.Email.Security);
    if (version >= 4) {
        w.writeInt32(o.Proxy.PrType);
        w.writeBool(o.Proxy.Enabled);
    } else {
        // No proxy was 0, a proxy its type plus one.
        w.writeInt32(o.Proxy.Enabled ? o.Proxy.PrType + 1 : 0);
    }
    w.writeString(o.Proxy.Host);
    w.writeString(o.Proxy.Port);
    w.writeString(o.Proxy.Username);
    w.writeString(o.Proxy.Password);
    w.writeInt32(o.LastFTPAccountID);
    w.writeInt32(qint32(o.FTPAccounts.size()));
    for (const TFTPAccount &a : o.FTPAccounts) {
        w.writeString(a.AccName);
        w.writeInt32(a.ID);
        w.writeString(a.Host);
        w.writeString(a.Username);
        w.writeString(a.Password);
        w.writeInt32(a.Port);
        w.writeBool(a.PassiveMode);
        w.writeBool(a.FTPS);
    }
    return w.data();
}

// --- job files of older versions ---

void OldHeader(BinaryWriter &w, qint32 version, TJobKind kind)
{
    w.writeInt32(version);
    if (version > 3) // the kind field came with version 4
        w.writeInt32(kind);
}

void OldResult(BinaryWriter &w, qint32 version, const TJob &job)
{
    w.writeDateTime(job.LastJobResult.StartTime);
    w.writeDateTime(job.LastJobResult.EndTime);
    w.writeBool(job.LastJobResult.Cancelled);
    if (version < 3) {
        // Before version 3 the counts were single bytes.
        w.writeByte(quint8(job.LastJobResult.ErrorsCount));
        w.writeByte(quint8(job.LastJobResult.WarningsCount));
    } else {
        w.writeInt32(job.LastJobResult.ErrorsCount);
        w.writeInt32(job.LastJobResult.WarningsCount);
    }
    w.writeStringList(job.LogList);
    w.writeStringList(job.BackupHistory);
}

void OldSources(BinaryWriter &w, qint32 version, const TSourceSettings &s)
{
    // Before version 2 folders had no "*" suffix.
    w.writeStringList(version < 2 ? Golden::LegacySourceItems() : s.List);
    if (version < 3)
        w.writeBool(true); // "include only"
    else
        w.writeByte(s.FilterType);
    w.writeString(s.Extensions);
    if (version < 2) {
        // Three fields no longer used.
        w.writeStringList({QStringLiteral("*.tmp"), QStringLiteral("*.bak")});
        w.writeByte(1);
        w.writeString(QStringLiteral("unused"));
    }
}

void OldBackupAndCompression(BinaryWriter &w, qint32 version, const TSpecificSettings &s)
{
    w.writeEnum(s.Backup.BackupType);
    w.writeEnum(s.Backup.PerformFullBackup_Condition);
    w.writeInt32(s.Backup.PerformFullBackup_EveryCopies);
    w.writeInt32(s.Backup.PerformFullBackup_SumExceedsPercentOfFullBackup);
    w.writeInt32(s.Backup.NumberFullCopiesToKeep);
    if (version >= 5)
        w.writeBool(s.Backup.RemoveOldBackupsBeforeStartingNewBackup);
    w.writeBool(s.Compression.Enabled);
    w.writeBool(s.Compression.ProtectWithPassword);
    w.writeString(s.Compression.Password);
    w.writeEnum(s.Compression.EncryptionMethod);
    w.writeEnum(s.Compression.CompressionLevel);
    w.writeString(s.Compression.NoCompressionExtensions);
    w.writeBool(s.Compression.CreateIndividualZipForEachItem);
}

QByteArray OldFilesLocal(qint32 version)
{
    const auto job = Golden::FilesJob();
    BinaryWriter w;
    OldHeader(w, version, jkFilesAndFolders);
    OldResult(w, version, *job);
    OldSources(w, version, job->Settings.Sources);
    JobFileCodec::WriteDestinationBlock(w, job->DestinationSettings);
    OldBackupAndCompression(w, version, job->Settings);
    JobFileCodec::WriteSchedulingBlock(w, job->SchedulingSettings);
    return w.data();
}

QByteArray OldFilesRemote(qint32 version)
{
    const auto stored = Golden::RemoteJob(jkFilesAndFolders);
    const auto &job = static_cast<const TJob_FilesAndFolders &>(*stored);
    const TBackupSetState state = Golden::State();
    BinaryWriter w;
    OldHeader(w, version, jkFilesAndFolders);
    w.writeStringList(state.MainBackupList);
    w.writeStringList(state.PreviousLocalFilesList);
    w.writeStringList(state.PreviousLocalFilesTimeList);
    w.writeStringList(state.PreviousLocalDirsList);
    w.writeInt64(state.SizeOfLastFullBackup);
    w.writeInt64(state.SizeOfAllIncrementsOrLastDifferentialCopy);
    OldSources(w, version, job.Settings.Sources);
    JobFileCodec::WriteDestinationBlock(w, job.DestinationSettings);
    OldBackupAndCompression(w, version, job.Settings);
    JobFileCodec::WriteSchedulingBlock(w, job.SchedulingSettings);
    return w.data();
}

void OldDriveSettings(BinaryWriter &w, const TJob_DriveImage &job, bool legacyItems)
{
    w.writeStringList(legacyItems ? Golden::LegacyDriveItems() : job.SourceDrivesList);
    w.writeBool(job.AutocleanOldBackups);
    w.writeString(job.NumberOfBackupVersionsToKeep);
}

QByteArray OldDriveLocal(qint32 version)
{
    const auto job = Golden::DriveImageJob();
    BinaryWriter w;
    OldHeader(w, version, jkDriveImage);
    OldResult(w, version, *job);
    OldDriveSettings(w, *job, false);
    JobFileCodec::WriteDestinationBlock(w, job->DestinationSettings);
    JobFileCodec::WriteSchedulingBlock(w, job->SchedulingSettings);
    return w.data();
}

QByteArray OldDriveRemote(qint32 version)
{
    const auto stored = Golden::RemoteJob(jkDriveImage);
    const auto &job = static_cast<const TJob_DriveImage &>(*stored);
    BinaryWriter w;
    OldHeader(w, version, jkDriveImage);
    // Before version 2 the drives had no "*" suffix in the remote file.
    OldDriveSettings(w, job, version < 2);
    JobFileCodec::WriteDestinationBlock(w, job.DestinationSettings);
    JobFileCodec::WriteSchedulingBlock(w, job.SchedulingSettings);
    return w.data();
}

QByteArray OldAppsLocal(qint32 version)
{
    const auto job = Golden::AppsDataJob();
    BinaryWriter w;
    OldHeader(w, version, jkAppsData);
    OldResult(w, version, *job);
    w.writeStringList(job->AppNames);
    JobFileCodec::WriteDestinationBlock(w, job->DestinationSettings);
    JobFileCodec::WriteSchedulingBlock(w, job->SchedulingSettings);
    return w.data();
}

QByteArray OldAppsRemote(qint32 version)
{
    const auto stored = Golden::RemoteJob(jkAppsData);
    const auto &job = static_cast<const TJob_AppsData &>(*stored);
    const QList<TAppData> entries = Golden::RemoteAppsData();
    BinaryWriter w;
    OldHeader(w, version, jkAppsData);
    w.writeInt32(1);
    w.writeInt32(qint32(entries.size()));
    for (const TAppData &app : entries) {
        w.writeString(app.AppName);
        w.writeString(app.Category);
        w.writeStringList(app.Folders);
        w.writeStringList(app.RegistryPaths);
    }
    w.writeStringList(job.AppNames);
    JobFileCodec::WriteDestinationBlock(w, job.DestinationSettings);
    JobFileCodec::WriteSchedulingBlock(w, job.SchedulingSettings);
    return w.data();
}

// --- the files of the current versions, by the program's writers ---

void WriteCurrentJobFiles()
{
    for (const TJobKind kind : {jkFilesAndFolders, jkDriveImage, jkAppsData}) {
        const int version = Golden::CurrentVersion(kind);
        const QString local = QStringLiteral("local/") + Golden::JobFileName(kind, version, false);
        Report(Golden::Job(kind)->SaveLocalJobFile(Path(local)), local);

        const QString remote = QStringLiteral("remote/") + Golden::JobFileName(kind, version, true);
        const std::unique_ptr<TJob> job = Golden::RemoteJob(kind);
        bool ok = false;
        if (auto *files = qobject_cast<TJob_FilesAndFolders *>(job.get()))
            ok = files->SaveRemoteJobFile(Path(remote), Golden::State());
        else if (auto *image = qobject_cast<TJob_DriveImage *>(job.get()))
            ok = image->SaveRemoteJobFile(Path(remote));
        else if (auto *apps = qobject_cast<TJob_AppsData *>(job.get()))
            ok = apps->SaveRemoteJobFile(Path(remote), Golden::Catalogue());
        Report(ok, remote);
    }
}

void WriteLists()
{
    // The jobs list through the jobs list itself, in a data folder of its own.
    Folders::SetDataFolderOverride(Path(QStringLiteral("lists")));
    JobsList list;
    const QStringList names = Golden::JobsListNames();
    for (qsizetype i = 0; i < names.size(); ++i)
        list.Add(CreateJobOfKind(Golden::JobsListKinds().at(i), names.at(i)));
    Report(list.SaveJobsList(), QStringLiteral("lists/") + JobsList::kFileName);
    // The legacy list as the reader also takes it: no byte-order mark, LF.
    WriteRaw(QStringLiteral("lists/") + JobsList::kLegacyFileName, names.join(QLatin1Char('\n')).toUtf8() + '\n');

    for (const Golden::StateList &l : Golden::StateLists()) {
        const QString relative = QStringLiteral("lists/") + QLatin1String(l.file);
        QString error;
        Report(WriteTempStateList(Path(relative), l.lines, &error), relative);
    }
    // The copied files' list as the reader also takes it: no mark, LF.
    WriteRaw(QStringLiteral("lists/_rf-lf.qvl"), Golden::StateLists().first().lines.join(QLatin1Char('\n')).toUtf8());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: qv_golden_writer <tests/fixtures/golden>\n";
        return 2;
    }
    g_root = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    for (const char *sub : {"options", "local", "remote", "lists", "credentials"})
        QDir().mkpath(Path(QLatin1String(sub)));

    for (qint32 v = 1; v < Golden::kOptionsVersion; ++v)
        WriteScrambled(QStringLiteral("options/options-v%1.qvo").arg(v), OldOptions(v));
    const QString options = QStringLiteral("options/options-v%1.qvo").arg(Golden::kOptionsVersion);
    Report(SaveOptions(Golden::Options(), Path(options)), options);

    WriteCurrentJobFiles();
    for (qint32 v : {1, 2, 3, 4}) {
        WriteScrambled(QStringLiteral("local/") + Golden::JobFileName(jkFilesAndFolders, v, false), OldFilesLocal(v));
        WriteScrambled(QStringLiteral("remote/") + Golden::JobFileName(jkFilesAndFolders, v, true), OldFilesRemote(v));
    }
    for (qint32 v : {2, 3}) {
        WriteScrambled(QStringLiteral("local/") + Golden::JobFileName(jkDriveImage, v, false), OldDriveLocal(v));
        WriteScrambled(QStringLiteral("local/") + Golden::JobFileName(jkAppsData, v, false), OldAppsLocal(v));
    }
    for (qint32 v : {1, 3})
        WriteScrambled(QStringLiteral("remote/") + Golden::JobFileName(jkDriveImage, v, true), OldDriveRemote(v));
    WriteScrambled(QStringLiteral("remote/") + Golden::JobFileName(jkAppsData, 3, true), OldAppsRemote(3));

    WriteLists();

    BinaryWriter credentials;
    for (const QString &s : Golden::CloudCredentials().Strings)
        credentials.writeString(s);
    WriteScrambled(QStringLiteral("credentials/mcs.dt"), credentials.data());

    return g_failures == 0 ? 0 : 1;
}
