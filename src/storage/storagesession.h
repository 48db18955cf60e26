#pragma once
// The open destination of a connected job. Each destination kind (local
// folder, network share, FTP server, cloud service) is one implementation;
// the frame of TJob::FileOperation (cancel, shown path, local preparation,
// retries, logging, progress) is written once above it, and
// TJob::ConnectToStorage finds the kind's connector in a registry, so a new
// kind plugs in without touching the frame or its callers.
#include "base/errors.h"
#include "jobs/jobtypes.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class TJob;

// What a destination operation may use of the job while it runs: the run
// log (with the rules for the job's internal files), the progress fields and
// the cancel flag.
class FileOperationContext {
public:
    FileOperationContext(TJob &job, bool logError) : m_job(job), m_logError(logError) {}

    TJob &job() { return m_job; }
    bool logError() const { return m_logError; }

    // A file event line ("<time>: <translated event> <path>").
    void LogEvent(const QString &eventText, const QString &path);
    // The copy, download and remove lines of a file: left out for the job's
    // own state files when DontLogCopyingInternalFiles is set.
    void LogFileLine(const QString &eventText, const QString &path);
    // The copy line of an upload, unless the frame has logged it already
    // (a copy through the temporary folder).
    void LogUploadLine(const QString &eventText, const QString &localPath);
    bool uploadLineLogged() const { return m_uploadLineLogged; }
    void setUploadLineLogged(bool v) { m_uploadLineLogged = v; }

    // A missing local source: "ERROR: The file does not exist." (with the
    // path when `withPath`), counted, when errors are logged.
    void LogMissingLocalFile(const QString &path, bool withPath);
    // A local source that kept changing while it was copied (the copy was
    // made twice): a warning naming it, counted, when errors are logged.
    void LogChangedWhileCopied(const QString &path);

    // Progress of the running transfer, 0-100; repaints only on change.
    void Progress(int percent);
    // The job's cancel flag (non-zero: cancel).
    const std::atomic<qint32> &CancelFlag() const;
    bool CancelRequested() const { return CancelFlag().load() != 0; }
    // Counts the bytes of the file about to be sent into the run's backup
    // size: once per operation, however many attempts it takes.
    void AddToBackupSize(qint64 bytes);
    bool Unbuffered() const;

    // True when `path` names one of the job's own state files (the job file
    // extension or the state-list extension, letter case compared).
    static bool IsInternalFile(const QString &path);

private:
    TJob &m_job;
    bool m_logError;
    bool m_uploadLineLogged = false;
    bool m_sizeCounted = false;
    int m_lastPercent = -1;
};

class StorageSession {
public:
    virtual ~StorageSession() = default;

    // The destination path as shown in the job's current path.
    virtual QString ShownPath(const QString &remotePath) const { return remotePath; }

    // Called before each attempt (a kind that drops its connection after a
    // failure connects again here).
    virtual void PrepareAttempt(FileOperationContext &) {}

    // Performs one operation of this kind's column. Returns orSuccess, or
    // orERROR_LocalAccess when the local source is missing or a download
    // meets a symbolic link in the backup set (already logged through the
    // context; no retry). Throws QvError for any destination failure; the
    // frame logs it and retries, except for a refused name, which it logs
    // and returns as orERROR_LocalAccess at once (destinationerror.h). A
    // download whose source is missing throws DestinationEntryMissing.
    // Never called for the ZIP operations or the two atNone values.
    virtual TOperationResult Perform(FileOperationContext &ctx, TFileOperationType op,
                                     const QString &localPath, const QString &remotePath) = 0;

    // Whether a folder exists at `remotePath`; nullopt when this kind cannot
    // tell cheaply or the question failed. Never throws, logs nothing.
    virtual std::optional<bool> FolderExists(const QString & /*remotePath*/) { return std::nullopt; }

    // After an attempt failed with an exception.
    virtual void AttemptFailed(FileOperationContext &) {}

    // After the whole operation; `cancelled` when a cancel stopped it.
    virtual void OperationFinished(FileOperationContext &, bool /*cancelled*/) {}

    // Closes the destination and releases what the session holds. May
    // throw; DisconnectFromStorage logs the error and frees the session anyway.
    virtual void Disconnect(TJob &job) = 0;
};

// A failed connection. The frame logs "ERROR: " + message (counted), then
// the extra lines as they stand, and outputs "ERROR: " + output (the message
// when output is empty).
class StorageConnectError : public QvError {
public:
    explicit StorageConnectError(const QString &message, QStringList extraLogLines = {},
                                 QString output = {})
        : QvError(message), m_extra(std::move(extraLogLines)), m_output(std::move(output)) {}
    const QStringList &extraLogLines() const { return m_extra; }
    const QString &output() const { return m_output; }

private:
    QStringList m_extra;
    QString m_output;
};

// Opens the destination of `job` for its kind: logs the kind's "Connecting"
// line, connects, and returns the session with `jobFolderPath` set. On
// failure it releases everything it created and throws (StorageConnectError
// or any QvError).
using StorageConnector =
    std::function<std::unique_ptr<StorageSession>(TJob &job, QString &jobFolderPath)>;

// Installs the connector of a destination kind (replacing an earlier one).
// Local folders and network shares are built in.
void RegisterStorageConnector(TDestinationType kind, StorageConnector connector);
StorageConnector FindStorageConnector(TDestinationType kind);
