// The writer's behaviour around the entries: skipped files cut back,
// cancel, locks, broken archives, names, attributes, many entries.
#include "base/filenamecodec.h"
#include "zip/zipreader.h"
#include "zip/zipwriter.h"
#include "support/testenv.h"
#include "zip/testsources.h"
#include "zip/ziptools.h"
#include "support/testnames.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace ZipTest;

namespace {

struct Failure {
    QString file;
    int code;
    QString message;
};

QString Archive(const QString &name)
{
    return TestEnv::Root() + QLatin1Char('/') + name;
}

// Builds an archive of (localPath, entryName) pairs with one writer; returns
// the failures reported.
QList<Failure> Build(ZipWriter &writer, const QString &archive, const QList<QPair<QString, QString>> &files)
{
    QList<Failure> failures;
    writer.onFileFailure = [&](const QString &f, int code, const QString &msg) { failures.append({f, code, msg}); };
    QString error;
    EXPECT_TRUE(writer.open(archive, &error)) << error.toStdString();
    for (const auto &f : files)
        writer.addFile(f.first, f.second);
    EXPECT_TRUE(writer.close(&error)) << error.toStdString();
    return failures;
}

// ---------------------------------------------------------------- skipped files

enum class Unreadable { Missing, Folder, Fifo };

struct SkipCase {
    const char *label;
    Unreadable kind;
};

void PrintTo(const SkipCase &c, std::ostream *os)
{
    *os << c.label;
}

class SkippedFile : public testing::TestWithParam<SkipCase> {};

TEST_P(SkippedFile, IsCutBackAndReportedOnceWhileTheOthersStayIntact)
{
    const QString src = FreshFolder(QStringLiteral("skip"));
    WriteFileWithTime(src + QStringLiteral("/a.txt"), CompressibleBytes(300000, 1), 1650000000);
    WriteFileWithTime(src + QStringLiteral("/c.txt"), CompressibleBytes(200000, 2), 1650000100);
    const QString bad = src + QStringLiteral("/b.txt");
    switch (GetParam().kind) {
    case Unreadable::Missing:
        break;
    case Unreadable::Folder:
        ASSERT_TRUE(QDir().mkdir(bad));
        break;
    case Unreadable::Fifo:
        ASSERT_EQ(ZipTest::Run(QStringLiteral("mkfifo"), {bad}).exitCode, 0);
        break;
    }
    ZipWriterSettings s;
    ZipWriter withBad(s);
    const QList<Failure> failures = Build(withBad, Archive(QStringLiteral("three.zip")),
                                          {{src + QStringLiteral("/a.txt"), QStringLiteral("a.txt")},
                                           {bad, QStringLiteral("b.txt")},
                                           {src + QStringLiteral("/c.txt"), QStringLiteral("c.txt")}});
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(failures.at(0).file, bad);
    EXPECT_EQ(failures.at(0).code, ZipFailureCode::CannotOpen);
    EXPECT_TRUE(failures.at(0).message.contains(bad)) << failures.at(0).message.toStdString();

    ZipWriter withoutBad(s);
    EXPECT_TRUE(Build(withoutBad, Archive(QStringLiteral("two.zip")),
                      {{src + QStringLiteral("/a.txt"), QStringLiteral("a.txt")},
                       {src + QStringLiteral("/c.txt"), QStringLiteral("c.txt")}})
                    .isEmpty());
    // Nothing of the skipped entry is left: the two archives are identical.
    EXPECT_TRUE(TestEnv::ReadFile(Archive(QStringLiteral("three.zip")))
                == TestEnv::ReadFile(Archive(QStringLiteral("two.zip"))));
    const ToolResult seven = SevenZipTest(Archive(QStringLiteral("three.zip")));
    EXPECT_EQ(seven.exitCode, 0) << seven.output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Kinds, SkippedFile,
                         testing::Values(SkipCase{"Missing", Unreadable::Missing},
                                         SkipCase{"Folder", Unreadable::Folder},
                                         SkipCase{"Fifo", Unreadable::Fifo}),
                         [](const testing::TestParamInfo<SkipCase> &i) { return std::string(i.param.label); });

struct ReadErrorCase {
    const char *label;
    int level;
    int encryption;
    qint64 size;
    qint64 failAt;
};

void PrintTo(const ReadErrorCase &c, std::ostream *os)
{
    *os << c.label << ": level " << c.level << ", encryption " << c.encryption << ", " << c.size
        << " bytes failing at " << c.failAt;
}

class ReadError : public testing::TestWithParam<ReadErrorCase> {};

// A read error part-way (after part of the entry reached the disk, or while
// it is still buffered) cuts the archive back to the start of that entry.
TEST_P(ReadError, CutsBackTheEntryAndReportsAReadError)
{
    const ReadErrorCase c = GetParam();
    ZipWriterSettings s;
    s.level = c.level;
    s.encryption = c.encryption;
    s.password = c.encryption >= 0 ? QStringLiteral("pw") : QString();
    MemoryBackedWriter writer(s);
    writer.items.insert(QStringLiteral("mem:a"), {CompressibleBytes(100000, 1)});
    writer.items.insert(QStringLiteral("mem:bad"), {RandomBytes(c.size, 2), c.failAt});
    writer.items.insert(QStringLiteral("mem:c"), {CompressibleBytes(50000, 3)});
    const QList<Failure> failures = Build(writer, Archive(QStringLiteral("readerror.zip")),
                                          {{QStringLiteral("mem:a"), QStringLiteral("a")},
                                           {QStringLiteral("mem:bad"), QStringLiteral("bad")},
                                           {QStringLiteral("mem:c"), QStringLiteral("c")}});
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(failures.at(0).code, ZipFailureCode::ReadError);
    EXPECT_TRUE(failures.at(0).message.contains(QStringLiteral("Input/output error")));

    const ToolResult seven = SevenZipTest(Archive(QStringLiteral("readerror.zip")), s.password);
    EXPECT_EQ(seven.exitCode, 0) << seven.output.toStdString();
    ZipReader reader;
    QString error;
    ASSERT_TRUE(reader.open(Archive(QStringLiteral("readerror.zip")), s.password, &error)) << error.toStdString();
    ASSERT_EQ(reader.entries().size(), 2);
    const QString out = FreshFolder(QStringLiteral("readerror-out"));
    ASSERT_TRUE(reader.extractAll(out, &error)) << error.toStdString();
    EXPECT_TRUE(TestEnv::ReadFile(out + QStringLiteral("/a")) == CompressibleBytes(100000, 1));
    EXPECT_TRUE(TestEnv::ReadFile(out + QStringLiteral("/c")) == CompressibleBytes(50000, 3));
    // The archive holds the two entries (150,000 bytes at most) and nothing
    // of the third.
    EXPECT_LT(QFileInfo(Archive(QStringLiteral("readerror.zip"))).size(), 150000 + 4096);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, ReadError,
    testing::Values(ReadErrorCase{"StoredPartlyOnDisk", 0, -1, 3 * 1024 * 1024, 2500 * 1024},
                    ReadErrorCase{"DeflatedStillBuffered", 2, -1, 300000, 200000},
                    ReadErrorCase{"AesPartlyOnDisk", 0, 3, 3 * 1024 * 1024, 2 * 1024 * 1024},
                    ReadErrorCase{"PkwareAtFirstRead", 1, 0, 100000, 0}),
    [](const testing::TestParamInfo<ReadErrorCase> &i) { return std::string(i.param.label); });

// ---------------------------------------------------------------- locks

struct LockCase {
    const char *label;
    const char *pythonLock;
};

void PrintTo(const LockCase &c, std::ostream *os)
{
    *os << c.label << ": " << c.pythonLock;
}

class LockedSource : public testing::TestWithParam<LockCase> {};

// Another process holds a write lock. With the shared lock asked for, the
// file counts as one that cannot be opened (code 12); without it, it is read.
TEST_P(LockedSource, IsRefusedOnlyWhenTheSharedLockIsAskedFor)
{
    const QString src = FreshFolder(QStringLiteral("lock"));
    const QString file = src + QStringLiteral("/locked.txt");
    TestEnv::WriteFile(file, CompressibleBytes(10000, 1));
    QProcess holder;
    holder.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import fcntl, sys\n"
                                 "f = open(sys.argv[1], 'r+')\n"
                                 "%1\n"
                                 "print('locked', flush=True)\n"
                                 "sys.stdin.read()\n")
                      .arg(QString::fromLatin1(GetParam().pythonLock)),
                  file});
    ASSERT_TRUE(holder.waitForReadyRead(20000));
    ASSERT_TRUE(holder.readAll().contains("locked"));

    for (bool sharedLock : {true, false}) {
        ZipWriterSettings s;
        s.sharedLockWhileReading = sharedLock;
        ZipWriter writer(s);
        const QList<Failure> failures = Build(writer, Archive(QStringLiteral("lock.zip")),
                                              {{file, QStringLiteral("locked.txt")}});
        if (sharedLock) {
            ASSERT_EQ(failures.size(), 1);
            EXPECT_EQ(failures.at(0).code, ZipFailureCode::CannotOpen);
            EXPECT_EQ(writer.entryCount(), 0u);
        } else {
            EXPECT_TRUE(failures.isEmpty());
        }
    }
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(20000));

    // Once the other process let go, the shared lock is granted.
    ZipWriterSettings s;
    s.sharedLockWhileReading = true;
    ZipWriter writer(s);
    EXPECT_TRUE(Build(writer, Archive(QStringLiteral("lock.zip")), {{file, QStringLiteral("locked.txt")}}).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Kinds, LockedSource,
                         testing::Values(LockCase{"Flock", "fcntl.flock(f, fcntl.LOCK_EX)"},
                                         LockCase{"PosixRecordLock", "fcntl.lockf(f, fcntl.LOCK_EX)"}),
                         [](const testing::TestParamInfo<LockCase> &i) { return std::string(i.param.label); });

