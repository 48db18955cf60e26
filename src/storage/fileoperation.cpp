// TJob::FileOperation: the frame every destination operation runs in (the
// cancel flag, the shown path, the local preparation steps, the retries with
// their delay, the run-log lines and the progress fields). The destination
// kind's StorageSession does the operation itself.
#include "base/paths.h"
#include "base/runlog.h"
#include "jobs/job.h"
#include "jobs/jobtext.h"
#include "storage/archiver.h"
#include "storage/destinationerror.h"
#include "storage/localcopy.h"
#include "storage/localfs.h"
#include "storage/storagesession.h"


#include <chrono>
#include <thread>

namespace {

bool ShowsLocalPath(TFileOperationType op)
{
    return op == atCopyFromLocalToRemoteFile || op == atCopyFromLocalToRemoteFileThroughTempFolder
           || op == atAddToZip || op == atMakeZipInTempFolderAndCopyToRemote;
}

bool LocalFileExists(const QString &path)
{
    try {
        const DestinationFileSystem::Info info = LocalFileSystem().Stat(path);
        return info.exists && !info.isFolder;
    } catch (const QvError &) {
        return false; // the copy that follows says why it cannot be read
    }
}

// Sleeps `seconds`, waking early when the cancel flag is set.
void WaitForRetry(int seconds, const std::atomic<qint32> &cancel)
{
    using namespace std::chrono;
    const auto until = steady_clock::now() + std::chrono::seconds(seconds);
    while (cancel.load() == 0 && steady_clock::now() < until)
        std::this_thread::sleep_for(std::min<steady_clock::duration>(milliseconds(50),
                                                                     until - steady_clock::now()));
}

// The job's folder in the temporary files root, created when missing.
QString PrepareTempFolder(TJob &job)
{
    const QString folder = job.TempFolderPath();
    if (folder.isEmpty())
        throw QvError(job.JobTranslate(QStringLiteral("The directory does not exist:"))
                      + QLatin1Char(' ') + job.JobOptions.General.PathForTempFiles);
    LocalFileSystem().MakePath(folder);
    return folder;
}

void RemoveTemporary(const QString &path)
{
    if (path.isEmpty())
        return;
    LocalFileSystem fs;
    try {
        const DestinationFileSystem::Info info = fs.Stat(path);
        if (!info.exists)
            return;
        if (info.readOnly)
            fs.ClearReadOnly(path);
        fs.RemoveFile(path);
    } catch (const QvError &) {
        // Whatever stays is removed with the job's temporary folder at the
        // end of the run (DeleteTempFiles).
    }
}

} // namespace

