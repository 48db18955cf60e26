#pragma once
// The job base class: identity, the live state of the current run, the
// outcome of the last one, the option snapshot, the run log and history,
// and the storage primitive every job kind works through.
#include "options/options.h"
#include "jobs/jobtypes.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <optional>

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
    // A waiting job goes back to idle with its start and end stamped now
    // (the start it was queued for counts as served) and its local job file
    // saved, unless the program is quitting; an active one is asked to stop.
    // A waiting job's stamp is saved at once, unless another process holds
    // the job and with it the job's files (`Keep`).
    enum class WaitingStamp { Save, Keep };
    void Cancel(WaitingStamp stamp = WaitingStamp::Save);
    void Pause();
    // The main window's resume: a paused job goes back to jsRunning (any other
    // status is left alone, so an idle job can never be made to look running).
    bool Resume();
    // Queues an idle job for the scheduler (jsNone -> jsWaiting).
    bool SetWaiting();

    // --- options and translation ---
    void OptionsToJobOptions();
    // The job's own lookup on its snapshot, so a worker never reads the global table.
    QString JobTranslate(const QString &text) const;
    // For event lines: the global table on the main thread, the snapshot on a worker.
    QString TranslateForEvent(const QString &text) const;

    // --- run log (LastJobResult.Log) ---
    // All of these may be called by the worker while the window reads the log.
    // Clears the lines and the error and warning counts (the start of a run).
    void ClearRunLog();
    // "<time>: text"; the caller has translated the text (format strings are
    // translated before their values go in).
    void AddToLog(const QString &text);
    // "<time>: <translated event> <path>"
    void AddFileEventToLog(const QString &eventText, const QString &path);
    // "<time>: <translated ERROR:> message" with CR LF removed; counts one error.
    void AddErrorToLog(const QString &message);
    // "<time>: <translated WARNING:> message" with CR LF removed; counts one warning.
    void AddWarningToLog(const QString &message);
    // Appends a line exactly as given (used for empty lines and hints).
    void AddRawLineToLog(const QString &line);
    QStringList RunLogSnapshot() const;
    // The counts of the current run, read under the same lock the worker writes them.
    void RunLogCounts(qint32 &errors, qint32 &warnings) const;

    // --- history and logs ---
    void AddEventtoBackupHistory(const QString &strEvent, bool AppendToLastString);
    // The job's folders and files under the snapshot's roots. Each is empty when
    // its root option is empty or the job name cannot name a folder ("", ".",
    // ".."), so that no caller ever writes to or deletes a folder it does not own.
    QString LogFolderPath() const;   // PathForLogFiles joined with the job name
    QString TempFolderPath() const;  // PathForTempFiles joined with the job name
    QString TempJobFilePath() const; // PathForTempFiles joined with the name + job file extension
    // Creates the log folder if missing; false (and the event) when it cannot be made.
    bool EnsureLogFolder();
    // Saves the run log under `stamp` ("yyyy-MM-dd hh;mm;ss"), appends the stamp to
    // LogList and trims old logs. Does nothing when the log folder is missing.
    void SaveRunLog(const QString &stamp);
    void RemoveOldLogs();
    QString LogFilePath(const QString &stamp) const; // LogFolderPath / stamp + ".txt"
    static QString RunStamp(const QDateTime &start);

    // --- files ---
    // Set when the local job file could not be read whole at load ("Code:
    // 1"): its next save renames that file aside before writing a new one.
    std::atomic<bool> LocalJobFileDamaged{false};
    QString LocalJobFilePath() const; // DataFolder / name + ".qvd"
    static QString LocalJobFilePathFor(const QString &name);
    virtual bool SaveLocalJobFile(const QString &path) = 0;
    virtual bool LoadLocalJobFile(const QString &path) = 0;
    void DeleteTempFiles();

    // --- renaming ---
    // Renames the job everywhere (main thread, idle job). A job that has run
    // (EndTime != 0) renames its backup folder and remote job file at the
    // destination first and fails when they cannot be renamed; then the local
    // job file (a stale file of the new name is replaced) and the log folder
    // follow. A job never saved just takes the name. True when the job now
    // carries the new name; on failure nothing keeps a half-applied rename.
    bool ChangeName(const QString &newname);

    // --- schedule queries (at Clock::Now()) ---
    // The latest scheduled moment before now within today and the 100 days
    // before, walking each day's time table from its last entry; 0 if none.
    double GetDateTimeOfNearestPastTask() const;
    // A start still ahead today, or any scheduled day among the next DaysCount days.
    bool IsScheduledXDaysFromNow(int DaysCount) const;

    // --- storage primitive (storage layer) ---
    void ConnectToStorage(QString &path);
    TOperationResult FileOperation(TFileOperationType csOperationType, const QString &csstrLocal,
                                   const QString &csstrRemote, int RetryCount, bool LogError);
    void DisconnectFromStorage();
    StorageSession *Storage() const { return m_storage.get(); }
    // How the last FileOperation ended beyond its result, also when it did
    // not log its errors: whether the destination answered that the entry to
    // be read does not exist, and the text of its last failure ("" after a
    // success). A caller that must tell "not there" from "could not be read"
    // (the remote job file, the start flag) asks here.
    struct FileOperationOutcome {
        bool entryMissing = false;
        QString error;
    };
    const FileOperationOutcome &LastFileOperationOutcome() const { return m_lastOutcome; }
    // Whether a folder exists at a destination path: the destination's
    // answer, or nullopt when it gives none (not connected, a failure, or a
    // kind that cannot tell without a listing). Logs nothing.
    std::optional<bool> RemoteFolderExists(const QString &remotePath);
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
    FileOperationOutcome m_lastOutcome;

    friend class StorageSessionAccess;
};
