// Network paths: the three written forms, the canonical form and the
// libsmbclient URL with escaped names.
#include "storage/uncpath.h"

#include <gtest/gtest.h>

namespace {

struct UncCase {
    const char *text;
    bool ok;
    const char *canonical;
    const char *url;
};

class UncPaths : public ::testing::TestWithParam<UncCase> {};

TEST_P(UncPaths, Parse)
{
    const UncCase c = GetParam();
    UncPath p;
    ASSERT_EQ(ParseUncPath(QString::fromUtf8(c.text), p), c.ok) << c.text;
    if (!c.ok)
        return;
    EXPECT_EQ(p.Canonical(), QString::fromUtf8(c.canonical));
    EXPECT_EQ(p.Url(), QByteArray(c.url));
    // The canonical form parses to itself.
    UncPath again;
    ASSERT_TRUE(ParseUncPath(p.Canonical(), again));
    EXPECT_EQ(again.Canonical(), p.Canonical());
}

INSTANTIATE_TEST_SUITE_P(
    Forms, UncPaths,
    ::testing::Values(
        UncCase{"\\\\server\\share\\dir", true, "smb://server/share/dir", "smb://server/share/dir"},
        UncCase{"//server/share/dir/", true, "smb://server/share/dir", "smb://server/share/dir"},
        UncCase{"  smb://server:4450/share  ", true, "smb://server:4450/share", "smb://server:4450/share"},
        // A backslash in a name would be a separator on the share: U+F026.
        UncCase{"SMB://Server/Share//a\\b", true, "smb://Server/Share/a\\b", "smb://Server/Share/a%EF%80%A6b"},
        UncCase{"//srv/share/100% done?/#1 é", true, "smb://srv/share/100% done?/#1 é",
                // A share refuses "?" in a name: it travels as U+F025 (ShareName).
                "smb://srv/share/100%25%20done%EF%80%A5/%231%20%C3%A9"},
        UncCase{"\\\\server", false, "", ""}, UncCase{"\\\\server\\", false, "", ""},
        UncCase{"/local/folder", false, "", ""}, UncCase{"smb://server:0/share", false, "", ""},
        UncCase{"smb://server:99999/share", false, "", ""},
        UncCase{"smb://user:pw@server/share", false, "", ""},
        UncCase{"//server/share/../other", false, "", ""}, UncCase{"\\", false, "", ""}));

// The names a share refuses travel as private use characters and come back
// from a listing as they were; every other name is sent as it is.
TEST(UncPathsTest, ShareNamesMapWhatAShareRefuses)
{
    const struct {
        QString name;
        QString shareName;
    } cases[] = {
        {"plain Grüße ✓.txt", "plain Grüße ✓.txt"},
        {"line\nfeed\r\t\x1B", QStringLiteral("line\uF00Afeed\uF00D\uF009\uF01B")},
        {"\"*:<>?\\|", QStringLiteral("\uF020\uF021\uF022\uF023\uF024\uF025\uF026\uF027")},
        {QStringLiteral("caf") + QChar(0xDCE9) + QChar(0xDC80), QStringLiteral("caf\uF0E9\uF080")},
        {"trailing dot. and space ", "trailing dot. and space "},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ShareName(c.name), c.shareName) << c.name.toStdString();
        EXPECT_EQ(NameFromShare(c.shareName), c.name) << c.name.toStdString();
    }
    UncPath p;
    ASSERT_TRUE(ParseUncPath(QStringLiteral("smb://h/s/a:b"), p));
    EXPECT_EQ(p.Canonical(), QStringLiteral("smb://h/s/a:b"));
    EXPECT_EQ(p.Url(), QByteArray("smb://h/s/a%EF%80%A2b"));
}

TEST(UncPathsTest, ShareRootAndServerUrl)
{
    UncPath p;
    ASSERT_TRUE(ParseUncPath("smb://h:12/s/a/b", p));
    EXPECT_EQ(p.ShareRoot(), "smb://h:12/s");
    EXPECT_EQ(p.ServerUrl(), QByteArray("smb://h:12/"));
    EXPECT_TRUE(LooksLikeUncPath("\\\\h\\s"));
    EXPECT_TRUE(LooksLikeUncPath("smb://h/s"));
    EXPECT_FALSE(LooksLikeUncPath("/h/s"));
}

} // namespace
