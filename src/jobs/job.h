#pragma once
// The job base class: identity, the live state of the current run, the
// outcome of the last one, the option snapshot, the run log and history,
// and the storage primitive every job kind works through.
#include "app/options/options.h"
#include "jobs/jobtypes.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>

class StorageSession; // the open destination of a connected job (storage layer)
class JobArchiver;    // the run's archive writer behind the ZIP operations (storage/archiver.h)

class TJob : public QObject {
    Q_OBJECT
public:
    explicit TJob(const QString &JobName, QObject *parent = nullptr);
    ~TJob() override;

    virtual TJobKind Kind() const = 0;

    // --- identity and settings ---
    QString stJobName;
    TSchedulingSettings SchedulingSettings;
    TDestinationSettings DestinationSettings;
    TOptions JobOptions; // the private snapshot the worker reads
    // The icon drawn on the job's card: a resource name chosen by kind (and,
    // for files and folders, by backup type); the window loads the image.
    QString bmpIcon;

    // --- outcome of the last run, history and kept logs ---
    TJobResult LastJobResult;
    QStringList BackupHistory;
    QStringList LogList;

    // --- live run state, shared between the worker and the window ---
    std::atomic<TJobStatus> JobStatus{jsNone};
    std::atomic<TJobOperation> JobOperation{joBackup};
    std::atomic<TFileOperationType> CurrentFileOperationType{atNone};
    std::atomic<qint32> CurrentFileOperationProgress{0};
    std::atomic<qint64> CurrentBackupSize{0};
    std::atomic<qint64> CurrentBackupFilesProcessed{0};
    std::atomic<qint32> CancelCurrentFileOperation{0};
    std::atomic<qint64> iFTPUploadFileSize{0};
    bool NewSubfolderIsCreatedForEachBackup = false;
    bool CanPause = true;
    QString stFileNameToAddToZip;

    // The shown path of the current operation, cut at 256 code units.
    static constexpr int kMaxShownPathLength = 256;
    void SetCurrentFileOperationPath(const QString &path);
    QString CurrentFileOperationPath() const;

    // --- status transitions ---
    void Cancel();
    void Pause();
    void Resume();        // the main window's resume: back to jsRunning
    void SetWaiting();    // queued for the scheduler

    // --- options and translation ---
    void OptionsToJobOptions();
    // The job's own lookup on its snapshot, so a worker never reads the global table.
    QString JobTranslate(const QString &text) const;

    // --- run log (LastJobResult.Log) ---
    void ClearRunLog();
    void AddToLog(const QString &text);                                 // "<time>: text"
    void AddFileEventToLog(const QString &eventText, const QString &path); // translated event, blank, path
    void AddErrorToLog(const QString &message);                         // "<time>: ERROR: message", counted
    void AddWarningToLog(const QString &message);                       // "<time>: WARNING: message", counted
    // Appends a line exactly as given (used for empty lines and hints).
    void AddRawLineToLog(const QString &line);
    QStringList RunLogSnapshot() const;

    // --- history and logs ---
    void AddEventtoBackupHistory(const QString &strEvent, bool AppendToLastString);
    QString LogFolderPath() const;   // PathForLogFiles joined with the job name
    QString TempFolderPath() const;  // PathForTempFiles joined with the job name
    QString TempJobFilePath() const; // PathForTempFiles joined with the name + job file extension
    // Creates the log folder if missing; false (and the event) when it cannot be made.
    bool EnsureLogFolder();
    // Saves the run log under `stamp` ("yyyy-MM-dd hh;mm;ss"), appends the stamp to
    // LogList and trims old logs. Does nothing when the log folder is missing.
    void SaveRunLog(const QString &stamp);
    void RemoveOldLogs();
    static QString RunStamp(const QDateTime &start);

    // --- files ---
    QString LocalJobFilePath() const; // DataFolder / name + ".qvd"
    virtual bool SaveLocalJobFile(const QString &path) = 0;
    virtual bool LoadLocalJobFile(const QString &path) = 0;
    void DeleteTempFiles();

    // --- renaming ---
    bool ChangeName(const QString &newname);

    // --- schedule queries ---
    double GetDateTimeOfNearestPastTask() const;
    bool IsScheduledXDaysFromNow(int DaysCount) const;

    // --- storage primitive (storage layer) ---
    void ConnectToStorage(QString &path);
    TOperationResult FileOperation(TFileOperationType csOperationType, const QString &csstrLocal,
                                   const QString &csstrRemote, int RetryCount, bool LogError);
    void DisconnectFromStorage();
    StorageSession *Storage() const { return m_storage.get(); }
    // The archive writer of the current run; set by the engine for ZIP runs.
    std::shared_ptr<JobArchiver> Archiver;

    // Sets the derived fields (NewSubfolderIsCreatedForEachBackup, icon) after a load.
    virtual void SetDerivedFields() = 0;

Q_SIGNALS:
    // The job's progress or state changed; the window repaints (queued, coalesced).
    void Changed();

public:
    void NotifyChanged() { Q_EMIT Changed(); }

protected:
    mutable QMutex m_logMutex;  // guards LastJobResult.Log and the counts while a worker writes
    mutable QMutex m_pathMutex; // guards the shown path
    QString m_currentPath;
    std::unique_ptr<StorageSession> m_storage;

    friend class StorageSessionAccess;
};
