// Compressed backup sets from end to end: one archive per run and one per
// file, with and without a password, what lands at the destination, what a
// restore gives back, unreadable sources, cancel, and hostile archives.
#include "engine/files/backupsetlayout.h"
#include "zip/zipreader.h"
#include "enginetestutil.h"

#include <QCoreApplication>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <zip.h>

using namespace EngineTest;

namespace {

// Content and modification time (to the second: the archives keep no
// more) of every file and folder below `root`.
Tree ContentTree(const QString &root)
{
    Tree tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo fi = it.nextFileInfo();
        const std::string rel = QDir(root).relativeFilePath(fi.filePath()).toStdString();
        if (fi.isDir()) {
            tree[rel] = "<dir>";
            continue;
        }
        QFile f(fi.filePath());
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << rel;
        tree[rel] = f.readAll().toStdString() + " @" + std::to_string(fi.lastModified().toSecsSinceEpoch());
    }
    return tree;
}

// The names in an archive, sorted; the open must succeed.
QStringList ArchiveNames(const QString &path, const QString &password)
{
    ZipReader reader;
    QString error;
    EXPECT_TRUE(reader.open(path, password, &error)) << error.toStdString();
    QStringList names;
    for (const ZipEntryInfo &e : reader.entries())
        names.append(e.name);
    names.sort();
    return names;
}

// An archive with the given names and contents, made without the program's
// own writer, which refuses such names.
void WriteRawArchive(const QString &path, const QList<std::pair<QByteArray, QByteArray>> &entries)
{
    QFile::remove(path);
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    ASSERT_NE(z, nullptr);
    std::vector<QByteArray> keep;
    for (const auto &[name, data] : entries) {
        keep.push_back(data);
        zip_source_t *src = zip_source_buffer(z, keep.back().constData(), zip_uint64_t(keep.back().size()), 0);
        ASSERT_NE(src, nullptr);
        ASSERT_GE(zip_file_add(z, name.constData(), src, ZIP_FL_ENC_UTF_8), 0) << name.constData();
    }
    ASSERT_EQ(zip_close(z), 0);
}

class ZipRunTest : public EngineRunTest {
protected:
    void UseZip(bool perFile, bool password, int method = 3, int level = 2)
    {
        TCompression &c = Job().Settings.Compression;
        c.Enabled = true;
        c.CreateIndividualZipForEachItem = perFile;
        c.ProtectWithPassword = password;
        c.Password = password ? QStringLiteral("Geheimnis-ä1") : QString();
        c.EncryptionMethod = quint8(method);
        c.CompressionLevel = quint8(level);
        c.NoCompressionExtensions = QStringLiteral("zip;jpg");
    }
    void MakeTree()
    {
        Write("Data/a.txt", QByteArray("alpha ").repeated(200));
        Write("Data/sub/b.bin", QByteArray("\0\1\2beta", 7));
        Write("Data/photo.jpg", QByteArray("not really a picture"));
        Write("Data/Grüße.txt", "umlauts");
        MakeDir("Data/empty");
        Write("notes.txt", "notes");
        Job().Settings.Sources.List = {Folder("Data"), File("notes.txt")};
    }
    bool LogHas(const QString &prefix) const
    {
        for (const QString &line : Log())
            if (line.startsWith(prefix))
                return true;
        return false;
    }
    int LogCount(const QString &text) const
    {
        int n = 0;
        for (const QString &line : Log())
            n += line.contains(text) ? 1 : 0;
        return n;
    }
    // Resets the whole fixture for the next case of a table.
    void Fresh()
    {
        TearDownEngine();
        SetUpEngine();
    }
};

