#pragma once
// The three job kinds. They add their source settings and their job-file
// layouts here; their backup, restore and remove runs live in the engine.
#include "jobs/job.h"

#include <QList>

class BinaryReader;
class BinaryWriter;

// The backup-set state carried by the remote job file of a files-and-folders job.
struct TBackupSetState {
    QStringList MainBackupList;
    QStringList PreviousLocalFilesList;
    QStringList PreviousLocalFilesTimeList;
    QStringList PreviousLocalDirsList;
    qint64 SizeOfLastFullBackup = 0;
    qint64 SizeOfAllIncrementsOrLastDifferentialCopy = 0;
    bool operator==(const TBackupSetState &) const = default;
};

class TJob_FilesAndFolders : public TJob {
    Q_OBJECT
public:
    explicit TJob_FilesAndFolders(const QString &JobName, QObject *parent = nullptr);
    TJobKind Kind() const override { return jkFilesAndFolders; }

    TSpecificSettings Settings;

    bool SaveLocalJobFile(const QString &path) override;
    bool LoadLocalJobFile(const QString &path) override;
    bool SaveRemoteJobFile(const QString &path, const TBackupSetState &state);
    // Throws on a damaged file; true in every other case (also when missing).
    // The state lists are appended to (the caller empties them) and always
    // read; the settings only with LoadJobSettings. `destinationChanged` is set
    // when the stored destination differs from the job's (the caller shows the
    // warning).
    bool LoadRemoteJobFile(const QString &path, bool LoadJobSettings, TBackupSetState &state,
                           bool *destinationChanged = nullptr);
    // The restore points only: MainBackupList and the two sizes. The
    // reference lists (a line per source file) are passed over, not built.
    // Throws on a damaged file; true in every other case.
    bool LoadRemoteBackupList(const QString &path, TBackupSetState &state);
    void SetDerivedFields() override;

    // The plain content of the two layouts, without any file. The parsers
    // throw DecodeError on damaged content; fields read before stay set.
    QByteArray EncodeLocalContent() const;
    void ParseLocalContent(const QByteArray &plain);
    QByteArray EncodeRemoteContent(const TBackupSetState &state) const;
    // The same content written through `w` (which may stream it to a file).
    void WriteRemoteContent(BinaryWriter &w, const TBackupSetState &state) const;
    void ParseRemoteContent(const QByteArray &plain, bool LoadJobSettings, TBackupSetState &state,
                            bool *destinationChanged = nullptr);
    void ParseRemoteContent(BinaryReader &r, bool LoadJobSettings, TBackupSetState &state,
                            bool *destinationChanged = nullptr);
};

class TJob_DriveImage : public TJob {
    Q_OBJECT
public:
    explicit TJob_DriveImage(const QString &JobName, QObject *parent = nullptr);
    TJobKind Kind() const override { return jkDriveImage; }

    QStringList SourceDrivesList;
    bool AutocleanOldBackups = false;
    QString NumberOfBackupVersionsToKeep = QStringLiteral("3");

    bool SaveLocalJobFile(const QString &path) override;
    bool LoadLocalJobFile(const QString &path) override;
    bool SaveRemoteJobFile(const QString &path);
    // Throws on a damaged file; true otherwise. Without LoadJobSettings only
    // the header is read.
    bool LoadRemoteJobFile(const QString &path, bool LoadJobSettings, bool *destinationChanged = nullptr);
    void SetDerivedFields() override;

    QByteArray EncodeLocalContent() const;
    void ParseLocalContent(const QByteArray &plain);
    QByteArray EncodeRemoteContent() const;
    void ParseRemoteContent(const QByteArray &plain, bool LoadJobSettings, bool *destinationChanged = nullptr);
};

class TJob_AppsData : public TJob {
    Q_OBJECT
public:
    explicit TJob_AppsData(const QString &JobName, QObject *parent = nullptr);
    TJobKind Kind() const override { return jkAppsData; }

    QList<TAppData> RemoteAppsData;
    QStringList RemoteAppsSelectedForRestore;
    QStringList AppNames; // Settings.AppNames

    bool SaveLocalJobFile(const QString &path) override;
    bool LoadLocalJobFile(const QString &path) override;
    // `catalogue` is the application catalogue; entries of AppNames present in
    // it are written in catalogue order.
    bool SaveRemoteJobFile(const QString &path, const QList<TAppData> &catalogue);
    // Throws on a damaged file; true otherwise. Without LoadJobSettings only
    // the header is read; with it the stored catalogue entries replace
    // RemoteAppsData and the stored names replace AppNames.
    bool LoadRemoteJobFile(const QString &path, bool LoadJobSettings, bool *destinationChanged = nullptr);
    void SetDerivedFields() override;

    QByteArray EncodeLocalContent() const;
    void ParseLocalContent(const QByteArray &plain);
    QByteArray EncodeRemoteContent(const QList<TAppData> &catalogue) const;
    void ParseRemoteContent(const QByteArray &plain, bool LoadJobSettings, bool *destinationChanged = nullptr);
};

// Reads only the header: 1 when the version is 3 or less, otherwise the
// stored kind; 0 when the file is missing (silently), cannot be opened
// ("Error loading job \"<path>\". Code: 2"), or cannot be read or holds no
// known kind ("... Code: 1").
TJobKind ReadJobKind(const QString &path);
// The same on plain content already in memory; throws DecodeError.
TJobKind ParseJobKind(const QByteArray &plain);

// Creates a job of the given kind (nullptr for an unknown kind).
std::unique_ptr<TJob> CreateJobOfKind(TJobKind kind, const QString &name);
