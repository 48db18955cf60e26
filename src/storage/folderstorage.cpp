#include "storage/folderstorage.h"

#include "jobs/job.h"
#include "storage/destinationerror.h"

#include <cerrno>

#include <cerrno>

namespace {

LocalCopyOptions TransferOptions(FileOperationContext &ctx, const QString &remotePath)
{
    LocalCopyOptions o;
    o.progress = [&ctx](int percent) { ctx.Progress(percent); };
    o.cancel = &ctx.CancelFlag();
    o.unbuffered = ctx.Unbuffered();
    // The set's own files (the remote job file, the state lists) may hold
    // passwords and the names of every backed-up file: they are the user's
    // alone at the destination and in the temporary folder alike.
    o.ownerOnly = FileOperationContext::IsInternalFile(remotePath);
    return o;
}

} // namespace

TOperationResult FolderStorageSession::Perform(FileOperationContext &ctx, TFileOperationType op,
                                               const QString &localPath, const QString &remotePath)
{
    DestinationFileSystem &fs = FileSystem();
    switch (op) {
    case atCopyFromLocalToRemoteFile:
        return Upload(ctx, localPath, remotePath);
    case atCopyFromRemoteToLocalFile:
        return Download(ctx, localPath, remotePath);
    case atRemoveRemoteFile:
        RemoveFile(ctx, remotePath);
        return orSuccess;
    case atRemoveRemoteEmptyFolder:
        RemoveFolder(ctx, remotePath, false);
        return orSuccess;
    case atRemoveRemoteNotEmptyFolder:
        RemoveFolder(ctx, remotePath, true);
        return orSuccess;
    case atCreateRemoteFolder:
        ctx.LogEvent(QStringLiteral("Creating the directory:"), remotePath);
        fs.MakePath(remotePath);
        return orSuccess;
    case atRenameRemoteFolder:
        ctx.LogEvent(QStringLiteral("Renaming the directory:"), remotePath);
        fs.Rename(remotePath, localPath);
        return orSuccess;
    case atRenameRemoteFile:
        ctx.LogEvent(QStringLiteral("Renaming the file:"), remotePath);
        fs.Rename(remotePath, localPath);
        return orSuccess;
    default:
        // The ZIP steps and the two display values never reach a destination.
        return orSuccess;
    }
}

std::optional<bool> FolderStorageSession::FolderExists(const QString &remotePath)
{
    try {
        return FileSystem().Stat(remotePath).isFolder;
    } catch (const QvError &) {
        return std::nullopt;
    }
}

TOperationResult FolderStorageSession::Upload(FileOperationContext &ctx, const QString &localPath,
                                              const QString &remotePath)
{
    ctx.LogUploadLine(QStringLiteral("Copying the file:"), localPath);
    LocalFileSystem local;
    const DestinationFileSystem::Info source = local.Stat(localPath);
    if (!source.exists || source.isFolder) {
        ctx.LogMissingLocalFile(localPath, true);
        return orERROR_LocalAccess;
    }
    DestinationFileSystem &fs = FileSystem();
    const DestinationFileSystem::Info target = fs.Stat(remotePath);
    if (target.exists && target.readOnly) {
        ctx.LogEvent(QStringLiteral("Removing the read-only attribute:"), remotePath);
        fs.ClearReadOnly(remotePath);
    }
    ctx.AddToBackupSize(source.size);
    LocalCopyOptions options = TransferOptions(ctx, remotePath);
    options.changedWhileCopied = [&ctx, &localPath] { ctx.LogChangedWhileCopied(localPath); };
    fs.Upload(localPath, remotePath, options);
    return orSuccess;
}

TOperationResult FolderStorageSession::Download(FileOperationContext &ctx, const QString &localPath,
                                                const QString &remotePath)
{
    ctx.LogFileLine(QStringLiteral("Copying the file:"), remotePath);
    DestinationFileSystem &fs = FileSystem();
    const DestinationFileSystem::Info source = fs.Stat(remotePath);
    if (!source.exists)
        throw DestinationEntryMissing(ctx.job().JobTranslate(QStringLiteral("The file does not exist.")) + QLatin1Char(' ')
                                      + remotePath);
    // Something else in the file's place is not its absence: a caller that
    // starts anew only when a file is missing must not take this for that.
    if (source.isFolder)
        throw QvError(SystemErrorMessage(EISDIR));
    LocalFileSystem local;
    const DestinationFileSystem::Info target = local.Stat(localPath);
    if (target.exists && target.readOnly)
        local.ClearReadOnly(localPath);
    try {
        fs.Download(remotePath, localPath, TransferOptions(ctx, remotePath));
    } catch (const LocalCopyError &e) {
        if (e.side() != LocalCopyError::Source || e.code() != ELOOP)
            throw;
        // A link inside the backup set, which no backup makes: it is never
        // followed, and no retry changes it.
        if (ctx.logError())
            ctx.job().AddErrorToLog(ctx.job().JobTranslate(QStringLiteral(
                                        "The backup holds a symbolic link, which is never followed:"))
                                    + QLatin1Char(' ') + remotePath);
        return orERROR_LocalAccess;
    }
    return orSuccess;
}

void FolderStorageSession::RemoveFile(FileOperationContext &ctx, const QString &remotePath)
{
    DestinationFileSystem &fs = FileSystem();
    const DestinationFileSystem::Info target = fs.Stat(remotePath);
    if (target.exists && target.readOnly) {
        ctx.LogEvent(QStringLiteral("Removing the read-only attribute:"), remotePath);
        fs.ClearReadOnly(remotePath);
    }
    ctx.LogFileLine(QStringLiteral("Removing the file:"), remotePath);
    fs.RemoveFile(remotePath);
}

void FolderStorageSession::RemoveFolder(FileOperationContext &ctx, const QString &remotePath,
                                        bool withContent)
{
    DestinationFileSystem &fs = FileSystem();
    if (!withContent) {
        // Only an empty folder: a folder that still holds something stays,
        // and the system's reason is the error.
        ctx.LogEvent(QStringLiteral("Removing the empty directory:"), remotePath);
        fs.RemoveEmptyFolder(remotePath);
        return;
    }
    ctx.LogEvent(QStringLiteral("Removing the full directory:"), remotePath);
    try {
        fs.RemoveTree(remotePath);
    } catch (const QvError &) {
        // Checked below: what is left is removed once more, entry by entry.
    }
    if (!fs.Stat(remotePath).exists)
        return;
    QString reason;
    try {
        fs.RemoveTree(remotePath);
    } catch (const QvError &e) {
        reason = e.message();
    }
    if (fs.Stat(remotePath).exists) {
        QString text = ctx.job().JobTranslate(QStringLiteral("Unable to remove the directory."));
        if (!reason.isEmpty())
            text += QLatin1Char(' ') + reason;
        throw QvError(text);
    }
}
