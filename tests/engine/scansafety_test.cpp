// What the scan does with what it cannot read or must not follow: missing
// source items, folders that cannot be listed and files that cannot be read
// keep their previous state; links, devices, pipes and sockets are skipped
// with a warning; a destination inside a source leaves its own set out; a
// file written to while it is copied is copied once more; sparse files come
// back sparse.
#include "engine/files/changedetection.h"
#include "enginetestutil.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <cstring>
#include <functional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using namespace EngineTest;

namespace {

// The reference state's files with their change keys.
std::map<QString, QString> FilesWithTimes(const TBackupSetState &s)
{
    std::map<QString, QString> out;
    for (qsizetype i = 0; i < s.PreviousLocalFilesList.size(); ++i)
        out[s.PreviousLocalFilesList.at(i)] = s.PreviousLocalFilesTimeList.value(i);
    return out;
}

QStringList Sorted(QStringList l)
{
    l.sort();
    return l;
}

// The blocks a file occupies on disk, in bytes.
qint64 AllocatedBytes(const QString &path)
{
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return qint64(st.st_blocks) * 512;
}

enum class Mode { Plain, OneArchive, ArchivePerFile };

const char *ModeName(Mode m)
{
    return m == Mode::Plain ? "plain" : m == Mode::OneArchive ? "one archive" : "archive per file";
}

class ScanSafetyTest : public EngineRunTest {
protected:
    void TearDown() override
    {
        QObject::disconnect(m_connection);
        EngineRunTest::TearDown();
    }

    void Fresh()
    {
        QObject::disconnect(m_connection);
        TearDownEngine();
        SetUpEngine();
    }

    void UseType(TBackupType type)
    {
        Job().Settings.Backup.BackupType = type;
        Job().SetDerivedFields();
    }

    void UseMode(Mode mode)
    {
        TCompression &c = Job().Settings.Compression;
        c.Enabled = mode != Mode::Plain;
        c.CreateIndividualZipForEachItem = mode == Mode::ArchivePerFile;
    }

    // Calls `hook` on the worker at every change notification of the job.
    void OnWorker(std::function<void()> hook)
    {
        QObject::disconnect(m_connection);
        m_connection = QObject::connect(
            &Job(), &TJob::Changed, &Job(),
            [hook = std::move(hook)] {
                if (QThread::currentThread() != QCoreApplication::instance()->thread())
                    hook();
            },
            Qt::DirectConnection);
    }

    bool LogHasLineStarting(const QString &prefix) const
    {
        for (const QString &line : Log())
            if (line.startsWith(prefix))
                return true;
        return false;
    }

    // The set holds no trace of a removal: no removed entries recorded in
    // run `index` (or, in a mirror, nothing deleted).
    void ExpectNoRemovals(int index)
    {
        for (const QString &line : Log()) {
            const bool removal = (line.startsWith("Removing the file:") && !line.endsWith("/_startflag.qvl"))
                                 || line.startsWith("Removing the empty directory:");
            EXPECT_FALSE(removal) << line.toStdString();
        }
        if (Job().Settings.Backup.BackupType != btSynchronization) {
            EXPECT_EQ(ReadLines(RunDir(index) + "/_rrf.qvl"), QStringList());
            EXPECT_EQ(ReadLines(RunDir(index) + "/_rrd.qvl"), QStringList());
        }
    }

    // What the latest state restores (a mirror: the mirror itself).
    Tree LatestBackup()
    {
        if (Job().Settings.Backup.BackupType == btSynchronization)
            return ReadTree(SetDir());
        return ReadTree(Restore(int(RunFolders().size()) - 1));
    }

