// Network paths: the three written forms, the canonical form and the
// libsmbclient URL with escaped names.
#include "storage/uncpath.h"
#include "support/testnames.h"

#include <gtest/gtest.h>

namespace {

struct UncCase {
    const char *text;
    bool ok;
    const char *canonical;
    const char *url;
};

void PrintTo(const UncCase &c, std::ostream *os)
{
    *os << TestNames::Quoted(c.text);
    if (c.ok)
        *os << " -> " << TestNames::Quoted(c.canonical) << ", " << TestNames::Quoted(c.url);
    else
        *os << " is refused";
}

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
        UncCase{"SMB://Server/Share//a\\b", true, "smb://Server/Share/a\\b", "smb://Server/Share/a%5Cb"},
        UncCase{"//srv/share/100% done?/#1 é", true, "smb://srv/share/100% done?/#1 é",
                "smb://srv/share/100%25%20done%3F/%231%20%C3%A9"},
        UncCase{"\\\\server", false, "", ""}, UncCase{"\\\\server\\", false, "", ""},
        UncCase{"/local/folder", false, "", ""}, UncCase{"smb://server:0/share", false, "", ""},
        UncCase{"smb://server:99999/share", false, "", ""},
        UncCase{"smb://user:pw@server/share", false, "", ""},
        UncCase{"//server/share/../other", false, "", ""}, UncCase{"\\", false, "", ""}),
    [](const auto &i) { return TestNames::Spelled(i.param.text); });

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
