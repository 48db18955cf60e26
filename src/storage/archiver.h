#pragma once
// The archive writer a files-and-folders run uses behind the three ZIP
// operations of the storage primitive (atAddToZip, atCreateFolderInZip,
// atMakeZipInTempFolderAndCopyToRemote). The ZIP engine implements it; the
// storage layer only calls these methods and reads the failure mark.
#include <QString>
#include <atomic>

class JobArchiver {
public:
    virtual ~JobArchiver() = default;

    // Adds the local file `localPath` to the open run archive under
    // `entryName`. A file that cannot be read is reported through the
    // failure mark (MarkFailure), not by throwing; throwing is reserved for
    // faults of the archive itself (no archive open, the archive cannot be
    // written).
    virtual void AddFile(const QString &localPath, const QString &entryName) = 0;

    // Adds an empty entry `entryName` with the directory attribute to the
    // open run archive. Failures as for AddFile.
    virtual void AddFolder(const QString &entryName) = 0;

    // Creates a new archive at `archivePath` (replacing any file of that
    // name) with the single file `localPath` stored as `entryName`, and
    // closes it. Failures as for AddFile.
    virtual void MakeSingleFileArchive(const QString &archivePath, const QString &localPath,
                                       const QString &entryName) = 0;

    // The failure mark: set by the writer's file-failure handler
    // (ArchiverProcessFileFailure), read and cleared by the storage primitive
    // after each operation.
    void MarkFailure() { m_failed.store(true); }
    bool Failed() const { return m_failed.load(); }
    // Returns the mark and clears it.
    bool TakeFailure() { return m_failed.exchange(false); }

private:
    std::atomic<bool> m_failed{false};
};
