#include "platform/elevation.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

ElevatedLauncher::~ElevatedLauncher() = default;

namespace {
// How long the user may take to answer the authentication prompt.
constexpr int kAnswerTimeoutMs = 120000;

// The variables the elevated program needs to find the user's data folder,
// display and session; pkexec starts it with a clean environment.
const char *const kKeptVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DOCUMENTS_DIR", "XDG_RUNTIME_DIR",
                                      "TMPDIR", "DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY",
                                      "DBUS_SESSION_BUS_ADDRESS", "LANG", "LANGUAGE", "LC_ALL", "LC_MESSAGES"};

QString taskName(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

class PkexecLauncher : public ElevatedLauncher {
public:
    bool RelaunchElevated(const QString &program, const QStringList &arguments, QString *error) override
    {
        if (::geteuid() == 0) {
            if (error)
                *error = QStringLiteral("the program already runs with administrator rights");
            return false;
        }
        const QString pkexec = QStandardPaths::findExecutable(QStringLiteral("pkexec"));
        if (pkexec.isEmpty()) {
            if (error)
                *error = QStringLiteral("pkexec is not installed");
            return false;
        }
        QStringList args{QStringLiteral("/usr/bin/env")};
        for (const char *name : kKeptVariables) {
            if (qEnvironmentVariableIsSet(name))
                args.append(QLatin1String(name) + QLatin1Char('=') + qEnvironmentVariable(name));
        }
        args.append(program);
        args.append(arguments);
        qint64 pid = 0;
        if (!QProcess::startDetached(pkexec, args, QString(), &pid) || pid <= 0) {
            if (error)
                *error = QStringLiteral("pkexec could not be started");
            return false;
        }
        // pkexec replaces itself with the program once the user has agreed;
        // when it ends while still named pkexec, the request was refused.
        const QDeadlineTimer deadline(kAnswerTimeoutMs);
        while (!deadline.hasExpired()) {
            const QString name = taskName(pid);
            if (name.isEmpty()) {
                if (error)
                    *error = QStringLiteral("the request for administrator rights was refused");
                return false;
            }
            if (name != QLatin1String("pkexec"))
                return true;
            if (QCoreApplication::instance())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            QThread::msleep(50);
        }
        ::kill(pid_t(pid), SIGTERM);
        if (error)
            *error = QStringLiteral("the request for administrator rights was not answered");
        return false;
    }
};
} // namespace

std::unique_ptr<ElevatedLauncher> CreateSystemElevatedLauncher()
{
    return std::make_unique<PkexecLauncher>();
}
