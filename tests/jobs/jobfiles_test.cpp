// The six job-file layouts: exact bytes, round trips and the kind header.
#include "jobtestutil.h"

#include "jobs/jobicons.h"

#include <optional>

using namespace JobTestUtil;

namespace {

class JobFiles : public JobTest {};

void ExpectSameCommon(const TJob &a, const TJob &b)
{
    EXPECT_EQ(a.LastJobResult.StartTime, b.LastJobResult.StartTime);
    EXPECT_EQ(a.LastJobResult.EndTime, b.LastJobResult.EndTime);
    EXPECT_EQ(a.LastJobResult.Cancelled, b.LastJobResult.Cancelled);
    EXPECT_EQ(a.LastJobResult.ErrorsCount, b.LastJobResult.ErrorsCount);
    EXPECT_EQ(a.LastJobResult.WarningsCount, b.LastJobResult.WarningsCount);
    EXPECT_EQ(a.LogList, b.LogList);
    EXPECT_EQ(a.BackupHistory, b.BackupHistory);
    EXPECT_EQ(a.DestinationSettings, b.DestinationSettings);
    EXPECT_EQ(a.SchedulingSettings, b.SchedulingSettings);
}

// --- the exact layouts, written independently from the field tables ---

// A remote job file lies at the destination beside what the passwords open:
// it holds them as empty strings.
TDestinationSettings WithoutNetworkPassword(TDestinationSettings d)
{
    d.Network.Password.clear();
    return d;
}

TEST_F(JobFiles, FilesAndFoldersLayoutsAreExact)
{
    TJob_FilesAndFolders job(QStringLiteral("Docs"));
    FillFilesAndFolders(job);
    const TBackupSetState state = SampleState();
    const auto &st = job.Settings;

    auto putRunA = [&](BinaryWriter &w) {
        w.writeStringList(st.Sources.List);
        w.writeByte(st.Sources.FilterType);
        w.writeString(st.Sources.Extensions);
    };
    auto putRunB = [&](BinaryWriter &w, bool withPassword) {
        w.writeInt32(st.Backup.BackupType);
        w.writeInt32(st.Backup.PerformFullBackup_Condition);
        w.writeInt32(st.Backup.PerformFullBackup_EveryCopies);
        w.writeInt32(st.Backup.PerformFullBackup_SumExceedsPercentOfFullBackup);
        w.writeInt32(st.Backup.NumberFullCopiesToKeep);
        w.writeBool(st.Backup.RemoveOldBackupsBeforeStartingNewBackup);
        w.writeBool(st.Compression.Enabled);
        w.writeBool(st.Compression.ProtectWithPassword);
        w.writeString(withPassword ? st.Compression.Password : QString());
        w.writeInt32(st.Compression.EncryptionMethod);
        w.writeInt32(st.Compression.CompressionLevel);
        w.writeString(st.Compression.NoCompressionExtensions);
        w.writeBool(st.Compression.CreateIndividualZipForEachItem);
    };

    BinaryWriter local;
    local.writeInt32(5);
    local.writeInt32(1);
    PutResult(local, job);
    putRunA(local);
    PutDestination(local, job.DestinationSettings);
    putRunB(local, true);
    PutScheduling(local, job.SchedulingSettings);
    EXPECT_EQ(job.EncodeLocalContent(), local.data());

    BinaryWriter remote;
    remote.writeInt32(5);
    remote.writeInt32(1);
    remote.writeStringList(state.MainBackupList);
    remote.writeStringList(state.PreviousLocalFilesList);
    remote.writeStringList(state.PreviousLocalFilesTimeList);
    remote.writeStringList(state.PreviousLocalDirsList);
    remote.writeInt64(state.SizeOfLastFullBackup);
    remote.writeInt64(state.SizeOfAllIncrementsOrLastDifferentialCopy);
    putRunA(remote);
    PutDestination(remote, WithoutNetworkPassword(job.DestinationSettings));
    putRunB(remote, false);
    PutScheduling(remote, job.SchedulingSettings);
    EXPECT_EQ(job.EncodeRemoteContent(state), remote.data());
}

TEST_F(JobFiles, DriveImageLayoutsAreExact)
{
    TJob_DriveImage job(QStringLiteral("Image"));
    FillDriveImage(job);
    auto putSettings = [&](BinaryWriter &w) {
        w.writeStringList(job.SourceDrivesList);
        w.writeBool(job.AutocleanOldBackups);
        w.writeString(job.NumberOfBackupVersionsToKeep);
    };
    BinaryWriter local;
    local.writeInt32(4);
    local.writeInt32(2);
    PutResult(local, job);
    putSettings(local);
    PutDestination(local, job.DestinationSettings);
    PutScheduling(local, job.SchedulingSettings);
    EXPECT_EQ(job.EncodeLocalContent(), local.data());

    BinaryWriter remote;
    remote.writeInt32(4);
    remote.writeInt32(2);
    putSettings(remote);
    PutDestination(remote, WithoutNetworkPassword(job.DestinationSettings));
    PutScheduling(remote, job.SchedulingSettings);
    EXPECT_EQ(job.EncodeRemoteContent(), remote.data());
}

TEST_F(JobFiles, AppsDataLayoutsAreExactAndFollowTheCatalogueOrder)
{
    TJob_AppsData job(QStringLiteral("Apps"));
    FillAppsData(job); // Beta, Alpha, Missing
    const QList<TAppData> catalogue = {App(QStringLiteral("Alpha")), App(QStringLiteral("Gamma")),
                                       App(QStringLiteral("Beta"))};
    BinaryWriter local;
    local.writeInt32(4);
    local.writeInt32(3);
    PutResult(local, job);
    local.writeStringList(job.AppNames);
    PutDestination(local, job.DestinationSettings);
    PutScheduling(local, job.SchedulingSettings);
    EXPECT_EQ(job.EncodeLocalContent(), local.data());

    BinaryWriter remote;
    remote.writeInt32(4);
    remote.writeInt32(3);
    remote.writeInt32(1);
    remote.writeInt32(2); // Alpha and Beta, in catalogue order; Missing gets no entry
    for (const TAppData &a : {catalogue[0], catalogue[2]}) {
        remote.writeString(a.AppName);
        remote.writeString(a.Category);
        remote.writeStringList(a.Folders);
        remote.writeStringList(a.RegistryPaths);
    }
    remote.writeStringList(job.AppNames);
    PutDestination(remote, WithoutNetworkPassword(job.DestinationSettings));
    PutScheduling(remote, job.SchedulingSettings);
    EXPECT_EQ(job.EncodeRemoteContent(catalogue), remote.data());
}

// --- round trips through the files, byte for byte ---

TEST_F(JobFiles, FilesAndFoldersRoundTripsByteForByte)
{
    for (bool filled : {true, false}) {
        SCOPED_TRACE(filled ? "filled" : "defaults, empty strings and lists");
        TJob_FilesAndFolders a(QStringLiteral("Docs"));
        if (filled)
            FillFilesAndFolders(a);
        else
            a.DestinationSettings.LocalOrExternalDrive.Subfolder.clear(); // an empty string field
        const QString local = DataDir() + QStringLiteral("/Docs.qvd");
        ASSERT_TRUE(a.SaveLocalJobFile(local));
        const QByteArray first = TestEnv::ReadFile(local);

        TJob_FilesAndFolders b(QStringLiteral("Docs"));
        ASSERT_TRUE(b.LoadLocalJobFile(local));
        ExpectSameCommon(a, b);
        EXPECT_EQ(a.Settings, b.Settings);
        ASSERT_TRUE(b.SaveLocalJobFile(local));
        EXPECT_EQ(TestEnv::ReadFile(local), first);

        const QString remote = TempRoot() + QStringLiteral("/Docs.qvj");
        const TBackupSetState state = filled ? SampleState() : TBackupSetState{};
        ASSERT_TRUE(a.SaveRemoteJobFile(remote, state));
        const QByteArray remoteBytes = TestEnv::ReadFile(remote);
        TJob_FilesAndFolders c(QStringLiteral("Docs"));
        c.DestinationSettings = a.DestinationSettings;
        TBackupSetState read;
        ASSERT_TRUE(c.LoadRemoteJobFile(remote, true, read));
        EXPECT_EQ(read, state);
        TSpecificSettings withoutPassword = a.Settings; // the remote file holds none
        withoutPassword.Compression.Password.clear();
        EXPECT_EQ(c.Settings, withoutPassword);
        c.SchedulingSettings.SchedulingType = a.SchedulingSettings.SchedulingType; // disabled by the load
        ASSERT_TRUE(c.SaveRemoteJobFile(remote, read));
        EXPECT_EQ(TestEnv::ReadFile(remote), remoteBytes);
    }
    EXPECT_TRUE(EventTexts().isEmpty());
}

// A set's state holds a line per source file: the file is written in pieces,
// which must give the bytes the whole encoding gives, and the restore-point
// reader must pass over the reference lists yet land on the right fields.
TEST_F(JobFiles, LargeStateIsStreamedAndItsPointsReadAlone)
{
    TJob_FilesAndFolders a(QStringLiteral("Big"));
    FillFilesAndFolders(a);
    TBackupSetState state = SampleState();
    for (int i = 0; i < 30000; ++i) {
        state.PreviousLocalFilesList.append(QStringLiteral("d%1/f\u00e9%2.bin").arg(i / 100).arg(i));
        state.PreviousLocalFilesTimeList.append(QStringLiteral("2026-01-02 03:04:05:%1").arg(i % 1000, 3, 10, QLatin1Char('0')));
        if (i % 100 == 0)
            state.PreviousLocalDirsList.append(QStringLiteral("d%1").arg(i / 100));
    }
    const QString remote = TempRoot() + QStringLiteral("/Big.qvj");
    ASSERT_TRUE(a.SaveRemoteJobFile(remote, state));
    const QByteArray whole = a.EncodeRemoteContent(state);
    ASSERT_GT(whole.size(), 20 * BinaryWriter::kPieceBytes);
    EXPECT_EQ(TestEnv::ReadFile(remote), ScrambledFile::Scramble(whole));

    TJob_FilesAndFolders b(QStringLiteral("Big"));
    TBackupSetState points;
    ASSERT_TRUE(b.LoadRemoteBackupList(remote, points));
    EXPECT_EQ(points.MainBackupList, state.MainBackupList);
    EXPECT_EQ(points.SizeOfLastFullBackup, state.SizeOfLastFullBackup);
    EXPECT_EQ(points.SizeOfAllIncrementsOrLastDifferentialCopy, state.SizeOfAllIncrementsOrLastDifferentialCopy);
    EXPECT_TRUE(points.PreviousLocalFilesList.isEmpty());
    EXPECT_TRUE(points.PreviousLocalDirsList.isEmpty());

    TBackupSetState read;
    ASSERT_TRUE(b.LoadRemoteJobFile(remote, false, read));
    EXPECT_EQ(read, state);

    // A cut file fails the points reader as it fails the full one.
    QFile cut(remote);
    ASSERT_TRUE(cut.resize(whole.size() / 2));
    TBackupSetState none;
    EXPECT_THROW(b.LoadRemoteBackupList(remote, none), QvError);
}

TEST_F(JobFiles, DriveImageRoundTripsByteForByte)
{
    for (bool filled : {true, false}) {
        SCOPED_TRACE(filled ? "filled" : "defaults");
        TJob_DriveImage a(QStringLiteral("Image"));
        if (filled)
            FillDriveImage(a);
        else
            a.NumberOfBackupVersionsToKeep.clear();
        const QString local = DataDir() + QStringLiteral("/Image.qvd");
        ASSERT_TRUE(a.SaveLocalJobFile(local));
        const QByteArray first = TestEnv::ReadFile(local);
        TJob_DriveImage b(QStringLiteral("Image"));
        b.SourceDrivesList = {QStringLiteral("stale")}; // replaced, never appended to
        ASSERT_TRUE(b.LoadLocalJobFile(local));
        ExpectSameCommon(a, b);
        EXPECT_EQ(b.SourceDrivesList, a.SourceDrivesList);
        EXPECT_EQ(b.AutocleanOldBackups, a.AutocleanOldBackups);
        EXPECT_EQ(b.NumberOfBackupVersionsToKeep, a.NumberOfBackupVersionsToKeep);
        ASSERT_TRUE(b.SaveLocalJobFile(local));
        EXPECT_EQ(TestEnv::ReadFile(local), first);

        const QString remote = TempRoot() + QStringLiteral("/Image.qvj");
        ASSERT_TRUE(a.SaveRemoteJobFile(remote));
        const QByteArray remoteBytes = TestEnv::ReadFile(remote);
        TJob_DriveImage c(QStringLiteral("Image"));
        c.DestinationSettings = a.DestinationSettings;
        ASSERT_TRUE(c.LoadRemoteJobFile(remote, true));
        c.SchedulingSettings.SchedulingType = a.SchedulingSettings.SchedulingType;
        ASSERT_TRUE(c.SaveRemoteJobFile(remote));
        EXPECT_EQ(TestEnv::ReadFile(remote), remoteBytes);
    }
}

TEST_F(JobFiles, AppsDataRoundTripsByteForByte)
{
    const QList<TAppData> catalogue = {App(QStringLiteral("Alpha")), App(QStringLiteral("Beta"))};
    for (bool filled : {true, false}) {
        SCOPED_TRACE(filled ? "filled" : "defaults");
        TJob_AppsData a(QStringLiteral("Apps"));
        if (filled)
            FillAppsData(a);
        const QString local = DataDir() + QStringLiteral("/Apps.qvd");
        ASSERT_TRUE(a.SaveLocalJobFile(local));
        const QByteArray first = TestEnv::ReadFile(local);
        TJob_AppsData b(QStringLiteral("Apps"));
        ASSERT_TRUE(b.LoadLocalJobFile(local));
        ExpectSameCommon(a, b);
        EXPECT_EQ(b.AppNames, a.AppNames);
        ASSERT_TRUE(b.SaveLocalJobFile(local));
        EXPECT_EQ(TestEnv::ReadFile(local), first);

        const QString remote = TempRoot() + QStringLiteral("/Apps.qvj");
        ASSERT_TRUE(a.SaveRemoteJobFile(remote, catalogue));
        const QByteArray remoteBytes = TestEnv::ReadFile(remote);
        TJob_AppsData c(QStringLiteral("Apps"));
        c.DestinationSettings = a.DestinationSettings;
        ASSERT_TRUE(c.LoadRemoteJobFile(remote, true));
        EXPECT_EQ(c.AppNames, a.AppNames);
        c.SchedulingSettings.SchedulingType = a.SchedulingSettings.SchedulingType;
        // Written again from the entries the file carried: the same bytes.
        ASSERT_TRUE(c.SaveRemoteJobFile(remote, c.RemoteAppsData));
        EXPECT_EQ(TestEnv::ReadFile(remote), remoteBytes);
    }
}

TEST_F(JobFiles, FilterTypeTakesOneByteAndLaterFieldsStayInPlace)
{
    TJob_FilesAndFolders a(QStringLiteral("F"));
    a.Settings.Sources.FilterType = ftIncludeOnly;
    a.Settings.Sources.Extensions = QStringLiteral("doc");
    const QByteArray plain = a.EncodeLocalContent();
    // header 8, result 8+8+1+4+4+4+4, source list count 4: FilterType follows.
    const qsizetype at = 8 + 33 + 4;
    EXPECT_EQ(quint8(plain[at]), quint8(ftIncludeOnly));
    // Extensions count right after the one byte.
    EXPECT_EQ(quint8(plain[at + 1]), 3);
    EXPECT_EQ(quint8(plain[at + 2]), 0);
    TJob_FilesAndFolders b(QStringLiteral("F"));
    b.ParseLocalContent(plain);
    EXPECT_EQ(b.Settings.Sources.FilterType, ftIncludeOnly);
    EXPECT_EQ(b.Settings.Sources.Extensions, QStringLiteral("doc"));
}

TEST_F(JobFiles, TrailingBytesAreIgnored)
{
    const QString path = DataDir() + QStringLiteral("/T.qvd");
    TJob_FilesAndFolders a(QStringLiteral("T"));
    FillFilesAndFolders(a);
    WritePlain(path, a.EncodeLocalContent() + QByteArray("leftover tail of an older, longer file"));
    TJob_FilesAndFolders b(QStringLiteral("T"));
    EXPECT_TRUE(b.LoadLocalJobFile(path));
    EXPECT_EQ(b.Settings, a.Settings);
    EXPECT_EQ(b.SchedulingSettings, a.SchedulingSettings);

    TJob_DriveImage d(QStringLiteral("T"));
    FillDriveImage(d);
    TJob_DriveImage d2(QStringLiteral("T"));
    d2.ParseRemoteContent(d.EncodeRemoteContent() + QByteArray(17, '\x7f'), true);
    EXPECT_EQ(d2.SourceDrivesList, d.SourceDrivesList);
    EXPECT_TRUE(EventTexts().isEmpty());
}

TEST_F(JobFiles, SavingReplacesTheFileWhole)
{
    // A shorter content never leaves the old tail behind.
    const QString path = DataDir() + QStringLiteral("/S.qvd");
    TJob_FilesAndFolders big(QStringLiteral("S"));
    FillFilesAndFolders(big);
    big.BackupHistory = QStringList(50, QStringLiteral("a long history line"));
    ASSERT_TRUE(big.SaveLocalJobFile(path));
    TJob_FilesAndFolders small(QStringLiteral("S"));
    ASSERT_TRUE(small.SaveLocalJobFile(path));
    EXPECT_EQ(ReadPlain(path), small.EncodeLocalContent());
}

TEST_F(JobFiles, SaveFailureAddsTheEvent)
{
    TestEnv::WriteFile(Root() + QStringLiteral("/afile"), "x");
    const QString path = Root() + QStringLiteral("/afile/J.qvd"); // parent is a file
    TJob_FilesAndFolders job(QStringLiteral("J"));
    EXPECT_FALSE(job.SaveLocalJobFile(path));
    EXPECT_EQ(EventTexts(),
              QStringList{QStringLiteral("Unable to save the settings. Please check the possibility to write to the file: ") +
                          path});
}

TEST_F(JobFiles, DerivedFieldsFollowKindAndBackupType)
{
    struct Case {
        TBackupType type;
        bool newSubfolder;
        QString icon;
    };
    const Case cases[] = {{btIncremental, true, JobIcons::Incremental},
                          {btDifferential, true, JobIcons::Differential},
                          {btFull, true, JobIcons::Full},
                          {btSynchronization, false, JobIcons::Synchronization}};
    for (const Case &c : cases) {
        TJob_FilesAndFolders a(QStringLiteral("D"));
        a.Settings.Backup.BackupType = c.type;
        const QString path = DataDir() + QStringLiteral("/D.qvd");
        ASSERT_TRUE(a.SaveLocalJobFile(path));
        TJob_FilesAndFolders b(QStringLiteral("D"));
        ASSERT_TRUE(b.LoadLocalJobFile(path));
        EXPECT_EQ(b.NewSubfolderIsCreatedForEachBackup, c.newSubfolder) << int(c.type);
        EXPECT_EQ(b.bmpIcon, c.icon);
    }
    // Fresh jobs of each kind.
    TJob_FilesAndFolders f(QStringLiteral("f"));
    EXPECT_TRUE(f.NewSubfolderIsCreatedForEachBackup);
    EXPECT_EQ(f.bmpIcon, JobIcons::Incremental);
    EXPECT_TRUE(f.CanPause);
    TJob_DriveImage d(QStringLiteral("d"));
    EXPECT_FALSE(d.CanPause);
    EXPECT_TRUE(d.NewSubfolderIsCreatedForEachBackup);
    EXPECT_EQ(d.bmpIcon, JobIcons::DriveImage);
    EXPECT_EQ(d.NumberOfBackupVersionsToKeep, QStringLiteral("3"));
    TJob_AppsData ad(QStringLiteral("a"));
    EXPECT_FALSE(ad.NewSubfolderIsCreatedForEachBackup);
    EXPECT_EQ(ad.bmpIcon, JobIcons::AppsData);
    // The base defaults every kind shares.
    EXPECT_EQ(f.JobStatus.load(), jsNone);
    EXPECT_EQ(f.SchedulingSettings.SchedulingType, stDisabled);
    EXPECT_EQ(f.DestinationSettings.DestinationType, dtLocalOrExternalDrive);
    EXPECT_EQ(f.DestinationSettings.FTP.AccountID, -1);
    EXPECT_EQ(f.DestinationSettings.LocalOrExternalDrive.Subfolder, QStringLiteral("/"));
    EXPECT_EQ(f.DestinationSettings.Cloud.Subfolder, QStringLiteral("/"));
}

TEST_F(JobFiles, ReadJobKindTable)
{
    auto header = [](qint32 version, std::optional<qint32> kind) {
        BinaryWriter w;
        w.writeInt32(version);
        if (kind)
            w.writeInt32(*kind);
        return w.data();
    };
    struct Case {
        const char *what;
        QByteArray plain;
        TJobKind expected;
        bool codeOne;
    };
    const Case cases[] = {
        {"version 1, no kind field", header(1, std::nullopt), jkFilesAndFolders, false},
        {"version 3, no kind field", header(3, std::nullopt) + QByteArray(4, '\2'), jkFilesAndFolders, false},
        {"version 4 files and folders", header(4, 1), jkFilesAndFolders, false},
        {"version 5 files and folders", header(5, 1), jkFilesAndFolders, false},
        {"drive image", header(4, 2), jkDriveImage, false},
        {"application data", header(4, 3), jkAppsData, false},
        {"unknown kind", header(4, 9), jkUnknown, true},
        {"kind 0", header(4, 0), jkUnknown, true},
        {"version 4 without its kind", header(4, std::nullopt), jkUnknown, true},
        {"two bytes", QByteArray(2, '\0'), jkUnknown, true},
        {"empty", QByteArray(), jkUnknown, true},
    };
    const QString path = DataDir() + QStringLiteral("/K.qvd");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        WritePlain(path, c.plain);
        EXPECT_EQ(ReadJobKind(path), c.expected);
        const QStringList events = EventTexts();
        if (c.codeOne)
            EXPECT_EQ(events, QStringList{QStringLiteral("Error loading job \"%1\". Code: 1").arg(path)});
        else
            EXPECT_TRUE(events.isEmpty());
    }
    // Missing: 0 without an event; a path that cannot be opened as a file: Code 2.
    EXPECT_EQ(ReadJobKind(DataDir() + QStringLiteral("/none.qvd")), jkUnknown);
    EXPECT_TRUE(EventTexts().isEmpty());
    const QString dir = DataDir() + QStringLiteral("/dir.qvd");
    QDir().mkpath(dir);
    EXPECT_EQ(ReadJobKind(dir), jkUnknown);
    EXPECT_EQ(EventTexts(), QStringList{QStringLiteral("Error loading job \"%1\". Code: 2").arg(dir)});
}

