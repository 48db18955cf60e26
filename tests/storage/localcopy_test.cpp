// The local copy routine: content, times and permission bits, progress,
// cancel, unbuffered mode, and that no partial file ever takes the target's name.
#include "storage/localcopy.h"
#include "storagetestutil.h"
#include "support/testnames.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace StorageTest;

namespace {

class LocalCopyTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.path() + QLatin1Char('/') + name; }
};

struct CopyCase {
    const char *name;
    qint64 size;
    bool unbuffered;
};

void PrintTo(const CopyCase &c, std::ostream *os)
{
    *os << c.name << ": " << c.size << " bytes" << (c.unbuffered ? ", unbuffered" : "");
}

class LocalCopyContent : public LocalCopyTest, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(LocalCopyContent, CopiesBytesTimesAndPermissions)
{
    const CopyCase c = GetParam();
    const QByteArray data = Pattern(c.size, int(c.size % 97));
    WriteFile(path("src"), data);
    ASSERT_EQ(chmod(QFile::encodeName(path("src")).constData(), 0640), 0);
    struct timespec times[2] = {{1000000000, 0}, {1234567890, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(path("src")).constData(), times, 0), 0);

    QList<int> progress;
    LocalCopyOptions o;
    o.progress = [&](int p) { progress << p; };
    o.unbuffered = c.unbuffered;
    CopyLocalFile(path("src"), path("dst"), o);

    EXPECT_EQ(ReadFile(path("dst")), data);
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(path("dst")).constData(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1234567890);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last(), c.size == 0 ? 0 : 100);
    for (int i = 1; i < progress.size(); ++i)
        EXPECT_LT(progress[i - 1], progress[i]) << "progress must only grow";
    EXPECT_TRUE(TempEntries(dir.path()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, LocalCopyContent,
                         ::testing::Values(CopyCase{"empty", 0, false}, CopyCase{"small", 1000, false},
                                           CopyCase{"chunks", (9 << 20) + 4097, false},
                                           CopyCase{"unbuffered_small", 5000, true},
                                           CopyCase{"unbuffered_chunks", (9 << 20) + 3, true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(TransferPercentTest, RoundsAndHandlesEmpty)
{
    EXPECT_EQ(TransferPercent(0, 0), 0);
    EXPECT_EQ(TransferPercent(1, 200), 1);   // 0.5 rounds up
    EXPECT_EQ(TransferPercent(1, 201), 0);   // 0.497...
    EXPECT_EQ(TransferPercent(199, 200), 100); // 99.5
    EXPECT_EQ(TransferPercent(50, 100), 50);
    EXPECT_EQ(TransferPercent(7, 5), 100);   // a file that grew while copied
}

TEST_F(LocalCopyTest, ReplacesAReadOnlyTarget)
{
    WriteFile(path("src"), "new content");
    WriteFile(path("dst"), "old");
    ASSERT_EQ(chmod(QFile::encodeName(path("dst")).constData(), 0444), 0);
    CopyLocalFile(path("src"), path("dst"));
    EXPECT_EQ(ReadFile(path("dst")), "new content");
}

TEST_F(LocalCopyTest, CancelInTheMiddleLeavesTheTargetAsItWas)
{
    WriteFile(path("src"), Pattern(24 << 20));
    WriteFile(path("dst"), "previous backup");
    std::atomic<qint32> cancel{0};
    QList<int> progress;
    LocalCopyOptions o;
    o.cancel = &cancel;
    o.progress = [&](int p) {
        progress << p;
        if (p > 0)
            cancel = -1;
    };
    EXPECT_THROW(CopyLocalFile(path("src"), path("dst"), o), LocalCopyCancelled);
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_LT(progress.last(), 100) << "the copy stopped in the middle";
    EXPECT_EQ(ReadFile(path("dst")), "previous backup");
    EXPECT_EQ(Entries(dir.path()), (QStringList{"dst", "src"})) << "no partial file left";
}

TEST_F(LocalCopyTest, CancelBeforeStartCopiesNothing)
{
    WriteFile(path("src"), "x");
    std::atomic<qint32> cancel{-1};
    LocalCopyOptions o;
    o.cancel = &cancel;
    EXPECT_THROW(CopyLocalFile(path("src"), path("dst"), o), LocalCopyCancelled);
    EXPECT_FALSE(Exists(path("dst")));
}

TEST_F(LocalCopyTest, ErrorsCarryTheSideAndTheSystemMessage)
{
    try {
        CopyLocalFile(path("missing"), path("dst"));
        FAIL() << "no error";
    } catch (const LocalCopyError &e) {
        EXPECT_EQ(e.side(), LocalCopyError::Source);
        EXPECT_EQ(e.code(), ENOENT);
        EXPECT_EQ(e.message(), QString::fromLocal8Bit(strerror(ENOENT)));
        EXPECT_FALSE(e.inUse());
    }
    WriteFile(path("src"), "x");
    try {
        CopyLocalFile(path("src"), path("no/such/folder/dst"));
        FAIL() << "no error";
    } catch (const LocalCopyError &e) {
        EXPECT_EQ(e.side(), LocalCopyError::Target);
        EXPECT_EQ(e.code(), ENOENT);
    }
    QDir().mkpath(path("adir"));
    try {
        CopyLocalFile(path("adir"), path("dst"));
        FAIL() << "no error";
    } catch (const LocalCopyError &e) {
        EXPECT_EQ(e.side(), LocalCopyError::Source);
        EXPECT_EQ(e.code(), EISDIR);
    }
    EXPECT_FALSE(Exists(path("dst")));
}

TEST(LocalCopyErrors, InUseMeansBusyOrTextBusyOnly)
{
    EXPECT_TRUE(IsInUseError(EBUSY));
    EXPECT_TRUE(IsInUseError(ETXTBSY));
    EXPECT_FALSE(IsInUseError(EACCES));
    EXPECT_FALSE(IsInUseError(EPERM));
}

// The copy is unnamed (or, where the file system cannot, under a temporary
// name) until it is complete; it then takes the target's name, replacing a
// file there, and nothing else is left in the folder.
TEST_F(LocalCopyTest, LocalTargetFileIsInvisibleUntilCommitted)
{
    {
        LocalTargetFile f(path("out"), false);
        f.Write("abc", 3);
        EXPECT_FALSE(Exists(path("out")));
        EXPECT_EQ(Entries(dir.path()), TempEntries(dir.path()));
        EXPECT_LE(TempEntries(dir.path()).size(), 1);
    } // dropped without Commit
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
    LocalTargetFile f(path("out"), false);
    f.Write("abc", 3);
    f.Commit(0600, {1, 0}, {2, 0});
    EXPECT_EQ(ReadFile(path("out")), "abc");
    EXPECT_EQ(QFileInfo(path("out")).lastModified().toSecsSinceEpoch(), 2);

    LocalTargetFile again(path("out"), false);
    again.Write("replaced", 8);
    EXPECT_EQ(ReadFile(path("out")), "abc");
    again.Commit(0640, {1, 0}, {3, 0});
    EXPECT_EQ(ReadFile(path("out")), "replaced");
    EXPECT_EQ(QFileInfo(path("out")).lastModified().toSecsSinceEpoch(), 3);
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("out")});
}

// ---------------------------------------------------------------- sparse files

// Where the data of a file lies, as the file system tells it (SEEK_DATA and
// SEEK_HOLE): pairs of start and end.
QList<QPair<qint64, qint64>> DataRanges(const QString &file)
{
    QList<QPair<qint64, qint64>> ranges;
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY);
    EXPECT_GE(fd, 0);
    off_t at = 0;
    while (true) {
        const off_t data = ::lseek(fd, at, SEEK_DATA);
        if (data < 0)
            break;
        const off_t hole = ::lseek(fd, data, SEEK_HOLE);
        ranges.append({qint64(data), qint64(hole)});
        at = hole;
    }
    ::close(fd);
    return ranges;
}

qint64 Allocated(const QString &file)
{
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    return qint64(st.st_blocks) * 512;
}

// Data at 0, a hole, data at 8 MiB + 4 KiB, and a hole to the end.
void WriteSparse(const QString &file)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(Pattern(10000, 3)), 10000);
    ASSERT_TRUE(f.seek((8 << 20) + 4096));
    ASSERT_EQ(f.write(Pattern(5 << 20, 4)), 5 << 20);
    ASSERT_TRUE(f.resize(32 << 20));
}

