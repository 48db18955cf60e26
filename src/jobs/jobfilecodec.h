#pragma once
// The blocks every job file shares (header, result, destination, scheduling)
// and the rules for files written by older releases. The three job kinds
// compose their layouts from these; nothing here touches a file.
#include "base/binarycodec.h"
#include "jobs/jobtypes.h"

namespace JobFileCodec {

// Format versions the current writer produces.
inline constexpr qint32 kVersionFilesAndFolders = 5;
inline constexpr qint32 kVersionDriveImage = 4;
inline constexpr qint32 kVersionAppsData = 4;

struct Header {
    qint32 version = 0;
    TJobKind kind = jkUnknown; // jkFilesAndFolders for files without the field
};

void WriteHeader(BinaryWriter &w, qint32 version, TJobKind kind);
// Reads the version and, when the version is greater than 3, the kind.
Header ReadHeader(BinaryReader &r);
// ReadHeader, then refuses a file of another kind (DecodeError): its fields
// would otherwise be read as this kind's.
Header ReadHeaderOfKind(BinaryReader &r, TJobKind expected);

// Result block (local files): start, end, cancelled, the two counts, the
// kept log stamps and the history. The run log itself is not stored.
void WriteResultBlock(BinaryWriter &w, const TJobResult &result, const QStringList &logList,
                      const QStringList &history);
// Before version 3 the counts are two single bytes; both then read as 1.
void ReadResultBlock(BinaryReader &r, qint32 version, TJobResult &result, QStringList &logList,
                     QStringList &history);

// Destination block: all four kinds of destination, whatever the type.
void WriteDestinationBlock(BinaryWriter &w, const TDestinationSettings &d);
// The destination block of a remote job file: the network password is
// written as an empty string. Whoever can read the destination would
// otherwise hold the key to the share and to the encrypted archives beside
// it; the format stays.
void WriteRemoteDestinationBlock(BinaryWriter &w, const TDestinationSettings &d);
void ReadDestinationBlock(BinaryReader &r, TDestinationSettings &d);
// The destination block of a remote file read into a job whose destination
// the caller has already set to where the file was found: the fields of the
// job's own destination type are only compared, the others are taken, the
// FTP account is discarded. Returns true when the stored type or a compared
// field differs; the network password is not compared (a remote file does
// not hold it).
bool ReadDestinationBlockKeepingActual(BinaryReader &r, TDestinationSettings &d);

// Scheduling block. With `disable` the stored type is read and discarded and
// the schedule becomes stDisabled (a job rebuilt from its destination).
void WriteSchedulingBlock(BinaryWriter &w, const TSchedulingSettings &s);
void ReadSchedulingBlock(BinaryReader &r, TSchedulingSettings &s, bool disable = false);

// Before version 2 a folder item was stored without its "*" suffix: an item
// without a file extension gets "*" when it ends with the separator and "/*"
// otherwise. Items that already end with "*" stay as they are.
QString UpgradeLegacySourceItem(const QString &item);
void UpgradeLegacySourceItems(QStringList &items);

} // namespace JobFileCodec