TOperationResult TJob::FileOperation(TFileOperationType csOperationType, const QString &csstrLocal,
                                     const QString &csstrRemote, int RetryCount, bool LogError)
{
    CancelCurrentFileOperation.store(0);
    m_lastOutcome = FileOperationOutcome();
    CurrentFileOperationType.store(csOperationType);
    CurrentFileOperationProgress.store(0);
    StorageSession *session = m_storage.get();
    SetCurrentFileOperationPath(ShowsLocalPath(csOperationType)
                                    ? csstrLocal
                                    : (session ? session->ShownPath(csstrRemote) : csstrRemote));

    FileOperationContext ctx(*this, LogError);
    QString temporary; // the staged copy or the one-file archive, deleted at the end
    bool cancelled = false;
    const auto finish = [&](TOperationResult result) {
        if (session)
            session->OperationFinished(ctx, cancelled);
        CancelCurrentFileOperation.store(0);
        RemoveTemporary(temporary);
        CurrentFileOperationProgress.store(0);
        NotifyChanged();
        return result;
    };
    const auto logError = [&](const QString &message) {
        m_lastOutcome.error = message;
        if (LogError)
            AddErrorToLog(RemoveLineBreaks(message));
    };

    if (csOperationType == atNone || csOperationType == atNone_WaitingForReconnection)
        return finish(orSuccess);

    // --- local preparation ---
    TFileOperationType op = csOperationType;
    QString local = csstrLocal;
    QString remote = csstrRemote;
    try {
        switch (csOperationType) {
        case atCopyFromLocalToRemoteFileThroughTempFolder: {
            ctx.LogFileLine(QStringLiteral("Copying the file:"), csstrLocal);
            if (!LocalFileExists(csstrLocal)) {
                ctx.LogMissingLocalFile(csstrLocal, false);
                return finish(orERROR_LocalAccess);
            }
            const QString staged = JoinPath(PrepareTempFolder(*this), PathFileName(csstrRemote));
            LocalCopyOptions copy;
            copy.progress = [&ctx](int percent) { ctx.Progress(percent); };
            copy.cancel = &CancelCurrentFileOperation;
            copy.unbuffered = JobOptions.Processing.DontUseBufferingForCopyOperations;
            copy.changedWhileCopied = [&ctx, &csstrLocal] { ctx.LogChangedWhileCopied(csstrLocal); };
            try {
                StagingCopyFunction()(csstrLocal, staged, copy);
            } catch (const LocalCopyCancelled &) {
                cancelled = true;
                return finish(orERROR_RemoteAccess);
            } catch (const LocalCopyError &e) {
                // A file in use is skipped without a word when the options say so.
                if (!(JobOptions.Processing.SkipLockedFiles && e.inUse()))
                    logError(e.message());
                return finish(orERROR_LocalAccess);
            }
            temporary = staged;
            local = staged;
            op = atCopyFromLocalToRemoteFile;
            ctx.setUploadLineLogged(true);
            break;
        }
        case atAddToZip:
        case atCreateFolderInZip: {
            const bool folder = csOperationType == atCreateFolderInZip;
            if (folder) {
                AddFileEventToLog(QStringLiteral("Creating the directory in the archive:"), csstrRemote);
            } else {
                AddFileEventToLog(QStringLiteral("Adding to the archive:"), csstrLocal);
                if (!LocalFileExists(csstrLocal)) {
                    ctx.LogMissingLocalFile(csstrLocal, false);
                    return finish(orERROR_LocalAccess);
                }
            }
            if (!Archiver)
                throw QvError(JobTranslate(QStringLiteral("No archive is open.")));
            Archiver->TakeFailure();
            if (folder) {
                stFileNameToAddToZip.clear();
                Archiver->AddFolder(csstrRemote);
            } else {
                stFileNameToAddToZip = csstrRemote;
                Archiver->AddFile(csstrLocal, csstrRemote);
            }
            return finish(Archiver->TakeFailure() ? orERROR_LocalAccess : orSuccess);
        }
        case atMakeZipInTempFolderAndCopyToRemote: {
            AddFileEventToLog(QStringLiteral("Archiving the file:"), csstrLocal);
            if (!LocalFileExists(csstrLocal)) {
                ctx.LogMissingLocalFile(csstrLocal, false);
                return finish(orERROR_LocalAccess);
            }
            if (!Archiver)
                throw QvError(JobTranslate(QStringLiteral("No archive is open.")));
            const QString name = PathFileName(csstrLocal);
            const QString archive = JoinPath(PrepareTempFolder(*this), name + QStringLiteral(".zip"));
            temporary = archive;
            Archiver->TakeFailure();
            Archiver->MakeSingleFileArchive(archive, csstrLocal, name);
            if (Archiver->TakeFailure())
                return finish(orERROR_LocalAccess);
            local = archive;
            remote = csstrRemote + QStringLiteral(".zip");
            op = atCopyFromLocalToRemoteFile;
            break;
        }
        default:
            break;
        }
    } catch (const std::exception &e) {
        if (Archiver)
            Archiver->TakeFailure();
        const auto *qe = dynamic_cast<const QvError *>(&e);
        logError(qe ? qe->message() : QString::fromLocal8Bit(e.what()));
        return finish(orERROR_LocalAccess);
    }

    // --- the destination, with retries ---
    if (!session) {
        logError(JobTranslate(QStringLiteral("Not connected to the destination.")));
        return finish(orERROR_RemoteAccess);
    }
    TOperationResult result = orERROR_RemoteAccess;
    const int retries = std::max(0, RetryCount);
    const int waitSec = JobOptions.Processing.IfDestinationNotAvailable_Wait_Sec;
    for (int attempt = 0; result != orSuccess && CancelCurrentFileOperation.load() == 0 && attempt <= retries;) {
        if (attempt > 0) {
            AddToLog(FillPercentS(JobTranslate(QStringLiteral("Retry after %s seconds.")),
                                  {QString::number(waitSec)}));
            if (waitSec > 0)
                WaitForRetry(waitSec, CancelCurrentFileOperation);
            if (CancelCurrentFileOperation.load() != 0)
                break;
        }
        ++attempt;
        result = orERROR_RemoteAccess;
        m_lastOutcome.entryMissing = false;
        try {
            session->PrepareAttempt(ctx);
            result = session->Perform(ctx, op, local, remote);
            if (result == orERROR_LocalAccess)
                break; // the local source is missing: no retry
        } catch (const std::exception &e) {
            result = orERROR_RemoteAccess;
            // A cancel stops the transfer through an error of its own; it
            // is the user's request, not a failure of the destination.
            if (dynamic_cast<const LocalCopyCancelled *>(&e) || CancelCurrentFileOperation.load() != 0) {
                cancelled = true;
                break;
            }
            // An upload whose local file cannot be read (in use, a read
            // error): no fault of the destination, and no retry helps. Like
            // the first copy of a transfer through the temporary folder, it
            // is skipped, silently for a file in use when the options say so.
            const auto *copyError = dynamic_cast<const LocalCopyError *>(&e);
            if (copyError && copyError->side() == LocalCopyError::Source && op == atCopyFromLocalToRemoteFile) {
                if (!(JobOptions.Processing.SkipLockedFiles && copyError->inUse()))
                    logError(copyError->message());
                result = orERROR_LocalAccess;
                break;
            }
            if (copyError && op == atCopyFromRemoteToLocalFile) {
                // The system's message alone does not say which file: a
                // restore that stops here names it.
                logError(copyError->message() + QStringLiteral(": ")
                         + (copyError->side() == LocalCopyError::Target ? local : remote));
            } else {
                const auto *qe = dynamic_cast<const QvError *>(&e);
                logError(qe ? qe->message() : QString::fromLocal8Bit(e.what()));
            }
            // A name the destination cannot hold stays refused on every
            // attempt: the caller skips this entry, and only a destination
            // that cannot be reached is waited for.
            if (RefusesName(e)) {
                result = orERROR_LocalAccess;
                break;
            }
            m_lastOutcome.entryMissing = dynamic_cast<const DestinationEntryMissing *>(&e) != nullptr;
            session->AttemptFailed(ctx);
        }
    }
    if (CancelCurrentFileOperation.load() != 0)
        cancelled = true;
    if (result == orSuccess)
        m_lastOutcome = FileOperationOutcome();
    return finish(result);
}

std::optional<bool> TJob::RemoteFolderExists(const QString &remotePath)
{
    return m_storage ? m_storage->FolderExists(remotePath) : std::nullopt;
}
