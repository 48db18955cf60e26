#pragma once
// Shared fixture and sample data of the job-model tests.
#include "options/options.h"
#include "base/appstate.h"
#include "base/binarycodec.h"
#include "base/datetime.h"
#include "base/events.h"
#include "base/scrambledfile.h"
#include "jobs/jobkinds.h"
#include "platform/folders.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

// Readable failure messages for the Qt strings the tests compare.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace JobTestUtil {

// A private data folder, temp and log roots, the system clock, the default
// job file extension and an empty events queue for every test.
class JobTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QDir().mkpath(DataDir());
        QDir().mkpath(LogRoot());
        QDir().mkpath(TempRoot());
        Folders::SetDataFolderOverride(DataDir());
        Clock::SetOverride({});
        AppState::SetJobFileExtension(QStringLiteral(".qvj"));
        AppState::ApplicationClosing = false;
        Options() = TOptions{};
        Options().Logging.PathForLogFiles = LogRoot();
        Options().General.PathForTempFiles = TempRoot();
        PendingEvents::TakeAll();
    }
    void TearDown() override
    {
        Folders::SetDataFolderOverride(QString());
        Clock::SetOverride({});
        AppState::SetJobFileExtension(QStringLiteral(".qvj"));
        Options() = TOptions{};
    }

    QString Root() const { return m_dir.path(); }
    QString DataDir() const { return m_dir.path() + QStringLiteral("/data"); }
    QString LogRoot() const { return m_dir.path() + QStringLiteral("/logs"); }
    QString TempRoot() const { return m_dir.path() + QStringLiteral("/tmp"); }

    // The queued event texts without their time stamps.
    static QStringList EventTexts()
    {
        QStringList out;
        for (const QString &line : PendingEvents::TakeAll()) {
            const qsizetype at = line.indexOf(QStringLiteral(": "));
            out.append(at < 0 ? line : line.mid(at + 2));
        }
        return out;
    }

    static void FixClock(const QDateTime &now)
    {
        Clock::SetOverride([now] { return now; });
    }

private:
    QTemporaryDir m_dir;
};

inline void WritePlain(const QString &path, const QByteArray &plain)
{
    ASSERT_TRUE(ScrambledFile::Write(path, plain)) << path.toStdString();
}

inline QByteArray ReadPlain(const QString &path)
{
    QByteArray plain;
    EXPECT_EQ(ScrambledFile::Read(path, plain), ScrambledFile::ReadStatus::Ok) << path.toStdString();
    return plain;
}

// Every field of the base job set to a value different from its default,
// with non-ASCII text so that the UTF-16 encoding is exercised.
inline void FillCommon(TJob &job)
{
    job.LastJobResult.StartTime = 45000.25;
    job.LastJobResult.EndTime = 45000.5;
    job.LastJobResult.Cancelled = true;
    job.LastJobResult.ErrorsCount = 3;
    job.LastJobResult.WarningsCount = 7;
    job.LogList = {QStringLiteral("2024-01-02 03;04;05"), QStringLiteral("2024-01-03 03;04;05")};
    job.BackupHistory = {QStringLiteral("02/01/2024 03:04:05: Starting the backup. Grüße"), QString()};
    auto &d = job.DestinationSettings;
    d.DestinationType = dtFTP;
    d.LocalOrExternalDrive.Disk = QStringLiteral("/media/usb");
    d.LocalOrExternalDrive.Subfolder = QStringLiteral("/backups/ß");
    d.Network.Username = QStringLiteral("user");
    d.Network.Password = QStringLiteral("pässword");
    d.Network.UNCPath = QStringLiteral("//server/share/dir");
    d.FTP.AccountID = 42;
    d.FTP.Subfolder = QStringLiteral("/remote");
    d.Cloud.ServiceName = QStringLiteral("Google Drive");
    d.Cloud.Subfolder = QStringLiteral("/cloud/日本");
    auto &s = job.SchedulingSettings;
    s.SchedulingType = stDaysOfMonth;
    s.DaysOfWeek[1] = true;
    s.DaysOfWeek[7] = true;
    s.DaysOfMonth[1] = true;
    s.DaysOfMonth[15] = true;
    s.DaysOfMonth[31] = true;
    s.TimeTable = {QStringLiteral("08:00:00"), QStringLiteral("20:30:15")};
    s.LastModificationDateTime = 44999.75;
    s.RunJobAsSoonAsPossibleAfterAScheduledStartIsMissed = true;
    s.ShutdownPCInTheEnd = true;
}

