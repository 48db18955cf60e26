// TNetworkPathConnection against a real Samba server on loopback: access,
// the error texts of every kind of refusal, anonymous sessions.
#include "storage/networkconnection.h"
#include "smbtestserver.h"
#include "support/testnames.h"

#include <cerrno>
#include <cstring>

namespace {

class NetworkConnection : public SmbTest {};

TEST_F(NetworkConnection, ConnectsWithGoodCredentialsAndDisconnects)
{
    TNetworkPathConnection c;
    ASSERT_TRUE(c.Connect("  " + Server().uncPath() + "  ", Server().user(), Server().password())) << c.LastError().toStdString();
    EXPECT_TRUE(c.Active());
    EXPECT_FALSE(c.Failed());
    EXPECT_TRUE(c.LastError().isEmpty());
    EXPECT_EQ(c.NetworkPath(), Server().uncPath());
    EXPECT_NE(c.Context(), nullptr);
    c.Disconnect(false);
    EXPECT_FALSE(c.Active());
    EXPECT_TRUE(c.NetworkPath().isEmpty());
    EXPECT_EQ(c.Context(), nullptr);
}

TEST_F(NetworkConnection, DomainQualifiedUserName)
{
    TNetworkPathConnection c;
    EXPECT_TRUE(c.Connect(Server().uncPath(), "WORKGROUP\\" + Server().user(), Server().password()))
        << c.LastError().toStdString();
}

struct RefusalCase {
    const char *name;
    std::function<QString()> path;
    bool goodUser;
    const char *password; // null: the good one
    QString expected;     // exact text, or a prefix when it ends with '*'
};

void PrintTo(const RefusalCase &c, std::ostream *os)
{
    *os << c.name << ": " << TestNames::Quoted(c.expected);
}

QString Sys(int code)
{
    return QString::fromLocal8Bit(strerror(code));
}

class NetworkRefusals : public SmbTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(NetworkRefusals, GiveThePrefixAndTheSystemMessage)
{
    const RefusalCase c = GetParam();
    TNetworkPathConnection c1;
    EXPECT_FALSE(c1.Connect(c.path(), c.goodUser ? Server().user() : QStringLiteral("nosuchuser"),
                            c.password ? QString::fromUtf8(c.password) : Server().password()));
    EXPECT_FALSE(c1.Active());
    EXPECT_TRUE(c1.Failed());
    if (c.expected.endsWith('*'))
        EXPECT_TRUE(c1.LastError().startsWith(c.expected.chopped(1))) << c1.LastError().toStdString();
    else
        EXPECT_EQ(c1.LastError(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, NetworkRefusals,
    ::testing::Values(
        RefusalCase{"wrong_password", [] { return SmbTest::Server().uncPath(); }, true, "wrong",
                    "Invalid password: " + Sys(EACCES)},
        RefusalCase{"unknown_share",
                    [] { return SmbTest::Server().uncPath().replace("/backup", "/nosuchshare"); }, true, nullptr,
                    "Bad network Name: " + Sys(ENOENT)},
        RefusalCase{"access_denied", [] { return SmbTest::Server().restrictedUncPath(); }, true, nullptr,
                    "Access denied: " + Sys(EACCES)},
        RefusalCase{"no_server_on_port",
                    [] { return QStringLiteral("smb://127.0.0.1:%1/backup").arg(SmbTest::Server().port() + 1); },
                    true, nullptr, "No Net or bad path: " + Sys(ECONNREFUSED)},
        RefusalCase{"unknown_host", [] { return QStringLiteral("smb://no-such-host.invalid/backup"); }, true,
                    nullptr, "No Net or bad path: *"},
        RefusalCase{"not_a_network_path", [] { return QStringLiteral("\\\\server-only"); }, true, nullptr,
                    "Bad network Name: " + Sys(EINVAL)},
        RefusalCase{"path_too_long",
                    [] { return SmbTest::Server().uncPath() + "/" + QString(4096, QLatin1Char('x')); }, true,
                    nullptr, Sys(ENAMETOOLONG)}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(NetworkConnection, APathAtTheLimitIsNotCut)
{
    // 4096 code units are accepted (and the folder need not exist to connect).
    QString path = Server().uncPath() + "/";
    path += QString(4096 - path.size(), QLatin1Char('d'));
    ASSERT_EQ(path.size(), TNetworkPathConnection::kMaxPathLength);
    TNetworkPathConnection c;
    EXPECT_TRUE(c.Connect(path, Server().user(), Server().password())) << c.LastError().toStdString();
    EXPECT_EQ(c.NetworkPath(), path);
}

TEST_F(NetworkConnection, BlankUserNameConnectsAnonymouslyWhereGuestsMayEnter)
{
    TNetworkPathConnection c;
    EXPECT_TRUE(c.Connect(Server().guestUncPath(), "  ", "ignored")) << c.LastError().toStdString();
    TNetworkPathConnection d;
    EXPECT_FALSE(d.Connect(Server().uncPath(), QString(), QString()));
    EXPECT_TRUE(d.Failed());
}

TEST_F(NetworkConnection, ConnectingAgainDropsTheOldConnection)
{
    TNetworkPathConnection c;
    ASSERT_TRUE(c.Connect(Server().uncPath(), Server().user(), Server().password()));
    EXPECT_FALSE(c.Connect(Server().uncPath(), Server().user(), "wrong"));
    EXPECT_FALSE(c.Active());
    EXPECT_EQ(c.Context(), nullptr);
    EXPECT_TRUE(c.Connect(Server().uncPath(), Server().user(), Server().password()));
    EXPECT_FALSE(c.Failed());
    EXPECT_TRUE(c.LastError().isEmpty());
}

} // namespace
