// Who may read what the program writes: new files and every file that may
// hold passwords are the owner's alone; other files keep what they had.
#include "base/binarycodec.h"
#include "base/filewrite.h"
#include "base/scrambledfile.h"
#include "base/textfile.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>

namespace {
constexpr QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner;
constexpr QFile::Permissions kReadableByAll =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;

// The permission bits as stat shows them (the "user" bits of QFile mirror the owner's).
QFile::Permissions Bits(const QString &path)
{
    return QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}

struct WriteCase {
    const char *what;
    bool existedReadableByAll; // the file existed, 0644
    std::function<bool(const QString &)> write;
    QFile::Permissions after;
};

class WriteAccess : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteAccess, FollowsWhatTheFileMayHold)
{
    const WriteCase &c = GetParam();
    static int runs = 0;
    const QString path = TestEnv::Root() + QStringLiteral("/access%1.dat").arg(++runs);
    if (c.existedReadableByAll) {
        TestEnv::WriteFile(path, "old content");
        ASSERT_TRUE(QFile::setPermissions(path, kReadableByAll));
    }
    ASSERT_TRUE(c.write(path)) << c.what;
    EXPECT_EQ(Bits(path), c.after) << c.what;
    // Nothing but the file itself is left beside it.
    EXPECT_EQ(QDir(TestEnv::Root()).entryList({QFileInfo(path).fileName() + QStringLiteral("*")}, QDir::Files | QDir::Hidden).size(), 1);
}

bool PlainWrite(const QString &path)
{
    return WriteFileAtomically(path, QByteArray("new"));
}
bool OwnerOnlyWrite(const QString &path)
{
    return WriteFileAtomically(path, QByteArray("new"), nullptr, FileAccess::OwnerOnly);
}
bool Scrambled(const QString &path)
{
    return ScrambledFile::Write(path, QByteArray("password"));
}
bool ScrambledPieces(const QString &path)
{
    return ScrambledFile::WriteEncoded(path, [](BinaryWriter &) {});
}
bool TextLines(const QString &path)
{
    return WriteTextLines(path, {QStringLiteral("a"), QStringLiteral("b")});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteAccess,
    ::testing::Values(WriteCase{"a new file", false, PlainWrite, kOwnerOnly},
                      WriteCase{"a new text file", false, TextLines, kOwnerOnly},
                      WriteCase{"an existing file keeps its permissions", true, PlainWrite, kReadableByAll},
                      WriteCase{"an existing text file keeps its permissions", true, TextLines, kReadableByAll},
                      WriteCase{"an existing file that may hold passwords", true, OwnerOnlyWrite, kOwnerOnly},
                      WriteCase{"a new scrambled file", false, Scrambled, kOwnerOnly},
                      WriteCase{"an existing scrambled file", true, Scrambled, kOwnerOnly},
                      WriteCase{"an existing scrambled file written in pieces", true, ScrambledPieces, kOwnerOnly}),
    [](const ::testing::TestParamInfo<WriteCase> &info) { return TestEnv::CaseName(info.param.what); });
} // namespace
