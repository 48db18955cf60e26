// Backup runs from end to end: what lands at the destination, the stored
// state, the log, history and events, and what a restore gives back.
#include "base/bytesize.h"
#include "engine/files/changedetection.h"
#include "enginetestutil.h"

#include <algorithm>

using namespace EngineTest;

namespace {

class BackupRunTest : public EngineRunTest {
protected:
    static QStringList Sorted(QStringList l)
    {
        l.sort();
        return l;
    }
    QString TimeTextOf(const QString &relative) const
    {
        return FileTimeText(QFileInfo(File(relative)).lastModified());
    }
    qsizetype IndexOf(const QStringList &log, const QString &line) const
    {
        return log.indexOf(line);
    }
};

TEST_P(BackupRunTest, FirstIncrementalRunIsAFullCopyWithMarkerAndStartFlag)
{
    Write("Data/a.txt", "alpha");
    Write("Data/sub/b.bin", QByteArray("\0\1\2beta", 7));
    MakeDir("Data/empty");
    Write("notes.txt", "notes");
    Job().Settings.Sources.List = {Folder("Data"), File("notes.txt")};
    RunBackup();

    EXPECT_FALSE(Job().LastJobResult.Cancelled);
    EXPECT_EQ(Errors(), 0);
    EXPECT_EQ(Warnings(), 0);
    const QString name = QStringLiteral("2024-05-01 15;30;00 (Full)");
    EXPECT_EQ(Entries(DestDir()), (QStringList{"Job", "Job.qvj"}));
    EXPECT_EQ(Entries(SetDir()), QStringList{name}); // the start flag is gone

    // The copies, byte for byte with their modification times.
    EXPECT_EQ(ReadTree(SetDir() + "/" + name, StateFileNames()), ReadTree(Src()));

    // The state.
    const TBackupSetState state = StoredState();
    EXPECT_EQ(state.MainBackupList, (QStringList{"Incremental)", name}));
    EXPECT_EQ(Sorted(state.PreviousLocalFilesList), (QStringList{"Data/a.txt", "Data/sub/b.bin", "notes.txt"}));
    ASSERT_EQ(state.PreviousLocalFilesTimeList.size(), state.PreviousLocalFilesList.size());
    for (qsizetype i = 0; i < state.PreviousLocalFilesList.size(); ++i)
        EXPECT_EQ(state.PreviousLocalFilesTimeList[i], TimeTextOf(state.PreviousLocalFilesList[i]));
    EXPECT_EQ(state.PreviousLocalDirsList.value(0), "Data"); // a parent before its children
    EXPECT_EQ(Sorted(state.PreviousLocalDirsList), (QStringList{"Data", "Data/empty", "Data/sub"}));
    EXPECT_EQ(state.SizeOfLastFullBackup, 5 + 7 + 5);
    EXPECT_EQ(state.SizeOfAllIncrementsOrLastDifferentialCopy, 0);

    // The run folder's state files.
    const QString run = SetDir() + "/" + name;
    EXPECT_EQ(Sorted(ReadLines(run + "/_rf.qvl")), (QStringList{"Data/a.txt", "Data/sub/b.bin", "notes.txt"}));
    EXPECT_EQ(Sorted(ReadLines(run + "/_rd.qvl")), (QStringList{"Data", "Data/empty", "Data/sub"}));
    EXPECT_EQ(ReadBytes(run + "/_rrf.qvl"), QByteArray("\xEF\xBB\xBF"));
    EXPECT_EQ(ReadBytes(run + "/_rrd.qvl"), QByteArray("\xEF\xBB\xBF"));

    // The start flag was uploaded before the first copy and removed after
    // the job file.
    const QStringList log = Log();
    const qsizetype flagUp = IndexOf(log, "Copying the file: " + TempRoot() + "/Job/_startflag.qvl");
    const qsizetype firstCopy = IndexOf(log, "Copying the file: " + File("Data/a.txt"));
    const qsizetype jobFileUp = IndexOf(log, "Copying the file: " + TempRoot() + "/Job.qvj");
    const qsizetype flagDown = IndexOf(log, "Removing the file: " + RemoteSetPath() + "/_startflag.qvl");
    EXPECT_GE(flagUp, 0);
    EXPECT_GT(firstCopy, flagUp);
    EXPECT_GT(jobFileUp, firstCopy);
    EXPECT_GT(flagDown, jobFileUp);
    EXPECT_TRUE(log.contains("Target: full copy of the source. Subdirectory: " + name));
    EXPECT_TRUE(log.contains("Starting the directory backup: " + Src() + "/Data"));
    EXPECT_TRUE(log.contains("Starting the file backup: " + File("notes.txt")));
    const QString finished = "Backup job \"Job\" is finished. Files copied: 3. Total size of the files: "
                             + FormatByteSize(Job().CurrentBackupSize.load());
    EXPECT_TRUE(log.contains(finished)) << log.join("\n").toStdString();
    EXPECT_EQ(log.last(), "Disconnecting from device.");

    // History, events, the saved log and the local job file.
    ASSERT_GE(Job().BackupHistory.size(), 2);
    EXPECT_TRUE(Job().BackupHistory[0].endsWith(": Starting the backup. Target: full copy of the source."));
    EXPECT_TRUE(Job().BackupHistory[1].endsWith(": Backup job is finished."));
    const QStringList events = EventTexts();
    EXPECT_TRUE(events.contains("Starting the \"Job\" backup."));
    EXPECT_TRUE(events.contains(finished));
    EXPECT_EQ(Job().LogList, QStringList{"2024-05-01 15;30;00"});
    EXPECT_TRUE(QFileInfo::exists(LogRoot() + "/Job/2024-05-01 15;30;00.txt"));
    EXPECT_TRUE(QFileInfo::exists(DataDir() + "/Job.qvd"));
    EXPECT_NE(Job().LastJobResult.EndTime, 0);
    EXPECT_FALSE(QFileInfo::exists(TempRoot() + "/Job"));

    // The restore gives the source back.
    const RestorePointList points = ReadPoints();
    ASSERT_TRUE(points.ok);
    ASSERT_EQ(points.points.size(), 1);
    EXPECT_EQ(points.points[0].displayName, "2024-05-01 15:30:00 (Full)");
    EXPECT_FALSE(points.points[0].needsPassword);
    CancelRestore(Job());
    EXPECT_EQ(ReadTree(Restore(0)), ReadTree(Src()));
}

TEST_P(BackupRunTest, EveryCopiesRuleMakesTheSixthRunAfterAFullOneFull)
{
    Write("Data/keep.txt", "unchanged");
    Job().Settings.Sources.List = {Folder("Data")};
    for (int run = 1; run <= 7; ++run) {
        Write("Data/f.txt", "version " + QByteArray::number(run));
        RunBackup();
        EXPECT_FALSE(Job().LastJobResult.Cancelled) << run;
    }
    const QStringList folders = RunFolders();
    ASSERT_EQ(folders.size(), 7);
    QStringList types;
    for (const QString &f : folders)
        types.append(f.mid(f.indexOf('(')));
    EXPECT_EQ(types, (QStringList{"(Full)", "(Incremental)", "(Incremental)", "(Incremental)", "(Incremental)",
                                  "(Incremental)", "(Full)"}));
    EXPECT_TRUE(Log().contains("The number of incremental copies (5) has reached the specified value (5). We need "
                               "to perform a full backup."));
    // Every incremental folder holds the one changed file.
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(Entries(SetDir() + "/" + folders[i]),
                  (QStringList{"Data", "_rd.qvl", "_rf.qvl", "_rrd.qvl", "_rrf.qvl"}));
    EXPECT_EQ(Entries(SetDir() + "/" + folders[3] + "/Data"), QStringList{"f.txt"});
}

TEST_P(BackupRunTest, SizeRuleMakesARunFullAtHalfTheFullSize)
{
    Job().Settings.Backup.PerformFullBackup_Condition = bcSumExceedsPercentOfFullBackup;
    Job().Settings.Backup.PerformFullBackup_SumExceedsPercentOfFullBackup = 50;
    Job().Settings.Sources.List = {Folder("Data")};
    Write("Data/a.bin", QByteArray(700, 'a'));
    Write("Data/b.bin", QByteArray(300, 'b'));
    RunBackup();
    TBackupSetState s = StoredState();
    EXPECT_EQ(s.SizeOfLastFullBackup, 1000);
    EXPECT_EQ(s.SizeOfAllIncrementsOrLastDifferentialCopy, 0);

    Write("Data/b.bin", QByteArray(300, 'B'));
    RunBackup();
    s = StoredState();
    EXPECT_TRUE(RunFolders().last().endsWith("(Incremental)")); // 30 % is below the limit
    EXPECT_EQ(s.SizeOfAllIncrementsOrLastDifferentialCopy, 300);

    Write("Data/c.bin", QByteArray(200, 'c'));
    RunBackup();
    s = StoredState();
    EXPECT_TRUE(RunFolders().last().endsWith("(Incremental)"));
    EXPECT_EQ(s.SizeOfAllIncrementsOrLastDifferentialCopy, 500);

    RunBackup(); // 500 * 100 / 1000 = 50 >= 50
    EXPECT_TRUE(RunFolders().last().endsWith("(Full)"));
    EXPECT_TRUE(Log().contains("The total size of all increments (0.49 KB) exceeds 50% of the size of the full "
                               "backup (0.98 KB). We need to perform a full backup."));
    s = StoredState();
    EXPECT_EQ(s.SizeOfLastFullBackup, 1200);
    EXPECT_EQ(s.SizeOfAllIncrementsOrLastDifferentialCopy, 0);
}

TEST_P(BackupRunTest, DifferentialCopiesHoldEverythingSinceTheFullOne)
{
    Job().Settings.Backup.BackupType = btDifferential;
    Job().Settings.Sources.List = {Folder("Data")};
    Write("Data/a.txt", "a1");
    Write("Data/b.txt", "b1");
    Write("Data/c.txt", "c1");
    RunBackup();
    const Tree afterFull = ReadTree(Src());

    Write("Data/a.txt", "a2-changed");
    Delete("Data/c.txt");
    RunBackup();
    const Tree afterFirst = ReadTree(Src());

    Write("Data/b.txt", "b2");
    RunBackup();
    const Tree afterSecond = ReadTree(Src());

    const QStringList folders = RunFolders();
    ASSERT_EQ(folders.size(), 3);
    EXPECT_TRUE(folders[0].endsWith("(Full)"));
    EXPECT_TRUE(folders[1].endsWith("(Differential)"));
    EXPECT_TRUE(folders[2].endsWith("(Differential)"));
    EXPECT_EQ(ReadLines(SetDir() + "/" + folders[1] + "/_rf.qvl"), QStringList{"Data/a.txt"});
    EXPECT_EQ(Sorted(ReadLines(SetDir() + "/" + folders[2] + "/_rf.qvl")), (QStringList{"Data/a.txt", "Data/b.txt"}));
    EXPECT_EQ(ReadLines(SetDir() + "/" + folders[2] + "/_rrf.qvl"), QStringList{"Data/c.txt"});
    EXPECT_EQ(ReadTree(SetDir() + "/" + folders[2], StateFileNames()),
              (Tree{{"Data", "<dir>"}, {"Data/a.txt", afterSecond.at("Data/a.txt")}, {"Data/b.txt", afterSecond.at("Data/b.txt")}}));

    // The reference stays the full run's; the stored size is the last
    // differential copy's.
    const TBackupSetState s = StoredState();
    EXPECT_EQ(Sorted(s.PreviousLocalFilesList), (QStringList{"Data/a.txt", "Data/b.txt", "Data/c.txt"}));
    EXPECT_EQ(s.SizeOfAllIncrementsOrLastDifferentialCopy, 10 + 2);
    EXPECT_EQ(s.SizeOfLastFullBackup, 6);

    EXPECT_EQ(ReadTree(Restore(0)), afterFull);
    EXPECT_EQ(ReadTree(Restore(1)), afterFirst);
    EXPECT_EQ(ReadTree(Restore(2)), afterSecond);
}

TEST_P(BackupRunTest, SynchronisationMirrorsTheSourceWithDeletions)
{
    Job().Settings.Backup.BackupType = btSynchronization;
    Job().SetDerivedFields();
    Job().Settings.Sources.List = {Folder("Data")};
    Write("Data/a.txt", "a1");
    Write("Data/sub/b.txt", "b1");
    Write("Data/sub/c.txt", "c1");
    Write("Data/gone/deep/x.txt", "x");
    RunBackup();
    EXPECT_FALSE(Job().LastJobResult.Cancelled);
    EXPECT_EQ(StoredState().MainBackupList, QStringList{"Syncronization)"});
    EXPECT_EQ(ReadTree(SetDir()), ReadTree(Src())); // no run folders, no state files
    for (const QString &line : Log())
        EXPECT_FALSE(line.startsWith("Target:")) << line.toStdString();

    Write("Data/a.txt", "a2");
    Delete("Data/sub/c.txt");
    Delete("Data/gone");
    Write("Data/new.txt", "n");
    RunBackup();
    EXPECT_FALSE(Job().LastJobResult.Cancelled);
    EXPECT_EQ(Errors(), 0);
    EXPECT_EQ(ReadTree(SetDir()), ReadTree(Src()));
    EXPECT_TRUE(Log().contains("Removing the file: " + RemoteSetPath() + "/Data/sub/c.txt"));
    EXPECT_TRUE(Log().contains("Removing the empty directory: " + RemoteSetPath() + "/Data/gone/deep"));
    EXPECT_EQ(StoredState().MainBackupList, QStringList{"Syncronization)"});

    const RestorePointList points = ReadPoints();
    ASSERT_TRUE(points.ok);
    EXPECT_TRUE(points.synchronization);
    EXPECT_TRUE(points.points.isEmpty());
    CancelRestore(Job());
    EXPECT_EQ(ReadTree(Restore(-1)), ReadTree(Src()));
}

TEST_P(BackupRunTest, AnUnchangedSourceMakesAnEmptyIncrementalCopy)
{
    Write("Data/a.txt", "a");
    Write("Data/sub/b.txt", "b");
    Job().Settings.Sources.List = {Folder("Data")};
    RunBackup();
    RunBackup();
    const QStringList folders = RunFolders();
    ASSERT_EQ(folders.size(), 2);
    EXPECT_TRUE(folders[1].endsWith("(Incremental)"));
    EXPECT_EQ(Entries(SetDir() + "/" + folders[1]), (QStringList{"_rd.qvl", "_rf.qvl", "_rrd.qvl", "_rrf.qvl"}));
    for (const QString &f : StateFileNames())
        EXPECT_EQ(ReadBytes(SetDir() + "/" + folders[1] + "/" + f), QByteArray("\xEF\xBB\xBF")) << f.toStdString();
    EXPECT_TRUE(Log().contains("Backup job \"Job\" is finished. Files copied: 0."));
    EXPECT_EQ(StoredState().SizeOfAllIncrementsOrLastDifferentialCopy, 0);
    EXPECT_EQ(ReadTree(Restore(1)), ReadTree(Src()));
}

TEST_P(BackupRunTest, ChangingTheBackupTypeRemovesTheWholeSet)
{
    Write("Data/a.txt", "a");
    Job().Settings.Sources.List = {Folder("Data")};
    RunBackup();
    Write("Data/a.txt", "a2");
    RunBackup();
    const QStringList old = RunFolders();
    ASSERT_EQ(old.size(), 2);

    Job().Settings.Backup.BackupType = btDifferential;
    RunBackup();
    EXPECT_TRUE(Log().contains("WARNING: Backup type has been changed in the settings. Going to remove existing "
                               "backup before to run this job."));
    EXPECT_EQ(Warnings(), 1);
    EXPECT_TRUE(Log().contains("Backup job \"Job\" is finished with warnings. Files copied: 1. Total size of the files: "
                               + FormatByteSize(Job().CurrentBackupSize.load())));
    const QStringList now = RunFolders();
    ASSERT_EQ(now.size(), 1);
    EXPECT_TRUE(now[0].endsWith("(Full)"));
    EXPECT_EQ(StoredState().MainBackupList.value(0), "Differential)");
    EXPECT_EQ(Entries(SetDir()), QStringList{now[0]});
}

TEST_P(BackupRunTest, ARunKilledAfterItsStartFlagIsRenamedOrRemovedByTheNextRun)
{
    for (const bool removeOption : {false, true}) {
        SCOPED_TRACE(removeOption ? "remove" : "rename");
        TearDownEngine();
        SetUpEngine();
        Options().Processing.RemovePreviousBackupIfCancelled = removeOption;
        Write("Data/a.txt", "a");
        Job().Settings.Sources.List = {Folder("Data")};
        RunBackup();
        const QString first = RunFolders().value(0);

        // What a run that was killed leaves: its flag and its folder.
        const QString killed = QStringLiteral("2024-05-01 16;00;00 (Incremental)");
        ASSERT_TRUE(WriteTextLines(SetDir() + "/_startflag.qvl", {killed}));
        QDir().mkpath(SetDir() + "/" + killed + "/Data");
        QFile junk(SetDir() + "/" + killed + "/Data/half.txt");
        ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
        junk.close();

        NextStamp(); // 16:30
        Write("Data/a.txt", "a2");
        RunBackup();
        const QStringList log = Log();
        EXPECT_TRUE(log.contains("WARNING: The previous backup has been cancelled and the backup files may be corrupted."));
        EXPECT_FALSE(Job().LastJobResult.Cancelled);
        const QStringList folders = RunFolders();
        ASSERT_EQ(folders.size(), 2);
        EXPECT_EQ(folders[0], first);
        EXPECT_EQ(folders[1], QStringLiteral("2024-05-01 17;30;00 (Incremental)"));
        if (removeOption) {
            EXPECT_TRUE(log.contains("We have to remove the previous backup."));
            EXPECT_EQ(Entries(SetDir()), (QStringList{folders[0], folders[1]}));
        } else {
            EXPECT_EQ(Entries(SetDir()), (QStringList{folders[0], killed + " CANCELED", folders[1]}));
            EXPECT_TRUE(QFileInfo::exists(SetDir() + "/" + killed + " CANCELED/Data/half.txt"));
        }
        EXPECT_EQ(ReadTree(Restore(1)), ReadTree(Src()));
    }
}

TEST_P(BackupRunTest, RunsInTheSameSecondGetDistinctFolders)
{
    Write("Data/a.txt", "a");
    Job().Settings.Sources.List = {Folder("Data")};
    RunBackup();
    Write("Data/a.txt", "a2");
    ASSERT_TRUE(Backup(Job())); // the same clock
    ASSERT_TRUE(WaitForRunToEnd(Job()));
    EXPECT_EQ(RunFolders(), (QStringList{"2024-05-01 15;30;00 (Full)", "2024-05-01 15;30;01 (Incremental)"}));
    EXPECT_EQ(ReadTree(Restore(0)).at("Data/a.txt").substr(0, 2), "a ");
    EXPECT_EQ(ReadTree(Restore(1)), ReadTree(Src()));
}

TEST_P(BackupRunTest, FiltersExclusionsHiddenEntriesAndLinks)
{
    Write("Data/a.txt", "a");
    Write("Data/b.doc", "b");
    Write("Data/c.exe", "c");
    Write("Data/PAGEFILE.SYS", "p");
    Write("Data/.hidden.txt", "h");
    Write("Data/.hiddendir/x.txt", "x");
    Write("Data/cache/y.txt", "y");
    Write("Data/sub/cache/z.txt", "z");
    Write("Data/skipme/w.txt", "w");
    Write("Outside/o.txt", "o");
    ASSERT_TRUE(QFile::link(Src() + "/Outside", Src() + "/Data/link-to-folder"));
    ASSERT_TRUE(QFile::link(Src() + "/Data/a.txt", Src() + "/Data/link-to-file.txt"));
    Options().ExcludedDirs = {"%anypath%/cache", Src() + "/Data/skipme"};
    Options().Processing.SkipHiddenSystemFiles = true;
    Job().Settings.Sources.List = {Folder("Data"), Src() + "/Data/.hiddendir/*"};
    Job().Settings.Sources.FilterType = ftExclude;
    Job().Settings.Sources.Extensions = "exe";
    RunBackup();
    EXPECT_EQ(Errors(), 0);
    const QString run = SetDir() + "/" + RunFolders().value(0);
    Tree got = ReadTree(run, StateFileNames());
    QStringList names;
    for (const auto &[k, v] : got)
        names.append(QString::fromStdString(k));
    // A hidden folder given as a source item is still backed up; links are
    // not followed.
    EXPECT_EQ(names, (QStringList{".hiddendir", ".hiddendir/x.txt", "Data", "Data/a.txt", "Data/b.doc", "Data/sub"}));
    EXPECT_TRUE(Log().contains("WARNING: The symbolic link is skipped: " + Src() + "/Data/link-to-folder"));
    EXPECT_TRUE(Log().contains("WARNING: The symbolic link is skipped: " + Src() + "/Data/link-to-file.txt"));
}

TEST_P(BackupRunTest, MissingSourcesAreWarnings)
{
    Write("Data/a.txt", "a");
    Job().Settings.Sources.List = {Folder("Data"), Folder("Nothing"), File("nothing.txt")};
    RunBackup();
    EXPECT_EQ(Warnings(), 2);
    EXPECT_TRUE(Log().contains("WARNING: The source does not exist: " + Src() + "/Nothing"));
    EXPECT_TRUE(Log().contains("WARNING: The source does not exist: " + File("nothing.txt")));
    EXPECT_TRUE(Log().contains("Backup job \"Job\" is finished with warnings. Files copied: 1. Total size of the files: "
                               + FormatByteSize(Job().CurrentBackupSize.load())));
    EXPECT_TRUE(Job().BackupHistory.last().endsWith(": Backup job is finished with warnings."));
}

TEST_P(BackupRunTest, AFailedConnectionCancelsTheRunAndAlwaysReports)
{
    QStringList reports;
    SetRunReportSender([&reports](TJob &, const QString &text) { reports.append(text); });
    Options().Email.SendEmailNotificationWhenFinishedBackup = true;
    Options().Email.SendOnlyIfJobIscancelledDueToErrors = false;
    QString error;
    if (IsSmb()) {
        Job().DestinationSettings.Network.Password = "wrong";
    } else {
        Job().DestinationSettings.LocalOrExternalDrive.Disk = Root() + "/no-such-drive";
        error = "The directory does not exist: " + Root() + "/no-such-drive";
    }
    RunBackup();
    const QStringList log = Log();
    EXPECT_TRUE(log.contains("Backup is cancelled."));
    EXPECT_TRUE(Job().LastJobResult.Cancelled);
    ASSERT_FALSE(Job().BackupHistory.isEmpty());
    const QString history = Job().BackupHistory.last();
    const QString prefix = ": Backup is cancelled. ";
    ASSERT_TRUE(history.contains(prefix));
    const QString text = history.mid(history.indexOf(prefix) + prefix.size());
    if (!error.isEmpty()) {
        EXPECT_EQ(text, error);
    }
    EXPECT_TRUE(EventTexts().contains("\"Job\" backup is cancelled: " + text));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(Untimed(reports), QStringList{"ERROR: " + text});
    EXPECT_FALSE(QFileInfo::exists(SetDir()));
    EXPECT_TRUE(QFileInfo::exists(LogRoot() + "/Job/2024-05-01 15;30;00.txt"));
}

TEST_P(BackupRunTest, TheReportOfAFinishedRunFollowsTheOptions)
{
    QStringList reports;
    SetRunReportSender([&reports](TJob &, const QString &text) { reports.append(text); });
    Write("Data/a.txt", "a");
    Job().Settings.Sources.List = {Folder("Data")};
    Options().Email.SendEmailNotificationWhenFinishedBackup = true;
    Options().Email.SendOnlyIfJobIscancelledDueToErrors = true;
    RunBackup();
    EXPECT_TRUE(reports.isEmpty());
    Options().Email.SendOnlyIfJobIscancelledDueToErrors = false;
    RunBackup();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(Untimed(reports), QStringList{"Backup job \"Job\" is finished. Files copied: 0."});
}

INSTANTIATE_TEST_SUITE_P(Destination, BackupRunTest, ::testing::Values(Destination::QV_ENGINE_DESTINATION),
                         DestinationName);

} // namespace