class SparseCopy : public LocalCopyTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SparseCopy, KeepsTheHolesAndTheBytes)
{
    WriteSparse(path("src"));
    const auto ranges = DataRanges(path("src"));
    ASSERT_GE(ranges.size(), 2) << "the file system keeps no holes";
    LocalCopyOptions o;
    o.unbuffered = GetParam();
    CopyLocalFile(path("src"), path("dst"), o);
    EXPECT_EQ(QFileInfo(path("dst")).size(), 32 << 20);
    EXPECT_TRUE(ReadFile(path("dst")) == ReadFile(path("src")));
    EXPECT_EQ(DataRanges(path("dst")), ranges);
    EXPECT_LT(Allocated(path("dst")), 8 << 20);
}

INSTANTIATE_TEST_SUITE_P(Modes, SparseCopy, ::testing::Bool(),
                         [](const auto &info) { return std::string(info.param ? "unbuffered" : "buffered"); });

TEST_F(LocalCopyTest, WritingSkippingZerosLeavesAlignedZeroBlocksAsHoles)
{
    // Data and zeros in pieces that are not aligned to the blocks: only
    // whole zero blocks become holes, and the bytes read back the same.
    QByteArray data = Pattern(5000, 1);
    data += QByteArray(3 << 20, '\0');
    data += Pattern(100, 2);
    data += QByteArray(10000, '\0');
    data += QByteArray(1 << 20, '\0'); // a hole at the end
    LocalTargetFile f(path("out"), false);
    for (qsizetype at = 0; at < data.size(); at += 777777)
        f.WriteSkippingZeros(data.constData() + at, size_t(std::min<qsizetype>(777777, data.size() - at)));
    f.Commit(0600, {1, 0}, {2, 0});
    EXPECT_TRUE(ReadFile(path("out")) == data);
    EXPECT_LE(Allocated(path("out")), 64 * 1024);
}

