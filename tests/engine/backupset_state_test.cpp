// The backup set keeps every restore point it lists: what an unfinished or
// unlucky earlier run left behind (a start flag, a job file that cannot be
// read, a vanished folder), a changed backup type and old backups removed
// before copying never cost a point that a restore still needs.
#include "base/bytesize.h"
#include "engine/files/backupsetlayout.h"
#include "enginetestutil.h"

#include <functional>
#include <unistd.h>

using namespace EngineTest;

namespace {

class BackupSetStateTest : public EngineRunTest {
protected:
    // Two complete runs of an incremental job; returns the source as each
    // point holds it.
    std::vector<Tree> TwoRuns()
    {
        Write("Data/a.txt", "a1");
        Write("Data/sub/b.txt", "b1");
        Job().Settings.Sources.List = {Folder("Data")};
        RunBackup();
        std::vector<Tree> trees{ReadTree(Src())};
        Write("Data/a.txt", "a2");
        RunBackup();
        trees.push_back(ReadTree(Src()));
        return trees;
    }
    // Every listed point is at the destination and restores as `trees` say.
    void ExpectPointsRestore(const std::vector<Tree> &trees)
    {
        const QStringList folders = RunFolders();
        ASSERT_GE(folders.size(), qsizetype(trees.size()));
        for (size_t i = 0; i < trees.size(); ++i) {
            SCOPED_TRACE(folders[qsizetype(i)].toStdString());
            EXPECT_TRUE(QFileInfo(SetDir() + "/" + folders[qsizetype(i)]).isDir());
            EXPECT_EQ(ReadTree(Restore(int(i))), trees[i]);
        }
    }
    // The folder the next run (one hour on) writes.
    QString NextRunFolder(TBackupType runType)
    {
        return BackupSet::RunFolderName(Stamp().addSecs(3600), Job().Settings.Compression, runType);
    }
    // A file where the next run's folder has to go: that run fails at the
    // destination before it copies anything. Returns the file's path.
    QString BlockNextRun(TBackupType runType)
    {
        const QString path = SetDir() + "/" + NextRunFolder(runType);
        QFile blocker(path);
        EXPECT_TRUE(blocker.open(QIODevice::WriteOnly)) << path.toStdString();
        return path;
    }
    bool LogHasLineStartingWith(const QString &start) const
    {
        for (const QString &line : Log()) {
            if (line.startsWith(start))
                return true;
        }
        return false;
    }
};

TEST_P(BackupSetStateTest, AStartFlagNamingAListedFolderLeavesThatPointAlone)
{
    // What a run leaves when it ends between the upload of the job file and
    // the deletion of its flag: a complete point that the flag still names.
    for (const bool removeOption : {true, false}) {
        SCOPED_TRACE(removeOption ? "remove unfinished runs" : "rename unfinished runs");
        TearDownEngine();
        SetUpEngine();
        Options().Processing.RemovePreviousBackupIfCancelled = removeOption;
        std::vector<Tree> trees = TwoRuns();
        const QString second = RunFolders().value(1);
        ASSERT_TRUE(WriteTextLines(SetDir() + "/_startflag.qvl", {second}));

        Write("Data/a.txt", "a3");
        RunBackup();
        trees.push_back(ReadTree(Src()));
        EXPECT_FALSE(Job().LastJobResult.Cancelled);
        EXPECT_FALSE(LogHasLineStartingWith("Removing the full directory:"));
        EXPECT_FALSE(LogHasLineStartingWith("Renaming the directory:"));
        EXPECT_EQ(RunFolders().value(1), second);
        EXPECT_EQ(RunFolders().size(), 3);
        EXPECT_FALSE(QFileInfo::exists(SetDir() + "/_startflag.qvl"));
        ExpectPointsRestore(trees);
    }
}

TEST_P(BackupSetStateTest, AnEmptyOrUnreadableStartFlagRemovesNothingOutsideAMirror)
{
    struct Case {
        const char *what;
        std::function<void(const QString &flag)> plant;
    };
    const Case cases[] = {
        {"an empty flag", [](const QString &flag) { ASSERT_TRUE(WriteTextLines(flag, {})); }},
        {"a flag that cannot be read", [](const QString &flag) { ASSERT_TRUE(QDir().mkpath(flag + "/inside")); }},
        {"a flag naming a place outside the set",
         [](const QString &flag) { ASSERT_TRUE(WriteTextLines(flag, {"../../elsewhere"})); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TearDownEngine();
        SetUpEngine();
        Options().Processing.RemovePreviousBackupIfCancelled = true;
        const std::vector<Tree> trees = TwoRuns();
        const QStringList before = RunFolders();
        c.plant(SetDir() + "/_startflag.qvl");

        Write("Data/a.txt", "a3");
        RunBackup();
        EXPECT_TRUE(Log().contains("WARNING: The previous backup has been cancelled and the backup files may be "
                                   "corrupted."));
        EXPECT_FALSE(LogHasLineStartingWith("Removing the full directory:"));
        EXPECT_TRUE(QFileInfo::exists(DestDir() + "/Job.qvj"));
        EXPECT_EQ(RunFolders().mid(0, 2), before);
        ExpectPointsRestore(trees);
    }
}

TEST_P(BackupSetStateTest, AJobFileThatCannotBeReadEndsTheRunAndDeletesNothing)
{
    struct Case {
        const char *what;
        std::function<bool(const QString &jobFile)> damage; // false: the case cannot be made here
        const char *error;                                  // the start of the run's error line
    };
    const Case cases[] = {
        {"a folder in its place",
         [](const QString &jobFile) {
             return QFile::remove(jobFile) && QDir().mkpath(jobFile + "/inside");
         },
         "ERROR: Unable to copy the job file \"Job.qvj\" from the backup directory. "},
        {"damaged content",
         [](const QString &jobFile) {
             QFile f(jobFile);
             return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(QByteArray(64, '\x5a')) == 64;
         },
         "ERROR: "},
        // Root reads every file whatever its permissions, and the test
        // server's share is served as root too: only then is this case
        // left out.
        {"no permission to read it",
         [](const QString &jobFile) {
             return geteuid() != 0 && QFile::setPermissions(jobFile, QFileDevice::Permissions());
         },
         "ERROR: Unable to copy the job file \"Job.qvj\" from the backup directory. "},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TearDownEngine();
        SetUpEngine();
        const std::vector<Tree> trees = TwoRuns();
        const QStringList folders = RunFolders();
        const QString jobFile = DestDir() + "/Job.qvj";
        const QByteArray stored = ReadBytes(jobFile);
        if (!c.damage(jobFile))
            continue;
        const QStringList entries = Entries(SetDir());

        Write("Data/a.txt", "a3");
        RunBackup();
        EXPECT_TRUE(Job().LastJobResult.Cancelled);
        EXPECT_TRUE(LogHasLineStartingWith(QString::fromUtf8(c.error))) << Log().join("\n").toStdString();
        EXPECT_TRUE(Log().contains("Backup is cancelled."));
        EXPECT_EQ(Entries(SetDir()), entries); // no folder made, none removed

        // Mended, the set goes on with every point it had.
        QFile::setPermissions(jobFile, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (QFileInfo(jobFile).isDir())
            QDir(jobFile).removeRecursively();
        QFile f(jobFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(stored), stored.size());
        f.close();
        EXPECT_EQ(RunFolders(), folders);
        ExpectPointsRestore(trees);
    }
}

TEST_P(BackupSetStateTest, RemovingOldBackupsFirstRecordsTheShortenedSetAtOnce)
{
    Job().Settings.Backup.BackupType = btFull;
    Job().Settings.Backup.NumberFullCopiesToKeep = 1;
    Job().Settings.Backup.RemoveOldBackupsBeforeStartingNewBackup = true;
    Job().SetDerivedFields();
    Write("Data/a.txt", "a1");
    Job().Settings.Sources.List = {Folder("Data")};
    RunBackup();
    Write("Data/a.txt", "a2");
    RunBackup();
    ASSERT_EQ(RunFolders().size(), 1);
    const QString kept = RunFolders().value(0);

    // The next run removes the kept point first, then fails.
    const QString blocker = BlockNextRun(btFull);
    RunBackup();
    EXPECT_TRUE(Job().LastJobResult.Cancelled);
    EXPECT_TRUE(Log().contains("Removing the old backups."));
    EXPECT_FALSE(QFileInfo::exists(SetDir() + "/" + kept));
    // The set lists no point it no longer has.
    EXPECT_EQ(StoredState().MainBackupList, QStringList{"Full)"});
    const RestorePointList points = ReadPoints();
    ASSERT_TRUE(points.ok) << points.error.toStdString();
    EXPECT_TRUE(points.points.isEmpty());
    CancelRestore(Job());

    ASSERT_TRUE(QFile::remove(blocker));
    Write("Data/a.txt", "a3");
    RunBackup();
    EXPECT_FALSE(Job().LastJobResult.Cancelled);
    ASSERT_EQ(RunFolders().size(), 1);
    EXPECT_EQ(ReadTree(Restore(0)), ReadTree(Src()));
}

TEST_P(BackupSetStateTest, AChangedBackupTypeKeepsTheOldSetUntilTheNewOneHasAPoint)
{
    struct Change {
        const char *name;
        TBackupType from;
        TBackupType to;
    };
    const Change changes[] = {{"incremental to differential", btIncremental, btDifferential},
                                  {"differential to full", btDifferential, btFull},
                                  {"full to incremental", btFull, btIncremental}};
    for (const Change &c : changes) {
        SCOPED_TRACE(c.name);
        TearDownEngine();
        SetUpEngine();
        Job().Settings.Backup.BackupType = c.from;
        Job().SetDerivedFields();
        const std::vector<Tree> trees = TwoRuns();
        const QStringList old = RunFolders();

        // The new set's first run fails: the old set is still whole.
        Job().Settings.Backup.BackupType = c.to;
        Job().SetDerivedFields();
        Write("Data/a.txt", "a3");
        const QString blocker = BlockNextRun(btFull);
        RunBackup();
        EXPECT_TRUE(Job().LastJobResult.Cancelled);
        EXPECT_TRUE(Log().contains("WARNING: Backup type has been changed in the settings. Going to remove existing "
                                   "backup before to run this job."));
        EXPECT_EQ(RunFolders(), old);
        ExpectPointsRestore(trees);

        // Once the new set has its first point, the old one goes. (Reading
        // the restore points gave the job the old set's type again.)
        ASSERT_TRUE(QFile::remove(blocker));
        Job().Settings.Backup.BackupType = c.to;
        Job().SetDerivedFields();
        RunBackup();
        EXPECT_FALSE(Job().LastJobResult.Cancelled);
        EXPECT_EQ(Warnings(), 1);
        EXPECT_EQ(Errors(), 0);
        const QStringList now = RunFolders();
        ASSERT_EQ(now.size(), 1);
        EXPECT_TRUE(now[0].endsWith("(Full)"));
        EXPECT_EQ(StoredState().MainBackupList.value(0), BackupSet::MarkerLine(c.to));
        EXPECT_EQ(Entries(SetDir()), QStringList{now[0]});
        // The copy was made before the old folders went.
        const QStringList log = Log();
        EXPECT_GT(log.indexOf("Removing the full directory: " + RemoteSetPath() + "/" + old[0]),
                  log.indexOf("Copying the file: " + TempRoot() + "/Job.qvj"));
        EXPECT_EQ(ReadTree(Restore(0)), ReadTree(Src()));
    }
}

TEST_P(BackupSetStateTest, AChangeToOrFromAMirrorReplacesTheSetFirst)
{
    // A mirror lies directly in the set's folder: the old set goes before
    // the new one is written, as it always did.
    for (const bool toMirror : {true, false}) {
        SCOPED_TRACE(toMirror ? "to a mirror" : "from a mirror");
        TearDownEngine();
        SetUpEngine();
        Job().Settings.Backup.BackupType = toMirror ? btIncremental : btSynchronization;
        Job().SetDerivedFields();
        TwoRuns();
        Job().Settings.Backup.BackupType = toMirror ? btSynchronization : btIncremental;
        Job().SetDerivedFields();
        RunBackup();
        EXPECT_FALSE(Job().LastJobResult.Cancelled);
        const QStringList log = Log();
        const qsizetype removal = log.indexOf("Removing the full directory: " + RemoteSetPath());
        EXPECT_GE(removal, 0);
        EXPECT_LT(removal, log.indexOf("Starting the directory backup: " + Src() + "/Data"));
        if (toMirror) {
            EXPECT_EQ(StoredState().MainBackupList, QStringList{"Syncronization)"});
            EXPECT_EQ(ReadTree(SetDir()), ReadTree(Src()));
        } else {
            EXPECT_EQ(RunFolders().size(), 1);
            EXPECT_EQ(Entries(SetDir()), RunFolders());
        }
    }
}

TEST_P(BackupSetStateTest, AMissingFolderOfTheChainMakesAFullCopy)
{
    struct Case {
        const char *what;
        TBackupType type;
        int missing; // index of the run folder that vanishes
    };
    const Case cases[] = {{"incremental set without its full copy", btIncremental, 0},
                          {"incremental set without its last increment", btIncremental, 1},
                          {"differential set without its full copy", btDifferential, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TearDownEngine();
        SetUpEngine();
        Job().Settings.Backup.BackupType = c.type;
        Job().SetDerivedFields();
        TwoRuns();
        const QString gone = RunFolders().value(c.missing);
        ASSERT_TRUE(QDir(SetDir() + "/" + gone).removeRecursively());

        Write("Data/sub/b.txt", "b2");
        RunBackup();
        EXPECT_FALSE(Job().LastJobResult.Cancelled);
        EXPECT_TRUE(Log().contains("WARNING: The directory does not exist: " + RemoteSetPath() + "/" + gone));
        EXPECT_TRUE(Log().contains("A backup this copy builds on is missing. We need to perform a full backup."));
        const QStringList folders = RunFolders();
        ASSERT_EQ(folders.size(), 3);
        EXPECT_TRUE(folders.last().endsWith("(Full)")) << folders.last().toStdString();
        EXPECT_EQ(ReadTree(Restore(2)), ReadTree(Src()));
    }
}

TEST_P(BackupSetStateTest, ANameTheDestinationRefusesSkipsThatEntryOnly)
{
    // The default options: a destination that cannot be reached cancels
    // the run. A name it refuses is no such case.
    Options().Processing = TOptions().Processing;
    Options().Processing.IfDestinationNotAvailable_Wait_Sec = 0;
    Write("Data/ok.txt", "fine");
    Write("Data/zz-after.txt", "after");
    QString refusedFile, refusedFolder;
    if (IsSmb()) {
        // A share holds "?" and ":" under a three-byte mapping each: names
        // that fit the source become longer than the server's file system
        // allows.
        refusedFile = "Data/" + QString(90, QLatin1Char('?')) + ".txt";
        refusedFolder = "Data/dir" + QString(90, QLatin1Char(':'));
    } else {
        // Names that fit the source but make the copy's path longer than
        // the system allows (the copy lies deeper than its source). The
        // difference in depth:
        const int extra = int(SetDir().size() + 1 + NextRunFolder(btFull).size() - Src().size());
        const int limit = 4095; // PATH_MAX without its terminator
        // A source path of `length` characters under `top` whose last name
        // has 100 (so that only the last entry's copy is too long).
        const auto pathOf = [this](const QString &top, int length) {
            QString path = top;
            const int folders = length - int(Src().size()) - 1 - 101;
            while (path.size() < folders)
                path += "/" + QString(std::min<int>(200, folders - int(path.size()) - 1), QLatin1Char('d'));
            return path + "/" + QString(100, QLatin1Char('n'));
        };
        ASSERT_GT(extra, 7);
        ASSERT_LT(extra, 100);
        // The file's copy exceeds the limit, its folder's copy does not.
        refusedFile = pathOf("Data/f", limit - extra / 2);
        // The folder's copy exceeds the limit, the file in it does not.
        refusedFolder = pathOf("Data/g", limit - 7);
    }
    Write(refusedFile, "refused");
    Write(refusedFolder + "/in.txt", "refused with its folder");
    Job().Settings.Sources.List = {Folder("Data")};

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        RunBackup();
        EXPECT_FALSE(Job().LastJobResult.Cancelled) << Log().join("\n").toStdString();
        EXPECT_EQ(Errors(), 2);
        EXPECT_FALSE(LogHasLineStartingWith("Retry after"));
        EXPECT_TRUE(LogHasLineStartingWith("Backup job \"Job\" is finished with errors."));
        const TBackupSetState state = StoredState();
        EXPECT_FALSE(state.PreviousLocalFilesList.contains(refusedFile));
        EXPECT_FALSE(state.PreviousLocalDirsList.contains(refusedFolder));
        Tree expected;
        for (const auto &[path, content] : ReadTree(Src())) {
            const QString p = QString::fromStdString(path);
            if (p != refusedFile && p != refusedFolder && !p.startsWith(refusedFolder + "/"))
                expected[path] = content;
        }
        EXPECT_EQ(ReadTree(Restore(run - 1)), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Destination, BackupSetStateTest, ::testing::Values(Destination::QV_ENGINE_DESTINATION),
                         DestinationName);

} // namespace
