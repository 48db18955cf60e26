// Reading the remote job file: the state of the backup set, and a job
// rebuilt from its destination.
#include "jobtestutil.h"

#include "jobs/jobicons.h"

using namespace JobTestUtil;

namespace {

class RemoteJobFile : public JobTest {
protected:
    QString RemotePath() const { return TempRoot() + QStringLiteral("/Docs.qvj"); }
};

TEST_F(RemoteJobFile, WithoutSettingsNothingChangesButTheStateIsDelivered)
{
    TJob_FilesAndFolders writer(QStringLiteral("Docs"));
    FillFilesAndFolders(writer);
    const TBackupSetState state = SampleState();
    ASSERT_TRUE(writer.SaveRemoteJobFile(RemotePath(), state));

    TJob_FilesAndFolders job(QStringLiteral("Docs"));
    job.Settings.Sources.List = {QStringLiteral("/mine/*")};
    job.DestinationSettings.LocalOrExternalDrive.Disk = QStringLiteral("/mnt/b");
    job.SchedulingSettings.SchedulingType = stDaysOfWeek;
    const QByteArray before = job.EncodeLocalContent();
    TBackupSetState read;
    read.MainBackupList = {QStringLiteral("kept by the caller")}; // lines are appended
    bool changed = true;
    ASSERT_TRUE(job.LoadRemoteJobFile(RemotePath(), false, read, &changed));
    EXPECT_FALSE(changed);
    EXPECT_EQ(job.EncodeLocalContent(), before);
    EXPECT_EQ(read.MainBackupList, QStringList{QStringLiteral("kept by the caller")} + state.MainBackupList);
    EXPECT_EQ(read.PreviousLocalFilesList, state.PreviousLocalFilesList);
    EXPECT_EQ(read.PreviousLocalFilesTimeList, state.PreviousLocalFilesTimeList);
    EXPECT_EQ(read.PreviousLocalDirsList, state.PreviousLocalDirsList);
    EXPECT_EQ(read.SizeOfLastFullBackup, state.SizeOfLastFullBackup);
    EXPECT_EQ(read.SizeOfAllIncrementsOrLastDifferentialCopy, state.SizeOfAllIncrementsOrLastDifferentialCopy);

    // The other kinds read nothing but the header.
    TJob_DriveImage imageWriter(QStringLiteral("I"));
    FillDriveImage(imageWriter);
    ASSERT_TRUE(imageWriter.SaveRemoteJobFile(RemotePath()));
    TJob_DriveImage image(QStringLiteral("I"));
    const QByteArray imageBefore = image.EncodeLocalContent();
    ASSERT_TRUE(image.LoadRemoteJobFile(RemotePath(), false));
    EXPECT_EQ(image.EncodeLocalContent(), imageBefore);

    TJob_AppsData appsWriter(QStringLiteral("A"));
    FillAppsData(appsWriter);
    ASSERT_TRUE(appsWriter.SaveRemoteJobFile(RemotePath(), {App(QStringLiteral("Alpha"))}));
    TJob_AppsData apps(QStringLiteral("A"));
    ASSERT_TRUE(apps.LoadRemoteJobFile(RemotePath(), false));
    EXPECT_TRUE(apps.RemoteAppsData.isEmpty());
    EXPECT_TRUE(apps.AppNames.isEmpty());
}

TEST_F(RemoteJobFile, RebuiltJobKeepsTheActualDestinationAndComesUpUnscheduled)
{
    TJob_FilesAndFolders writer(QStringLiteral("Docs"));
    FillFilesAndFolders(writer); // stored: FTP, account 42, subfolder /remote
    ASSERT_TRUE(writer.SaveRemoteJobFile(RemotePath(), {}));

    struct Case {
        const char *what;
        std::function<void(TDestinationSettings &)> actual; // where the caller found the file
        bool changed;
    };
    const Case cases[] = {
        {"same FTP folder", [](TDestinationSettings &d) { d.DestinationType = dtFTP; d.FTP.Subfolder = QStringLiteral("/remote"); }, false},
        {"other FTP folder", [](TDestinationSettings &d) { d.DestinationType = dtFTP; d.FTP.Subfolder = QStringLiteral("/moved"); }, true},
        {"FTP folder differs in case only", [](TDestinationSettings &d) { d.DestinationType = dtFTP; d.FTP.Subfolder = QStringLiteral("/Remote"); }, true},
        {"found on a local drive", [](TDestinationSettings &d) { d.DestinationType = dtLocalOrExternalDrive; d.LocalOrExternalDrive.Disk = QStringLiteral("/media/usb"); d.LocalOrExternalDrive.Subfolder = QStringLiteral("/backups/ß"); }, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TJob_FilesAndFolders job(QStringLiteral("Docs"));
        c.actual(job.DestinationSettings);
        job.DestinationSettings.FTP.AccountID = 7; // the caller's account
        const TDestinationSettings actual = job.DestinationSettings;
        TBackupSetState state;
        bool changed = !c.changed;
        ASSERT_TRUE(job.LoadRemoteJobFile(RemotePath(), true, state, &changed));
        EXPECT_EQ(changed, c.changed);
        const auto &d = job.DestinationSettings;
        EXPECT_EQ(d.DestinationType, actual.DestinationType);
        EXPECT_EQ(d.FTP.AccountID, 7);
        // The actual kind's fields are kept, the other kinds' are taken from the file.
        const auto &stored = writer.DestinationSettings;
        if (actual.DestinationType == dtFTP) {
            EXPECT_EQ(d.FTP.Subfolder, actual.FTP.Subfolder);
            EXPECT_EQ(d.LocalOrExternalDrive, stored.LocalOrExternalDrive);
        } else {
            EXPECT_EQ(d.LocalOrExternalDrive, actual.LocalOrExternalDrive);
            EXPECT_EQ(d.FTP.Subfolder, stored.FTP.Subfolder);
        }
        // The file holds no password: it is asked for when the job is opened.
        TNetworkSettings network = stored.Network;
        network.Password.clear();
        EXPECT_EQ(d.Network, network);
        EXPECT_EQ(d.Cloud, stored.Cloud);
        // Scheduling disabled, days and times intact.
        EXPECT_EQ(job.SchedulingSettings.SchedulingType, stDisabled);
        TSchedulingSettings expected = writer.SchedulingSettings;
        expected.SchedulingType = stDisabled;
        EXPECT_EQ(job.SchedulingSettings, expected);
        TSpecificSettings settings = writer.Settings;
        settings.Compression.Password.clear();
        EXPECT_EQ(job.Settings, settings);
        EXPECT_EQ(job.bmpIcon, JobIcons::Differential); // derived from the stored backup type
    }
}

TEST_F(RemoteJobFile, EveryComparedFieldOfEachDestinationKind)
{
    TJob_DriveImage writer(QStringLiteral("I"));
    FillDriveImage(writer);
    writer.DestinationSettings.DestinationType = dtNetwork;
    ASSERT_TRUE(writer.SaveRemoteJobFile(RemotePath()));
    const TDestinationSettings stored = writer.DestinationSettings;

    using Mutate = std::function<void(TDestinationSettings &)>;
    struct Case {
        TDestinationType type;
        Mutate mutate;
    };
    const Case cases[] = {
        {dtLocalOrExternalDrive, [](TDestinationSettings &d) { d.LocalOrExternalDrive.Disk += 'x'; }},
        {dtLocalOrExternalDrive, [](TDestinationSettings &d) { d.LocalOrExternalDrive.Subfolder += 'x'; }},
        {dtNetwork, [](TDestinationSettings &d) { d.Network.Username += 'x'; }},
        {dtNetwork, [](TDestinationSettings &d) { d.Network.UNCPath += 'x'; }},
        {dtFTP, [](TDestinationSettings &d) { d.FTP.Subfolder += 'x'; }},
        {dtCloud, [](TDestinationSettings &d) { d.Cloud.ServiceName += 'x'; }},
        {dtCloud, [](TDestinationSettings &d) { d.Cloud.Subfolder += 'x'; }},
    };
    for (const Case &c : cases) {
        TDestinationSettings base = stored;
        base.DestinationType = c.type;
        for (bool mutated : {false, true}) {
            TJob_DriveImage job(QStringLiteral("I"));
            job.DestinationSettings = base;
            if (mutated)
                c.mutate(job.DestinationSettings);
            bool changed = false;
            ASSERT_TRUE(job.LoadRemoteJobFile(RemotePath(), true, &changed));
            // A type other than the stored one is a change by itself.
            EXPECT_EQ(changed, mutated || c.type != dtNetwork) << int(c.type) << mutated;
        }
    }
    // An FTP account that differs is never a change (and never taken).
    TJob_DriveImage job(QStringLiteral("I"));
    job.DestinationSettings = stored;
    job.DestinationSettings.FTP.AccountID = 99;
    bool changed = true;
    ASSERT_TRUE(job.LoadRemoteJobFile(RemotePath(), true, &changed));
    EXPECT_FALSE(changed);
    EXPECT_EQ(job.DestinationSettings.FTP.AccountID, 99);
    EXPECT_EQ(job.SourceDrivesList, writer.SourceDrivesList);

    // Nor is the job's own network password: the file holds none to compare.
    TJob_DriveImage withPassword(QStringLiteral("I"));
    withPassword.DestinationSettings = stored;
    withPassword.DestinationSettings.Network.Password = QStringLiteral("the job's own");
    ASSERT_TRUE(withPassword.LoadRemoteJobFile(RemotePath(), true, &changed));
    EXPECT_FALSE(changed);
    EXPECT_EQ(withPassword.DestinationSettings.Network.Password, "the job's own");
}

TEST_F(RemoteJobFile, NoPasswordReachesTheDestination)
{
    // Whoever reads the destination must not find the key to the share or
    // to the encrypted archives there; the local job files keep both.
    const QString networkPassword = QStringLiteral("net-Secret-1");
    const QString zipPassword = QStringLiteral("zip-Secret-2");
    const auto holds = [](const QByteArray &plain, const QString &secret) {
        BinaryWriter w;
        w.writeString(secret);
        return plain.contains(w.data().mid(4)); // the UTF-16 text without its length
    };

    TJob_FilesAndFolders files(QStringLiteral("F"));
    FillFilesAndFolders(files);
    files.DestinationSettings.Network.Password = networkPassword;
    files.Settings.Compression.Password = zipPassword;
    TJob_DriveImage image(QStringLiteral("I"));
    FillDriveImage(image);
    image.DestinationSettings.Network.Password = networkPassword;
    TJob_AppsData apps(QStringLiteral("A"));
    FillAppsData(apps);
    apps.DestinationSettings.Network.Password = networkPassword;

    ASSERT_TRUE(files.SaveRemoteJobFile(RemotePath(), SampleState()));
    QByteArray remote = ReadPlain(RemotePath());
    EXPECT_FALSE(holds(remote, networkPassword));
    EXPECT_FALSE(holds(remote, zipPassword));
    const QByteArray local = files.EncodeLocalContent();
    EXPECT_TRUE(holds(local, networkPassword));
    EXPECT_TRUE(holds(local, zipPassword));

    ASSERT_TRUE(image.SaveRemoteJobFile(RemotePath()));
    EXPECT_FALSE(holds(ReadPlain(RemotePath()), networkPassword));
    ASSERT_TRUE(apps.SaveRemoteJobFile(RemotePath(), {App(QStringLiteral("Alpha"))}));
    EXPECT_FALSE(holds(ReadPlain(RemotePath()), networkPassword));
    // The settings themselves are unchanged.
    EXPECT_EQ(files.DestinationSettings.Network.Password, networkPassword);
    EXPECT_EQ(files.Settings.Compression.Password, zipPassword);
}

TEST_F(RemoteJobFile, AppsDataEntriesReplaceTheRemoteCatalogue)
{
    TJob_AppsData writer(QStringLiteral("A"));
    FillAppsData(writer); // Beta, Alpha, Missing
    const QList<TAppData> catalogue = {App(QStringLiteral("Alpha")), App(QStringLiteral("Beta")),
                                       App(QStringLiteral("Other"))};
    ASSERT_TRUE(writer.SaveRemoteJobFile(RemotePath(), catalogue));

    TJob_AppsData job(QStringLiteral("A"));
    job.DestinationSettings = writer.DestinationSettings;
    job.RemoteAppsData = {App(QStringLiteral("stale"))};
    job.AppNames = {QStringLiteral("stale")};
    ASSERT_TRUE(job.LoadRemoteJobFile(RemotePath(), true));
    EXPECT_EQ(job.RemoteAppsData, (QList<TAppData>{catalogue[0], catalogue[1]}));
    EXPECT_EQ(job.AppNames, writer.AppNames);
    EXPECT_FALSE(job.NewSubfolderIsCreatedForEachBackup);
}

} // namespace
