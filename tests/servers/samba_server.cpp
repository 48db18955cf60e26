#include "servers/samba_server.h"

#include "servers/serverprocess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool PortAnswers(int port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return false;
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_port = htons(quint16(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0;
    ::close(s);
    return ok;
}

QString FindProgram(const QString &name)
{
    QString p = QStandardPaths::findExecutable(name);
    if (p.isEmpty())
        p = QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"),
                                                  QStringLiteral("/usr/local/sbin")});
    return p;
}

bool WriteText(const QString &path, const QString &text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) >= 0;
}

void Fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

SambaServer &SambaServer::Shared()
{
    static SambaServer server;
    return server;
}

SambaServer::SambaServer()
{
    m_prepared = prepare(&m_prepareError);
}

SambaServer::~SambaServer()
{
    stop();
}

QString SambaServer::uncPath() const
{
    return QStringLiteral("smb://127.0.0.1:%1/%2").arg(port()).arg(shareName());
}

QString SambaServer::guestUncPath() const
{
    return QStringLiteral("smb://127.0.0.1:%1/public").arg(port());
}

QString SambaServer::restrictedUncPath() const
{
    return QStringLiteral("smb://127.0.0.1:%1/restricted").arg(port());
}

QString SambaServer::log() const
{
    QFile f(m_root.path() + QStringLiteral("/smbd.out"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll().right(4000)) : QString();
}

bool SambaServer::prepare(QString *error)
{
    if (!m_root.isValid())
        return Fail(error, QStringLiteral("cannot create a temporary folder")), false;
    if (const passwd *pw = getpwuid(geteuid()))
        m_user = QString::fromLocal8Bit(pw->pw_name);
    if (m_user.isEmpty())
        return Fail(error, QStringLiteral("the current user has no name")), false;
    if (port() == 0)
        return Fail(error, QStringLiteral("no free port")), false;

    const QString r = m_root.path();
    for (const char *d : {"share", "public", "private", "lock", "state", "cache", "pid", "ncalrpc", "log"}) {
        if (!QDir().mkpath(r + QLatin1Char('/') + QLatin1String(d)))
            return Fail(error, QStringLiteral("cannot create ") + QLatin1String(d)), false;
    }
    QFile::setPermissions(guestShareDir(), QFileDevice::Permissions(0x7777));

    // Guests act as the current user: the share folders lie in the test's
    // private temporary folder, which other accounts cannot enter.
    // Read-only on the share is the file's missing owner write permission,
    // both ways (as on a local drive): no DOS attributes in extended attributes.
    m_conf = r + QStringLiteral("/smb.conf");
    const QString conf = QStringLiteral(
        "[global]\n"
        "  workgroup = WORKGROUP\n"
        "  server role = standalone server\n"
        "  smb ports = %2\n"
        "  interfaces = 127.0.0.1\n"
        "  bind interfaces only = yes\n"
        "  disable netbios = yes\n"
        "  private dir = %1/private\n"
        "  lock directory = %1/lock\n"
        "  state directory = %1/state\n"
        "  cache directory = %1/cache\n"
        "  pid directory = %1/pid\n"
        "  ncalrpc dir = %1/ncalrpc\n"
        "  log file = %1/log/log.%m\n"
        "  passdb backend = tdbsam:%1/private/passdb.tdb\n"
        "  map to guest = Bad User\n"
        "  guest account = %3\n"
        "  load printers = no\n"
        "  printing = bsd\n"
        "  printcap name = /dev/null\n"
        "  disable spoolss = yes\n"
        "  server min protocol = SMB2\n"
        "  store dos attributes = no\n"
        "  map readonly = yes\n"
        "  map archive = no\n"
        "[backup]\n"
        "  path = %1/share\n"
        "  read only = no\n"
        "  guest ok = no\n"
        "[public]\n"
        "  path = %1/public\n"
        "  read only = no\n"
        "  guest ok = yes\n"
        "[restricted]\n"
        "  path = %1/public\n"
        "  valid users = nobody\n")
                             .arg(r)
                             .arg(port())
                             .arg(m_user);
    if (!WriteText(m_conf, conf))
        return Fail(error, QStringLiteral("cannot write smb.conf")), false;

    // libsmbclient of this process: a private client configuration.
    const QString home = QDir::homePath() + QStringLiteral("/.smb");
    if (QDir().mkpath(home) && !QFile::exists(home + QStringLiteral("/smb.conf")))
        WriteText(home + QStringLiteral("/smb.conf"),
                  QStringLiteral("[global]\n  client min protocol = SMB2\n"));

    const QString smbpasswd = FindProgram(QStringLiteral("smbpasswd"));
    if (smbpasswd.isEmpty())
        return Fail(error, QStringLiteral("smbpasswd not found (install the samba package)")), false;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(smbpasswd, {QStringLiteral("-c"), m_conf, QStringLiteral("-a"), QStringLiteral("-s"), m_user});
    if (!p.waitForStarted(10000))
        return Fail(error, QStringLiteral("cannot run smbpasswd")), false;
    p.write((m_password + QLatin1Char('\n') + m_password + QLatin1Char('\n')).toUtf8());
    p.closeWriteChannel();
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return Fail(error, QStringLiteral("smbpasswd failed: ") + QString::fromUtf8(p.readAll())), false;
    return true;
}

bool SambaServer::start(QString *error)
{
    if (!m_prepared)
        return Fail(error, m_prepareError), false;
    if (running())
        return true;
    const QString smbd = FindProgram(QStringLiteral("smbd"));
    if (smbd.isEmpty())
        return Fail(error, QStringLiteral("smbd not found (install the samba package)")), false;

    const QByteArray out = QFile::encodeName(m_root.path() + QStringLiteral("/smbd.out"));
    m_pid = ServerProcess::Start({QFile::encodeName(smbd), "-F", "--no-process-group", "--debug-stdout", "-d", "1",
                                  "-s", QFile::encodeName(m_conf)},
                                 out, error);
    if (m_pid < 0)
        return false;
    // smbd gives no sign when it listens: its port is tried until it answers.
    for (int i = 0; i < 2000; ++i) {
        if (PortAnswers(port()))
            return true;
        if (!ServerProcess::Running(m_pid)) {
            m_pid = -1;
            return Fail(error, QStringLiteral("smbd ended at start:\n") + log()), false;
        }
        QThread::msleep(10);
    }
    stop();
    return Fail(error, QStringLiteral("smbd does not answer on port %1:\n").arg(port()) + log()), false;
}

bool SambaServer::running()
{
    if (!ServerProcess::Running(m_pid))
        m_pid = -1;
    return m_pid > 0;
}

void SambaServer::stop()
{
    if (m_pid <= 0)
        return;
    // smbd leads its own process group: the group is smbd and the children
    // that serve the connections.
    ServerProcess::Kill(m_pid);
    m_pid = -1;
    // The connection children are gone with the group; wait until the port
    // no longer answers so that the next start sees the new server.
    for (int i = 0; i < 500 && PortAnswers(port()); ++i)
        QThread::msleep(10);
}
