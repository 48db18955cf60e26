// Damaged stored files around the commands: a damaged jobs list or remote
// job file stops each command with a message that names the file and what
// the user can do, and changes nothing.
#include "clitestfixture.h"

#include <QFileInfo>

namespace {
class StoredFiles : public CliTest {
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        m_src = Dir(QStringLiteral("src"));
        m_dest = Dir(QStringLiteral("dest"));
        Write(m_src + QStringLiteral("/a.txt"), "first");
    }
    // The job "Docs" with one finished backup.
    void CreateAndBackUp()
    {
        CliResult r = Cli({QStringLiteral("create"), QStringLiteral("Docs"), QStringLiteral("--source"), m_src,
                           QStringLiteral("--to"), m_dest});
        ASSERT_EQ(r.exitCode, 0) << r;
        r = Cli({QStringLiteral("backup"), QStringLiteral("Docs")});
        ASSERT_EQ(r.exitCode, 0) << r;
    }
    // The commands of the table, with their paths filled in.
    QStringList Command(const char *const *words) const
    {
        QStringList args;
        for (const char *const *w = words; *w; ++w) {
            const QString word = QString::fromUtf8(*w);
            if (word == QLatin1String("SRC"))
                args << m_src;
            else if (word == QLatin1String("DEST"))
                args << m_dest;
            else if (word == QLatin1String("OUT"))
                args << m_home + QStringLiteral("/work/out");
            else
                args << word;
        }
        return args;
    }
    QString ListPath() const { return DataFolder() + QStringLiteral("/jobslist.qvl"); }

    QString m_src;
    QString m_dest;
};

struct CommandCase {
    const char *name;
    const char *const *words; // ends with nullptr
};

const char *const kList[] = {"list", nullptr};
const char *const kBackup[] = {"backup", "Docs", nullptr};
const char *const kPoints[] = {"points", "Docs", nullptr};
const char *const kRestore[] = {"restore", "Docs", "--latest", "--to", "OUT", nullptr};
const char *const kRemove[] = {"remove", "Docs", nullptr};
const char *const kLog[] = {"log", "Docs", nullptr};
const char *const kCreate[] = {"create", "Other", "--source", "SRC", "--to", "DEST", nullptr};
const char *const kRun[] = {"run", nullptr};

std::string caseName(const ::testing::TestParamInfo<CommandCase> &info)
{
    return info.param.name;
}

class DamagedJobsList : public StoredFiles, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(DamagedJobsList, StopsTheCommandAndSaysWhatToDo)
{
    CreateAndBackUp();
    // What a crash of the file system often leaves: the right size, all zeros.
    const QByteArray damaged(TestEnv::ReadFile(ListPath()).size(), '\0');
    Write(ListPath(), damaged);
    const QByteArray jobFile = TestEnv::ReadFile(DataFolder() + QStringLiteral("/Docs.qvd"));

    const CliResult r = Cli(Command(GetParam().words));
    EXPECT_NE(r.exitCode, 0) << r;
    EXPECT_TRUE(r.out.isEmpty()) << r;
    EXPECT_TRUE(r.err.contains(QStringLiteral("Error: unable to read the jobs list: ") + ListPath() +
                               QStringLiteral(" (line 1 holds a NUL byte). Restore it from a copy, or repair it")))
        << r;
    EXPECT_FALSE(r.err.contains(QStringLiteral("There is no job named"))) << r;
    // Nothing was changed: the list, the job file and the backups.
    EXPECT_EQ(TestEnv::ReadFile(ListPath()), damaged);
    EXPECT_EQ(TestEnv::ReadFile(DataFolder() + QStringLiteral("/Docs.qvd")), jobFile);
    EXPECT_TRUE(QFileInfo::exists(m_dest + QStringLiteral("/Docs.qvj")));
    EXPECT_FALSE(QFileInfo::exists(ListPath() + QStringLiteral(".damaged")));
}

INSTANTIATE_TEST_SUITE_P(Commands, DamagedJobsList,
                         ::testing::Values(CommandCase{"List", kList}, CommandCase{"Backup", kBackup},
                                           CommandCase{"Points", kPoints}, CommandCase{"Restore", kRestore},
                                           CommandCase{"Remove", kRemove}, CommandCase{"Log", kLog},
                                           CommandCase{"Create", kCreate}, CommandCase{"Run", kRun}),
                         caseName);

class DamagedRemoteJobFile : public StoredFiles, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(DamagedRemoteJobFile, IsNamedWithWhatToDo)
{
    CreateAndBackUp();
    const QString remote = m_dest + QStringLiteral("/Docs.qvj");
    // Cut inside the list of restore points, which every command reads.
    const QByteArray cut = TestEnv::ReadFile(remote).left(14);
    Write(remote, cut);

    const CliResult r = Cli(Command(GetParam().words));
    EXPECT_NE(r.exitCode, 0) << r;
    EXPECT_TRUE(r.err.contains(QStringLiteral("The job file \"Docs.qvj\" is damaged: "))) << r;
    EXPECT_TRUE(r.err.contains(QStringLiteral("Restore the job file at the destination from a copy, or move the job's "
                                              "backup folder and its job file away")))
        << r;
    EXPECT_EQ(TestEnv::ReadFile(remote), cut);
    EXPECT_TRUE(QFileInfo(m_dest + QStringLiteral("/Docs")).isDir()) << "the backups stay";
}

INSTANTIATE_TEST_SUITE_P(Commands, DamagedRemoteJobFile,
                         ::testing::Values(CommandCase{"Backup", kBackup}, CommandCase{"Points", kPoints},
                                           CommandCase{"Restore", kRestore}),
                         caseName);

} // namespace
