// Every TLS connection verifies its peer against the system store plus the
// user's trusted-certificates.pem, never offers less than TLS 1.2, names the
// host and the remedy when a certificate is not trusted, and goes through
// the options' proxy when one is set. Real HTTPS servers, tinyproxy and
// microsocks on loopback.
#include "net/curlhandle.h"
#include "net/neterror.h"
#include "net/proxy.h"
#include "net/tlstrust.h"
#include "platform/folders.h"
#include "servers/loopbackserver.h"
#include "servers/reservedport.h"
#include "servers/testca.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct Fetched {
    bool ok = false;
    QByteArray body;
    QString error;
};

size_t Collect(char *data, size_t size, size_t count, void *user)
{
    static_cast<QByteArray *>(user)->append(data, qsizetype(size * count));
    return size * count;
}

Fetched Fetch(int port, const ProxySetting &proxy = {})
{
    Fetched f;
    CurlHandle curl = NewCurlHandle();
    char errors[CURL_ERROR_SIZE] = {};
    if (!TlsTrust::Apply(curl.get(), &f.error))
        return f;
    ApplyProxy(curl.get(), proxy);
    const QByteArray url = "https://127.0.0.1:" + QByteArray::number(port) + "/hello.txt";
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.constData());
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &Collect);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &f.body);
    curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, errors);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, 20L);
    curl_easy_setopt(curl.get(), CURLOPT_FAILONERROR, 1L);
    const CURLcode code = curl_easy_perform(curl.get());
    f.ok = code == CURLE_OK;
    if (!f.ok)
        f.error = CurlErrorText(code, errors, QStringLiteral("127.0.0.1"));
    return f;
}

// The servers of the whole program: a CA-signed one, a self-signed one and
// one that offers TLS 1.1 at most, and the two proxies.
struct Servers {
    TestCa ca;
    ReservedPort signedPort, selfPort, oldPort, httpProxyPort, socksPort;
    LoopbackServer signedServer, selfServer, oldServer, httpProxy, socks;
    QString error;

    bool Start()
    {
        const QString dir = TestEnv::Root() + QStringLiteral("/net-servers");
        QDir().mkpath(dir + QStringLiteral("/www"));
        TestEnv::WriteFile(dir + QStringLiteral("/www/hello.txt"), "hello over TLS");
        if (!ca.Create(dir + QStringLiteral("/ca"), &error))
            return false;
        const QByteArray script = QFile::encodeName(TestEnv::SourceDir() + QStringLiteral("/tests/servers/https_server.py"));
        const QByteArray www = QFile::encodeName(dir + QStringLiteral("/www"));
        auto https = [&](LoopbackServer &s, int port, const QString &cert, const QString &key, const char *name,
                         QList<QByteArray> extra) {
            QList<QByteArray> argv{"/usr/bin/python3", script, QByteArray::number(port), www, QFile::encodeName(cert),
                                   QFile::encodeName(key)};
            argv += extra;
            if (!s.Start(argv, port, dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".log"))) {
                error = s.Error();
                return false;
            }
            return true;
        };
        const QString conf = dir + QStringLiteral("/tinyproxy.conf");
        TestEnv::WriteFile(conf, "Port " + QByteArray::number(httpProxyPort.port())
                                     + "\nListen 127.0.0.1\nAllow 127.0.0.1\nMaxClients 20\nLogLevel Info\n");
        return https(signedServer, signedPort.port(), ca.ServerCertPath(), ca.ServerKeyPath(), "signed", {})
               && https(selfServer, selfPort.port(), ca.SelfSignedCertPath(), ca.SelfSignedKeyPath(), "self", {})
               && https(oldServer, oldPort.port(), ca.ServerCertPath(), ca.ServerKeyPath(), "old", {"--max-tls", "1.1"})
               && StartProxy(httpProxy, {"tinyproxy", "-d", "-c", QFile::encodeName(conf)}, httpProxyPort.port(),
                             dir + QStringLiteral("/tinyproxy.log"))
               && StartProxy(socks,
                             {"microsocks", "-i", "127.0.0.1", "-p", QByteArray::number(socksPort.port()), "-u", "qv",
                              "-P", "secret"},
                             socksPort.port(), dir + QStringLiteral("/microsocks.log"));
    }

    bool StartProxy(LoopbackServer &s, const QList<QByteArray> &argv, int port, const QString &log)
    {
        if (!s.Start(argv, port, log)) {
            error = s.Error();
            return false;
        }
        return true;
    }
};

Servers *g_servers = nullptr;

class TlsTrustTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!g_servers) {
            g_servers = new Servers;
            if (!g_servers->Start())
                s_startError = g_servers->error;
        }
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_startError.isEmpty()) << s_startError.toStdString();
        m_data = TestEnv::Root() + QStringLiteral("/data-%1").arg(++s_tests);
        QDir().mkpath(m_data);
        Folders::SetDataFolderOverride(m_data);
    }
    void TearDown() override { Folders::SetDataFolderOverride(QString()); }

    void TrustTheTestCa() { ASSERT_TRUE(QFile::copy(g_servers->ca.CaPath(), TlsTrust::UserCertificatesPath())); }

    QString m_data;
    static inline QString s_startError;
    static inline int s_tests = 0;
};

} // namespace

