#pragma once
// The layout of a backup set at its destination: the names of the run
// folders, the type and ZIP markers they carry, the marker line of the
// set's type and the names of the set's state files.
#include "jobs/jobtypes.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace BackupSet {

// The state files of a run folder and the start flag beside the run folders.
inline const QString StartFlagFile = QStringLiteral("_startflag.qvl");
inline const QString CopiedFilesFile = QStringLiteral("_rf.qvl");
inline const QString CreatedDirsFile = QStringLiteral("_rd.qvl");
inline const QString RemovedFilesFile = QStringLiteral("_rrf.qvl");
inline const QString RemovedDirsFile = QStringLiteral("_rrd.qvl");
// The one archive of a run in one-archive mode.
inline const QString RunArchiveFile = QStringLiteral("data.zip");
// Appended to the folder of a run that did not finish.
inline const QString CancelledSuffix = QStringLiteral(" CANCELED");

// How the copies of a run folder are stored.
enum class ZipMode { Plain, OneArchive, ZipPerFile };

// The type suffix of a run folder name and of the set's marker line:
// "Full)", "Incremental)", "Differential)", and "Syncronization)" (spelled
// so: stored sets carry this form) for a synchronisation set.
QString TypeSuffix(TBackupType type);

// The marker line 0 of MainBackupList for a set of `type`.
inline QString MarkerLine(TBackupType type) { return TypeSuffix(type); }

// The set type of a marker line; the line must equal a suffix exactly.
std::optional<TBackupType> TypeOfMarker(const QString &line);

// True when a run folder name (or a MainBackupList line) is of `type`:
// it ends with that type's suffix.
bool NameIsOfType(const QString &name, TBackupType type);

// The ZIP marker of a run: "" (no compression), "ZIP, ", "ZIP , ",
// "ZIPs, " or "ZIPs , " (the blank before the comma: password protected).
QString ZipMarker(const TCompression &compression);

// "yyyy-MM-dd hh;mm;ss (" + ZIP marker + type suffix; semicolons because
// a folder name cannot hold colons everywhere.
QString RunFolderName(const QDateTime &stamp, const TCompression &compression, TBackupType runType);

// The storage mode a run folder name records.
ZipMode ZipModeOfName(const QString &name);
// The archives of the folder need a password.
bool NameNeedsPassword(const QString &name);

// The run folder name as the restore-point list shows it (";" -> ":").
QString DisplayName(const QString &folderName);

} // namespace BackupSet
