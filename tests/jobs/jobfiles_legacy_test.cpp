// Job files written by older releases load with their documented defaults.
#include "jobtestutil.h"

using namespace JobTestUtil;

namespace {

class LegacyJobFiles : public JobTest {};

// The settings of a files-and-folders job file of any version as the older
// releases wrote them: run A, destination, run B, scheduling.
void PutOldSettings(BinaryWriter &w, qint32 version, const TJob_FilesAndFolders &job,
                    const QStringList &storedSources, bool filterAsBool)
{
    const auto &st = job.Settings;
    w.writeStringList(storedSources);
    if (filterAsBool)
        w.writeBool(st.Sources.FilterType == ftIncludeOnly);
    else
        w.writeByte(st.Sources.FilterType);
    w.writeString(st.Sources.Extensions);
    if (version < 2) {
        w.writeStringList({QStringLiteral("obsolete"), QStringLiteral("fields")});
        w.writeByte(1);
        w.writeString(QStringLiteral("obsolete string"));
    }
    PutDestination(w, job.DestinationSettings);
    w.writeInt32(st.Backup.BackupType);
    w.writeInt32(st.Backup.PerformFullBackup_Condition);
    w.writeInt32(st.Backup.PerformFullBackup_EveryCopies);
    w.writeInt32(st.Backup.PerformFullBackup_SumExceedsPercentOfFullBackup);
    w.writeInt32(st.Backup.NumberFullCopiesToKeep);
    if (version >= 5)
        w.writeBool(st.Backup.RemoveOldBackupsBeforeStartingNewBackup);
    w.writeBool(st.Compression.Enabled);
    w.writeBool(st.Compression.ProtectWithPassword);
    w.writeString(st.Compression.Password);
    w.writeInt32(st.Compression.EncryptionMethod);
    w.writeInt32(st.Compression.CompressionLevel);
    w.writeString(st.Compression.NoCompressionExtensions);
    w.writeBool(st.Compression.CreateIndividualZipForEachItem);
    PutScheduling(w, job.SchedulingSettings);
}

void PutOldHeader(BinaryWriter &w, qint32 version, qint32 kind)
{
    w.writeInt32(version);
    if (version > 3)
        w.writeInt32(kind);
}

QByteArray OldFilesAndFoldersLocal(qint32 version, const TJob_FilesAndFolders &job, const QStringList &storedSources,
                                   bool filterAsBool)
{
    BinaryWriter w;
    PutOldHeader(w, version, 1);
    w.writeDouble(job.LastJobResult.StartTime);
    w.writeDouble(job.LastJobResult.EndTime);
    w.writeBool(job.LastJobResult.Cancelled);
    if (version < 3) {
        w.writeByte(0); // two single bytes instead of the counts
        w.writeByte(0);
    } else {
        w.writeInt32(job.LastJobResult.ErrorsCount);
        w.writeInt32(job.LastJobResult.WarningsCount);
    }
    w.writeStringList(job.LogList);
    w.writeStringList(job.BackupHistory);
    PutOldSettings(w, version, job, storedSources, filterAsBool);
    return w.data();
}

TEST_F(LegacyJobFiles, FilesAndFoldersVersionsLoadWithTheirDefaults)
{
    TJob_FilesAndFolders sample(QStringLiteral("Old"));
    FillFilesAndFolders(sample);
    sample.Settings.Sources.FilterType = ftIncludeOnly;
    const QStringList sources = sample.Settings.Sources.List;

    struct Case {
        qint32 version;
        bool removeOld;      // RemoveOldBackupsBeforeStartingNewBackup as read
        qint32 counts;       // ErrorsCount and WarningsCount as read
        TJobKind kindOfFile; // what ReadJobKind says
    };
    const Case cases[] = {
        {5, true, sample.LastJobResult.ErrorsCount, jkFilesAndFolders},
        {4, false, sample.LastJobResult.ErrorsCount, jkFilesAndFolders},
        {3, false, sample.LastJobResult.ErrorsCount, jkFilesAndFolders},
        {2, false, 1, jkFilesAndFolders},
    };
    const QString path = DataDir() + QStringLiteral("/Old.qvd");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.version);
        WritePlain(path, OldFilesAndFoldersLocal(c.version, sample, sources, c.version < 3));
        EXPECT_EQ(ReadJobKind(path), c.kindOfFile);
        TJob_FilesAndFolders job(QStringLiteral("Old"));
        ASSERT_TRUE(job.LoadLocalJobFile(path));
        EXPECT_TRUE(EventTexts().isEmpty());
        EXPECT_EQ(job.Settings.Backup.RemoveOldBackupsBeforeStartingNewBackup, c.removeOld);
        EXPECT_EQ(job.LastJobResult.ErrorsCount, c.counts);
        EXPECT_EQ(job.LastJobResult.WarningsCount, c.version < 3 ? 1 : sample.LastJobResult.WarningsCount);
        // Everything after the missing fields is still in place.
        EXPECT_EQ(job.Settings.Sources, sample.Settings.Sources);
        EXPECT_EQ(job.Settings.Compression, sample.Settings.Compression);
        EXPECT_EQ(job.DestinationSettings, sample.DestinationSettings);
        EXPECT_EQ(job.SchedulingSettings, sample.SchedulingSettings);
        EXPECT_EQ(job.LogList, sample.LogList);
        EXPECT_EQ(job.BackupHistory, sample.BackupHistory);
        // Saving writes the current version.
        ASSERT_TRUE(job.SaveLocalJobFile(path));
        EXPECT_EQ(ReadPlain(path).left(8), QByteArray::fromHex("0500000001000000"));
    }
}

