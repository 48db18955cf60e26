// The restore side: hostile and damaged archives are refused with a clear
// error, nothing lands outside the output folder and no partial file is left.
#include "zip/zipreader.h"
#include "zip/zipwriter.h"
#include "support/testenv.h"
#include "zip/ziptools.h"
#include "support/testnames.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace ZipTest;

namespace {

// Writes an archive with Python's zipfile: one entry per (name, data) pair,
// optionally with Unix attributes (octal mode) for the last entry.
void PythonArchive(const QString &archive, const QStringList &namesAndData, const QString &lastMode = QString())
{
    const ToolResult r = Python(QStringLiteral(
        "import sys, zipfile\n"
        "a, mode, rest = sys.argv[1], sys.argv[2], sys.argv[3:]\n"
        "with zipfile.ZipFile(a, 'w') as z:\n"
        "    pairs = list(zip(rest[0::2], rest[1::2]))\n"
        "    for i, (n, d) in enumerate(pairs):\n"
        "        info = zipfile.ZipInfo(n, date_time=(2020, 5, 6, 7, 8, 10))\n"
        "        if mode and i == len(pairs) - 1:\n"
        "            info.create_system = 3\n"
        "            info.external_attr = int(mode, 8) << 16\n"
        "        z.writestr(info, d)\n"), QStringList{archive, lastMode} + namesAndData);
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
}

// Everything (files, folders, links) inside a folder, recursively.
QStringList Everything(const QString &folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(folder).relativeFilePath(it.next());
    out.sort();
    return out;
}

QString OurArchive(const QString &name, int encryption, int level)
{
    const QString src = FreshFolder(name + QStringLiteral("-src"));
    TestEnv::WriteFile(src + QStringLiteral("/one.txt"), CompressibleBytes(70000, 1));
    TestEnv::WriteFile(src + QStringLiteral("/two.bin"), RandomBytes(40000, 2));
    ZipWriterSettings s;
    s.encryption = encryption;
    s.level = level;
    s.password = encryption >= 0 ? QStringLiteral("right") : QString();
    ZipWriter writer(s);
    QString error;
    const QString archive = TestEnv::Root() + QLatin1Char('/') + name + QStringLiteral(".zip");
    EXPECT_TRUE(writer.open(archive, &error));
    EXPECT_TRUE(writer.addFile(src + QStringLiteral("/one.txt"), QStringLiteral("one.txt")));
    EXPECT_TRUE(writer.addFile(src + QStringLiteral("/two.bin"), QStringLiteral("sub/two.bin")));
    EXPECT_TRUE(writer.close(&error)) << error.toStdString();
    return archive;
}

// ---------------------------------------------------------------- zip-slip

struct SlipCase {
    const char *label;
    const char *name;
};

void PrintTo(const SlipCase &c, std::ostream *os)
{
    *os << c.label << ": " << TestNames::Quoted(c.name);
}

class HostileName : public testing::TestWithParam<SlipCase> {};

TEST_P(HostileName, IsRefusedAndNothingIsWrittenAnywhere)
{
    const QString sandbox = FreshFolder(QStringLiteral("slip"));
    const QString out = sandbox + QStringLiteral("/out/deeper");
    const QString archive = sandbox + QStringLiteral("/evil.zip");
    const QString bad = QString::fromUtf8(GetParam().name);
    PythonArchive(archive, {QStringLiteral("good.txt"), QStringLiteral("fine"), bad, QStringLiteral("evil")});

    ZipReader reader;
    QString error;
    ASSERT_TRUE(reader.open(archive, QString(), &error)) << error.toStdString();
    EXPECT_FALSE(reader.extractAll(out, &error));
    EXPECT_TRUE(error.contains(bad)) << error.toStdString();
    error.clear();
    EXPECT_FALSE(reader.extractEntry(bad, out, &error));
    EXPECT_FALSE(error.isEmpty());
    reader.close();
    // Not even the harmless entry: an archive with a hostile name restores nothing.
    EXPECT_EQ(Everything(sandbox), QStringList{QStringLiteral("evil.zip")});
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/abs.txt")));
}

INSTANTIATE_TEST_SUITE_P(Names, HostileName,
                         testing::Values(SlipCase{"ParentDir", "../x.txt"},
                                         SlipCase{"TwoUp", "../../x.txt"},
                                         SlipCase{"Absolute", "/abs.txt"},
                                         SlipCase{"DriveBackslash", "C:\\x.txt"},
                                         SlipCase{"DriveRelative", "C:x.txt"},
                                         SlipCase{"InsideThenOut", "a/../../x.txt"},
                                         SlipCase{"BackslashParent", "..\\x.txt"},
                                         SlipCase{"LeadingBackslash", "\\abs.txt"}),
                         [](const testing::TestParamInfo<SlipCase> &i) { return std::string(i.param.label); });

TEST(ZipReaderLinks, SymlinkEntriesAreRefused)
{
    const QString sandbox = FreshFolder(QStringLiteral("symlink-entry"));
    const QString archive = sandbox + QStringLiteral("/link.zip");
    PythonArchive(archive, {QStringLiteral("link"), QStringLiteral("/etc/passwd")}, QStringLiteral("120777"));
    ZipReader reader;
    QString error;
    ASSERT_TRUE(reader.open(archive, QString(), &error));
    ASSERT_EQ(reader.entries().size(), 1);
    EXPECT_TRUE(reader.entries().at(0).isSymlink);
    EXPECT_FALSE(reader.extractAll(sandbox + QStringLiteral("/out"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("Symbolic link"))) << error.toStdString();
    EXPECT_FALSE(reader.extractEntry(QStringLiteral("link"), sandbox + QStringLiteral("/out"), &error));
    EXPECT_FALSE(reader.extractEntryTo(QStringLiteral("link"), sandbox + QStringLiteral("/l"), &error));
    EXPECT_EQ(Everything(sandbox), QStringList{QStringLiteral("link.zip")});
}

TEST(ZipReaderLinks, AnExistingLinkInTheOutputFolderIsNotFollowed)
{
    const QString sandbox = FreshFolder(QStringLiteral("symlink-dir"));
    const QString outside = sandbox + QStringLiteral("/outside");
    const QString out = sandbox + QStringLiteral("/out");
    QDir().mkpath(outside);
    QDir().mkpath(out);
    ASSERT_TRUE(QFile::link(outside, out + QStringLiteral("/link")));
    const QString archive = sandbox + QStringLiteral("/a.zip");
    PythonArchive(archive, {QStringLiteral("link/x.txt"), QStringLiteral("escaped")});
    ZipReader reader;
    QString error;
    ASSERT_TRUE(reader.open(archive, QString(), &error));
    EXPECT_FALSE(reader.extractAll(out, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("symbolic link"))) << error.toStdString();
    EXPECT_FALSE(reader.extractEntry(QStringLiteral("link/x.txt"), out, &error));
    EXPECT_TRUE(Everything(outside).isEmpty());

    // A link in place of the target file itself is replaced, not written through.
    const QString victim = outside + QStringLiteral("/victim.txt");
    TestEnv::WriteFile(victim, "original");
    ASSERT_TRUE(QFile::link(victim, out + QStringLiteral("/file.txt")));
    PythonArchive(archive, {QStringLiteral("file.txt"), QStringLiteral("restored")});
    ASSERT_TRUE(reader.open(archive, QString(), &error));
    ASSERT_TRUE(reader.extractEntry(QStringLiteral("file.txt"), out, &error)) << error.toStdString();
    EXPECT_EQ(TestEnv::ReadFile(victim), QByteArray("original"));
    EXPECT_FALSE(QFileInfo(out + QStringLiteral("/file.txt")).isSymLink());
    EXPECT_EQ(TestEnv::ReadFile(out + QStringLiteral("/file.txt")), QByteArray("restored"));
}

// ---------------------------------------------------------------- damage

// Patches bytes of an archive made by our writer (Python, from the parsed
// central directory): "cut-directory" drops the second half of the central
// directory, "cut-tail" the last 30 bytes, "size-central" / "size-both"
// make the first entry's recorded size bigger or smaller, "flip-data"
// changes one byte of the first entry's data.
void Damage(const QString &archive, const QString &how, int delta = 0)
{
    const ToolResult r = Python(QStringLiteral(
        "import struct, sys\n"
        "p, how, delta = sys.argv[1], sys.argv[2], int(sys.argv[3])\n"
        "b = bytearray(open(p, 'rb').read())\n"
        "e = b.rfind(b'PK\\x05\\x06')\n"
        "z = b.rfind(b'PK\\x06\\x06')\n"
        "cd_size, cd_off = struct.unpack_from('<QQ', b, z + 40)\n"
        "nlen, xlen = struct.unpack_from('<HH', b, cd_off + 28)\n"
        "cx = cd_off + 46 + nlen\n"          // central ZIP64 extra: id, len, usize, csize, offset
        "local = struct.unpack_from('<Q', b, cx + 20)[0]\n"
        "lnlen, lxlen = struct.unpack_from('<HH', b, local + 26)\n"
        "lx = local + 30 + lnlen\n"          // local ZIP64 extra: id, len, usize, csize
        "if how == 'cut-directory':\n"
        "    del b[cd_off + cd_size // 2: cd_off + cd_size]\n"
        "elif how == 'cut-tail':\n"
        "    del b[len(b) - 30:]\n"
        "elif how in ('size-central', 'size-both'):\n"
        "    u = struct.unpack_from('<Q', b, cx + 4)[0]\n"
        "    struct.pack_into('<Q', b, cx + 4, u + delta)\n"
        "    if how == 'size-both':\n"
        "        struct.pack_into('<Q', b, lx + 4, u + delta)\n"
        "elif how == 'flip-data':\n"
        "    b[lx + lxlen + 100] ^= 0x55\n"
        "open(p, 'wb').write(b)\n"), {archive, how, QString::number(delta)});
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
}

struct DamageCase {
    const char *label;
    const char *how;
    int delta;
    int level;
};

void PrintTo(const DamageCase &c, std::ostream *os)
{
    *os << c.label << ": " << c.how << " by " << c.delta << ", level " << c.level;
}

class DamagedArchive : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedArchive, IsRefusedWithoutLeavingAFileThatLooksComplete)
{
    const DamageCase c = GetParam();
    const QString archive = OurArchive(QStringLiteral("damaged-%1").arg(QString::fromLatin1(c.label)), -1, c.level);
    Damage(archive, QString::fromLatin1(c.how), c.delta);
    const QString out = FreshFolder(QStringLiteral("damaged-out"));
    ZipReader reader;
    QString error;
    bool failed = !reader.open(archive, QString(), &error);
    if (!failed)
        failed = !reader.extractAll(out, &error);
    EXPECT_TRUE(failed);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(error.contains(archive)) << error.toStdString();
    // The entry whose data is wrong is not there, nor its temporary file.
    EXPECT_FALSE(Everything(out).contains(QStringLiteral("one.txt"))) << Everything(out).join(' ').toStdString();
    for (const QString &name : Everything(out))
        EXPECT_FALSE(name.contains(QStringLiteral(".part"))) << name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DamagedArchive,
    testing::Values(DamageCase{"TruncatedDirectory", "cut-directory", 0, 2},
                    DamageCase{"TruncatedTail", "cut-tail", 0, 2},
                    DamageCase{"CentralSizeBigger", "size-central", 1000, 2},
                    DamageCase{"BothSizesBigger", "size-both", 1000, 2},
                    DamageCase{"BothSizesSmaller", "size-both", -1000, 2},
                    DamageCase{"StoredSizesSmaller", "size-both", -1000, 0},
                    DamageCase{"StoredBadCrc", "flip-data", 0, 0},
                    DamageCase{"DeflatedBadData", "flip-data", 0, 2}),
    [](const testing::TestParamInfo<DamageCase> &i) { return std::string(i.param.label); });

TEST(ZipReaderOpen, MissingFilesAndNonArchivesGiveAClearError)
{
    ZipReader reader;
    QString error;
    EXPECT_FALSE(reader.open(TestEnv::Root() + QStringLiteral("/none.zip"), QString(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("none.zip")));
    const QString notZip = TestEnv::Root() + QStringLiteral("/text.zip");
    TestEnv::WriteFile(notZip, CompressibleBytes(5000, 1));
    EXPECT_FALSE(reader.open(notZip, QString(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("not a ZIP archive"))) << error.toStdString();
    EXPECT_FALSE(reader.isOpen());
    EXPECT_FALSE(reader.extractAll(TestEnv::Root(), &error));
}

// ---------------------------------------------------------------- passwords

struct PasswordCase {
    const char *label;
    int encryption;
    const char *password;
};

void PrintTo(const PasswordCase &c, std::ostream *os)
{
    *os << c.label << ": encryption " << c.encryption << ", password " << TestNames::Quoted(c.password);
}

class BadPassword : public testing::TestWithParam<PasswordCase> {};

TEST_P(BadPassword, FailsClearlyAndLeavesNothing)
{
    const PasswordCase c = GetParam();
    const QString archive = OurArchive(QStringLiteral("pw-%1").arg(QString::fromLatin1(c.label)), c.encryption, 2);
    const QString out = FreshFolder(QStringLiteral("pw-out"));
    ZipReader reader;
    QString error;
    ASSERT_TRUE(reader.open(archive, QString::fromLatin1(c.password), &error)) << error.toStdString();
    EXPECT_FALSE(reader.extractAll(out, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("password"))) << error.toStdString();
    EXPECT_FALSE(reader.extractEntryTo(QStringLiteral("sub/two.bin"), out + QStringLiteral("/t.bin"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("password"))) << error.toStdString();
    EXPECT_TRUE(ReadTree(out).isEmpty()) << Everything(out).join(' ').toStdString();

    ASSERT_TRUE(reader.open(archive, QStringLiteral("right"), &error));
    ASSERT_TRUE(reader.extractAll(out, &error)) << error.toStdString();
    EXPECT_EQ(ReadTree(out).size(), 2);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadPassword,
                         testing::Values(PasswordCase{"PkwareWrong", 0, "wrong"},
                                         PasswordCase{"PkwareMissing", 0, ""},
                                         PasswordCase{"Aes128Wrong", 1, "wrong"},
                                         PasswordCase{"Aes256Wrong", 3, "Right"},
                                         PasswordCase{"Aes192Missing", 2, ""}),
                         [](const testing::TestParamInfo<PasswordCase> &i) { return std::string(i.param.label); });

// ---------------------------------------------------------------- single entries

TEST(ZipReaderExtract, SingleEntriesGoToTheirPathOrToAChosenTarget)
{
    const QString archive = OurArchive(QStringLiteral("single"), 3, 1);
    const QString out = FreshFolder(QStringLiteral("single-out"));
    ZipReader reader;
    QString error;
    ASSERT_TRUE(reader.open(archive, QStringLiteral("right"), &error));
    ASSERT_TRUE(reader.extractEntry(QStringLiteral("sub/two.bin"), out, &error)) << error.toStdString();
    EXPECT_EQ(TestEnv::ReadFile(out + QStringLiteral("/sub/two.bin")), RandomBytes(40000, 2));

    const QString target = out + QStringLiteral("/elsewhere/renamed.txt");
    TestEnv::WriteFile(target, "old content");
    ASSERT_TRUE(reader.extractEntryTo(QStringLiteral("one.txt"), target, &error)) << error.toStdString();
    EXPECT_EQ(TestEnv::ReadFile(target), CompressibleBytes(70000, 1));

    EXPECT_FALSE(reader.extractEntry(QStringLiteral("missing.txt"), out, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("missing.txt")));
    EXPECT_EQ(Everything(out), (QStringList{QStringLiteral("elsewhere"), QStringLiteral("elsewhere/renamed.txt"),
                                            QStringLiteral("sub"), QStringLiteral("sub/two.bin")}));
}

TEST(ZipReaderExtract, WithoutExtendedTimestampTheMsDosTimeIsUsed)
{
    const QString sandbox = FreshFolder(QStringLiteral("dostime"));
    const QString archive = sandbox + QStringLiteral("/dos.zip");
    PythonArchive(archive, {QStringLiteral("folder/"), QString(), QStringLiteral("folder/f.txt"), QStringLiteral("x")});
    ZipReader reader;
    QString error;
    ASSERT_TRUE(reader.open(archive, QString(), &error));
    ASSERT_TRUE(reader.extractAll(sandbox + QStringLiteral("/out"), &error)) << error.toStdString();
    const QDateTime expected(QDate(2020, 5, 6), QTime(7, 8, 10), Qt::LocalTime);
    EXPECT_EQ(QFileInfo(sandbox + QStringLiteral("/out/folder/f.txt")).lastModified(), expected);
    EXPECT_TRUE(QFileInfo(sandbox + QStringLiteral("/out/folder")).isDir());
}

} // namespace
