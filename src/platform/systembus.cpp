#include "platform/systembus.h"

#include <QFileInfo>
#include <QStringList>

namespace SystemBus {
bool MayExist()
{
    QString address = qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS");
    if (address.isEmpty())
        address = QStringLiteral("unix:path=/run/dbus/system_bus_socket;unix:path=/var/run/dbus/system_bus_socket");
    for (const QString &entry : address.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (!entry.startsWith(QLatin1String("unix:")))
            return true; // another transport: only a connection attempt can tell
        QString path;
        for (const QString &kv : entry.mid(5).split(QLatin1Char(','))) {
            if (kv.startsWith(QLatin1String("path=")))
                path = kv.mid(5);
        }
        if (path.isEmpty() || QFileInfo::exists(path))
            return true; // an abstract socket, or the socket is there
    }
    return false;
}
} // namespace SystemBus
