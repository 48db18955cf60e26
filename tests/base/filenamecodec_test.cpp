#include "base/filenamecodec.h"

#include <gtest/gtest.h>

namespace {

struct NameCase {
    const char *name;
    QByteArray bytes;
};

// Every byte string a file system can hold as a name comes back unchanged.
TEST(FileNameCodec, EveryNameRoundTrips)
{
    const NameCase cases[] = {
        {"ASCII", "notes.txt"},
        {"UTF-8", "Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93"},
        {"four-byte UTF-8", "\xF0\x9F\x98\x80.png"},
        {"line breaks and controls", "a\nb\rc\td\x1B"},
        {"Latin-1", "caf\xE9.txt"},
        {"the byte FF", "\xFF\xFE"},
        {"an encoded surrogate", "x\xED\xB3\xA9y"},
        {"an overlong slash", "\xC0\xAF"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80"},
        {"a sequence cut off", "ab\xE2\x9C"},
        {"a lone continuation byte", "\x80"},
        {"a leading byte-order mark", "\xEF\xBB\xBF" "mark"},
        {"empty", ""},
    };
    for (const NameCase &c : cases) {
        const QString text = FileNameFromBytes(c.bytes);
        EXPECT_EQ(FileNameToBytes(text), c.bytes) << c.name;
        EXPECT_EQ(IsValidUtf8(c.bytes), text.toUtf8() == c.bytes) << c.name;
    }
}

// A valid UTF-8 name is the text UTF-8 gives; only other bytes become the
// lone surrogates, one per byte.
TEST(FileNameCodec, ValidNamesAreTheirTextAndOtherBytesAreMarked)
{
    EXPECT_EQ(FileNameFromBytes("Gr\xC3\xBC\xC3\x9F" "e"), QStringLiteral("Grüße"));
    EXPECT_EQ(FileNameFromBytes("\xF0\x9F\x98\x80"), QString::fromUtf8("\xF0\x9F\x98\x80"));
    EXPECT_EQ(FileNameFromBytes("\xEF\xBB\xBF" "a"), QString(QChar(0xFEFF)) + QLatin1Char('a'));
    EXPECT_EQ(FileNameFromBytes("caf\xE9"), QStringLiteral("caf") + QChar(0xDCE9));
    EXPECT_EQ(FileNameFromBytes("\xED\xB3\xA9"), QString(QChar(0xDCED)) + QChar(0xDCB3) + QChar(0xDCA9));
    EXPECT_EQ(EscapedFileNameByte(QChar(0xDCE9)), 0xE9);
    EXPECT_EQ(EscapedFileNameByte(QChar(0xDC7F)), -1);
    EXPECT_EQ(EscapedFileNameByte(QLatin1Char('e')), -1);
    // Two different names never give the same text.
    EXPECT_NE(FileNameFromBytes("\xC3\xA9"), FileNameFromBytes("\xE9"));
}

TEST(FileNameCodec, StrayHighSurrogateBecomesAReplacementCharacter)
{
    EXPECT_EQ(FileNameToBytes(QString(QChar(0xD83D)) + QLatin1Char('a')), QByteArray("\xEF\xBF\xBD" "a"));
    EXPECT_EQ(FileNameToBytes(QString(QChar(0xDC41))), QByteArray("\xEF\xBF\xBD"));
}

} // namespace