TEST_F(LegacyJobFiles, BeforeVersionThreeFilterTypeIsABool)
{
    TJob_FilesAndFolders sample(QStringLiteral("F"));
    const QString path = DataDir() + QStringLiteral("/F.qvd");
    for (TFilterType stored : {ftIncludeOnly, ftNoFilters}) {
        sample.Settings.Sources.FilterType = stored;
        WritePlain(path, OldFilesAndFoldersLocal(2, sample, {}, /*filterAsBool=*/true));
        TJob_FilesAndFolders job(QStringLiteral("F"));
        ASSERT_TRUE(job.LoadLocalJobFile(path));
        EXPECT_EQ(job.Settings.Sources.FilterType, stored);
    }
}

TEST_F(LegacyJobFiles, VersionOneSourceItemsAndObsoleteFields)
{
    TJob_FilesAndFolders sample(QStringLiteral("V1"));
    FillFilesAndFolders(sample);
    sample.Settings.Sources.FilterType = ftNoFilters;
    const QStringList stored = {QStringLiteral("/home/u/Documents"), QStringLiteral("/home/u/"),
                                QStringLiteral("/"), QStringLiteral("/home/u/notes.txt"),
                                QStringLiteral("/home/u/Music/*")};
    const QStringList expected = {QStringLiteral("/home/u/Documents/*"), QStringLiteral("/home/u/*"),
                                  QStringLiteral("/*"), QStringLiteral("/home/u/notes.txt"),
                                  QStringLiteral("/home/u/Music/*")};
    const QString path = DataDir() + QStringLiteral("/V1.qvd");
    WritePlain(path, OldFilesAndFoldersLocal(1, sample, stored, true));
    TJob_FilesAndFolders job(QStringLiteral("V1"));
    ASSERT_TRUE(job.LoadLocalJobFile(path));
    EXPECT_EQ(job.Settings.Sources.List, expected);
    EXPECT_EQ(job.Settings.Sources.Extensions, sample.Settings.Sources.Extensions);
    EXPECT_EQ(job.DestinationSettings, sample.DestinationSettings); // the skipped fields were skipped exactly
    EXPECT_EQ(job.Settings.Compression, sample.Settings.Compression);
    EXPECT_EQ(job.SchedulingSettings, sample.SchedulingSettings);
    EXPECT_EQ(job.LastJobResult.ErrorsCount, 1);
}

TEST_F(LegacyJobFiles, OldRemoteFilesOfEveryKind)
{
    // Files and folders, version 4 remote: no RemoveOld byte, state still delivered.
    TJob_FilesAndFolders sample(QStringLiteral("R"));
    FillFilesAndFolders(sample);
    const TBackupSetState state = SampleState();
    BinaryWriter w;
    PutOldHeader(w, 4, 1);
    w.writeStringList(state.MainBackupList);
    w.writeStringList(state.PreviousLocalFilesList);
    w.writeStringList(state.PreviousLocalFilesTimeList);
    w.writeStringList(state.PreviousLocalDirsList);
    w.writeInt64(state.SizeOfLastFullBackup);
    w.writeInt64(state.SizeOfAllIncrementsOrLastDifferentialCopy);
    PutOldSettings(w, 4, sample, sample.Settings.Sources.List, false);
    const QByteArray remote = w.data();
    TJob_FilesAndFolders job(QStringLiteral("R"));
    job.DestinationSettings = sample.DestinationSettings;
    TBackupSetState read;
    job.ParseRemoteContent(remote, true, read);
    EXPECT_EQ(read, state);
    EXPECT_FALSE(job.Settings.Backup.RemoveOldBackupsBeforeStartingNewBackup);
    EXPECT_EQ(job.Settings.Compression, sample.Settings.Compression);
    EXPECT_EQ(job.SchedulingSettings.TimeTable, sample.SchedulingSettings.TimeTable);

    // Drive image, version 1 remote: no kind field, drive items get their suffix.
    BinaryWriter d;
    d.writeInt32(1);
    d.writeStringList({QStringLiteral("/"), QStringLiteral("/mnt/data")});
    d.writeBool(true);
    d.writeString(QStringLiteral("5"));
    PutDestination(d, sample.DestinationSettings);
    PutScheduling(d, sample.SchedulingSettings);
    TJob_DriveImage image(QStringLiteral("R"));
    image.DestinationSettings = sample.DestinationSettings;
    image.ParseRemoteContent(d.data(), true);
    EXPECT_EQ(image.SourceDrivesList, (QStringList{QStringLiteral("/*"), QStringLiteral("/mnt/data/*")}));
    EXPECT_TRUE(image.AutocleanOldBackups);
    EXPECT_EQ(image.NumberOfBackupVersionsToKeep, QStringLiteral("5"));

    // Application data, version 3 local: no kind field, everything else in place.
    TJob_AppsData apps(QStringLiteral("A"));
    FillAppsData(apps);
    BinaryWriter a;
    a.writeInt32(3);
    PutResult(a, apps);
    a.writeStringList(apps.AppNames);
    PutDestination(a, apps.DestinationSettings);
    PutScheduling(a, apps.SchedulingSettings);
    TJob_AppsData loaded(QStringLiteral("A"));
    loaded.ParseLocalContent(a.data());
    EXPECT_EQ(loaded.AppNames, apps.AppNames);
    EXPECT_EQ(loaded.SchedulingSettings, apps.SchedulingSettings);
}

} // namespace
