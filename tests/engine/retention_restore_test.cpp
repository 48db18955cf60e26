// Retention of old backups, the restore of every point of a set, and the
// removal of a job's backups.
#include "enginetestutil.h"

using namespace EngineTest;

namespace {

class RetentionRestoreTest : public EngineRunTest {};

TEST_P(RetentionRestoreTest, KeepingTwoFullCopiesRemovesTheOldestChain)
{
    Job().Settings.Backup.PerformFullBackup_EveryCopies = 1;
    Job().Settings.Backup.NumberFullCopiesToKeep = 2;
    Job().Settings.Sources.List = {Folder("Data")};
    QStringList all;
    for (int run = 1; run <= 5; ++run) {
        Write("Data/f.txt", QByteArray::number(run));
        RunBackup();
        all.append(RunFolders().last());
    }
    // F1 I1 F2 I2 F3: the first chain goes.
    EXPECT_TRUE(all[0].endsWith("(Full)"));
    EXPECT_TRUE(all[1].endsWith("(Incremental)"));
    EXPECT_TRUE(all[4].endsWith("(Full)"));
    EXPECT_EQ(RunFolders(), (QStringList{all[2], all[3], all[4]}));
    EXPECT_EQ(Entries(SetDir()), (QStringList{all[2], all[3], all[4]}));
    const QStringList log = Log();
    const qsizetype removing = log.indexOf("Removing the old backups.");
    ASSERT_GE(removing, 0);
    // After the new state was stored (the option removes them afterwards).
    EXPECT_GT(removing, log.indexOf("Copying the file: " + TempRoot() + "/Job.qvj"));
    EXPECT_TRUE(log.contains("Removing the full directory: " + RemoteSetPath() + "/" + all[1]));
    EXPECT_TRUE(log.contains("Removing the full directory: " + RemoteSetPath() + "/" + all[0]));
}

TEST_P(RetentionRestoreTest, RemovingBeforeTheCopyKeepsTheSameFolders)
{
    Job().Settings.Backup.PerformFullBackup_EveryCopies = 1;
    Job().Settings.Backup.NumberFullCopiesToKeep = 1;
    Job().Settings.Backup.RemoveOldBackupsBeforeStartingNewBackup = true;
    Job().Settings.Sources.List = {Folder("Data")};
    for (int run = 1; run <= 3; ++run) {
        Write("Data/f.txt", QByteArray::number(run));
        RunBackup();
    }
    const QStringList folders = RunFolders();
    ASSERT_EQ(folders.size(), 1);
    EXPECT_TRUE(folders[0].endsWith("(Full)"));
    EXPECT_EQ(Entries(SetDir()), folders);
    const QStringList log = Log();
    EXPECT_LT(log.indexOf("Removing the old backups."), log.indexOf("Starting the directory backup: " + Src() + "/Data"));
    EXPECT_EQ(ReadTree(Restore(0)), ReadTree(Src()));
}

TEST_P(RetentionRestoreTest, EveryRemainingPointRestoresAfterTheFirstFullFolderWasRemoved)
{
    Job().Settings.Backup.PerformFullBackup_EveryCopies = 2;
    Job().Settings.Backup.NumberFullCopiesToKeep = 2;
    Job().Settings.Sources.List = {Folder("Data"), File("single.txt")};
    Write("single.txt", "s1");
    std::vector<Tree> snapshots;
    const auto change = [this](int run) {
        switch (run) {
        case 1:
            Write("Data/a.txt", "a1");
            Write("Data/b.txt", "b1");
            Write("Data/old/x.txt", "x1");
            break;
        case 2:
            Write("Data/a.txt", "a2 changed");
            Write("Data/new/n.txt", "n2");
            break;
        case 3:
            Delete("Data/b.txt"); // deleted between two increments
            Delete("Data/old");
            break;
        case 4:
            Write("Data/b.txt", "b4 is back");
            Write("single.txt", "s4");
            break;
        case 5:
            Delete("Data/new/n.txt");
            Write("Data/new/m.txt", "m5");
            break;
        case 6:
            Write("Data/deep/er/d.txt", "d6");
            Delete("Data/a.txt");
            break;
        case 7:
            Write("Data/a.txt", "a7");
            break;
        }
    };
    for (int run = 1; run <= 7; ++run) {
        change(run);
        RunBackup();
        EXPECT_FALSE(Job().LastJobResult.Cancelled) << run;
        snapshots.push_back(ReadTree(Src()));
    }
    // F1 I1 I2 F2 I3 I4 F3: F1, I1 and I2 were removed.
    const QStringList folders = RunFolders();
    ASSERT_EQ(folders.size(), 4);
    EXPECT_TRUE(folders[0].endsWith("(Full)"));
    EXPECT_TRUE(folders[1].endsWith("(Incremental)"));
    EXPECT_TRUE(folders[2].endsWith("(Incremental)"));
    EXPECT_TRUE(folders[3].endsWith("(Full)"));
    EXPECT_EQ(Entries(SetDir()), folders);
    for (int point = 0; point < 4; ++point) {
        SCOPED_TRACE(point);
        const QString out = Restore(point);
        EXPECT_EQ(ReadTree(out), snapshots[size_t(3 + point)]);
        EXPECT_FALSE(Job().LastJobResult.Cancelled);
        EXPECT_EQ(Errors(), 0) << Log().join("\n").toStdString();
    }
    // The restore log of an incremental point names its chain in order.
    const QString out = Restore(2);
    const QStringList log = Log();
    const qsizetype f = log.indexOf("Restoring the directory: " + RemoteSetPath() + "/" + folders[0]);
    const qsizetype i1 = log.indexOf("Restoring the directory: " + RemoteSetPath() + "/" + folders[1]);
    const qsizetype i2 = log.indexOf("Restoring the directory: " + RemoteSetPath() + "/" + folders[2]);
    EXPECT_GE(f, 0);
    EXPECT_GT(i1, f);
    EXPECT_GT(i2, i1);
    EXPECT_TRUE(log.contains("Removing the file: " + out + "/Data/a.txt"));
    EXPECT_TRUE(log.contains("Restore job \"Job\" is finished."));
    EXPECT_TRUE(Job().BackupHistory.last().endsWith(": Restore job is finished."));
}

TEST_P(RetentionRestoreTest, ARemovedReadOnlyFileLosesItsAttributeOnRestore)
{
    Job().Settings.Sources.List = {Folder("Data")};
    Write("Data/r.txt", "read only");
    Write("Data/k.txt", "kept");
    ASSERT_TRUE(QFile::setPermissions(File("Data/r.txt"), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    RunBackup();
    Delete("Data/r.txt");
    RunBackup();
    const QString out = Restore(1);
    EXPECT_TRUE(Log().contains("Removing the read-only attribute: " + out + "/Data/r.txt"));
    EXPECT_FALSE(QFileInfo::exists(out + "/Data/r.txt"));
    EXPECT_EQ(ReadTree(out), ReadTree(Src()));
}

TEST_P(RetentionRestoreTest, AFullPointOfAnIncrementalSetRestoresThatFolderAlone)
{
    Job().Settings.Backup.PerformFullBackup_EveryCopies = 1;
    Job().Settings.Sources.List = {Folder("Data")};
    Write("Data/a.txt", "a1");
    RunBackup();
    Write("Data/b.txt", "b2");
    RunBackup();
    const Tree second = ReadTree(Src());
    Write("Data/c.txt", "c3");
    RunBackup(); // full
    EXPECT_EQ(ReadTree(Restore(1)), second);
    const QStringList log = Log();
    EXPECT_EQ(log.filter("Restoring the directory: ").size(), 2); // full, then the increment
    const QString out = Restore(2);
    EXPECT_EQ(Log().filter("Restoring the directory: ").size(), 1);
    EXPECT_EQ(ReadTree(out), ReadTree(Src()));
}

TEST_P(RetentionRestoreTest, RemoveDeletesTheJobFileAndTheSet)
{
    Write("Data/a.txt", "a");
    Job().Settings.Sources.List = {Folder("Data")};
    RunBackup();
    ASSERT_TRUE(QFileInfo::exists(SetDir()));
    Options().Processing.IfDestinationNotAvailable_Retry_Times = 3;
    EXPECT_TRUE(Remove(Job()));
    EXPECT_EQ(Job().JobOperation.load(), joRemove);
    EXPECT_EQ(Job().JobStatus.load(), jsNone);
    EXPECT_TRUE(Entries(DestDir()).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(Src() + "/Data/a.txt"));

    // A destination that cannot be reached: an event, nothing removed.
    Job().DestinationSettings.DestinationType = dtLocalOrExternalDrive;
    Job().DestinationSettings.LocalOrExternalDrive.Disk = Root() + "/gone";
    PendingEvents::TakeAll();
    EXPECT_FALSE(Remove(Job()));
    EXPECT_EQ(EventTexts(), QStringList{"ERROR: The directory does not exist: " + Root() + "/gone"});
}

TEST_P(RetentionRestoreTest, ReadingPointsOfAMissingSetFails)
{
    const RestorePointList points = ReadPoints();
    EXPECT_FALSE(points.ok);
    EXPECT_EQ(points.error, "Unable to copy the job file \"Job.qvj\" from the backup directory.");
    EXPECT_EQ(Job().JobStatus.load(), jsNone);
    EXPECT_FALSE(QFileInfo::exists(TempRoot() + "/Job"));
}

TEST_P(RetentionRestoreTest, AnUnfinishedSynchronisationSetIsNotRestored)
{
    // The flag of an unfinished run, and one that is there but cannot be read.
    for (const bool readable : {true, false}) {
        SCOPED_TRACE(readable ? "a flag" : "a flag that cannot be read");
        TearDownEngine();
        SetUpEngine();
        Job().Settings.Backup.BackupType = btSynchronization;
        Job().Settings.Sources.List = {Folder("Data")};
        Write("Data/a.txt", "a");
        RunBackup();
        if (readable)
            ASSERT_TRUE(WriteTextLines(SetDir() + "/_startflag.qvl", {}));
        else
            ASSERT_TRUE(QDir().mkpath(SetDir() + "/_startflag.qvl/inside"));
        const RestorePointList points = ReadPoints();
        EXPECT_FALSE(points.ok);
        const QString message = "Last backup job was cancelled, so Quorvane is not able to restore your files. "
                                "Please copy the backup folder \"Job\" from the storage manually.";
        EXPECT_EQ(points.error, message);
        EXPECT_TRUE(Log().contains("ERROR: " + message));
        EXPECT_TRUE(Log().contains("Restore is cancelled."));
        EXPECT_TRUE(Job().LastJobResult.Cancelled);
        EXPECT_EQ(Job().JobStatus.load(), jsNone);
        EXPECT_TRUE(EventTexts().contains("\"Job\" restore is cancelled."));
    }
}

INSTANTIATE_TEST_SUITE_P(Destination, RetentionRestoreTest, ::testing::Values(Destination::QV_ENGINE_DESTINATION),
                         DestinationName);

} // namespace