    QMetaObject::Connection m_connection;
};

const TBackupType kKeepingTypes[] = {btIncremental, btSynchronization};

const char *TypeName(TBackupType t)
{
    return t == btSynchronization ? "synchronisation" : "incremental";
}

TEST_P(ScanSafetyTest, AMissingSourceItemKeepsItsPreviousState)
{
    for (const TBackupType type : kKeepingTypes) {
        SCOPED_TRACE(TypeName(type));
        Fresh();
        UseType(type);
        Write("Data/a.txt", "a");
        Write("Data/sub/b.txt", "b");
        Write("notes.txt", "n");
        Job().Settings.Sources.List = {Folder("Data"), File("notes.txt")};
        RunBackup();
        const Tree before = ReadTree(Src());
        const TBackupSetState first = StoredState();

        // The disk that held them is unplugged.
        ASSERT_TRUE(QDir().rename(Src() + "/Data", Root() + "/away-Data"));
        ASSERT_TRUE(QFile::rename(File("notes.txt"), Root() + "/away-notes.txt"));
        RunBackup();
        EXPECT_FALSE(Job().LastJobResult.Cancelled);
        EXPECT_TRUE(Log().contains("WARNING: The source does not exist: " + Src() + "/Data"));
        EXPECT_TRUE(Log().contains("WARNING: The source does not exist: " + File("notes.txt")));
        ExpectNoRemovals(1);
        const TBackupSetState second = StoredState();
        EXPECT_EQ(FilesWithTimes(second), FilesWithTimes(first));
        EXPECT_EQ(Sorted(second.PreviousLocalDirsList), Sorted(first.PreviousLocalDirsList));
        EXPECT_EQ(LatestBackup(), before);

        // Back again, without a.txt: a listing that no longer shows it is
        // a removal.
        ASSERT_TRUE(QDir().rename(Root() + "/away-Data", Src() + "/Data"));
        ASSERT_TRUE(QFile::rename(Root() + "/away-notes.txt", File("notes.txt")));
        Delete("Data/a.txt");
        RunBackup();
        if (type != btSynchronization) {
            EXPECT_EQ(ReadLines(RunDir(2) + "/_rrf.qvl"), QStringList{"Data/a.txt"});
        }
        EXPECT_EQ(LatestBackup(), ReadTree(Src()));
    }
}

// A source folder Data with a subfolder (of a long name) that the second
// run cannot list; `breakIt` makes it so and returns the path the warning
// names, `repair` undoes it.
class UnreadableFolderTest : public ScanSafetyTest {
protected:
    const QString deep = "deep-" + QString(95, QLatin1Char('x'));

    void ExpectPreviousStateKept(const std::function<QString()> &breakIt, const std::function<void()> &repair)
    {
        for (const TBackupType type : kKeepingTypes) {
            SCOPED_TRACE(TypeName(type));
            Fresh();
            UseType(type);
            Write("Data/a.txt", "a");
            Write("Data/" + deep + "/b.txt", "b");
            Write("Data/" + deep + "/inner/c.txt", "c");
            Job().Settings.Sources.List = {Folder("Data")};
            RunBackup();
            const Tree before = ReadTree(Src());
            const TBackupSetState first = StoredState();

            const QString unreadable = breakIt();
            struct Repair {
                const std::function<void()> &repair;
                ~Repair() { repair(); }
            } repairAtEnd{repair};
            RunBackup();
            EXPECT_FALSE(Job().LastJobResult.Cancelled);
            EXPECT_TRUE(LogHasLineStarting("WARNING: The directory cannot be read, its previous backup is kept: "
                                           + unreadable + " ("))
                << Log().join('\n').toStdString();
            ExpectNoRemovals(1);
            EXPECT_EQ(FilesWithTimes(StoredState()), FilesWithTimes(first));
            EXPECT_EQ(Sorted(StoredState().PreviousLocalDirsList), Sorted(first.PreviousLocalDirsList));
            EXPECT_EQ(LatestBackup(), before);
        }
    }
};

TEST_P(UnreadableFolderTest, AFolderWhosePathIsTooLongToOpenKeepsItsPreviousState)
{
    // The folder is moved below a parent so long that Data's own path still
    // opens but the subfolder's does not (for root too).
    const QString parent = [this] {
        const int parentLength = 4000 - 5; // "<parent>/Data" is 4000 characters
        QString p = Root() + "/long";
        while (parentLength - p.size() > 252)
            p += "/" + QString(250, QLatin1Char('l'));
        p += "/" + QString(parentLength - p.size() - 1, QLatin1Char('m'));
        return p;
    }();
    ExpectPreviousStateKept(
        [&] {
            EXPECT_TRUE(QDir().mkpath(parent));
            EXPECT_TRUE(QDir().rename(Src() + "/Data", parent + "/Data"));
            Job().Settings.Sources.List = {parent + "/Data/*"};
            const QString path = parent + "/Data/" + deep + "/";
            EXPECT_GT(path.size(), 4095);
            return path;
        },
        [&] {
            QDir().rename(parent + "/Data", Src() + "/Data");
            QDir(Root() + "/long").removeRecursively();
        });
}

TEST_P(UnreadableFolderTest, AFolderWithoutReadPermissionKeepsItsPreviousState)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root lists a folder whatever its permissions";
    const QByteArray path = QFile::encodeName(Src() + "/Data/" + deep);
    ExpectPreviousStateKept(
        [&] {
            EXPECT_EQ(::chmod(path.constData(), 0), 0);
            return Src() + "/Data/" + deep + "/";
        },
        [&] { ::chmod(path.constData(), 0755); });
}

