#include "goldentest.h"

namespace GoldenTest {

void ExpectSameBytes(const QByteArray &written, const QByteArray &golden)
{
    ASSERT_FALSE(golden.isEmpty()) << "the golden file is missing or empty";
    qsizetype at = 0;
    while (at < written.size() && at < golden.size() && written[at] == golden[at])
        ++at;
    EXPECT_TRUE(at == written.size() && at == golden.size())
        << "written " << written.size() << " bytes, golden " << golden.size() << " bytes, first difference at offset "
        << at;
}

void ExpectSameOptions(const TOptions &a, const TOptions &e)
{
    EXPECT_EQ(a.Language.LanguageOfInterface, e.Language.LanguageOfInterface);
    EXPECT_EQ(a.General.RunProgramAtLogon, e.General.RunProgramAtLogon);
    EXPECT_EQ(a.General.ProtectConfigurationbyPassword, e.General.ProtectConfigurationbyPassword);
    EXPECT_EQ(a.General.BlockSleepModeifJobIsScheduled, e.General.BlockSleepModeifJobIsScheduled);
    EXPECT_EQ(a.General.strProtectConfiguration_Password, e.General.strProtectConfiguration_Password);
    EXPECT_EQ(a.General.ProcessPriority, e.General.ProcessPriority);
    EXPECT_EQ(a.General.PathForTempFiles, e.General.PathForTempFiles);
    EXPECT_EQ(a.Logging.MaxNumberOfLogsForEachJob, e.Logging.MaxNumberOfLogsForEachJob);
    EXPECT_EQ(a.Logging.MaxNumberOfLinesInHistory, e.Logging.MaxNumberOfLinesInHistory);
    EXPECT_EQ(a.Logging.MaxNumberOfLinesInEventsLog, e.Logging.MaxNumberOfLinesInEventsLog);
    EXPECT_EQ(a.Logging.DontLogCopyingInternalFiles, e.Logging.DontLogCopyingInternalFiles);
    EXPECT_EQ(a.Logging.PathForLogFiles, e.Logging.PathForLogFiles);
    EXPECT_EQ(a.Processing.RunOnlyOneJobAtATime, e.Processing.RunOnlyOneJobAtATime);
    EXPECT_EQ(a.Processing.IfDestinationNotAvailable_Retry_Times, e.Processing.IfDestinationNotAvailable_Retry_Times);
    EXPECT_EQ(a.Processing.IfDestinationNotAvailable_Wait_Sec, e.Processing.IfDestinationNotAvailable_Wait_Sec);
    EXPECT_EQ(a.Processing.IfDestinationNotAvailable_Then, e.Processing.IfDestinationNotAvailable_Then);
    EXPECT_EQ(a.Processing.RemovePreviousBackupIfCancelled, e.Processing.RemovePreviousBackupIfCancelled);
    EXPECT_EQ(a.Processing.PreventOtherAppsFromWritingDuringZipping,
              e.Processing.PreventOtherAppsFromWritingDuringZipping);
    EXPECT_EQ(a.Processing.DontUseBufferingForCopyOperations, e.Processing.DontUseBufferingForCopyOperations);
    EXPECT_EQ(a.Processing.SkipHiddenSystemFiles, e.Processing.SkipHiddenSystemFiles);
    EXPECT_EQ(a.Processing.SkipLockedFiles, e.Processing.SkipLockedFiles);
    EXPECT_EQ(a.ExcludedDirs, e.ExcludedDirs);
    EXPECT_EQ(a.Email.SendEmailNotificationWhenFinishedBackup, e.Email.SendEmailNotificationWhenFinishedBackup);
    EXPECT_EQ(a.Email.SendOnlyIfJobIscancelledDueToErrors, e.Email.SendOnlyIfJobIscancelledDueToErrors);
    EXPECT_EQ(a.Email.RecipientEmail, e.Email.RecipientEmail);
    EXPECT_EQ(a.Email.SMTPHost, e.Email.SMTPHost);
    EXPECT_EQ(a.Email.SMTPPort, e.Email.SMTPPort);
    EXPECT_EQ(a.Email.Username, e.Email.Username);
    EXPECT_EQ(a.Email.Password, e.Email.Password);
    EXPECT_EQ(a.Email.Security, e.Email.Security);
    EXPECT_EQ(a.Proxy.Enabled, e.Proxy.Enabled);
    EXPECT_EQ(a.Proxy.PrType, e.Proxy.PrType);
    EXPECT_EQ(a.Proxy.Host, e.Proxy.Host);
    EXPECT_EQ(a.Proxy.Port, e.Proxy.Port);
    EXPECT_EQ(a.Proxy.Username, e.Proxy.Username);
    EXPECT_EQ(a.Proxy.Password, e.Proxy.Password);
    EXPECT_EQ(a.LastFTPAccountID, e.LastFTPAccountID);
    ASSERT_EQ(a.FTPAccounts.size(), e.FTPAccounts.size());
    for (qsizetype i = 0; i < a.FTPAccounts.size(); ++i) {
        SCOPED_TRACE(i);
        const TFTPAccount &x = a.FTPAccounts[i];
        const TFTPAccount &y = e.FTPAccounts[i];
        EXPECT_EQ(x.ID, y.ID);
        EXPECT_EQ(x.AccName, y.AccName);
        EXPECT_EQ(x.Host, y.Host);
        EXPECT_EQ(x.Port, y.Port);
        EXPECT_EQ(x.Username, y.Username);
        EXPECT_EQ(x.Password, y.Password);
        EXPECT_EQ(x.PassiveMode, y.PassiveMode);
        EXPECT_EQ(x.FTPS, y.FTPS);
    }
}

namespace {
void ExpectSameDestination(const TDestinationSettings &a, const TDestinationSettings &e)
{
    EXPECT_EQ(a.DestinationType, e.DestinationType);
    EXPECT_EQ(a.LocalOrExternalDrive.Disk, e.LocalOrExternalDrive.Disk);
    EXPECT_EQ(a.LocalOrExternalDrive.Subfolder, e.LocalOrExternalDrive.Subfolder);
    EXPECT_EQ(a.Network.Username, e.Network.Username);
    EXPECT_EQ(a.Network.Password, e.Network.Password);
    EXPECT_EQ(a.Network.UNCPath, e.Network.UNCPath);
    EXPECT_EQ(a.FTP.AccountID, e.FTP.AccountID);
    EXPECT_EQ(a.FTP.Subfolder, e.FTP.Subfolder);
    EXPECT_EQ(a.Cloud.ServiceName, e.Cloud.ServiceName);
    EXPECT_EQ(a.Cloud.Subfolder, e.Cloud.Subfolder);
}

void ExpectSameScheduling(const TSchedulingSettings &a, const TSchedulingSettings &e)
{
    EXPECT_EQ(a.SchedulingType, e.SchedulingType);
    for (int i = 1; i <= 7; ++i)
        EXPECT_EQ(a.DaysOfWeek[i], e.DaysOfWeek[i]) << "day of week " << i;
    for (int i = 1; i <= 31; ++i)
        EXPECT_EQ(a.DaysOfMonth[i], e.DaysOfMonth[i]) << "day of month " << i;
    EXPECT_EQ(a.TimeTable, e.TimeTable);
    EXPECT_EQ(a.LastModificationDateTime, e.LastModificationDateTime);
    EXPECT_EQ(a.RunJobAsSoonAsPossibleAfterAScheduledStartIsMissed,
              e.RunJobAsSoonAsPossibleAfterAScheduledStartIsMissed);
    EXPECT_EQ(a.ShutdownPCInTheEnd, e.ShutdownPCInTheEnd);
}

void ExpectSameFilesSettings(const TSpecificSettings &a, const TSpecificSettings &e)
{
    EXPECT_EQ(a.Sources.List, e.Sources.List);
    EXPECT_EQ(a.Sources.FilterType, e.Sources.FilterType);
    EXPECT_EQ(a.Sources.Extensions, e.Sources.Extensions);
    EXPECT_EQ(a.Backup.BackupType, e.Backup.BackupType);
    EXPECT_EQ(a.Backup.PerformFullBackup_Condition, e.Backup.PerformFullBackup_Condition);
    EXPECT_EQ(a.Backup.PerformFullBackup_EveryCopies, e.Backup.PerformFullBackup_EveryCopies);
    EXPECT_EQ(a.Backup.PerformFullBackup_SumExceedsPercentOfFullBackup,
              e.Backup.PerformFullBackup_SumExceedsPercentOfFullBackup);
    EXPECT_EQ(a.Backup.NumberFullCopiesToKeep, e.Backup.NumberFullCopiesToKeep);
    EXPECT_EQ(a.Backup.RemoveOldBackupsBeforeStartingNewBackup, e.Backup.RemoveOldBackupsBeforeStartingNewBackup);
    EXPECT_EQ(a.Compression.Enabled, e.Compression.Enabled);
    EXPECT_EQ(a.Compression.ProtectWithPassword, e.Compression.ProtectWithPassword);
    EXPECT_EQ(a.Compression.Password, e.Compression.Password);
    EXPECT_EQ(a.Compression.EncryptionMethod, e.Compression.EncryptionMethod);
    EXPECT_EQ(a.Compression.CompressionLevel, e.Compression.CompressionLevel);
    EXPECT_EQ(a.Compression.NoCompressionExtensions, e.Compression.NoCompressionExtensions);
    EXPECT_EQ(a.Compression.CreateIndividualZipForEachItem, e.Compression.CreateIndividualZipForEachItem);
}

void ExpectSameApps(const QList<TAppData> &a, const QList<TAppData> &e)
{
    ASSERT_EQ(a.size(), e.size());
    for (qsizetype i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a[i].AppName, e[i].AppName);
        EXPECT_EQ(a[i].Category, e[i].Category);
        EXPECT_EQ(a[i].Folders, e[i].Folders);
        EXPECT_EQ(a[i].RegistryPaths, e[i].RegistryPaths);
    }
}
} // namespace

