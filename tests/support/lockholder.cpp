#include "support/lockholder.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString flockProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("flock"));
}
} // namespace

ForeignLockHolder::~ForeignLockHolder()
{
    Kill();
}

bool ForeignLockHolder::Hold(const QString &path)
{
    // flock keeps the lock itself (--close keeps it from the command), and
    // the command says so and then waits on its input until the end.
    m_process.start(flockProgram(), {QStringLiteral("--nonblock"), QStringLiteral("--close"), path,
                                     QStringLiteral("-c"), QStringLiteral("echo held; exec cat")});
    if (!m_process.waitForStarted(10000))
        return false;
    QByteArray out;
    while (!out.contains("held") && m_process.waitForReadyRead(10000))
        out += m_process.readAllStandardOutput();
    return out.contains("held");
}

void ForeignLockHolder::Kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(10000);
}

bool ForeignLockHolder::IsFree(const QString &path)
{
    const bool existed = QFileInfo::exists(path);
    QProcess p;
    p.start(flockProgram(), {QStringLiteral("--nonblock"), path, QStringLiteral("true")});
    const bool free = p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!existed)
        QFile::remove(path);
    return free;
}