TEST_P(ScanSafetyTest, AFileThatVanishesBetweenListingAndCopyKeepsItsPreviousEntry)
{
    for (const TBackupType type : kKeepingTypes) {
        SCOPED_TRACE(TypeName(type));
        Fresh();
        UseType(type);
        Write("Data/a.txt", "a1");
        Write("Data/b.txt", "b1");
        Job().Settings.Sources.List = {Folder("Data")};
        RunBackup();
        const QString firstTimeOfA = FilesWithTimes(StoredState())["Data/a.txt"];
        const QString firstTimeOfB = FilesWithTimes(StoredState())["Data/b.txt"];
        const Tree before = ReadTree(Src());

        // Both change; while the first of them is copied, the other one is
        // deleted: the listing has shown it, its status is gone.
        Write("Data/a.txt", "a2");
        Write("Data/b.txt", "b2");
        std::atomic<bool> fired{false};
        QString victim;
        OnWorker([&] {
            const QString path = Job().CurrentFileOperationPath();
            if ((path != File("Data/a.txt") && path != File("Data/b.txt")) || fired.exchange(true))
                return;
            victim = path == File("Data/a.txt") ? "Data/b.txt" : "Data/a.txt";
            QFile::remove(File(victim));
        });
        RunBackup();
        QObject::disconnect(m_connection);
        ASSERT_TRUE(fired);
        const QString copied = victim == "Data/a.txt" ? "Data/b.txt" : "Data/a.txt";
        EXPECT_TRUE(Log().contains("WARNING: The file does not exist: " + File(victim)));
        ExpectNoRemovals(1);
        // The vanished file keeps the entry and time of its last copy; the
        // other one is the new copy.
        const std::map<QString, QString> times = FilesWithTimes(StoredState());
        EXPECT_EQ(times.at(victim), victim == "Data/a.txt" ? firstTimeOfA : firstTimeOfB);
        EXPECT_EQ(times.at(copied), FileTimeText(QFileInfo(File(copied)).lastModified()));
        Tree expected = ReadTree(Src());
        expected[victim.toStdString()] = before.at(victim.toStdString());
        EXPECT_EQ(LatestBackup(), expected);

        // The next listing does not show it: now it is removed.
        RunBackup();
        if (type != btSynchronization) {
            EXPECT_EQ(ReadLines(RunDir(2) + "/_rrf.qvl"), QStringList{victim});
        }
        EXPECT_EQ(LatestBackup(), ReadTree(Src()));
    }
}

TEST_P(ScanSafetyTest, AFileWithoutReadPermissionKeepsItsPreviousEntryAndItsRemovalIsMirrored)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads a file whatever its permissions";
    UseType(btSynchronization);
    Write("Data/a.txt", "a");
    Write("Data/sub/locked.txt", "l1");
    Job().Settings.Sources.List = {Folder("Data")};
    RunBackup();
    const QString firstTime = FilesWithTimes(StoredState())["Data/sub/locked.txt"];

    Write("Data/sub/locked.txt", "l2");
    const QByteArray locked = QFile::encodeName(File("Data/sub/locked.txt"));
    ASSERT_EQ(::chmod(locked.constData(), 0), 0);
    RunBackup();
    ::chmod(locked.constData(), 0644);
    EXPECT_EQ(Errors(), 1);
    EXPECT_EQ(FilesWithTimes(StoredState()).at("Data/sub/locked.txt"), firstTime);
    EXPECT_EQ(ReadBytes(SetDir() + "/Data/sub/locked.txt"), "l1");

    // The file and its folder go: the mirror follows, folder included.
    Delete("Data/sub");
    RunBackup();
    EXPECT_FALSE(Job().LastJobResult.Cancelled) << Log().join('\n').toStdString();
    EXPECT_EQ(Errors(), 0);
    EXPECT_EQ(ReadTree(SetDir()), ReadTree(Src()));
}