void ExpectSameJob(const TJob &a, const TJob &e)
{
    ASSERT_EQ(a.Kind(), e.Kind());
    EXPECT_EQ(a.stJobName, e.stJobName);
    EXPECT_EQ(a.LastJobResult.StartTime, e.LastJobResult.StartTime);
    EXPECT_EQ(a.LastJobResult.EndTime, e.LastJobResult.EndTime);
    EXPECT_EQ(a.LastJobResult.Cancelled, e.LastJobResult.Cancelled);
    EXPECT_EQ(a.LastJobResult.ErrorsCount, e.LastJobResult.ErrorsCount);
    EXPECT_EQ(a.LastJobResult.WarningsCount, e.LastJobResult.WarningsCount);
    EXPECT_EQ(a.LogList, e.LogList);
    EXPECT_EQ(a.BackupHistory, e.BackupHistory);
    ExpectSameDestination(a.DestinationSettings, e.DestinationSettings);
    ExpectSameScheduling(a.SchedulingSettings, e.SchedulingSettings);
    EXPECT_EQ(a.NewSubfolderIsCreatedForEachBackup, e.NewSubfolderIsCreatedForEachBackup);
    EXPECT_EQ(a.bmpIcon, e.bmpIcon);
    if (const auto *files = qobject_cast<const TJob_FilesAndFolders *>(&a)) {
        ExpectSameFilesSettings(files->Settings, static_cast<const TJob_FilesAndFolders &>(e).Settings);
    } else if (const auto *image = qobject_cast<const TJob_DriveImage *>(&a)) {
        const auto &expected = static_cast<const TJob_DriveImage &>(e);
        EXPECT_EQ(image->SourceDrivesList, expected.SourceDrivesList);
        EXPECT_EQ(image->AutocleanOldBackups, expected.AutocleanOldBackups);
        EXPECT_EQ(image->NumberOfBackupVersionsToKeep, expected.NumberOfBackupVersionsToKeep);
    } else if (const auto *apps = qobject_cast<const TJob_AppsData *>(&a)) {
        const auto &expected = static_cast<const TJob_AppsData &>(e);
        EXPECT_EQ(apps->AppNames, expected.AppNames);
        ExpectSameApps(apps->RemoteAppsData, expected.RemoteAppsData);
    }
}

} // namespace GoldenTest