TEST_F(TlsTrustTest, AServerOfAnAuthorityTheUserTrustsIsReached)
{
    TrustTheTestCa();
    const Fetched f = Fetch(g_servers->signedPort.port());
    EXPECT_TRUE(f.ok) << f.error.toStdString();
    EXPECT_EQ(f.body, "hello over TLS");
    EXPECT_FALSE(TlsTrust::TrustedCertificates().isEmpty());
}

TEST_F(TlsTrustTest, AnUntrustedCertificateNamesTheHostAndTheRemedy)
{
    struct Case {
        const char *name;
        bool trustCa;
        int port;
    };
    const Case cases[] = {
        {"no file of the user: the system store alone does not know the test CA", false, g_servers->signedPort.port()},
        {"a self-signed server is not trusted by the user's CA file", true, g_servers->selfPort.port()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(TlsTrust::UserCertificatesPath());
        if (c.trustCa)
            TrustTheTestCa();
        const Fetched f = Fetch(c.port);
        EXPECT_FALSE(f.ok);
        EXPECT_TRUE(f.error.contains(QStringLiteral("The certificate of 127.0.0.1 could not be verified")))
            << f.error.toStdString();
        EXPECT_TRUE(f.error.contains(m_data + QStringLiteral("/trusted-certificates.pem"))) << f.error.toStdString();
    }
}

TEST_F(TlsTrustTest, AServerThatOffersOnlyTls11IsRefusedEvenWhenTrusted)
{
    TrustTheTestCa();
    const Fetched f = Fetch(g_servers->oldPort.port());
    EXPECT_FALSE(f.ok) << "fetched " << f.body.constData();
    EXPECT_FALSE(f.error.isEmpty());
}

TEST_F(TlsTrustTest, AnUnreadableUserFileFailsInsteadOfTrustingLess)
{
    // A folder where the file should be: present, but no certificates.
    ASSERT_TRUE(QDir().mkpath(TlsTrust::UserCertificatesPath()));
    const Fetched f = Fetch(g_servers->signedPort.port());
    EXPECT_FALSE(f.ok);
    EXPECT_TRUE(f.error.contains(TlsTrust::UserCertificatesPath())) << f.error.toStdString();
}

TEST_F(TlsTrustTest, TlsRunsEndToEndThroughEachProxyKind)
{
    TrustTheTestCa();
    TProxyOptions http;
    http.Enabled = true;
    http.PrType = 0;
    http.Host = QStringLiteral("127.0.0.1");
    http.Port = QString::number(g_servers->httpProxyPort.port());
    TProxyOptions socks = http;
    socks.PrType = 2;
    socks.Port = QString::number(g_servers->socksPort.port());
    socks.Username = QStringLiteral("qv");
    socks.Password = QStringLiteral("secret");
    for (const TProxyOptions &o : {http, socks}) {
        SCOPED_TRACE(o.PrType);
        QString error;
        const std::optional<ProxySetting> proxy = ProxyFromOptions(o, &error);
        ASSERT_TRUE(proxy) << error.toStdString();
        const Fetched f = Fetch(g_servers->signedPort.port(), *proxy);
        EXPECT_TRUE(f.ok) << f.error.toStdString();
        EXPECT_EQ(f.body, "hello over TLS");
    }
    // The SOCKS proxy wants its password: without it nothing gets through,
    // so the fetch above did use the proxy.
    socks.Password = QStringLiteral("wrong");
    QString error;
    const Fetched refused = Fetch(g_servers->signedPort.port(), *ProxyFromOptions(socks, &error));
    EXPECT_FALSE(refused.ok);
}

TEST(ProxyFromOptions, TakesTheOptionsAsEveryConnectionUsesThem)
{
    struct Case {
        const char *name;
        bool enabled;
        qint32 type;
        const char *port;
        bool valid;
        ProxySetting::Kind kind;
    };
    const Case cases[] = {
        {"disabled, whatever the rest says", false, 2, "not a port", true, ProxySetting::None},
        {"HTTP", true, 0, "3128", true, ProxySetting::Http},
        {"SOCKS 4", true, 1, " 1080 ", true, ProxySetting::Socks4},
        {"SOCKS 5", true, 2, "1080", true, ProxySetting::Socks5},
        {"a port that is not a number", true, 0, "80a", false, ProxySetting::None},
        {"an empty port", true, 0, "", false, ProxySetting::None},
        {"a port out of range", true, 0, "70000", false, ProxySetting::None},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TProxyOptions o;
        o.Enabled = c.enabled;
        o.PrType = c.type;
        o.Host = QStringLiteral(" proxy.example ");
        o.Port = QString::fromLatin1(c.port);
        QString error;
        const std::optional<ProxySetting> p = ProxyFromOptions(o, &error);
        ASSERT_EQ(p.has_value(), c.valid) << error.toStdString();
        if (!p) {
            EXPECT_TRUE(error.contains(QString::fromLatin1(c.port))) << error.toStdString();
            continue;
        }
        EXPECT_EQ(p->kind, c.kind);
        if (c.enabled) {
            EXPECT_EQ(p->host, QStringLiteral("proxy.example"));
        }
    }
}
