// The stored files depend on the cipher's key: these vectors must never change.
#include "base/binarycodec.h"
#include "base/scrambledfile.h"
#include "support/testenv.h"

#include <QBuffer>
#include <QDir>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {
struct Vector {
    QByteArray plain;
    QByteArray scrambledHex;
};

TEST(ScrambledFile, PinnedVectors)
{
    const Vector vectors[] = {
        {QByteArray("Quorvane options"), "f4ca9b32bc65cf2fc0c6e8c09aafce5e"},
        {QByteArray("\x00\x01\x7f\x80\xff", 5), "a54b25a421"},
        {QByteArray("\x08\x00\x00\x00", 4), "ade14059"},
        {QByteArray(), ""},
    };
    for (const Vector &v : vectors) {
        EXPECT_EQ(ScrambledFile::Scramble(v.plain).toHex(), v.scrambledHex) << v.plain.toHex().constData();
        EXPECT_EQ(ScrambledFile::Unscramble(QByteArray::fromHex(v.scrambledHex)), v.plain);
    }
}

TEST(ScrambledFile, RandomDataRoundTrips)
{
    QRandomGenerator rng(12345);
    for (int size : {1, 2, 255, 256, 4097}) {
        QByteArray data(size, Qt::Uninitialized);
        for (char &c : data)
            c = static_cast<char>(rng.bounded(256));
        const QByteArray stored = ScrambledFile::Scramble(data);
        EXPECT_NE(stored, data);
        EXPECT_EQ(ScrambledFile::Unscramble(stored), data) << size;
    }
}

TEST(ScrambledFile, WriteAndReadFile)
{
    const QString path = TestEnv::Root() + QStringLiteral("/scrambled.dat");
    const QByteArray plain("some plain content\r\n\x00\x01", 22);
    QString error;
    ASSERT_TRUE(ScrambledFile::Write(path, plain, &error)) << error.toStdString();
    EXPECT_EQ(TestEnv::ReadFile(path), ScrambledFile::Scramble(plain));

    QByteArray back;
    EXPECT_EQ(ScrambledFile::Read(path, back), ScrambledFile::ReadStatus::Ok);
    EXPECT_EQ(back, plain);

    // Rewriting a longer file with shorter content leaves nothing of the old one.
    ASSERT_TRUE(ScrambledFile::Write(path, QByteArray("x")));
    EXPECT_EQ(TestEnv::ReadFile(path).size(), 1);
}

TEST(ScrambledFile, ReadStatusOfMissingAndUnopenableFiles)
{
    QByteArray plain("kept");
    EXPECT_EQ(ScrambledFile::Read(TestEnv::Root() + QStringLiteral("/no-such-file"), plain),
              ScrambledFile::ReadStatus::Missing);
    const QString dir = TestEnv::Root() + QStringLiteral("/a-folder");
    ASSERT_TRUE(QDir().mkpath(dir));
    QString error;
    EXPECT_EQ(ScrambledFile::Read(dir, plain, &error), ScrambledFile::ReadStatus::OpenFailed);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(plain, QByteArray("kept"));
}

TEST(ScrambledFile, WriteIntoMissingFolderFails)
{
    QString error;
    EXPECT_FALSE(ScrambledFile::Write(TestEnv::Root() + QStringLiteral("/missing/dir/file"), "x", &error));
    EXPECT_FALSE(error.isEmpty());
}
// The cipher carries its state from piece to piece: any split of the data
// gives the bytes of the whole.
TEST(ScrambledFile, PiecesGiveTheWhole)
{
    QRandomGenerator rng(777);
    QByteArray data(100000, Qt::Uninitialized);
    for (char &c : data)
        c = static_cast<char>(rng.bounded(256));
    const QByteArray whole = ScrambledFile::Scramble(data);
    QByteArray pieces = data;
    ScrambledFile::Cipher scramble;
    for (qsizetype at = 0; at < pieces.size();) {
        const qsizetype n = std::min<qsizetype>(pieces.size() - at, rng.bounded(1, 5000));
        scramble.Scramble(pieces.data() + at, n);
        at += n;
    }
    EXPECT_EQ(pieces, whole);
    ScrambledFile::Cipher unscramble;
    unscramble.Unscramble(pieces.data(), 3);
    unscramble.Unscramble(pieces.data() + 3, pieces.size() - 3);
    EXPECT_EQ(pieces, data);
}

TEST(ScrambledFile, WriteEncodedStreamsWhatWriteStores)
{
    const auto encode = [](BinaryWriter &w) {
        for (int i = 0; i < 50000; ++i)
            w.writeString(QStringLiteral("entry %1").arg(i));
    };
    BinaryWriter whole;
    encode(whole);

    const QString path = TestEnv::Root() + QStringLiteral("/streamed.dat");
    QString error;
    ASSERT_TRUE(ScrambledFile::WriteEncoded(path, encode, &error)) << error.toStdString();
    EXPECT_EQ(TestEnv::ReadFile(path), ScrambledFile::Scramble(whole.data()));
    QByteArray back;
    ASSERT_EQ(ScrambledFile::Read(path, back), ScrambledFile::ReadStatus::Ok);
    EXPECT_EQ(back, whole.data());

    EXPECT_FALSE(ScrambledFile::WriteEncoded(TestEnv::Root() + QStringLiteral("/missing/dir/file"), encode, &error));
    EXPECT_FALSE(error.isEmpty());
    QBuffer readOnly;
    ASSERT_TRUE(readOnly.open(QIODevice::ReadOnly));
    error.clear();
    EXPECT_FALSE(ScrambledFile::WriteEncoded(readOnly, encode, &error));
    EXPECT_FALSE(error.isEmpty());
}
} // namespace
