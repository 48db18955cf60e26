#include "base/errors.h"
#include "base/filenamecodec.h"
#include "base/textfile.h"
#include "support/testenv.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {
TEST(TextFile, WritesBomAndCrLf)
{
    const QByteArray data = EncodeTextLines({QStringLiteral("first"), QString(), QStringLiteral("Grüße")});
    EXPECT_EQ(data, QByteArray("\xEF\xBB\xBF" "first\r\n\r\nGr\xC3\xBC\xC3\x9F" "e\r\n"));
    EXPECT_EQ(EncodeTextLines({}), QByteArray("\xEF\xBB\xBF"));
}

TEST(TextFile, DecodesEveryLineEnding)
{
    struct Case {
        const char *name;
        QByteArray data;
        QStringList lines;
    };
    const Case cases[] = {
        {"BOM and CR LF", QByteArray("\xEF\xBB\xBF" "a\r\nb\r\n"), {"a", "b"}},
        {"no BOM", QByteArray("a\r\nb\r\n"), {"a", "b"}},
        {"bare LF", QByteArray("a\nb\n"), {"a", "b"}},
        {"last line without line end", QByteArray("a\r\nb"), {"a", "b"}},
        {"empty lines kept", QByteArray("\r\na\r\n\r\n"), {"", "a", ""}},
        {"empty file", QByteArray(), {}},
        {"only a BOM", QByteArray("\xEF\xBB\xBF"), {}},
        {"CR inside a line stays", QByteArray("a\rb\r\n"), {"a\rb"}},
        {"UTF-8 text", QByteArray("\xC3\xA9t\xC3\xA9\r\n"), {QStringLiteral("été")}},
        // Bytes that are not UTF-8 stay the bytes they were (see filenamecodec.h).
        {"a sequence cut off at a line end", QByteArray("a\xC3\r\nb"), {QStringLiteral("a") + QChar(0xDCC3), "b"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(DecodeTextLines(c.data), c.lines) << c.name;
}

// A line may itself begin with U+FEFF (a file name, say); only the one mark at
// the start of the file is the byte-order mark.
TEST(TextFile, LinesBeginningWithFeffKeepIt)
{
    const QString feff(QChar(0xFEFF));
    const QStringList lines{feff + QStringLiteral("first"), QStringLiteral("second"), feff, feff + feff + QStringLiteral("x")};
    EXPECT_EQ(DecodeTextLines(EncodeTextLines(lines)), lines);
    EXPECT_EQ(DecodeTextLines(QByteArray("a\n\xEF\xBB\xBF" "b\n")), (QStringList{"a", feff + QStringLiteral("b")}));
}

// The state lists name every file the file system can hold. The golden file
// holds ordinary names as their UTF-8 exactly as the format always had them,
// and the others with line breaks and the byte FF escaped, and every other
// byte as it is in the name.
TEST(TextFile, StateListOfEveryKindOfNameMatchesTheGoldenFile)
{
    const auto raw = [](const char *bytes, qsizetype size = -1) {
        return FileNameFromBytes(QByteArrayView(bytes, size < 0 ? qsizetype(qstrlen(bytes)) : size));
    };
    const QStringList lines{
        // Ordinary names.
        QStringLiteral("Data"),
        QStringLiteral("Data/a.txt"),
        QStringLiteral("Data/Grüße.txt"),
        QStringLiteral("Data/sub/notes 2024.txt"),
        // The others.
        QStringLiteral("Data/line\nfeed.txt"),
        QStringLiteral("Data/carriage\rreturn.txt"),
        raw("Data/caf\xE9.txt"),
        raw("Data/\xFF.txt"),
        QStringLiteral("Data/tab\tand\x1B[31mescape"),
        QStringLiteral("Data/") + QChar(0xFEFF) + QStringLiteral("mark"),
        raw("Data/dir\n\xE9/inner.txt"),
    };
    const QByteArray golden = TestEnv::ReadFile(TestEnv::SourceDir() + QStringLiteral("/tests/fixtures/statelists/names.qvl"));
    EXPECT_EQ(EncodeTextLines(lines), golden);
    EXPECT_EQ(DecodeTextLines(golden), lines);
    QBuffer out;
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_TRUE(WriteTextLines(out, lines));
    EXPECT_EQ(out.data(), golden);
    for (qsizetype i = 0; i < 4; ++i)
        EXPECT_EQ(EncodeTextLine(lines.at(i)), lines.at(i).toUtf8()) << lines.at(i).toStdString();
}

// Bytes after FF that this program never writes are read as they stand.
TEST(TextFile, UnknownEscapesAreKeptAsBytes)
{
    const QStringList lines = DecodeTextLines(QByteArray("a\xFFx\r\n\xFF\r\n"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(FileNameToBytes(lines.at(0)), QByteArray("a\xFFx"));
    EXPECT_EQ(FileNameToBytes(lines.at(1)), QByteArray("\xFF"));
}

TEST(TextFile, FileRoundTrip)
{
    const QString path = TestEnv::Root() + QStringLiteral("/lines.txt");
    const QStringList lines{QStringLiteral("one"), QStringLiteral(""), QStringLiteral("three ✓")};
    QString error;
    ASSERT_TRUE(WriteTextLines(path, lines, &error)) << error.toStdString();
    EXPECT_EQ(ReadTextLines(path), lines);
}

TEST(TextFile, StreamedWriteGivesTheEncoding)
{
    QStringList lines;
    for (int i = 0; i < 20000; ++i)
        lines.append(i % 7 == 0 ? QString() : QStringLiteral("folder/Grüße %1").arg(i));
    for (const QStringList &list : {QStringList(), lines}) {
        QBuffer out;
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        ASSERT_TRUE(WriteTextLines(out, list));
        EXPECT_EQ(out.data(), EncodeTextLines(list));
        EXPECT_EQ(DecodeTextLines(out.data()), list);
    }
    QBuffer readOnly;
    ASSERT_TRUE(readOnly.open(QIODevice::ReadOnly));
    EXPECT_FALSE(WriteTextLines(readOnly, lines));
}

TEST(TextFile, MissingFileThrows)
{
    EXPECT_THROW(ReadTextLines(TestEnv::Root() + QStringLiteral("/none.txt")), QvError);
}
} // namespace