TEST_P(ZipRunTest, BackupAndRestoreRoundTripInEveryMode)
{
    struct Case {
        bool perFile;
        bool password;
        int method;
        const char *marker;
    };
    const Case cases[] = {
        {false, false, 3, "(ZIP, Full)"},
        {false, true, 3, "(ZIP , Full)"},  // AES-256
        {false, true, 0, "(ZIP , Full)"},  // PKWARE
        {true, false, 3, "(ZIPs, Full)"},
        {true, true, 0, "(ZIPs , Full)"},
        {true, true, 1, "(ZIPs , Full)"},  // AES-128
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "perFile " << c.perFile << " password " << c.password << " method "
                                        << c.method);
        Fresh();
        MakeTree();
        UseZip(c.perFile, c.password, c.method);
        const QString pw = Job().Settings.Compression.Password;
        RunBackup();
        EXPECT_EQ(Errors(), 0) << Log().join('\n').toStdString();
        EXPECT_FALSE(Job().LastJobResult.Cancelled);
        const QStringList runs = RunFolders();
        ASSERT_EQ(runs.size(), 1);
        EXPECT_TRUE(runs.first().endsWith(QString::fromUtf8(c.marker))) << runs.first().toStdString();
        const QString run = RunDir(0);
        if (!c.perFile) {
            EXPECT_TRUE(LogHas("Opening the archive: " + Job().TempFolderPath() + "/data.zip"));
            EXPECT_TRUE(LogHas("Closing the archive: " + Job().TempFolderPath() + "/data.zip"));
            EXPECT_EQ(Entries(run), (QStringList{"_rd.qvl", "_rf.qvl", "_rrd.qvl", "_rrf.qvl", "data.zip"}));
            EXPECT_EQ(ArchiveNames(run + "/data.zip", pw),
                      (QStringList{"Data/", "Data/Grüße.txt", "Data/a.txt", "Data/empty/", "Data/photo.jpg",
                                   "Data/sub/", "Data/sub/b.bin", "notes.txt"}));
            ZipReader reader;
            QString error;
            ASSERT_TRUE(reader.open(run + "/data.zip", pw, &error));
            for (const ZipEntryInfo &e : reader.entries()) {
                if (e.name == "Data/photo.jpg") {
                    EXPECT_EQ(e.compressionMethod, 0); // listed extension: stored
                }
                if (e.name == "Data/a.txt") {
                    EXPECT_EQ(e.compressionMethod, 8);
                }
                if (!e.isFolder) {
                    EXPECT_EQ(e.encrypted, c.password) << e.name.toStdString();
                }
            }
        } else {
            EXPECT_EQ(ArchiveNames(run + "/Data/sub/b.bin.zip", pw), QStringList{"b.bin"});
            EXPECT_EQ(ArchiveNames(run + "/notes.txt.zip", pw), QStringList{"notes.txt"});
            EXPECT_FALSE(QFileInfo::exists(run + "/notes.txt"));
            EXPECT_TRUE(QFileInfo(run + "/Data/empty").isDir());
        }

        // A changed file makes the second run; the chain restores both.
        Write("Data/a.txt", "changed");
        Delete("Data/photo.jpg"); // gone from a listing: a removal
        RunBackup();
        EXPECT_EQ(Errors(), 0) << Log().join('\n').toStdString();
        const QString out = Restore(1, c.password ? pw : QString());
        EXPECT_FALSE(Job().LastJobResult.Cancelled) << Log().join('\n').toStdString();
        EXPECT_EQ(Errors(), 0) << Log().join('\n').toStdString();
        EXPECT_EQ(ContentTree(out), ContentTree(Src()));
        if (c.perFile) { // the downloaded archives are gone again
            EXPECT_EQ(Entries(Job().TempFolderPath()).filter(".zip"), QStringList{});
        }
    }
}

TEST_P(ZipRunTest, ASynchronisedSetIsNeverArchived)
{
    // Archives of a synchronised set would replace the earlier ones with only
    // the changed files; such a job is refused before the set is touched.
    MakeTree();
    Job().Settings.Backup.BackupType = btSynchronization;
    Job().SetDerivedFields();
    UseZip(false, false);
    RunBackup();
    EXPECT_TRUE(Job().LastJobResult.Cancelled);
    EXPECT_EQ(Errors(), 1);
    EXPECT_EQ(LogCount("Compression is not supported for Mirror type."), 1);
    EXPECT_FALSE(QFileInfo::exists(SetDir() + QStringLiteral("/data.zip")));
    EXPECT_FALSE(QFileInfo::exists(DestDir() + QStringLiteral("/Job.qvj")));
}

