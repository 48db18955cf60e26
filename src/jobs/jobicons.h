#pragma once
// The names of the job icons drawn on the job cards. The window maps each
// name to its image; the job model only chooses which one a job shows.
#include "jobs/jobtypes.h"

#include <QString>

namespace JobIcons {
inline const QString Incremental = QStringLiteral("job-incremental");
inline const QString Differential = QStringLiteral("job-differential");
inline const QString Full = QStringLiteral("job-full");
inline const QString Synchronization = QStringLiteral("job-synchronization");
inline const QString DriveImage = QStringLiteral("job-driveimage");
inline const QString AppsData = QStringLiteral("job-appsdata");

// The files-and-folders icon of a backup type; the incremental one for a
// value no release defines.
inline QString ForBackupType(TBackupType type)
{
    switch (type) {
    case btDifferential:
        return Differential;
    case btFull:
        return Full;
    case btSynchronization:
        return Synchronization;
    case btIncremental:
    default:
        return Incremental;
    }
}
} // namespace JobIcons
