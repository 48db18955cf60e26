#include "goldenvalues.h"

namespace Golden {

TOptions Options()
{
    TOptions o;
    o.Language.LanguageOfInterface = QStringLiteral("fr");
    o.General.RunProgramAtLogon = true;
    o.General.ProtectConfigurationbyPassword = true;
    o.General.BlockSleepModeifJobIsScheduled = false;
    o.General.strProtectConfiguration_Password = QStringLiteral("Prögram pass");
    o.General.ProcessPriority = 2;
    o.General.PathForTempFiles = QStringLiteral("/var/tmp/QuorvaneTmp");
    o.Logging.MaxNumberOfLogsForEachJob = 7;
    o.Logging.MaxNumberOfLinesInHistory = 321;
    o.Logging.MaxNumberOfLinesInEventsLog = 45;
    o.Logging.DontLogCopyingInternalFiles = true;
    o.Logging.PathForLogFiles = QStringLiteral("/home/user/Documents/Quorvane logs");
    o.Processing.RunOnlyOneJobAtATime = true;
    o.Processing.IfDestinationNotAvailable_Retry_Times = 3;
    o.Processing.IfDestinationNotAvailable_Wait_Sec = 15;
    o.Processing.IfDestinationNotAvailable_Then = 1;
    o.Processing.RemovePreviousBackupIfCancelled = false;
    o.Processing.PreventOtherAppsFromWritingDuringZipping = true;
    o.Processing.DontUseBufferingForCopyOperations = false;
    o.Processing.SkipHiddenSystemFiles = true;
    o.Processing.SkipLockedFiles = true;
    o.ExcludedDirs = {QStringLiteral("/proc"), QStringLiteral("%anypath%/lost+found"), QString(),
                      QStringLiteral("/home/user/.cache")};
    o.Email.SendEmailNotificationWhenFinishedBackup = true;
    o.Email.SendOnlyIfJobIscancelledDueToErrors = false;
    o.Email.RecipientEmail = QStringLiteral("me@example.org");
    o.Email.SMTPHost = QStringLiteral("smtp.example.org");
    o.Email.SMTPPort = QStringLiteral("587");
    o.Email.Username = QStringLiteral("mailer");
    o.Email.Password = QStringLiteral("mail-secret");
    o.Email.Security = 2;
    o.Proxy.PrType = 1;
    o.Proxy.Enabled = true;
    o.Proxy.Host = QStringLiteral("proxy.example.org");
    o.Proxy.Port = QStringLiteral("1080");
    o.Proxy.Username = QStringLiteral("proxy-user");
    o.Proxy.Password = QStringLiteral("proxy-secret");
    o.LastFTPAccountID = 9;
    o.FTPAccounts = {
        {4, QStringLiteral("Home NAS"), QStringLiteral("nas.local"), 2121, QStringLiteral("bob"),
         QStringLiteral("ftp-secret"), false, true},
        {9, QStringLiteral("Office"), QStringLiteral("ftp.example.org"), 21, QStringLiteral("alice"), QString(), true,
         false},
    };
    return o;
}

TOptions OptionsAsReadFrom(int version)
{
    TOptions o = Options();
    if (version < 8)
        o.General.BlockSleepModeifJobIsScheduled = true;
    if (version < 7)
        o.Processing.RemovePreviousBackupIfCancelled = true;
    if (version < 6)
        o.Processing.IfDestinationNotAvailable_Then = 0;
    if (version < 5)
        o.ExcludedDirs.clear();
    if (version < 3)
        o.Processing.SkipLockedFiles = false;
    return o;
}

namespace {
// 2024-05-01 14:30:00 and 14:31:15 as the files store them (days since 1899-12-30).
constexpr double kStart = 45413.604166666664;
constexpr double kEnd = 45413.605034722222;
constexpr double kModified = 45398.375;

void FillCommon(TJob &job)
{
    job.LastJobResult.StartTime = kStart;
    job.LastJobResult.EndTime = kEnd;
    job.LastJobResult.Cancelled = true;
    job.LastJobResult.ErrorsCount = 2;
    job.LastJobResult.WarningsCount = 5;
    job.LogList = {QStringLiteral("2024-04-30 09;00;00"), QStringLiteral("2024-05-01 14;30;00")};
    job.BackupHistory = {QStringLiteral("30.04.2024 09:00:00 - 30.04.2024 09:02:10 Backup is finished."),
                         QStringLiteral("01.05.2024 14:30:00 - 01.05.2024 14:31:15 Job is cancelled.")};

    TDestinationSettings &d = job.DestinationSettings;
    d.DestinationType = dtNetwork;
    d.LocalOrExternalDrive.Disk = QStringLiteral("/media/user/Backup Disk");
    d.LocalOrExternalDrive.Subfolder = QStringLiteral("/daily");
    d.Network.Username = QStringLiteral("WORKGROUP\\backup");
    d.Network.Password = QStringLiteral("share-secret");
    d.Network.UNCPath = QStringLiteral("//nas.local/backups/Quorvane");
    d.FTP.AccountID = 4;
    d.FTP.Subfolder = QStringLiteral("/ftp-folder");
    d.Cloud.ServiceName = QStringLiteral("Google Drive");
    d.Cloud.Subfolder = QStringLiteral("/cloud-folder");

    TSchedulingSettings &s = job.SchedulingSettings;
    s.SchedulingType = stDaysOfWeek;
    s.DaysOfWeek[1] = true; // Monday
    s.DaysOfWeek[3] = true;
    s.DaysOfWeek[7] = true; // Sunday
    s.DaysOfMonth[1] = true;
    s.DaysOfMonth[15] = true;
    s.DaysOfMonth[31] = true;
    s.TimeTable = {QStringLiteral("09:00:00"), QStringLiteral("18:30:00")};
    s.LastModificationDateTime = kModified;
    s.RunJobAsSoonAsPossibleAfterAScheduledStartIsMissed = true;
    s.ShutdownPCInTheEnd = false;
}

void CopyStoredSettings(const TJob &from, TJob &to)
{
    to.DestinationSettings = from.DestinationSettings;
    to.SchedulingSettings = from.SchedulingSettings;
}

void CopyResult(const TJob &from, TJob &to)
{
    to.LastJobResult.StartTime = from.LastJobResult.StartTime;
    to.LastJobResult.EndTime = from.LastJobResult.EndTime;
    to.LastJobResult.Cancelled = from.LastJobResult.Cancelled;
    to.LastJobResult.ErrorsCount = from.LastJobResult.ErrorsCount;
    to.LastJobResult.WarningsCount = from.LastJobResult.WarningsCount;
    to.LogList = from.LogList;
    to.BackupHistory = from.BackupHistory;
}
} // namespace

std::unique_ptr<TJob_FilesAndFolders> FilesJob()
{
    auto job = std::make_unique<TJob_FilesAndFolders>(QStringLiteral("Documents"));
    FillCommon(*job);
    TSpecificSettings &st = job->Settings;
    st.Sources.List = {QStringLiteral("/home/user/Documents/*"), QStringLiteral("/home/user/Pictures/*"),
                       QStringLiteral("/home/user/notes.txt")};
    st.Sources.FilterType = ftExclude;
    st.Sources.Extensions = QStringLiteral("tmp;bak");
    st.Backup.BackupType = btDifferential;
    st.Backup.PerformFullBackup_Condition = bcSumExceedsPercentOfFullBackup;
    st.Backup.PerformFullBackup_EveryCopies = 4;
    st.Backup.PerformFullBackup_SumExceedsPercentOfFullBackup = 60;
    st.Backup.NumberFullCopiesToKeep = 3;
    st.Backup.RemoveOldBackupsBeforeStartingNewBackup = true;
    st.Compression.Enabled = true;
    st.Compression.ProtectWithPassword = true;
    st.Compression.Password = QStringLiteral("zip-secret");
    st.Compression.EncryptionMethod = 3;
    st.Compression.CompressionLevel = 2;
    st.Compression.NoCompressionExtensions = QStringLiteral("zip;jpg;mp3");
    st.Compression.CreateIndividualZipForEachItem = false;
    job->SetDerivedFields();
    return job;
}

std::unique_ptr<TJob_DriveImage> DriveImageJob()
{
    auto job = std::make_unique<TJob_DriveImage>(QStringLiteral("Drives"));
    FillCommon(*job);
    job->SourceDrivesList = {QStringLiteral("/*"), QStringLiteral("/mnt/data/*")};
    job->AutocleanOldBackups = true;
    job->NumberOfBackupVersionsToKeep = QStringLiteral("6");
    job->SetDerivedFields();
    return job;
}

std::unique_ptr<TJob_AppsData> AppsDataJob()
{
    auto job = std::make_unique<TJob_AppsData>(QStringLiteral("Réglages"));
    FillCommon(*job);
    job->AppNames = {QStringLiteral("Text Editor"), QStringLiteral("Mail Client"), QStringLiteral("Old Game")};
    job->SetDerivedFields();
    return job;
}

std::unique_ptr<TJob> Job(TJobKind kind)
{
    switch (kind) {
    case jkFilesAndFolders:
        return FilesJob();
    case jkDriveImage:
        return DriveImageJob();
    case jkAppsData:
        return AppsDataJob();
    case jkUnknown:
        break;
    }
    return nullptr;
}

int CurrentVersion(TJobKind kind)
{
    return kind == jkFilesAndFolders ? 5 : 4;
}

QString JobFileName(TJobKind kind, int version, bool remote)
{
    const char *name = kind == jkFilesAndFolders ? "filesandfolders" : kind == jkDriveImage ? "driveimage" : "appsdata";
    return QStringLiteral("%1-v%2%3").arg(QLatin1String(name)).arg(version).arg(remote ? QStringLiteral(".qvj")
                                                                                          : QStringLiteral(".qvd"));
}

std::unique_ptr<TJob> RemoteJob(TJobKind kind)
{
    std::unique_ptr<TJob> job = Job(kind);
    job->DestinationSettings.Network.Password.clear();
    if (auto *files = qobject_cast<TJob_FilesAndFolders *>(job.get()))
        files->Settings.Compression.Password.clear();
    return job;
}

TBackupSetState State()
{
    TBackupSetState s;
    s.MainBackupList = {QStringLiteral("Differential)"), QStringLiteral("2024-04-30 09;00;00 (ZIP , Full)"),
                        QStringLiteral("2024-05-01 14;30;00 (ZIP , Differential)")};
    s.PreviousLocalFilesList = {QStringLiteral("Documents/letters/first.txt"), QStringLiteral("Documents/Résumé.odt"),
                                QStringLiteral("Pictures/holiday.jpg"), QStringLiteral("notes.txt")};
    s.PreviousLocalFilesTimeList = {QStringLiteral("2024-04-29 10:15:00:000"), QStringLiteral("2024-04-29 10:15:00:000"),
                                    QStringLiteral("2023-08-14 18:02:33:120"), QStringLiteral("2024-05-01 08:00:59:999")};
    s.PreviousLocalDirsList = {QStringLiteral("Documents"), QStringLiteral("Documents/letters"),
                               QStringLiteral("Pictures")};
    s.SizeOfLastFullBackup = 123456789012;
    s.SizeOfAllIncrementsOrLastDifferentialCopy = 4567;
    return s;
}

QList<TAppData> Catalogue()
{
    return {
        {QStringLiteral("Mail Client"), QStringLiteral("Internet"), {QStringLiteral("%HOME%/.mailclient")}, {}},
        {QStringLiteral("Photo Viewer"), QStringLiteral("Graphics"), {QStringLiteral("%HOME%/.config/photoviewer")},
         {QStringLiteral("HKEY_CURRENT_USER\\org\\example\\photoviewer")}},
        {QStringLiteral("Text Editor"), QStringLiteral("Office"),
         {QStringLiteral("%HOME%/.config/texteditor"), QStringLiteral("%HOME%/.local/share/texteditor")},
         {QStringLiteral("HKEY_CURRENT_USER\\org\\example\\texteditor")}},
    };
}

QList<TAppData> RemoteAppsData()
{
    // The entries of the job's names that the catalogue has, in catalogue order.
    const QList<TAppData> all = Catalogue();
    return {all[0], all[2]};
}

std::unique_ptr<TJob> JobAsReadFrom(TJobKind kind, int version, bool remote)
{
    const std::unique_ptr<TJob> stored = remote ? RemoteJob(kind) : Job(kind);
    std::unique_ptr<TJob> job = CreateJobOfKind(kind, stored->stJobName);
    CopyStoredSettings(*stored, *job);
    if (remote) {
        // A job rebuilt from its destination is not scheduled.
        job->SchedulingSettings.SchedulingType = stDisabled;
    } else {
        CopyResult(*stored, *job);
        if (version < 3) {
            job->LastJobResult.ErrorsCount = 1;
            job->LastJobResult.WarningsCount = 1;
        }
    }
    if (auto *files = qobject_cast<TJob_FilesAndFolders *>(job.get())) {
        files->Settings = static_cast<const TJob_FilesAndFolders &>(*stored).Settings;
        if (version < 5)
            files->Settings.Backup.RemoveOldBackupsBeforeStartingNewBackup = false;
        // The older files stored "include only" as a bool, written true.
        if (version < 3)
            files->Settings.Sources.FilterType = ftIncludeOnly;
    } else if (auto *image = qobject_cast<TJob_DriveImage *>(job.get())) {
        const auto &from = static_cast<const TJob_DriveImage &>(*stored);
        image->SourceDrivesList = from.SourceDrivesList;
        image->AutocleanOldBackups = from.AutocleanOldBackups;
        image->NumberOfBackupVersionsToKeep = from.NumberOfBackupVersionsToKeep;
    } else if (auto *apps = qobject_cast<TJob_AppsData *>(job.get())) {
        apps->AppNames = static_cast<const TJob_AppsData &>(*stored).AppNames;
        if (remote)
            apps->RemoteAppsData = RemoteAppsData();
    }
    job->SetDerivedFields();
    return job;
}

QStringList LegacySourceItems()
{
    return {QStringLiteral("/home/user/Documents"), QStringLiteral("/home/user/Pictures/"),
            QStringLiteral("/home/user/notes.txt")};
}

QStringList LegacyDriveItems()
{
    return {QStringLiteral("/"), QStringLiteral("/mnt/data")};
}

QStringList JobsListNames()
{
    return {QStringLiteral("Documents"), QStringLiteral("Drives"), QStringLiteral("Réglages")};
}

QList<TJobKind> JobsListKinds()
{
    return {jkFilesAndFolders, jkDriveImage, jkAppsData};
}

QList<StateList> StateLists()
{
    return {
        {"_rf.qvl",
         {QStringLiteral("Documents/letters/first.txt"), QStringLiteral("Documents/Résumé.odt"),
          QStringLiteral("notes.txt")}},
        {"_rd.qvl", {QStringLiteral("Documents"), QStringLiteral("Documents/letters")}},
        {"_rrf.qvl", {QStringLiteral("Pictures/old holiday.jpg")}},
        {"_rrd.qvl", {}},
        {"_startflag.qvl", {QStringLiteral("2024-05-01 14;30;00 (ZIP , Differential)")}},
    };
}

TCloudCredentials CloudCredentials()
{
    TCloudCredentials c;
    c.Strings = {QStringLiteral("dropbox-client-id"),    QStringLiteral("dropbox-client-secret"),
                 QStringLiteral("google-client-id"),     QStringLiteral("google-client-secret"),
                 QStringLiteral("onedrive-client-id"),   QStringLiteral("unused-6"),
                 QStringLiteral("unused-7"),             QStringLiteral("unused-8")};
    return c;
}

} // namespace Golden