// ---------------------------------------------------------------- cancel and progress

TEST(ZipWriterCancel, CancelDuringALargeFileCutsItBackAndTheArchiveStaysValid)
{
    const QString src = FreshFolder(QStringLiteral("cancel"));
    TestEnv::WriteFile(src + QStringLiteral("/large.bin"), CompressibleBytes(12 * 1024 * 1024, 1));
    TestEnv::WriteFile(src + QStringLiteral("/first.txt"), CompressibleBytes(1000, 2));
    TestEnv::WriteFile(src + QStringLiteral("/after.txt"), CompressibleBytes(2000, 3));
    ZipWriterSettings s;
    s.encryption = 1;
    s.password = QStringLiteral("pw");
    ZipWriter writer(s);
    int failures = 0;
    writer.onFileFailure = [&](const QString &, int, const QString &) { ++failures; };
    QString error;
    ASSERT_TRUE(writer.open(Archive(QStringLiteral("cancel.zip")), &error));
    ASSERT_TRUE(writer.addFile(src + QStringLiteral("/first.txt"), QStringLiteral("first.txt")));
    EXPECT_FALSE(writer.lastAddCancelled());

    QList<double> seen;
    writer.onProgress = [&](double p) {
        seen.append(p);
        return p < 30.0;
    };
    EXPECT_FALSE(writer.addFile(src + QStringLiteral("/large.bin"), QStringLiteral("large.bin")));
    EXPECT_TRUE(writer.lastAddCancelled());
    EXPECT_EQ(failures, 0);
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_GE(seen.last(), 30.0);
    EXPECT_LT(seen.last(), 100.0);

    writer.onProgress = nullptr;
    ASSERT_TRUE(writer.addFile(src + QStringLiteral("/after.txt"), QStringLiteral("after.txt")));
    EXPECT_FALSE(writer.lastAddCancelled());
    ASSERT_TRUE(writer.close(&error)) << error.toStdString();

    const ToolResult seven = SevenZipTest(Archive(QStringLiteral("cancel.zip")), s.password);
    EXPECT_EQ(seven.exitCode, 0) << seven.output.toStdString();
    ZipReader reader;
    ASSERT_TRUE(reader.open(Archive(QStringLiteral("cancel.zip")), s.password, &error));
    QStringList names;
    for (const ZipEntryInfo &e : reader.entries())
        names << e.name;
    EXPECT_EQ(names, (QStringList{QStringLiteral("first.txt"), QStringLiteral("after.txt")}));
    EXPECT_LT(QFileInfo(Archive(QStringLiteral("cancel.zip"))).size(), 10000);
}

