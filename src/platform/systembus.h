#pragma once
// Whether a system D-Bus can be there at all. Asking Qt for the system bus
// starts a connection thread even when there is none; this looks first.
#include <QString>

namespace SystemBus {
// False only when every address of DBUS_SYSTEM_BUS_ADDRESS (default: the
// standard socket) is a socket path that does not exist.
bool MayExist();
} // namespace SystemBus
