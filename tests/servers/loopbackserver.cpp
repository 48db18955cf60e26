#include "servers/loopbackserver.h"

#include "servers/serverprocess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

bool LoopbackServer::PortAnswers(int port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return false;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(quint16(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0;
    ::close(s);
    return ok;
}

QString LoopbackServer::FindProgram(const QString &name)
{
    if (name.startsWith(QLatin1Char('/')))
        return QFile::exists(name) ? name : QString();
    QString p = QStandardPaths::findExecutable(name);
    if (p.isEmpty())
        p = QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"),
                                                  QStringLiteral("/usr/bin")});
    return p;
}

bool LoopbackServer::Start(QList<QByteArray> argv, int port, const QString &logPath)
{
    Stop();
    const QString program = FindProgram(QString::fromLocal8Bit(argv.value(0)));
    if (program.isEmpty()) {
        m_error = QStringLiteral("%1 is not installed (scripts/install-deps.sh installs it)")
                      .arg(QString::fromLocal8Bit(argv.value(0)));
        return false;
    }
    argv[0] = QFile::encodeName(program);
    m_pid = ServerProcess::Start(argv, QFile::encodeName(logPath), &m_error);
    if (m_pid <= 0)
        return false;
    QElapsedTimer waited;
    waited.start();
    while (!PortAnswers(port)) {
        if (!ServerProcess::Running(m_pid) || waited.elapsed() > 30000) {
            QFile log(logPath);
            log.open(QIODevice::ReadOnly);
            m_error = QStringLiteral("%1 did not come up on port %2: %3")
                          .arg(program)
                          .arg(port)
                          .arg(QString::fromLocal8Bit(log.readAll().right(2000)));
            Stop();
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

void LoopbackServer::Stop()
{
    if (m_pid > 0)
        ServerProcess::Kill(m_pid);
    m_pid = -1;
}

bool LoopbackServer::Running() const
{
    return m_pid > 0 && ServerProcess::Running(m_pid);
}
