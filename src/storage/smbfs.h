#pragma once
// The destination file system of a network share: every call goes through
// the libsmbclient context of the job's TNetworkPathConnection. Paths are
// network paths in canonical form (uncpath.h) below the connection's share.
#include "storage/destinationfs.h"

#include <QList>

class TNetworkPathConnection;

class SmbFileSystem : public DestinationFileSystem {
public:
    explicit SmbFileSystem(TNetworkPathConnection &connection) : m_connection(connection) {}

    Info Stat(const QString &path) override;
    void ClearReadOnly(const QString &path) override;
    void Upload(const QString &localPath, const QString &remotePath,
                const LocalCopyOptions &options) override;
    void Download(const QString &remotePath, const QString &localPath,
                  const LocalCopyOptions &options) override;
    void RemoveFile(const QString &path) override;
    void RemoveEmptyFolder(const QString &path) override;
    void RemoveTree(const QString &path) override;
    void MakePath(const QString &path) override;
    void Rename(const QString &from, const QString &to) override;

    // Bytes per read and write call of a transfer (and per progress step).
    static constexpr size_t kChunk = size_t(1) << 20;

private:
    // Removes the pieces of broken transfers that could not be removed at
    // the time (the server had gone away); called before each transfer.
    void RemoveLeftovers();

    TNetworkPathConnection &m_connection;
    QList<QByteArray> m_leftovers; // URLs
};
