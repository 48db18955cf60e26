#pragma once
// The local-and-network column of the storage primitive: every operation on
// a destination that is a folder tree (a local or external drive, a network
// share), written once over DestinationFileSystem.
#include "storage/destinationfs.h"
#include "storage/localfs.h"
#include "storage/storagesession.h"

#include <memory>

class FolderStorageSession : public StorageSession {
public:
    TOperationResult Perform(FileOperationContext &ctx, TFileOperationType op,
                             const QString &localPath, const QString &remotePath) override;
    std::optional<bool> FolderExists(const QString &remotePath) override;

    // The file system this session works on.
    virtual DestinationFileSystem &FileSystem() = 0;

private:
    TOperationResult Upload(FileOperationContext &ctx, const QString &localPath,
                            const QString &remotePath);
    TOperationResult Download(FileOperationContext &ctx, const QString &localPath, const QString &remotePath);
    void RemoveFile(FileOperationContext &ctx, const QString &remotePath);
    void RemoveFolder(FileOperationContext &ctx, const QString &remotePath, bool withContent);
};

// A local or external drive; `destinationFolder` is the job's destination
// folder (the one that holds its backup set and remote job file).
class LocalStorageSession : public FolderStorageSession {
public:
    explicit LocalStorageSession(const QString &destinationFolder = QString()) : m_fs(destinationFolder) {}
    DestinationFileSystem &FileSystem() override { return m_fs; }
    void Disconnect(TJob &) override {}

private:
    LocalFileSystem m_fs;
};
