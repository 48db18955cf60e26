// Files that may hold passwords are their user's alone: the data folder and
// the local job file, the remote job file and the state lists at a local
// destination. The backed-up files keep their own permissions.
#include "clitestfixture.h"

#include <QDirIterator>
#include <sys/stat.h>

namespace {
mode_t Mode(const QString &path)
{
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st.st_mode & 07777;
}
} // namespace

TEST_F(CliTest, FilesThatMayHoldPasswordsAreTheUsersAlone)
{
    const QString src = Dir(QStringLiteral("Photos"));
    const QString dest = Dir(QStringLiteral("dest"));
    Write(src + QStringLiteral("/a.txt"), "a");
    ASSERT_EQ(::chmod(QFile::encodeName(src + QStringLiteral("/a.txt")).constData(), 0644), 0);
    // The data folder as an earlier version left it: readable by everyone.
    ASSERT_TRUE(QDir().mkpath(DataFolder()));
    ASSERT_EQ(::chmod(QFile::encodeName(DataFolder()).constData(), 0755), 0);

    CliResult r = Cli({QStringLiteral("create"), QStringLiteral("Pics"), QStringLiteral("--source"), src,
                       QStringLiteral("--to"), dest, QStringLiteral("--zip"), QStringLiteral("each"),
                       QStringLiteral("--zip-password"), QStringLiteral("s3cret")});
    ASSERT_EQ(r.exitCode, 0) << r;
    EXPECT_EQ(Mode(DataFolder()), 0700u);
    EXPECT_EQ(Mode(DataFolder() + QStringLiteral("/Pics.qvd")), 0600u);

    r = Cli({QStringLiteral("backup"), QStringLiteral("Pics")});
    ASSERT_EQ(r.exitCode, 0) << r;
    EXPECT_EQ(Mode(dest + QStringLiteral("/Pics.qvj")), 0600u);
    int lists = 0;
    QDirIterator it(dest + QStringLiteral("/Pics"), {QStringLiteral("*.qvl")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        EXPECT_EQ(Mode(it.next()), 0600u) << it.filePath().toStdString();
        ++lists;
    }
    EXPECT_EQ(lists, 4) << "the four state lists of the run";

    // Restored, the file has the permissions it had.
    const QString out = m_home + QStringLiteral("/work/out");
    r = Cli({QStringLiteral("restore"), QStringLiteral("Pics"), QStringLiteral("--latest"), QStringLiteral("--to"), out,
             QStringLiteral("--password"), QStringLiteral("s3cret")});
    ASSERT_EQ(r.exitCode, 0) << r;
    EXPECT_EQ(Mode(out + QStringLiteral("/Photos/a.txt")), 0644u);
}
