#include "stopatopen.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace StopAtOpen {

QStringList Environment(const QString &pathPart)
{
    // AddressSanitizer wants to come first among the preloaded libraries;
    // the shim calls nothing it watches, so the order does not matter here.
    QString asan = qEnvironmentVariable("ASAN_OPTIONS");
    asan += asan.isEmpty() ? QStringLiteral("verify_asan_link_order=0") : QStringLiteral(":verify_asan_link_order=0");
    return {QStringLiteral("LD_PRELOAD=") + QStringLiteral(QV_STOP_AT_OPEN_LIBRARY),
            QStringLiteral("QV_STOP_AT_OPEN=") + pathPart, QStringLiteral("ASAN_OPTIONS=") + asan};
}

namespace {
// The state letter of /proc/<pid>/stat ("pid (comm) S ..."), or 0 when the
// process is gone.
char StateOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && close + 2 < line.size() ? line.at(close + 2) : 0;
}
} // namespace

bool IsStopped(qint64 pid)
{
    const char state = StateOf(pid);
    return state == 'T' || state == 't';
}

bool WaitUntilStopped(qint64 pid)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 120000) {
        const char state = StateOf(pid);
        if (state == 'T' || state == 't')
            return true;
        if (state == 0 || state == 'Z' || state == 'X')
            return false;
        QThread::msleep(10);
    }
    return false;
}

} // namespace StopAtOpen
