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
// True for a mount of an optical disc: a CD/DVD/Blu-ray device (/dev/sr*,
// /dev/cdrom*) or a disc file system (iso9660, udf).
bool IsOpticalMount(const QString &device, const QString &fileSystem);
// True when the file system mounted at `mountPoint` is an optical disc;
// false when it is not, or when the mounts cannot be read.
bool IsOpticalDrive(const QString &mountPoint);
} // namespace MountPoints