// ---------------------------------------------------------------- torn copies

struct ChangeCase {
    const char *name;
    bool unbuffered;
    bool everyPass; // the source is rewritten while each pass reads it
};

class SourceChangedWhileCopied : public LocalCopyTest, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(SourceChangedWhileCopied, IsCopiedOnceMoreAndReportedWhenItChangesAgain)
{
    // Several chunks; after the first chunk of a pass the file gets other
    // bytes and another time: one pass alone would give a mix of both.
    const ChangeCase c = GetParam();
    const qint64 size = (9 << 20) + 5;
    WriteFile(path("src"), Pattern(size, 1));
    int rewrites = 0;
    int last = 100;
    int reported = 0;
    LocalCopyOptions o;
    o.unbuffered = c.unbuffered;
    o.changedWhileCopied = [&] { ++reported; };
    o.progress = [&](int p) {
        const bool newPass = p < last;
        last = p;
        if (newPass && p < 100 && (c.everyPass || rewrites == 0)) {
            ++rewrites;
            WriteFile(path("src"), Pattern(size, 1 + rewrites));
            struct timespec times[2] = {{UTIME_OMIT, UTIME_OMIT}, {1600000000 + rewrites, 0}};
            ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(path("src")).constData(), times, 0), 0);
        }
    };
    CopyLocalFile(path("src"), path("dst"), o);
    EXPECT_EQ(rewrites, c.everyPass ? 2 : 1);
    EXPECT_EQ(reported, c.everyPass ? 1 : 0);
    if (!c.everyPass) {
        EXPECT_TRUE(ReadFile(path("dst")) == ReadFile(path("src")));
        EXPECT_EQ(QFileInfo(path("dst")).lastModified(), QFileInfo(path("src")).lastModified());
    }
    EXPECT_TRUE(TempEntries(dir.path()).isEmpty()) << "the first pass leaves nothing";
}

INSTANTIATE_TEST_SUITE_P(Cases, SourceChangedWhileCopied,
                         ::testing::Values(ChangeCase{"once", false, false}, ChangeCase{"once_unbuffered", true, false},
                                           ChangeCase{"every_pass", false, true},
                                           ChangeCase{"every_pass_unbuffered", true, true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(LocalCopyTest, ASourceCutShortWhileCopiedIsCopiedAsItIsNow)
{
    WriteFile(path("src"), Pattern((9 << 20) + 5, 1));
    bool cut = false;
    LocalCopyOptions o;
    int reported = 0;
    o.changedWhileCopied = [&] { ++reported; };
    o.progress = [&](int p) {
        if (!cut && p > 0 && p < 100) {
            cut = true;
            ASSERT_EQ(::truncate(QFile::encodeName(path("src")).constData(), 1000), 0);
        }
    };
    CopyLocalFile(path("src"), path("dst"), o);
    ASSERT_TRUE(cut);
    EXPECT_EQ(reported, 0);
    EXPECT_TRUE(ReadFile(path("dst")) == Pattern((9 << 20) + 5, 1).left(1000));
}

// ---------------------------------------------------------------- links

TEST_F(LocalCopyTest, NoLinkBelowTheLinkFreeFolderIsFollowed)
{
    // A set below `set`, reached itself through a link (as a user may
    // reach a disk); inside it, links that lead out.
    QDir().mkpath(path("disk/set/run/sub"));
    WriteFile(path("secret"), "secret");
    QDir().mkpath(path("elsewhere"));
    WriteFile(path("elsewhere/x.txt"), "secret too");
    WriteFile(path("disk/set/run/real.txt"), "real");
    ASSERT_TRUE(QFile::link(path("disk"), path("disk-link")));
    ASSERT_TRUE(QFile::link(path("secret"), path("disk/set/run/file-link")));
    ASSERT_TRUE(QFile::link(path("elsewhere"), path("disk/set/run/folder-link")));
    ASSERT_TRUE(QFile::link(path("disk/set/run"), path("disk/set/run-link")));
    LocalCopyOptions o;
    o.linkFreeBelow = path("disk-link/set");

    CopyLocalFile(path("disk-link/set/run/real.txt"), path("out"), o);
    EXPECT_EQ(ReadFile(path("out")), "real");
    for (const char *refused : {"disk-link/set/run/file-link", "disk-link/set/run/folder-link/x.txt",
                                "disk-link/set/run-link/real.txt"}) {
        try {
            CopyLocalFile(path(QString::fromLatin1(refused)), path("refused"), o);
            ADD_FAILURE() << refused << " was followed";
        } catch (const LocalCopyError &e) {
            EXPECT_EQ(e.side(), LocalCopyError::Source) << refused;
            EXPECT_EQ(e.code(), ELOOP) << refused;
        }
        EXPECT_FALSE(Exists(path("refused"))) << refused;
    }
    // Without the option a link is followed as usual.
    CopyLocalFile(path("disk/set/run/file-link"), path("followed"));
    EXPECT_EQ(ReadFile(path("followed")), "secret");
}

} // namespace