// ---------------------------------------------------------------- torn entries

struct ChangeCase {
    const char *label;
    bool everyPass;   // the file is rewritten while each pass reads it
    int level;
};

class SourceChangedWhileRead : public testing::TestWithParam<ChangeCase> {};

TEST_P(SourceChangedWhileRead, IsReadOnceMoreAndReportedWhenItChangesAgain)
{
    // Several read chunks, rewritten with other bytes (a new time) after
    // the first chunk of a pass: one pass alone would store a mix.
    const ChangeCase c = GetParam();
    const QString src = FreshFolder(QStringLiteral("torn"));
    const QString file = src + QStringLiteral("/log.bin");
    const qsizetype size = 3 * 1024 * 1024 + 17;
    WriteFileWithTime(file, CompressibleBytes(size, 1), 1650000000);
    ZipWriterSettings s;
    s.level = c.level;
    ZipWriter writer(s);
    QStringList changed;
    writer.onFileChanged = [&](const QString &f) { changed.append(f); };
    int rewrites = 0;
    double last = 100;
    writer.onProgress = [&](double p) {
        const bool newPass = p < last;
        last = p;
        if (newPass && p < 100 && (c.everyPass || rewrites == 0)) {
            ++rewrites;
            WriteFileWithTime(file, CompressibleBytes(size, 1 + rewrites), 1650000000 + rewrites);
        }
        return true;
    };
    const QList<Failure> failures = Build(writer, Archive(QStringLiteral("torn.zip")), {{file, QStringLiteral("log.bin")}});
    EXPECT_TRUE(failures.isEmpty());
    EXPECT_EQ(rewrites, c.everyPass ? 2 : 1);
    EXPECT_EQ(changed, c.everyPass ? QStringList{file} : QStringList{});
    const ToolResult seven = SevenZipTest(Archive(QStringLiteral("torn.zip")));
    EXPECT_EQ(seven.exitCode, 0) << seven.output.toStdString();
    ZipReader reader;
    QString error;
    ASSERT_TRUE(reader.open(Archive(QStringLiteral("torn.zip")), QString(), &error)) << error.toStdString();
    ASSERT_EQ(reader.entries().size(), 1) << "the first pass was cut back";
    if (!c.everyPass) {
        const QString out = FreshFolder(QStringLiteral("torn-out"));
        ASSERT_TRUE(reader.extractAll(out, &error)) << error.toStdString();
        EXPECT_TRUE(ReadTree(out).value(QStringLiteral("log.bin")) == CompressibleBytes(size, 2))
            << "the entry is the file as the second pass read it";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SourceChangedWhileRead,
                         testing::Values(ChangeCase{"once_stored", false, 0}, ChangeCase{"once_deflated", false, 2},
                                         ChangeCase{"every_pass_stored", true, 0},
                                         ChangeCase{"every_pass_deflated", true, 2}),
                         [](const auto &info) { return std::string(info.param.label); });

TEST(ZipWriterProgress, RisesPerChunkAndEndsAtOneHundred)
{
    const QString src = FreshFolder(QStringLiteral("progress"));
    TestEnv::WriteFile(src + QStringLiteral("/f.bin"), CompressibleBytes(3 * 1024 * 1024, 1));
    ZipWriter writer;
    QList<double> seen;
    writer.onProgress = [&](double p) {
        seen.append(p);
        return true;
    };
    QString error;
    ASSERT_TRUE(writer.open(Archive(QStringLiteral("progress.zip")), &error));
    ASSERT_TRUE(writer.addFile(src + QStringLiteral("/f.bin"), QStringLiteral("f.bin")));
    ASSERT_TRUE(writer.close(&error));
    ASSERT_GE(seen.size(), 4);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_GT(seen.first(), 0.0);
    EXPECT_DOUBLE_EQ(seen.last(), 100.0);
}

// ---------------------------------------------------------------- the archive itself fails

TEST(ZipWriterArchiveError, AFullDiskFailsTheArchiveOnceAndClose)
{
    ZipWriter writer;
    QList<Failure> failures;
    writer.onFileFailure = [&](const QString &f, int code, const QString &msg) { failures.append({f, code, msg}); };
    QString error;
    ASSERT_TRUE(writer.open(QStringLiteral("/dev/full"), &error)) << error.toStdString();
    const QString src = FreshFolder(QStringLiteral("full"));
    TestEnv::WriteFile(src + QStringLiteral("/r.bin"), RandomBytes(3 * 1024 * 1024, 1));
    EXPECT_FALSE(writer.addFile(src + QStringLiteral("/r.bin"), QStringLiteral("r.bin")));
    EXPECT_FALSE(writer.archiveError().isEmpty());
    EXPECT_FALSE(writer.addFile(src + QStringLiteral("/r.bin"), QStringLiteral("again.bin")));
    // Each add that stores nothing is reported, the second one too.
    ASSERT_EQ(failures.size(), 2);
    EXPECT_EQ(failures.at(0).code, ZipFailureCode::ArchiveError);
    EXPECT_EQ(failures.at(1).code, ZipFailureCode::ArchiveError);
    EXPECT_FALSE(writer.addFolder(QStringLiteral("dir")));
    EXPECT_EQ(failures.size(), 3);
    EXPECT_FALSE(writer.close(&error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ZipWriterArchiveError, OpenRefusesBadSettingsAndMissingFolders)
{
    QString error;
    ZipWriter noFolder;
    EXPECT_FALSE(noFolder.open(TestEnv::Root() + QStringLiteral("/no/such/folder/a.zip"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("a.zip")));

    ZipWriterSettings s;
    s.encryption = 2;
    ZipWriter noPassword(s);
    EXPECT_FALSE(noPassword.open(Archive(QStringLiteral("x.zip")), &error));
    s.encryption = -1;
    s.level = 7;
    ZipWriter badLevel(s);
    EXPECT_FALSE(badLevel.open(Archive(QStringLiteral("x.zip")), &error));

    ZipWriter closed;
    int failures = 0;
    closed.onFileFailure = [&](const QString &, int, const QString &) { ++failures; };
    EXPECT_FALSE(closed.addFile(QStringLiteral("/etc/hostname"), QStringLiteral("h")));
    EXPECT_EQ(failures, 1);
}

// One writer object builds many archives in turn (one archive per file).
TEST(ZipWriterReuse, OneWriterBuildsSeveralArchivesAndReplacesExistingFiles)
{
    const QString src = FreshFolder(QStringLiteral("reuse"));
    ZipWriterSettings s;
    s.encryption = 0;
    s.password = QStringLiteral("pw");
    ZipWriter writer(s);
    QString error;
    for (int i = 0; i < 3; ++i) {
        const QString file = src + QStringLiteral("/f%1.txt").arg(i);
        TestEnv::WriteFile(file, CompressibleBytes(5000 + i, i));
        const QString archive = Archive(QStringLiteral("single%1.zip").arg(i % 2));
        // An existing file is replaced, not appended to, and its other
        // hard-linked name keeps its content.
        const QString other = Archive(QStringLiteral("other%1").arg(i));
        TestEnv::WriteFile(other, QByteArray(100000, 'x'));
        QFile::remove(archive);
        ASSERT_EQ(ZipTest::Run(QStringLiteral("ln"), {other, archive}).exitCode, 0);
        ASSERT_TRUE(writer.open(archive, &error)) << error.toStdString();
        ASSERT_TRUE(writer.addFile(file, QFileInfo(file).fileName()));
        ASSERT_TRUE(writer.close(&error)) << error.toStdString();
        const ToolResult unzip = UnzipTest(archive, s.password);
        EXPECT_EQ(unzip.exitCode, 0) << unzip.output.toStdString();
        ZipReader reader;
        ASSERT_TRUE(reader.open(archive, s.password, &error)) << error.toStdString();
        ASSERT_EQ(reader.entries().size(), 1);
        EXPECT_EQ(reader.entries().at(0).name, QFileInfo(file).fileName());
        EXPECT_EQ(TestEnv::ReadFile(other), QByteArray(100000, 'x'));
    }
}

// ---------------------------------------------------------------- names and attributes

TEST(ZipWriterNames, EntryNamesAreNormalisedAndEscapingNamesRefused)
{
    MemoryBackedWriter writer;
    writer.items.insert(QStringLiteral("mem:x"), {QByteArray("x")});
    QList<Failure> failures;
    writer.onFileFailure = [&](const QString &f, int code, const QString &msg) { failures.append({f, code, msg}); };
    QString error;
    ASSERT_TRUE(writer.open(Archive(QStringLiteral("names.zip")), &error));
    EXPECT_TRUE(writer.addFile(QStringLiteral("mem:x"), QStringLiteral("/abs/./a.txt")));
    EXPECT_TRUE(writer.addFile(QStringLiteral("mem:x"), QStringLiteral("dir//b.txt")));
    EXPECT_TRUE(writer.addFolder(QStringLiteral("folder/")));
    EXPECT_FALSE(writer.addFile(QStringLiteral("mem:x"), QStringLiteral("a/../../evil.txt")));
    EXPECT_FALSE(writer.addFile(QStringLiteral("mem:x"), QStringLiteral("/")));
    EXPECT_FALSE(writer.addFolder(QStringLiteral("..")));
    ASSERT_TRUE(writer.close(&error));
    ASSERT_EQ(failures.size(), 3);
    for (const Failure &f : failures) {
        EXPECT_EQ(f.code, ZipFailureCode::InvalidName);
    }
    ZipReader reader;
    ASSERT_TRUE(reader.open(Archive(QStringLiteral("names.zip")), QString(), &error));
    QStringList names;
    for (const ZipEntryInfo &e : reader.entries())
        names << e.name;
    EXPECT_EQ(names, (QStringList{QStringLiteral("abs/a.txt"), QStringLiteral("dir/b.txt"), QStringLiteral("folder/")}));
}

// A file name is stored as its own bytes, whatever they are, and flagged as
// UTF-8 only when it is UTF-8 text: an independent reader sees exactly those
// bytes, libzip opens the archive (it refuses a flagged name with a control
// character as inconsistent), and the reader gives back each name as it was.
TEST(ZipWriterNames, AnyFileNameIsStoredAsItsBytes)
{
    const struct {
        QByteArray bytes;
        bool utf8;
    } cases[] = {
        {"Gr\xC3\xBC\xC3\x9F" "e.txt", true},
        {"line\nfeed\r.txt", true},
        {"caf\xE9.txt", false},
        {"esc\x1B[0m bell\x07", false},
        {"dir \xFF/inner \xC3\xA9.txt", false},
    };
    MemoryBackedWriter writer;
    writer.items.insert(QStringLiteral("mem:x"), {QByteArray("x")});
    const QString archive = Archive(QStringLiteral("bytes.zip"));
    QString error;
    ASSERT_TRUE(writer.open(archive, &error));
    QString expected;
    for (const auto &c : cases) {
        ASSERT_TRUE(writer.addFile(QStringLiteral("mem:x"), FileNameFromBytes(c.bytes)));
        expected += QString::fromLatin1(c.bytes.toHex()) + QLatin1Char(' ') + QString::number(c.utf8 ? 2048 : 0)
                    + QLatin1Char('\n');
    }
    ASSERT_TRUE(writer.close(&error)) << error.toStdString();
    // Python reads a name without the flag as CP 437, which maps every byte.
    const ToolResult py = Python(QStringLiteral(
        "import sys, zipfile\n"
        "for i in zipfile.ZipFile(sys.argv[1]).infolist():\n"
        "    utf8 = i.flag_bits & 0x800\n"
        "    print(i.filename.encode('utf-8' if utf8 else 'cp437').hex(), utf8)\n"),
        {archive});
    ASSERT_EQ(py.exitCode, 0) << py.output.toStdString();
    EXPECT_EQ(py.output, expected);

    ZipReader reader;
    ASSERT_TRUE(reader.open(archive, QString(), &error)) << error.toStdString();
    const QList<ZipEntryInfo> entries = reader.entries();
    ASSERT_EQ(entries.size(), qsizetype(std::size(cases)));
    for (qsizetype i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(FileNameToBytes(entries[i].name), cases[i].bytes) << i;
        QBuffer data;
        data.open(QIODevice::WriteOnly);
        ZipEntryInfo info;
        EXPECT_TRUE(reader.extractEntryData(entries[i].name, data, &info, &error)) << error.toStdString();
        EXPECT_EQ(data.data(), QByteArray("x")) << i;
    }
}

// The headers as an independent reader sees them: UTF-8 flag, MS-DOS time
// in local time, Unix mode and the MS-DOS attributes, ZIP64 everywhere.
TEST(ZipWriterHeaders, CarryUtf8NamesLocalDosTimesAndAttributes)
{
    const QString src = FreshFolder(QStringLiteral("headers"));
    const QString file = src + QStringLiteral("/Grüße.txt");
    WriteFileWithTime(file, QByteArray("content"), 1700000123);
    QFile(file).setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadUser | QFileDevice::ReadGroup);
    ZipWriter writer;
    QString error;
    ASSERT_TRUE(writer.open(Archive(QStringLiteral("headers.zip")), &error));
    ASSERT_TRUE(writer.addFile(file, QStringLiteral("Grüße.txt")));
    ASSERT_TRUE(writer.addFolder(QStringLiteral("dir"), src));
    ASSERT_TRUE(writer.close(&error));
    const QDateTime local = QDateTime::fromSecsSinceEpoch(1700000123).toLocalTime();
    const ToolResult py = Python(QStringLiteral(
        "import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "f, d = z.infolist()\n"
        "print(f.filename, f.flag_bits & 0x800, f.date_time, oct(f.external_attr >> 16), f.external_attr & 0xff,"
        " f.create_system, f.extract_version)\n"
        "print(d.filename, d.external_attr & 0x10, oct(d.external_attr >> 16 & 0o170000))\n"),
        {Archive(QStringLiteral("headers.zip"))});
    ASSERT_EQ(py.exitCode, 0) << py.output.toStdString();
    const QString expectedTime = QStringLiteral("(%1, %2, %3, %4, %5, %6)")
                                     .arg(local.date().year())
                                     .arg(local.date().month())
                                     .arg(local.date().day())
                                     .arg(local.time().hour())
                                     .arg(local.time().minute())
                                     .arg(local.time().second() / 2 * 2);
    EXPECT_EQ(py.output.trimmed(),
              QStringLiteral("Grüße.txt 2048 %1 0o100440 1 3 45\ndir/ 16 0o40000").arg(expectedTime));
}

// ---------------------------------------------------------------- many entries

TEST(ZipWriterManyEntries, MoreThan65535EntriesAreReadByEveryTool)
{
    constexpr int kCount = 70000;
    MemoryBackedWriter writer;
    for (int i = 0; i < 16; ++i)
        writer.items.insert(QStringLiteral("mem:%1").arg(i), {QByteArray::number(i) + "\n"});
    QString error;
    ASSERT_TRUE(writer.open(Archive(QStringLiteral("many.zip")), &error));
    for (int i = 0; i < kCount; ++i) {
        if (i % 1000 == 0) {
            ASSERT_TRUE(writer.addFolder(QStringLiteral("d%1").arg(i / 1000)));
        }
        ASSERT_TRUE(writer.addFile(QStringLiteral("mem:%1").arg(i % 16), QStringLiteral("d%1/f%2").arg(i / 1000).arg(i)));
    }
    ASSERT_TRUE(writer.close(&error)) << error.toStdString();
    const int total = kCount + kCount / 1000;

    const ToolResult seven = SevenZipTest(Archive(QStringLiteral("many.zip")));
    EXPECT_EQ(seven.exitCode, 0) << seven.output.right(2000).toStdString();
    const ToolResult unzip = UnzipTest(Archive(QStringLiteral("many.zip")));
    EXPECT_EQ(unzip.exitCode, 0) << unzip.output.right(2000).toStdString();
    const ToolResult tar = BsdtarList(Archive(QStringLiteral("many.zip")));
    EXPECT_EQ(tar.exitCode, 0);
    EXPECT_EQ(tar.output.count(QLatin1Char('\n')), total);

    ZipReader reader;
    ASSERT_TRUE(reader.open(Archive(QStringLiteral("many.zip")), QString(), &error)) << error.toStdString();
    ASSERT_EQ(reader.entries().size(), total);
    const QString out = FreshFolder(QStringLiteral("many-out"));
    ASSERT_TRUE(reader.extractAll(out, &error)) << error.toStdString();
    const QMap<QString, QByteArray> tree = ReadTree(out);
    ASSERT_EQ(tree.size(), kCount);
    for (int i : {0, 1, 65535, 65536, kCount - 1}) {
        EXPECT_EQ(tree.value(QStringLiteral("d%1/f%2").arg(i / 1000).arg(i)), QByteArray::number(i % 16) + "\n");
    }
}

} // namespace

namespace {

// ---------------------------------------------------------------- no-compression list

struct MaskCase {
    const char *list;
    const char *file;
    bool stored;
};

void PrintTo(const MaskCase &c, std::ostream *os)
{
    *os << TestNames::Quoted(c.file) << (c.stored ? " is stored by " : " is compressed by ")
        << TestNames::Quoted(c.list);
}

class NoCompressionList : public testing::TestWithParam<MaskCase> {};

TEST_P(NoCompressionList, MatchesLikeTheFileMaskStarDotItem)
{
    const MaskCase c = GetParam();
    EXPECT_EQ(ExtensionMatcher(QString::fromUtf8(c.list)).matches(QString::fromUtf8(c.file)), c.stored)
        << c.list << " / " << c.file;
}

INSTANTIATE_TEST_SUITE_P(Cases, NoCompressionList,
                         testing::Values(MaskCase{"zip;rar;jpg", "/a/photo.jpg", true},
                                         MaskCase{"zip;rar;jpg", "/a/PHOTO.JPG", true},
                                         MaskCase{"zip;rar;jpg", "/a/photo.jpeg", false},
                                         MaskCase{"zip;rar;jpg", "/a/jpg", false},
                                         MaskCase{"zip;rar;jpg", "/a.jpg/readme", false},
                                         MaskCase{"gz", "/a/x.tar.gz", true},
                                         MaskCase{"tar", "/a/x.tar.gz", false},
                                         MaskCase{";; mp3 ;", "/a/song.mp3", true},
                                         MaskCase{"", "/a/song.mp3", false},
                                         MaskCase{"j?g", "/a/x.jpg", true},
                                         MaskCase{".png;*.gif", "/a/x.gif", true},
                                         MaskCase{".png;*.gif", "/a/x.png", true}),
                         [](const testing::TestParamInfo<MaskCase> &i) {
                             return TestNames::Words(i.param.file) + "_in_" + TestNames::Words(i.param.list);
                         });

// ---------------------------------------------------------------- times

struct TimeCase {
    const char *label;
    qint64 modifiedSecs;
    bool exact;  // false: only the MS-DOS time (two-second steps) can carry it
};

void PrintTo(const TimeCase &c, std::ostream *os)
{
    *os << c.label << ": " << c.modifiedSecs << (c.exact ? "" : " (within a second)");
}

class ModificationTime : public testing::TestWithParam<TimeCase> {};

TEST_P(ModificationTime, SurvivesTheRoundTrip)
{
    const TimeCase c = GetParam();
    const QString src = FreshFolder(QStringLiteral("times"));
    WriteFileWithTime(src + QStringLiteral("/f.txt"), "x", c.modifiedSecs);
    ZipWriter writer;
    QString error;
    ASSERT_TRUE(writer.open(Archive(QStringLiteral("times.zip")), &error));
    ASSERT_TRUE(writer.addFile(src + QStringLiteral("/f.txt"), QStringLiteral("f.txt")));
    ASSERT_TRUE(writer.close(&error));
    const ToolResult seven = SevenZipTest(Archive(QStringLiteral("times.zip")));
    EXPECT_EQ(seven.exitCode, 0) << seven.output.toStdString();
    ZipReader reader;
    ASSERT_TRUE(reader.open(Archive(QStringLiteral("times.zip")), QString(), &error));
    const QString out = FreshFolder(QStringLiteral("times-out"));
    ASSERT_TRUE(reader.extractAll(out, &error)) << error.toStdString();
    const qint64 restored = QFileInfo(out + QStringLiteral("/f.txt")).lastModified().toSecsSinceEpoch();
    if (c.exact) {
        EXPECT_EQ(restored, c.modifiedSecs);
    } else {
        EXPECT_LE(std::abs(restored - c.modifiedSecs), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ModificationTime,
                         testing::Values(TimeCase{"OddSecond", 1700000001, true},
                                         TimeCase{"Before1980", 100000000, true},
                                         TimeCase{"After2038", 2300000001LL, false}),
                         [](const testing::TestParamInfo<TimeCase> &i) { return std::string(i.param.label); });

} // namespace
