#pragma once
// The file system of a folder destination: a local folder or a network
// share. The local-and-network column of the storage primitive is written
// once over this interface (folderstorage.h), so both kinds log, retry and
// fail alike; only the calls underneath differ.
#include "storage/localcopy.h"

#include <QString>

class DestinationFileSystem {
public:
    virtual ~DestinationFileSystem() = default;

    struct Info {
        bool exists = false;
        bool isFolder = false;
        bool readOnly = false; // no write permission for its owner
        bool isLink = false;   // a symbolic link (where the file system has them)
        qint64 size = 0;
    };

    // What is at `path` (symbolic links are not followed). A missing entry
    // is not an error; any other failure throws QvError.
    virtual Info Stat(const QString &path) = 0;
    // Gives the owner write permission back.
    virtual void ClearReadOnly(const QString &path) = 0;
    // Copies a local file to `remotePath` (replacing a file there) with
    // progress and cancel; the destination never shows a partial file under
    // its name. Keeps the modification time. Throws LocalCopyError (side
    // Source for the local file) or LocalCopyCancelled or QvError.
    virtual void Upload(const QString &localPath, const QString &remotePath,
                        const LocalCopyOptions &options) = 0;
    // The reverse: a destination file to a local path, the same rules.
    virtual void Download(const QString &remotePath, const QString &localPath,
                          const LocalCopyOptions &options) = 0;
    // Deletes a file; a missing file is not an error.
    virtual void RemoveFile(const QString &path) = 0;
    // Deletes an empty folder; a missing folder is not an error.
    virtual void RemoveEmptyFolder(const QString &path) = 0;
    // Deletes a folder with everything in it, bottom-up, giving read-only
    // entries write permission first; links are removed, never followed.
    virtual void RemoveTree(const QString &path) = 0;
    // Creates a folder with all missing parents.
    virtual void MakePath(const QString &path) = 0;
    // Moves a file or folder; refuses to replace an existing entry.
    virtual void Rename(const QString &from, const QString &to) = 0;
};
