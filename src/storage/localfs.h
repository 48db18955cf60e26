#pragma once
// The destination file system of a local or external drive, and the local
// file primitives of the engine. Paths are in the lossless form of
// filenamecodec.h, so any name the file system holds can be reached.
#include "storage/destinationfs.h"

class LocalFileSystem : public DestinationFileSystem {
public:
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
};