TEST_P(ZipRunTest, AWrongOrMissingPasswordCancelsTheRestore)
{
    for (const bool perFile : {false, true}) {
        for (const QString &given : {QStringLiteral("wrong"), QString()}) {
            SCOPED_TRACE(testing::Message() << "perFile " << perFile << " password '" << given.toStdString() << "'");
            Fresh();
            MakeTree();
            UseZip(perFile, true, perFile ? 0 : 2);
            RunBackup();
            const QString out = Restore(0, given);
            EXPECT_TRUE(Job().LastJobResult.Cancelled);
            EXPECT_GE(Errors(), 1);
            EXPECT_TRUE(LogHas("Restore is cancelled."));
            // Nothing that looks complete was left behind.
            for (const auto &[name, content] : ContentTree(out))
                EXPECT_EQ(content, "<dir>") << name;
        }
    }
}

TEST_P(ZipRunTest, AnUnreadableFileIsLeftOutOfTheArchiveAndTheListsOnce)
{
    for (const bool skipLocked : {false, true}) {
        SCOPED_TRACE(testing::Message() << "SkipLockedFiles " << skipLocked);
        Fresh();
        MakeTree();
        Write("Data/locked.txt", "in use");
        UseZip(false, false);
        Options().Processing.PreventOtherAppsFromWritingDuringZipping = true;
        Options().Processing.SkipLockedFiles = skipLocked;
        // Another program writes the file and holds it locked.
        const int fd = ::open(QFile::encodeName(File("Data/locked.txt")).constData(), O_RDWR);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
        RunBackup();
        ::close(fd);

        EXPECT_FALSE(Job().LastJobResult.Cancelled);
        EXPECT_EQ(Errors(), skipLocked ? 0 : 1) << Log().join('\n').toStdString();
        EXPECT_EQ(LogCount("Adding to the archive: " + File("Data/locked.txt")), 1);
        EXPECT_EQ(LogCount("locked.txt"), skipLocked ? 1 : 2) << Log().join('\n').toStdString();
        const QString run = RunDir(0);
        const QStringList names = ArchiveNames(run + "/data.zip", QString());
        EXPECT_FALSE(names.contains("Data/locked.txt"));
        EXPECT_TRUE(names.contains("Data/a.txt"));
        EXPECT_FALSE(ReadLines(run + "/" + BackupSet::CopiedFilesFile).contains("Data/locked.txt"));
        EXPECT_FALSE(StoredState().PreviousLocalFilesList.contains("Data/locked.txt"));
        EXPECT_TRUE(StoredState().PreviousLocalFilesList.contains("Data/a.txt"));

        // The rest of the archive is intact.
        ZipReader reader;
        QString error;
        ASSERT_TRUE(reader.open(run + "/data.zip", QString(), &error)) << error.toStdString();
        const QString check = NewOutput();
        EXPECT_TRUE(reader.extractAll(check, &error)) << error.toStdString();
        EXPECT_EQ(ReadBytes(check + "/Data/a.txt"), QByteArray("alpha ").repeated(200));

        // The next run, with the file free again, takes it.
        RunBackup();
        EXPECT_TRUE(ArchiveNames(RunDir(1) + "/data.zip", QString()).contains("Data/locked.txt"));
    }
}

TEST_P(ZipRunTest, AFileThatCannotBeReadKeepsItsPreviousEntryUntilItIsGone)
{
    // Backed up once, then changed and held locked by another program, then
    // deleted: its deletion still reaches the set.
    for (const bool perFile : {false, true}) {
        SCOPED_TRACE(perFile ? "archive per file" : "one archive");
        Fresh();
        Write("Data/a.txt", "a");
        Write("Data/locked.txt", "v1");
        Job().Settings.Sources.List = {Folder("Data")};
        UseZip(perFile, false);
        Options().Processing.PreventOtherAppsFromWritingDuringZipping = true;
        RunBackup();
        const qsizetype k = StoredState().PreviousLocalFilesList.indexOf("Data/locked.txt");
        ASSERT_GE(k, 0);
        const QString firstTime = StoredState().PreviousLocalFilesTimeList.value(k);

        Write("Data/locked.txt", "v2");
        const int fd = ::open(QFile::encodeName(File("Data/locked.txt")).constData(), O_RDWR);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
        RunBackup();
        ::close(fd);
        EXPECT_EQ(Errors(), 1) << Log().join('\n').toStdString();
        const TBackupSetState second = StoredState();
        const qsizetype k2 = second.PreviousLocalFilesList.indexOf("Data/locked.txt");
        ASSERT_GE(k2, 0) << "the entry of the last copy is kept";
        EXPECT_EQ(second.PreviousLocalFilesTimeList.value(k2), firstTime);
        EXPECT_EQ(ReadBytes(Restore(1) + "/Data/locked.txt"), "v1");

        Delete("Data/locked.txt");
        RunBackup();
        EXPECT_EQ(ReadLines(RunDir(2) + "/" + BackupSet::RemovedFilesFile), QStringList{"Data/locked.txt"});
        EXPECT_EQ(ContentTree(Restore(2)), ContentTree(Src()));
    }
}

