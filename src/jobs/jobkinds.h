#pragma once
// The three job kinds. They add their source settings and their job-file
// layouts here; their backup, restore and remove runs live in the engine.
#include "jobs/job.h"

#include <QList>

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
    // `destinationChanged` is set when the stored destination differs from the
    // job's (the caller shows the warning).
    bool LoadRemoteJobFile(const QString &path, bool LoadJobSettings, TBackupSetState &state,
                           bool *destinationChanged = nullptr);
    void SetDerivedFields() override;
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
    bool LoadRemoteJobFile(const QString &path, bool LoadJobSettings, bool *destinationChanged = nullptr);
    void SetDerivedFields() override;
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
    bool LoadRemoteJobFile(const QString &path, bool LoadJobSettings, bool *destinationChanged = nullptr);
    void SetDerivedFields() override;
};

// Reads only the header: 1 when the version is 3 or less, otherwise the
// stored kind; 0 when the file is missing or unreadable (with the event).
TJobKind ReadJobKind(const QString &path);

// Creates a job of the given kind (nullptr for an unknown kind).
std::unique_ptr<TJob> CreateJobOfKind(TJobKind kind, const QString &name);