inline void FillFilesAndFolders(TJob_FilesAndFolders &job)
{
    FillCommon(job);
    auto &st = job.Settings;
    st.Sources.List = {QStringLiteral("/home/u/Documents/*"), QStringLiteral("/home/u/notes.txt"), QStringLiteral("/*")};
    st.Sources.FilterType = ftExclude;
    st.Sources.Extensions = QStringLiteral("tmp;bak");
    st.Backup.BackupType = btDifferential;
    st.Backup.PerformFullBackup_Condition = bcSumExceedsPercentOfFullBackup;
    st.Backup.PerformFullBackup_EveryCopies = 9;
    st.Backup.PerformFullBackup_SumExceedsPercentOfFullBackup = 77;
    st.Backup.NumberFullCopiesToKeep = 4;
    st.Backup.RemoveOldBackupsBeforeStartingNewBackup = true;
    st.Compression.Enabled = true;
    st.Compression.ProtectWithPassword = true;
    st.Compression.Password = QStringLiteral("zip-pw");
    st.Compression.EncryptionMethod = 3;
    st.Compression.CompressionLevel = 2;
    st.Compression.NoCompressionExtensions = QStringLiteral("zip;7z");
    st.Compression.CreateIndividualZipForEachItem = true;
}

inline TBackupSetState SampleState()
{
    TBackupSetState state;
    state.MainBackupList = {QStringLiteral("2024-01-02 03;04;05 (full)"), QStringLiteral("2024-01-03 03;04;05")};
    state.PreviousLocalFilesList = {QStringLiteral("/home/u/a.txt")};
    state.PreviousLocalFilesTimeList = {QStringLiteral("45000.1")};
    state.PreviousLocalDirsList = {};
    state.SizeOfLastFullBackup = 0x123456789LL;
    state.SizeOfAllIncrementsOrLastDifferentialCopy = 987654321LL;
    return state;
}

inline void FillDriveImage(TJob_DriveImage &job)
{
    FillCommon(job);
    job.SourceDrivesList = {QStringLiteral("/"), QStringLiteral("/home")};
    job.AutocleanOldBackups = true;
    job.NumberOfBackupVersionsToKeep = QStringLiteral("12");
}

inline TAppData App(const QString &name)
{
    TAppData a;
    a.AppName = name;
    a.Category = QStringLiteral("Category of ") + name;
    a.Folders = {QStringLiteral("%APPDATA%/") + name};
    a.RegistryPaths = {QStringLiteral("HKEY_CURRENT_USER/Software/") + name};
    return a;
}

inline void FillAppsData(TJob_AppsData &job)
{
    FillCommon(job);
    job.AppNames = {QStringLiteral("Beta"), QStringLiteral("Alpha"), QStringLiteral("Missing")};
}

// --- independent writers of the stored blocks, as the file format states ---

inline void PutResult(BinaryWriter &w, const TJob &job)
{
    w.writeDouble(job.LastJobResult.StartTime);
    w.writeDouble(job.LastJobResult.EndTime);
    w.writeBool(job.LastJobResult.Cancelled);
    w.writeInt32(job.LastJobResult.ErrorsCount);
    w.writeInt32(job.LastJobResult.WarningsCount);
    w.writeStringList(job.LogList);
    w.writeStringList(job.BackupHistory);
}

inline void PutDestination(BinaryWriter &w, const TDestinationSettings &d)
{
    w.writeInt32(d.DestinationType);
    w.writeString(d.LocalOrExternalDrive.Disk);
    w.writeString(d.LocalOrExternalDrive.Subfolder);
    w.writeString(d.Network.Username);
    w.writeString(d.Network.Password);
    w.writeString(d.Network.UNCPath);
    w.writeInt32(d.FTP.AccountID);
    w.writeString(d.FTP.Subfolder);
    w.writeString(d.Cloud.ServiceName);
    w.writeString(d.Cloud.Subfolder);
}

inline void PutScheduling(BinaryWriter &w, const TSchedulingSettings &s)
{
    w.writeInt32(s.SchedulingType);
    for (int i = 1; i <= 7; ++i)
        w.writeBool(s.DaysOfWeek[i]);
    for (int i = 1; i <= 31; ++i)
        w.writeBool(s.DaysOfMonth[i]);
    w.writeStringList(s.TimeTable);
    w.writeDouble(s.LastModificationDateTime);
    w.writeBool(s.RunJobAsSoonAsPossibleAfterAScheduledStartIsMissed);
    w.writeBool(s.ShutdownPCInTheEnd);
}

} // namespace JobTestUtil
