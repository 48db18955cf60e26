#include "platform/keepawake.h"

#include "base/appstate.h"
#include "platform/systembus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>

SleepInhibitor::~SleepInhibitor() = default;

namespace {
const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kInterface = QStringLiteral("org.freedesktop.login1.Manager");
constexpr int kCallTimeoutMs = 5000;

class LogindSleepInhibitor : public SleepInhibitor {
public:
    bool SetKeepAwake(bool on, QString *error) override
    {
        if (!on) {
            // Closing the descriptor logind handed out ends the lock.
            m_fd = QDBusUnixFileDescriptor();
            return true;
        }
        if (m_fd.isValid())
            return true;
        if (!SystemBus::MayExist())
            return true;
        QDBusConnection bus = QDBusConnection::systemBus();
        if (!bus.isConnected())
            return true;
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Inhibit"));
        call << QStringLiteral("sleep") << QLatin1String(AppState::ApplicationTitle)
             << QStringLiteral("Backup jobs are running or scheduled") << QStringLiteral("block");
        const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            if (error)
                *error = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
            return false;
        }
        m_fd = qvariant_cast<QDBusUnixFileDescriptor>(reply.arguments().constFirst());
        if (!m_fd.isValid()) {
            if (error)
                *error = QStringLiteral("logind returned no inhibitor lock");
            return false;
        }
        return true;
    }

    bool IsHeld() const override { return m_fd.isValid(); }

private:
    QDBusUnixFileDescriptor m_fd;
};
} // namespace

std::unique_ptr<SleepInhibitor> CreateSystemSleepInhibitor()
{
    return std::make_unique<LogindSleepInhibitor>();
}
