// The data folder is its user's alone.
#include "platform/folders.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {
constexpr QFile::Permissions kOwnerAll = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

QFile::Permissions Bits(const QString &path)
{
    return QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}

struct RestrictCase {
    const char *what;
    QFile::Permissions before;
};

class RestrictToOwner : public ::testing::TestWithParam<RestrictCase> {};

TEST_P(RestrictToOwner, LeavesTheFolderToItsOwner)
{
    static int runs = 0;
    const QString folder = TestEnv::Root() + QStringLiteral("/private%1").arg(++runs);
    ASSERT_TRUE(QDir().mkpath(folder));
    TestEnv::WriteFile(folder + QStringLiteral("/options.qvo"), "x");
    ASSERT_TRUE(QFile::setPermissions(folder, GetParam().before));
    QString error;
    EXPECT_TRUE(Folders::RestrictToOwner(folder, &error)) << error.toStdString();
    EXPECT_EQ(Bits(folder), kOwnerAll) << GetParam().what;
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/options.qvo")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RestrictToOwner,
    ::testing::Values(
        RestrictCase{"readable by all as an earlier version left it",
                     kOwnerAll | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther},
        RestrictCase{"open to the group", kOwnerAll | QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup},
        RestrictCase{"already private", kOwnerAll}),
    [](const ::testing::TestParamInfo<RestrictCase> &info) { return TestEnv::CaseName(info.param.what); });

TEST(RestrictToOwnerFailure, NamesTheFolderThatIsNotThere)
{
    const QString missing = TestEnv::Root() + QStringLiteral("/no-such-folder");
    QString error;
    EXPECT_FALSE(Folders::RestrictToOwner(missing, &error));
    EXPECT_TRUE(error.startsWith(missing)) << error.toStdString();
    const QString file = TestEnv::Root() + QStringLiteral("/a-file");
    TestEnv::WriteFile(file, "x");
    EXPECT_FALSE(Folders::RestrictToOwner(file, &error));
    EXPECT_TRUE(error.startsWith(file)) << error.toStdString();
}
} // namespace
