#include "storage/folderstorage.h"

#include "jobs/job.h"

namespace {

LocalCopyOptions TransferOptions(FileOperationContext &ctx)
{
    LocalCopyOptions o;
    o.progress = [&ctx](int percent) { ctx.Progress(percent); };
    o.cancel = &ctx.CancelFlag();
    o.unbuffered = ctx.Unbuffered();
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
        Download(ctx, localPath, remotePath);
        return orSuccess;
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
    fs.Upload(localPath, remotePath, TransferOptions(ctx));
    return orSuccess;
}

void FolderStorageSession::Download(FileOperationContext &ctx, const QString &localPath,
                                    const QString &remotePath)
{
    ctx.LogFileLine(QStringLiteral("Copying the file:"), remotePath);
    DestinationFileSystem &fs = FileSystem();
    const DestinationFileSystem::Info source = fs.Stat(remotePath);
    if (!source.exists || source.isFolder)
        throw QvError(ctx.job().JobTranslate(QStringLiteral("The file does not exist.")) + QLatin1Char(' ')
                      + remotePath);
    LocalFileSystem local;
    const DestinationFileSystem::Info target = local.Stat(localPath);
    if (target.exists && target.readOnly)
        local.ClearReadOnly(localPath);
    fs.Download(remotePath, localPath, TransferOptions(ctx));
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