TEST_P(ScanSafetyTest, LinksDevicesPipesAndSocketsAreSkippedWithAWarningEach)
{
    Write("Data/a.txt", "a");
    Write("Outside/secret.txt", "not part of the source");
    ASSERT_TRUE(QFile::link(Src() + "/Outside/secret.txt", Src() + "/Data/file-link"));
    ASSERT_TRUE(QFile::link(Src() + "/Outside", Src() + "/Data/folder-link"));
    ASSERT_TRUE(QFile::link(Src() + "/nowhere", Src() + "/Data/dangling"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(Src() + "/Data/pipe").constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(Src() + "/pipe-item").constData(), 0600), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    const QByteArray socketPath = QFile::encodeName(Src() + "/Data/socket");
    ASSERT_LT(size_t(socketPath.size()), sizeof addr.sun_path);
    std::memcpy(addr.sun_path, socketPath.constData(), size_t(socketPath.size()));
    ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr *>(&addr), sizeof addr), 0);
    QStringList skipped = {"symbolic link is skipped: " + Src() + "/Data/file-link",
                           "symbolic link is skipped: " + Src() + "/Data/folder-link",
                           "symbolic link is skipped: " + Src() + "/Data/dangling",
                           "device, pipe or socket is skipped: " + Src() + "/Data/pipe",
                           "device, pipe or socket is skipped: " + Src() + "/Data/socket",
                           "device, pipe or socket is skipped: " + Src() + "/pipe-item"};
    // A device node needs the right to make one, which a container may lack.
    if (::mknod(QFile::encodeName(Src() + "/Data/null").constData(), S_IFCHR | 0600, makedev(1, 3)) == 0)
        skipped.append("device, pipe or socket is skipped: " + Src() + "/Data/null");
    Job().Settings.Sources.List = {Folder("Data"), File("pipe-item")};
    RunBackup();
    ::close(sock);

    EXPECT_FALSE(Job().LastJobResult.Cancelled);
    EXPECT_EQ(Errors(), 0) << Log().join('\n').toStdString();
    EXPECT_EQ(Warnings(), skipped.size()) << Log().join('\n').toStdString();
    for (const QString &line : skipped)
        EXPECT_TRUE(Log().contains("WARNING: The " + line)) << line.toStdString();
    // (The source is never read as a tree here: opening the pipe would wait.)
    const std::string a = "a @" + std::to_string(QFileInfo(File("Data/a.txt")).lastModified().toMSecsSinceEpoch());
    EXPECT_EQ(ReadTree(RunDir(0), StateFileNames()), (Tree{{"Data", "<dir>"}, {"Data/a.txt", a}}));
    EXPECT_EQ(StoredState().PreviousLocalFilesList, QStringList{"Data/a.txt"});
    EXPECT_EQ(StoredState().PreviousLocalDirsList, QStringList{"Data"});
}

TEST_P(ScanSafetyTest, ADestinationInsideTheSourceLeavesItsOwnSetOut)
{
    if (IsSmb())
        GTEST_SKIP() << "only a local destination can lie inside a local source";
    const QString destination = Src() + "/Data/backups";
    Job().DestinationSettings.LocalOrExternalDrive.Disk = destination;
    QDir().mkpath(destination);
    const auto stored = [&] {
        TBackupSetState state;
        TJob_FilesAndFolders(QStringLiteral("Job")).LoadRemoteJobFile(destination + "/Job.qvj", false, state);
        return state;
    };
    Write("Data/a.txt", "a");
    Job().Settings.Sources.List = {Folder("Data")};
    const QString warning =
        "WARNING: The destination is inside the source and is left out of the backup: " + Src() + "/Data/backups/Job";
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        Write("Data/a.txt", QByteArray("a") + QByteArray::number(run));
        RunBackup();
        EXPECT_FALSE(Job().LastJobResult.Cancelled);
        EXPECT_EQ(Log().count(warning), 1) << Log().join('\n').toStdString();
        EXPECT_EQ(stored().PreviousLocalFilesList, QStringList{"Data/a.txt"});
        EXPECT_EQ(Sorted(stored().PreviousLocalDirsList), (QStringList{"Data", "Data/backups"}));
    }
    const std::string a = ReadBytes(File("Data/a.txt")).toStdString() + " @"
                          + std::to_string(QFileInfo(File("Data/a.txt")).lastModified().toMSecsSinceEpoch());
    EXPECT_EQ(ReadTree(Restore(2)), (Tree{{"Data", "<dir>"}, {"Data/a.txt", a}, {"Data/backups", "<dir>"}}));
}

