#pragma once
// The enumerations and records of the job model, in their stored order.
#include "base/loglines.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

enum TJobStatus : quint8 { jsNone, jsWaiting, jsRunning, jsCancelling, jsPaused };
enum TJobOperation : quint8 { joBackup, joReadRestorePoints, joRestore, joRename, joRemove };
enum TDestinationType : quint8 { dtLocalOrExternalDrive, dtNetwork, dtFTP, dtCloud };
enum TSchedulingType : quint8 { stDisabled, stDaysOfWeek, stDaysOfMonth };
enum TFileOperationType : quint8 {
    atCopyFromLocalToRemoteFile,
    atCopyFromLocalToRemoteFileThroughTempFolder,
    atCopyFromRemoteToLocalFile,
    atRemoveRemoteFile,
    atRemoveRemoteEmptyFolder,
    atRemoveRemoteNotEmptyFolder,
    atCreateRemoteFolder,
    atRenameRemoteFolder,
    atRenameRemoteFile,
    atAddToZip,
    atCreateFolderInZip,
    atMakeZipInTempFolderAndCopyToRemote,
    atNone_WaitingForReconnection,
    atNone
};
enum TOperationResult : quint8 { orSuccess, orERROR_LocalAccess, orERROR_RemoteAccess };

// Job kind codes in the job files.
enum TJobKind : qint32 { jkUnknown = 0, jkFilesAndFolders = 1, jkDriveImage = 2, jkAppsData = 3 };

inline bool IsActiveStatus(TJobStatus s)
{
    return s == jsRunning || s == jsCancelling || s == jsPaused;
}

struct TJobResult {
    double StartTime = 0;
    double EndTime = 0;
    LogLines Log; // the run log, as the text of its file
    bool Cancelled = false;
    qint32 ErrorsCount = 0;
    qint32 WarningsCount = 0;
};

// A time-table entry "HH:MM:SS" read by position (characters 1-2 hours, 4-5
// minutes, 7-8 seconds) as milliseconds after midnight; nothing for an entry
// that holds no time of day, so that a damaged entry never fires a start.
std::optional<qint64> TimeOfDayMs(const QString &entry);

struct TSchedulingSettings {
    TSchedulingType SchedulingType = stDisabled;
    std::array<bool, 8> DaysOfWeek{};   // index 1 = Monday ... 7 = Sunday; 0 unused
    std::array<bool, 32> DaysOfMonth{}; // index 1 ... 31; 0 unused
    QStringList TimeTable;              // "HH:MM:SS" entries, order matters
    double LastModificationDateTime = 0;
    bool RunJobAsSoonAsPossibleAfterAScheduledStartIsMissed = false;
    bool ShutdownPCInTheEnd = false;

    bool operator==(const TSchedulingSettings &) const = default;
};

struct TLocalOrExternalDriveSettings {
    QString Disk;
    QString Subfolder = QStringLiteral("/");
    bool operator==(const TLocalOrExternalDriveSettings &) const = default;
};

struct TNetworkSettings {
    QString Username;
    QString Password;
    QString UNCPath = QStringLiteral("/");
    bool operator==(const TNetworkSettings &) const = default;
};

struct TFTPSettings {
    qint32 AccountID = -1;
    QString Subfolder = QStringLiteral("/");
    bool operator==(const TFTPSettings &) const = default;
};

struct TCloudSettings {
    QString ServiceName; // "DropBox", "Google Drive" or "One Drive"
    QString Subfolder = QStringLiteral("/");
    bool operator==(const TCloudSettings &) const = default;
};

struct TDestinationSettings {
    TDestinationType DestinationType = dtLocalOrExternalDrive;
    TLocalOrExternalDriveSettings LocalOrExternalDrive;
    TNetworkSettings Network;
    TFTPSettings FTP;
    TCloudSettings Cloud;
    bool operator==(const TDestinationSettings &) const = default;
};

// Files-and-folders settings.
enum TFilterType : quint8 { ftNoFilters, ftIncludeOnly, ftExclude };
enum TBackupType : quint8 { btIncremental, btDifferential, btFull, btSynchronization };
enum TPerformFullBackupCondition : quint8 { bcEveryCopies, bcSumExceedsPercentOfFullBackup };

struct TSourceSettings {
    QStringList List; // a folder item is the folder path followed by "/*"
    TFilterType FilterType = ftNoFilters;
    QString Extensions; // without dots, separated by ";"
    bool operator==(const TSourceSettings &) const = default;
};

struct TBackupSettings {
    TBackupType BackupType = btIncremental;
    TPerformFullBackupCondition PerformFullBackup_Condition = bcEveryCopies;
    qint32 PerformFullBackup_EveryCopies = 5;
    qint32 PerformFullBackup_SumExceedsPercentOfFullBackup = 50;
    qint32 NumberFullCopiesToKeep = 10;
    bool RemoveOldBackupsBeforeStartingNewBackup = false;
    bool operator==(const TBackupSettings &) const = default;
};

struct TCompression {
    bool Enabled = false;
    bool ProtectWithPassword = false;
    QString Password;
    quint8 EncryptionMethod = 0; // 0 PKWARE, 1 AES-128, 2 AES-192, 3 AES-256
    quint8 CompressionLevel = 0; // 0 stored, 1 fastest, 2 normal, 3 maximum
    QString NoCompressionExtensions;
    bool CreateIndividualZipForEachItem = false;
    bool operator==(const TCompression &) const = default;
};

struct TSpecificSettings {
    TSourceSettings Sources;
    TBackupSettings Backup;
    TCompression Compression;
    bool operator==(const TSpecificSettings &) const = default;
};

// One application of the application catalogue.
struct TAppData {
    QString AppName;
    QString Category;
    QStringList Folders;
    QStringList RegistryPaths;
    bool operator==(const TAppData &) const = default;
};
