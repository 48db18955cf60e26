#pragma once
// The destination file system of a local or external drive, and the local
// file primitives of the engine. Paths are in the lossless form of
// filenamecodec.h, so any name the file system holds can be reached.
#include "storage/destinationfs.h"

class LocalFileSystem : public DestinationFileSystem {
public:
    // `linkFreeRoot`: the destination folder of a job. What a backup set
    // below it holds is outside data: Download never follows a symbolic
    // link below that folder (LocalCopyOptions::linkFreeBelow), so that a
    // link planted in a set cannot bring any other file into a restore.
    explicit LocalFileSystem(QString linkFreeRoot = QString()) : m_linkFreeRoot(std::move(linkFreeRoot)) {}

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

private:
    QString m_linkFreeRoot;
};
