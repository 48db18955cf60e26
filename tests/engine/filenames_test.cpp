// File names beyond plain text, from end to end: line breaks, control
// characters, bytes that are not UTF-8 and the characters a network share
// refuses, backed up in every storage mode and restored byte for byte, with
// the run log showing them as escapes.
#include "enginetestutil.h"

#include "base/filenamecodec.h"
#include "storage/uncpath.h"

#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>

using namespace EngineTest;

namespace {

namespace fs = std::filesystem;

// Names as the file system holds them: bytes.
const QByteArray kNames[] = {
    "plain.txt",
    "line\nfeed.txt",
    "carriage\rreturn\r",
    "caf\xE9.txt",           // Latin-1
    "\xFF\xFE two bytes",     // the byte the state lists escape with
    "tab\tand\x1B[31mred",
    "colon: star* ask?.txt", // a share refuses these as they stand
    "back\\slash \"quoted\" <a|b>",
    "\xEF\xBB\xBF" "starts with a mark",
};
const QByteArray kFolder = "sub\nfolder \xE9";

fs::path Native(const QString &root, const QByteArray &relative = QByteArray())
{
    const fs::path base(root.toStdString());
    return relative.isEmpty() ? base : base / fs::path(relative.toStdString());
}

// Every file below `root` by its name's bytes: its content and modification
// second, and every folder.
Tree RawTree(const QString &root)
{
    Tree tree;
    const fs::path base = Native(root);
    for (const fs::directory_entry &e : fs::recursive_directory_iterator(base)) {
        const std::string rel = e.path().lexically_relative(base).string();
        if (e.is_directory()) {
            tree[rel] = "<dir>";
            continue;
        }
        std::ifstream in(e.path(), std::ios::binary);
        const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        struct stat st {};
        EXPECT_EQ(::stat(e.path().c_str(), &st), 0) << rel;
        tree[rel] = content + " @" + std::to_string(st.st_mtim.tv_sec);
    }
    return tree;
}

class FileNameTest : public EngineRunTest {
protected:
    // A file under its raw name with a distinct modification time.
    void WriteRaw(const QByteArray &relative, const QByteArray &data)
    {
        const fs::path path = Native(Src(), relative);
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::trunc).write(data.constData(), data.size());
        const timespec times[2] = {{1672560000 + ++m_secs, 0}, {1672560000 + m_secs, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << relative.constData();
    }
    void RemoveRaw(const QByteArray &relative) { fs::remove_all(Native(Src(), relative)); }

    void MakeTree()
    {
        for (const QByteArray &name : kNames) {
            WriteRaw("Data/" + name, "content of " + name);
            WriteRaw("Data/" + kFolder + '/' + name, "inner " + name);
        }
        Job().Settings.Sources.List = {Folder(QStringLiteral("Data"))};
    }
    void UseMode(bool zip, bool perFile)
    {
        TCompression &c = Job().Settings.Compression;
        c.Enabled = zip;
        c.CreateIndividualZipForEachItem = perFile;
        c.ProtectWithPassword = zip;
        c.Password = zip ? QStringLiteral("pw") : QString();
        c.EncryptionMethod = 3;
    }
    // No line of the run log holds a control character (or a lone surrogate,
    // which would not survive as UTF-8), and each odd name shows escaped.
    void ExpectLogShowsNamesEscaped()
    {
        const QStringList log = Job().RunLogSnapshot();
        for (const QString &line : log) {
            for (const QChar c : line)
                EXPECT_FALSE(c.unicode() < 0x20 || c.isSurrogate()) << line.toStdString();
        }
        EXPECT_TRUE(log.join(QLatin1Char('\n')).contains(QStringLiteral("line\\nfeed.txt")))
            << log.join('\n').toStdString();
        EXPECT_TRUE(log.join(QLatin1Char('\n')).contains(QStringLiteral("caf\\xE9.txt")));
    }
    // The fixture's own clean-up goes through Qt, which cannot reach names
    // that are not UTF-8: they are removed by their bytes first.
    void RemoveRawFolders()
    {
        std::error_code ec;
        fs::remove_all(Native(Root()), ec);
    }
    void Fresh()
    {
        TearDownEngine();
        RemoveRawFolders();
        SetUpEngine();
        m_secs = 0;
    }
    void TearDown() override
    {
        TearDownEngine();
        RemoveRawFolders();
    }

    int m_secs = 0;
};

TEST_P(FileNameTest, EveryNameIsBackedUpAndRestoredByteForByteInEveryMode)
{
    const struct {
        const char *mode;
        bool zip;
        bool perFile;
    } modes[] = {{"plain", false, false}, {"one archive", true, false}, {"one archive per file", true, true}};
    for (const auto &m : modes) {
        SCOPED_TRACE(m.mode);
        Fresh();
        MakeTree();
        UseMode(m.zip, m.perFile);
        RunBackup();
        EXPECT_EQ(Errors(), 0) << Log().join('\n').toStdString();
        EXPECT_EQ(Warnings(), 0) << Log().join('\n').toStdString();
        ExpectLogShowsNamesEscaped();
        if (!m.zip && !IsSmb()) {
            // A local destination holds each copy under its own name.
            Tree copied = RawTree(RunDir(0) + QStringLiteral("/Data"));
            EXPECT_EQ(copied, RawTree(Src() + QStringLiteral("/Data")));
        }
        const QString out = Restore(0, Job().Settings.Compression.Password);
        EXPECT_EQ(Errors(), 0) << Log().join('\n').toStdString();
        EXPECT_FALSE(Job().LastJobResult.Cancelled);
        EXPECT_EQ(RawTree(out + QStringLiteral("/Data")), RawTree(Src() + QStringLiteral("/Data")));
        ExpectLogShowsNamesEscaped();
    }
}

// Later runs record removals of such names (the removal lists) and a
// synchronised set keeps them in the remote job file's reference lists and
// mirrors their deletion: every point restores to the source as it was.
TEST_P(FileNameTest, RemovalsAndMirrorsKeepEveryName)
{
    for (const TBackupType type : {btIncremental, btSynchronization}) {
        SCOPED_TRACE(int(type));
        Fresh();
        MakeTree();
        Job().Settings.Backup.BackupType = type;
        RunBackup();
        ASSERT_EQ(Errors(), 0) << Log().join('\n').toStdString();
        const Tree first = RawTree(Src() + QStringLiteral("/Data"));

        RemoveRaw("Data/line\nfeed.txt");
        RemoveRaw("Data/" + kFolder);
        WriteRaw("Data/caf\xE9.txt", "changed");
        RunBackup();
        ASSERT_EQ(Errors(), 0) << Log().join('\n').toStdString();
        const Tree second = RawTree(Src() + QStringLiteral("/Data"));
        ASSERT_NE(first, second);

        if (type == btSynchronization) {
            EXPECT_EQ(RawTree(Restore(-1) + QStringLiteral("/Data")), second);
            if (!IsSmb()) {
                EXPECT_EQ(RawTree(SetDir() + QStringLiteral("/Data")), second);
            }
        } else {
            EXPECT_EQ(RawTree(Restore(0) + QStringLiteral("/Data")), first);
            EXPECT_EQ(RawTree(Restore(1) + QStringLiteral("/Data")), second);
        }
        EXPECT_EQ(Errors(), 0) << Log().join('\n').toStdString();
    }
}

// A restore that stops on a file names it, escaped like every name in the log.
TEST_P(FileNameTest, ARestoreErrorNamesTheFileItFailedOn)
{
    MakeTree();
    RunBackup();
    ASSERT_EQ(Errors(), 0) << Log().join('\n').toStdString();
    // The copy at the destination is lost (a share stores the name mapped).
    const QString name = FileNameFromBytes("caf\xE9.txt");
    const QString stored = IsSmb() ? ShareName(name) : name;
    ASSERT_TRUE(fs::remove(Native(RunDir(0) + QStringLiteral("/Data/"), FileNameToBytes(stored))));
    Restore(0);
    EXPECT_TRUE(Job().LastJobResult.Cancelled);
    bool named = false;
    for (const QString &line : Log())
        named = named || (line.startsWith(QStringLiteral("ERROR: ")) && line.endsWith(QStringLiteral("/Data/caf\\xE9.txt")));
    EXPECT_TRUE(named) << Log().join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Destination, FileNameTest, ::testing::Values(Destination::QV_ENGINE_DESTINATION),
                         DestinationName);

} // namespace
