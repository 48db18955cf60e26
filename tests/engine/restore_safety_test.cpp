// State lists and job files from a destination are outside data: entries
// that would lead outside the output folder (or outside the backup set)
// are refused with an error line and never followed.
#include "enginetestutil.h"

#include <functional>

using namespace EngineTest;

namespace {

class RestoreSafetyTest : public EngineRunTest {
public:
    void Append(const QString &path, const QStringList &lines)
    {
        QStringList all = ReadLines(path);
        all.append(lines);
        ASSERT_TRUE(WriteTextLines(path, all));
    }
    void Plant(const QString &path, const QByteArray &data)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
};

TEST_P(RestoreSafetyTest, HostileStateListsAreRefused)
{
    Write("Data/a.txt", "a");
    Job().Settings.Sources.List = {Folder("Data")};
    RunBackup();
    Write("Data/b.txt", "b");
    RunBackup();
    const QString run = SetDir() + "/" + RunFolders().value(1);

    // The lists name paths outside the output folder; the files they would
    // copy from exist, and so do the files they would delete.
    Append(run + "/_rf.qvl", {"../escape.txt", "/abs.txt", "link/x.txt", "Data/../../up.txt"});
    Append(run + "/_rd.qvl", {"../evildir", "link/made"});
    Append(run + "/_rrf.qvl", {"../victim.txt", "/" + Root().mid(1) + "/victim.txt"});
    Append(run + "/_rrd.qvl", {"../victimdir", "link"});
    Plant(SetDir() + "/escape.txt", "should never be copied");
    Plant(run + "/link/x.txt", "through a link");
    Plant(Root() + "/victim.txt", "must survive");
    Plant(Root() + "/victimdir/keep.txt", "must survive");
    QDir().mkpath(Root() + "/elsewhere");

    const QString out = NewOutput();
    ASSERT_TRUE(QFile::link(Root() + "/elsewhere", out + "/link"));
    RestoreInto(1, out);

    const QStringList log = Log();
    for (const char *refused : {"../escape.txt", "/abs.txt", "link/x.txt", "Data/../../up.txt", "../evildir",
                                   "link/made", "../victim.txt", "../victimdir", "link"})
        EXPECT_TRUE(log.contains("ERROR: The path leads outside the output directory: " + QString::fromLatin1(refused))) << refused;
    EXPECT_FALSE(QFileInfo::exists(Root() + "/escape.txt"));
    EXPECT_FALSE(QFileInfo::exists(Root() + "/abs.txt"));
    EXPECT_FALSE(QFileInfo::exists(Root() + "/up.txt"));
    EXPECT_FALSE(QFileInfo::exists(Root() + "/evildir"));
    EXPECT_TRUE(Entries(Root() + "/elsewhere").isEmpty());
    EXPECT_EQ(ReadBytes(Root() + "/victim.txt"), "must survive");
    EXPECT_EQ(ReadBytes(Root() + "/victimdir/keep.txt"), "must survive");
    // What the lists name inside the output folder is restored.
    EXPECT_EQ(ReadBytes(out + "/Data/a.txt"), "a");
    EXPECT_EQ(ReadBytes(out + "/Data/b.txt"), "b");
    EXPECT_TRUE(log.contains("Restore job \"Job\" is finished with errors."));
}

TEST_P(RestoreSafetyTest, ALinkPlantedInTheSetIsNeverFollowed)
{
    // No backup makes a link; one found in a run folder leads anywhere (to
    // a file only root may read, in real life) and is refused.
    const struct {
        const char *name;
        const char *listed; // the entry the restore asks for
        std::function<void(RestoreSafetyTest &, const QString &run)> plant;
    } cases[] = {
        {"a link in place of a file", "Data/b.txt",
         [](RestoreSafetyTest &t, const QString &run) {
             QFile::remove(run + "/Data/b.txt");
             ASSERT_TRUE(QFile::link(t.Root() + "/secret.txt", run + "/Data/b.txt"));
         }},
        {"a link to a folder on the way", "Data/sub/c.txt",
         [](RestoreSafetyTest &t, const QString &run) {
             t.Append(run + "/_rf.qvl", {"Data/sub/c.txt"});
             t.Plant(t.Root() + "/elsewhere/c.txt", "secret");
             ASSERT_TRUE(QFile::link(t.Root() + "/elsewhere", run + "/Data/sub"));
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TearDownEngine();
        SetUpEngine();
        Write("Data/a.txt", "a");
        Write("Data/b.txt", "b");
        Job().Settings.Sources.List = {Folder("Data")};
        RunBackup();
        Plant(Root() + "/secret.txt", "secret");
        c.plant(*this, RunDir(0));

        const QString out = Restore(0);
        EXPECT_TRUE(Job().LastJobResult.Cancelled);
        EXPECT_GE(Errors(), 1);
        QDirIterator it(out, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            EXPECT_NE(ReadBytes(file), "secret") << file.toStdString();
        }
        if (!IsSmb()) {
            // (A share resolves its links itself; the server refuses those
            // that lead out of the share.)
            EXPECT_TRUE(Log().contains("ERROR: The backup holds a symbolic link, which is never followed: "
                                       + RemoteSetPath() + "/" + RunFolders().value(0) + "/" + c.listed))
                << Log().join('\n').toStdString();
        }
    }
}

TEST_P(RestoreSafetyTest, HostileRunFolderNamesAreRefused)
{
    Write("Data/a.txt", "a");
    Job().Settings.Sources.List = {Folder("Data")};
    RunBackup();
    // A job file whose run list points outside the set.
    TBackupSetState state = StoredState();
    state.MainBackupList.append("../../outside (Full)");
    ASSERT_TRUE(Job().SaveRemoteJobFile(DestDir() + "/Job.qvj", state));
    Plant(DestDir() + "/../outside (Full)/_rf.qvl", "\xEF\xBB\xBF");
    const QString out = Restore(1);
    EXPECT_TRUE(Log().contains("ERROR: The path leads outside the backup directory: ../../outside (Full)"));
    EXPECT_TRUE(Job().LastJobResult.Cancelled);
    EXPECT_TRUE(Entries(out).isEmpty());
}

TEST_P(RestoreSafetyTest, ASynchronisationRunNeverDeletesOutsideTheSet)
{
    Job().Settings.Backup.BackupType = btSynchronization;
    Job().Settings.Sources.List = {Folder("Data")};
    Write("Data/a.txt", "a");
    RunBackup();
    TBackupSetState state = StoredState();
    state.PreviousLocalFilesList.append("../precious.txt");
    state.PreviousLocalFilesTimeList.append("2020-01-01 00:00:00:000");
    state.PreviousLocalDirsList.append("../precious-dir");
    ASSERT_TRUE(Job().SaveRemoteJobFile(DestDir() + "/Job.qvj", state));
    Plant(DestDir() + "/precious.txt", "keep");
    QDir().mkpath(DestDir() + "/precious-dir");

    RunBackup();
    const QStringList log = Log();
    EXPECT_TRUE(log.contains("ERROR: The path leads outside the backup directory: ../precious.txt"));
    EXPECT_TRUE(log.contains("ERROR: The path leads outside the backup directory: ../precious-dir"));
    EXPECT_EQ(ReadBytes(DestDir() + "/precious.txt"), "keep");
    EXPECT_TRUE(QFileInfo(DestDir() + "/precious-dir").isDir());
    EXPECT_EQ(ReadTree(SetDir()), ReadTree(Src()));
}

TEST_P(RestoreSafetyTest, AHostileStartFlagNeverNamesAFolderOutsideTheSet)
{
    Options().Processing.RemovePreviousBackupIfCancelled = true;
    Write("Data/a.txt", "a");
    Job().Settings.Sources.List = {Folder("Data")};
    RunBackup();
    QDir().mkpath(DestDir() + "/neighbour");
    Plant(DestDir() + "/neighbour/keep.txt", "keep");
    ASSERT_TRUE(WriteTextLines(SetDir() + "/_startflag.qvl", {"../neighbour"}));
    RunBackup();
    EXPECT_TRUE(Log().contains("ERROR: The path leads outside the backup directory: ../neighbour"));
    EXPECT_EQ(ReadBytes(DestDir() + "/neighbour/keep.txt"), "keep");
    EXPECT_EQ(RunFolders().size(), 2); // the set itself was kept
}

TEST_P(RestoreSafetyTest, ADamagedJobFileCancelsTheRunAndKeepsTheSet)
{
    Write("Data/a.txt", "a");
    Job().Settings.Sources.List = {Folder("Data")};
    RunBackup();
    const QStringList before = Entries(SetDir());
    QFile f(DestDir() + "/Job.qvj");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("garbage");
    f.close();
    RunBackup();
    EXPECT_TRUE(Job().LastJobResult.Cancelled);
    EXPECT_GE(Errors(), 1);
    EXPECT_EQ(Entries(SetDir()), before);
    const RestorePointList points = ReadPoints();
    EXPECT_FALSE(points.ok);
    EXPECT_FALSE(points.error.isEmpty());
    EXPECT_EQ(Job().JobStatus.load(), jsNone);
}

INSTANTIATE_TEST_SUITE_P(Destination, RestoreSafetyTest, ::testing::Values(Destination::QV_ENGINE_DESTINATION),
                         DestinationName);

} // namespace