TEST_F(JobFiles, CreateJobOfKindMakesTheRightClass)
{
    EXPECT_NE(dynamic_cast<TJob_FilesAndFolders *>(CreateJobOfKind(jkFilesAndFolders, "a").get()), nullptr);
    EXPECT_NE(dynamic_cast<TJob_DriveImage *>(CreateJobOfKind(jkDriveImage, "a").get()), nullptr);
    EXPECT_NE(dynamic_cast<TJob_AppsData *>(CreateJobOfKind(jkAppsData, "a").get()), nullptr);
    EXPECT_EQ(CreateJobOfKind(jkUnknown, "a"), nullptr);
    EXPECT_EQ(CreateJobOfKind(static_cast<TJobKind>(7), "a"), nullptr);
    EXPECT_EQ(CreateJobOfKind(jkDriveImage, "name")->stJobName, QStringLiteral("name"));
}

TEST_F(JobFiles, ALoaderRefusesAFileOfAnotherKind)
{
    const QString path = DataDir() + QStringLiteral("/X.qvd");
    TJob_DriveImage image(QStringLiteral("X"));
    FillDriveImage(image);
    ASSERT_TRUE(image.SaveLocalJobFile(path));
    TJob_FilesAndFolders files(QStringLiteral("X"));
    EXPECT_FALSE(files.LoadLocalJobFile(path));
    EXPECT_EQ(EventTexts(), QStringList{QStringLiteral("Error loading job \"X\". Code: 1")});
    EXPECT_EQ(files.Settings, TSpecificSettings{});
}

} // namespace
