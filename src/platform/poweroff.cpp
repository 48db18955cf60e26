#include "platform/poweroff.h"

#include "platform/systembus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QStandardPaths>

PowerControl::~PowerControl() = default;

namespace {
constexpr int kCallTimeoutMs = 10000;

bool callLogind(const QString &method, QString *error)
{
    if (!SystemBus::MayExist()) {
        if (error)
            *error = QStringLiteral("no system bus");
        return false;
    }
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        if (error)
            *error = QStringLiteral("no system bus");
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"),
                                                       QStringLiteral("/org/freedesktop/login1"),
                                                       QStringLiteral("org.freedesktop.login1.Manager"), method);
    call << false; // not interactive: no authentication prompt
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    if (error)
        *error = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
    return false;
}

bool callSystemctl(const QString &verb, QString *error)
{
    const QString systemctl = QStandardPaths::findExecutable(QStringLiteral("systemctl"));
    if (systemctl.isEmpty()) {
        if (error)
            *error += QStringLiteral("; systemctl is not installed");
        return false;
    }
    const int rc = QProcess::execute(systemctl, {verb});
    if (rc == 0)
        return true;
    if (error)
        *error += QStringLiteral("; systemctl %1 failed with exit code %2").arg(verb).arg(rc);
    return false;
}

class SystemPowerControl : public PowerControl {
public:
    bool PowerOff(QString *error) override
    {
        return callLogind(QStringLiteral("PowerOff"), error) || callSystemctl(QStringLiteral("poweroff"), error);
    }
    bool Reboot(QString *error) override
    {
        return callLogind(QStringLiteral("Reboot"), error) || callSystemctl(QStringLiteral("reboot"), error);
    }
};
} // namespace

std::unique_ptr<PowerControl> CreateSystemPowerControl()
{
    return std::make_unique<SystemPowerControl>();
}
