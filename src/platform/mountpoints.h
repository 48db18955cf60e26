#pragma once
// The mounted file systems of this computer, the counterpart of drives.
#include <QString>
#include <QStringList>

namespace MountPoints {
// The mount points of /proc/self/mounts (escapes such as "\040" decoded).
QStringList All();
// The mount point that holds `path` (the longest one that is a prefix of its
// real, link-free form); "/" when nothing else matches.
QString Of(const QString &path);
} // namespace MountPoints