TEST_P(ScanSafetyTest, AFileWrittenToWhileItIsCopiedIsCopiedOnceMore)
{
    // A file of several chunks, rewritten with other bytes after its first
    // chunk was read: a single copy would hold the start of the old content
    // and the rest of the new one.
    const qsizetype size = 9 * 1024 * 1024 + 123;
    const auto content = [size](char c) { return QByteArray(size, c); };
    for (const Mode mode : {Mode::Plain, Mode::OneArchive, Mode::ArchivePerFile}) {
        for (const bool everyPass : {false, true}) {
            SCOPED_TRACE(testing::Message() << ModeName(mode) << (everyPass ? ", changing on every pass" : ", changing once"));
            Fresh();
            UseMode(mode);
            Write("Data/big.bin", content('a'));
            Job().Settings.Sources.List = {Folder("Data")};
            // Each pass over the file reports its progress from 0 upwards;
            // the file is rewritten at the first report within a pass.
            std::atomic<int> passes{0};
            std::atomic<int> last{100};
            char next = 'b';
            OnWorker([&] {
                if (Job().CurrentFileOperationPath() != File("Data/big.bin"))
                    return;
                const int p = Job().CurrentFileOperationProgress.load();
                const bool newPass = p < last.exchange(p);
                if (p <= 0 || p >= 100 || !newPass || (!everyPass && passes.load() > 0))
                    return;
                ++passes;
                QFile f(File("Data/big.bin"));
                if (f.open(QIODevice::ReadWrite)) {
                    f.write(content(next++));
                    f.flush();
                    f.setFileTime(QDateTime(QDate(2023, 6, 1), QTime(9, 0)).addSecs(passes.load()),
                                  QFileDevice::FileModificationTime);
                }
            });
            last = 100;
            RunBackup();
            QObject::disconnect(m_connection);
            ASSERT_GE(passes.load(), 1);
            EXPECT_FALSE(Job().LastJobResult.Cancelled);
            EXPECT_EQ(Errors(), 0) << Log().join('\n').toStdString();
            const QString warning = "WARNING: The file was changed while it was copied: " + File("Data/big.bin");
            EXPECT_EQ(Log().count(warning), everyPass ? 1 : 0) << Log().join('\n').toStdString();
            EXPECT_EQ(Warnings(), everyPass ? 1 : 0);
            if (!everyPass) {
                // The copy of the second pass is the file as it is now.
                const QString out = Restore(0);
                EXPECT_TRUE(ReadBytes(out + "/Data/big.bin") == ReadBytes(File("Data/big.bin")));
            }
        }
    }
}

TEST_P(ScanSafetyTest, ASparseFileIsRestoredSparse)
{
    const qint64 size = 64 * 1024 * 1024;
    const QByteArray head(8192, 'h');
    const QByteArray middle(4096, 'm');
    for (const Mode mode : {Mode::Plain, Mode::OneArchive, Mode::ArchivePerFile}) {
        SCOPED_TRACE(ModeName(mode));
        Fresh();
        UseMode(mode);
        MakeDir("Data");
        {
            QFile f(File("Data/disk.img"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(head);
            ASSERT_TRUE(f.seek(size / 2));
            f.write(middle);
            ASSERT_TRUE(f.resize(size)); // and a hole at the end
        }
        ASSERT_LT(AllocatedBytes(File("Data/disk.img")), size / 8) << "the file system makes no holes";
        Job().Settings.Sources.List = {Folder("Data")};
        RunBackup();
        EXPECT_EQ(Errors(), 0) << Log().join('\n').toStdString();
        if (mode == Mode::Plain && !IsSmb()) {
            EXPECT_LT(AllocatedBytes(RunDir(0) + "/Data/disk.img"), size / 8) << "backed up sparse";
        }
        const QString out = Restore(0);
        const QString restored = out + "/Data/disk.img";
        EXPECT_EQ(QFileInfo(restored).size(), size);
        EXPECT_LT(AllocatedBytes(restored), size / 8);
        EXPECT_TRUE(ReadBytes(restored) == ReadBytes(File("Data/disk.img")));
    }
}

INSTANTIATE_TEST_SUITE_P(Destination, ScanSafetyTest, ::testing::Values(Destination::QV_ENGINE_DESTINATION),
                         DestinationName);
INSTANTIATE_TEST_SUITE_P(Destination, UnreadableFolderTest, ::testing::Values(Destination::QV_ENGINE_DESTINATION),
                         DestinationName);

} // namespace
