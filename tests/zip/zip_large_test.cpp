// Entries beyond 4 GiB. Long: run with `ctest --test-dir build -L long`
// (needs about 10 GB of free space in the temporary folder).
#include "zip/zipreader.h"
#include "zip/zipwriter.h"
#include "support/testenv.h"
#include "zip/ziptools.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace ZipTest;

namespace {

constexpr qint64 kBig = 4LL * 1024 * 1024 * 1024 + 300 * 1024 * 1024;
const QByteArray kMarkA = "start of the big file";
const QByteArray kMarkB = "a mark beyond four GiB";
constexpr qint64 kMarkBAt = 4LL * 1024 * 1024 * 1024 + 12345;

// A sparse file: holes everywhere except a few marks.
void MakeSparse(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_TRUE(f.resize(kBig));
    ASSERT_TRUE(f.seek(0));
    ASSERT_EQ(f.write(kMarkA), kMarkA.size());
    ASSERT_TRUE(f.seek(kMarkBAt));
    ASSERT_EQ(f.write(kMarkB), kMarkB.size());
}

QByteArray ReadAt(const QString &path, qint64 offset, qint64 length)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.seek(offset));
    return f.read(length);
}

TEST(ZipLarge, EntriesAndOffsetsBeyondFourGiBAreAcceptedAndReadBack)
{
    const QString src = FreshFolder(QStringLiteral("large-src"));
    const QString big = src + QStringLiteral("/big.img");
    MakeSparse(big);
    TestEnv::WriteFile(src + QStringLiteral("/small.txt"), CompressibleBytes(10000, 1));

    QString error;
    // Deflated and AES-256 encrypted: the uncompressed size is beyond 4 GiB.
    const QString archive = TestEnv::Root() + QStringLiteral("/large-aes.zip");
    ZipWriterSettings aes;
    aes.level = 1;
    aes.encryption = 3;
    aes.password = QStringLiteral("big secret");
    ZipWriter writer(aes);
    ASSERT_TRUE(writer.open(archive, &error)) << error.toStdString();
    ASSERT_TRUE(writer.addFile(big, QStringLiteral("big.img")));
    ASSERT_TRUE(writer.addFile(src + QStringLiteral("/small.txt"), QStringLiteral("small.txt")));
    ASSERT_TRUE(writer.close(&error)) << error.toStdString();
    const ToolResult sevenAes = SevenZipTest(archive, aes.password);
    EXPECT_EQ(sevenAes.exitCode, 0) << sevenAes.output.toStdString();
    QFile::remove(archive);

    // Stored: the compressed size is beyond 4 GiB too, and the next entry's
    // local header starts beyond 4 GiB.
    const QString archive2 = TestEnv::Root() + QStringLiteral("/large-stored.zip");
    ZipWriterSettings plain;
    plain.level = 0;
    ZipWriter writer2(plain);
    ASSERT_TRUE(writer2.open(archive2, &error));
    ASSERT_TRUE(writer2.addFile(big, QStringLiteral("stored.img")));
    ASSERT_TRUE(writer2.addFile(src + QStringLiteral("/small.txt"), QStringLiteral("small.txt")));
    ASSERT_TRUE(writer2.close(&error)) << error.toStdString();
    EXPECT_GT(QFileInfo(archive2).size(), kBig);

    const ToolResult seven2 = SevenZipTest(archive2);
    EXPECT_EQ(seven2.exitCode, 0) << seven2.output.toStdString();
    const ToolResult unzip = UnzipTest(archive2);
    EXPECT_EQ(unzip.exitCode, 0) << unzip.output.toStdString();

    ZipReader reader;
    ASSERT_TRUE(reader.open(archive2, QString(), &error)) << error.toStdString();
    const QString out = FreshFolder(QStringLiteral("large-out"));
    ASSERT_TRUE(reader.extractEntry(QStringLiteral("small.txt"), out, &error)) << error.toStdString();
    EXPECT_EQ(TestEnv::ReadFile(out + QStringLiteral("/small.txt")), CompressibleBytes(10000, 1));
    ASSERT_TRUE(reader.extractEntry(QStringLiteral("stored.img"), out, &error)) << error.toStdString();
    reader.close();
    QFile::remove(archive2);
    const QString restored = out + QStringLiteral("/stored.img");
    EXPECT_EQ(QFileInfo(restored).size(), kBig);
    EXPECT_EQ(ReadAt(restored, 0, kMarkA.size()), kMarkA);
    EXPECT_EQ(ReadAt(restored, kMarkBAt, kMarkB.size()), kMarkB);
    EXPECT_EQ(ReadAt(restored, kMarkBAt + kMarkB.size(), 16), QByteArray(16, '\0'));
}

} // namespace