TEST_P(ZipRunTest, CancelDuringALargeFileStopsIt)
{
    Write("Big/large.bin", QByteArray(24 * 1024 * 1024, 'x'));
    Job().Settings.Sources.List = {Folder("Big")};
    UseZip(false, false, 3, 3);
    std::atomic<int> highest{0};
    std::atomic<bool> fired{false};
    const auto connection = QObject::connect(
        &Job(), &TJob::Changed, &Job(),
        [&] {
            if (QThread::currentThread() == QCoreApplication::instance()->thread())
                return;
            if (Job().CurrentFileOperationType.load() != atAddToZip)
                return;
            const int p = Job().CurrentFileOperationProgress.load();
            highest = std::max(highest.load(), p);
            if (p > 0 && !fired.exchange(true))
                Job().Cancel();
        },
        Qt::DirectConnection);
    NextStamp();
    ASSERT_TRUE(Backup(Job()));
    ASSERT_TRUE(WaitForRunToEnd(Job()));
    QObject::disconnect(connection);
    EXPECT_TRUE(fired);
    EXPECT_TRUE(Job().LastJobResult.Cancelled);
    EXPECT_LT(highest.load(), 50);
    EXPECT_TRUE(LogHas("Closing the archive:"));
    QDirIterator uploaded(DestDir(), {"data.zip"}, QDir::Files, QDirIterator::Subdirectories);
    EXPECT_FALSE(uploaded.hasNext()) << "a cancelled run uploads no archive";
}

TEST_P(ZipRunTest, HostileArchivesRestoreNothingOutsideTheOutputFolder)
{
    enum class Damage { SlipNamesInRunArchive, TruncatedRunArchive, SlipNameInFileArchive, LyingFileArchive };
    for (const Damage damage : {Damage::SlipNamesInRunArchive, Damage::TruncatedRunArchive,
                                Damage::SlipNameInFileArchive, Damage::LyingFileArchive}) {
        SCOPED_TRACE(testing::Message() << "case " << int(damage));
        Fresh();
        Write("Data/a.txt", "alpha");
        Job().Settings.Sources.List = {Folder("Data")};
        const bool perFile = damage == Damage::SlipNameInFileArchive || damage == Damage::LyingFileArchive;
        UseZip(perFile, false);
        RunBackup();
        const QString run = RunDir(0);
        const QString outside = Root() + "/evil.txt";
        switch (damage) {
        case Damage::SlipNamesInRunArchive:
            WriteRawArchive(run + "/data.zip", {{"../evil.txt", "x"}, {"/tmp/qv-evil-abs.txt", "x"}});
            break;
        case Damage::TruncatedRunArchive: {
            QFile f(run + "/data.zip");
            ASSERT_TRUE(f.resize(f.size() - 30));
            break;
        }
        case Damage::SlipNameInFileArchive:
            WriteRawArchive(run + "/Data/a.txt.zip", {{"../../evil.txt", "x"}});
            break;
        case Damage::LyingFileArchive:
            WriteRawArchive(run + "/Data/a.txt.zip", {{"a.txt", "x"}, {"../../evil.txt", "x"}});
            break;
        }
        const QString out = Restore(0);
        EXPECT_TRUE(Job().LastJobResult.Cancelled);
        EXPECT_GE(Errors(), 1);
        EXPECT_FALSE(QFileInfo::exists(outside));
        EXPECT_FALSE(QFileInfo::exists(QFileInfo(out).absolutePath() + "/evil.txt"));
        EXPECT_FALSE(QFileInfo::exists("/tmp/qv-evil-abs.txt"));
        EXPECT_FALSE(QFileInfo::exists(out + "/Data/a.txt"));
    }
}

INSTANTIATE_TEST_SUITE_P(Destination, ZipRunTest, ::testing::Values(Destination::QV_ENGINE_DESTINATION),
                         DestinationName);

} // namespace
