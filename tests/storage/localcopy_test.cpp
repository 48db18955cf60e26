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

} // namespace
