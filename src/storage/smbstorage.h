#pragma once
// A network share destination: the folder column over the SMB file system,
// holding the job's TNetworkPathConnection while connected.
#include "storage/folderstorage.h"
#include "storage/networkconnection.h"
#include "storage/smbfs.h"

#include <memory>

class SmbStorageSession : public FolderStorageSession {
public:
    explicit SmbStorageSession(std::unique_ptr<TNetworkPathConnection> connection)
        : m_connection(std::move(connection)), m_fs(*m_connection) {}

    DestinationFileSystem &FileSystem() override { return m_fs; }
    // A failed attempt may have left a dead server connection in the
    // context's cache: the next attempt connects anew.
    void AttemptFailed(FileOperationContext &) override { m_connection->DropCachedServers(); }
    void Disconnect(TJob &) override { m_connection->Disconnect(false); }

    TNetworkPathConnection &Connection() { return *m_connection; }

private:
    std::unique_ptr<TNetworkPathConnection> m_connection;
    SmbFileSystem m_fs;
};

// The failure of a network share connection with the connection's last
// error; for "Multiple connections to" it carries the hint lines.
StorageConnectError NetworkShareConnectError(TJob &job, const QString &lastError);
// The connector of dtNetwork destinations (registered by default).
std::unique_ptr<StorageSession> ConnectNetworkShare(TJob &job, QString &jobFolderPath);
// The connector of dtLocalOrExternalDrive destinations (registered by default).
std::unique_ptr<StorageSession> ConnectLocalFolder(TJob &job, QString &jobFolderPath);
