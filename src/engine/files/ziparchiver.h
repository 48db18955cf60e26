#pragma once
// The job's archiver for compressed runs: the storage primitive's three ZIP
// operations on the streaming ZIP writer, with the writer's events wired to
// the job (failure mark and error lines, progress and cancel, entry names).
#include "zip/zipwriter.h"
#include "storage/archiver.h"

#include <QString>

class TJob_FilesAndFolders;
struct TCompression;

// The writer settings of a run: level and extensions from the job's
// compression record, encryption only when the archives are protected,
// the shared lock while reading from the job's options, the job's temp folder.
ZipWriterSettings ZipSettingsForJob(const TJob_FilesAndFolders &job, const TCompression &compression);

class ZipArchiver : public JobArchiver {
public:
    // `oneArchive`: the run writes one archive (the entry names follow the
    // job's stFileNameToAddToZip); otherwise one archive per file.
    ZipArchiver(TJob_FilesAndFolders &job, const ZipWriterSettings &settings, bool oneArchive);
    ~ZipArchiver() override;

    // The run archive (one-archive mode).
    bool Open(const QString &archivePath, QString *error);
    bool Close(QString *error);
    bool IsOpen() const { return m_writer.isOpen(); }
    QString ArchivePath() const { return m_writer.archivePath(); }

    void AddFile(const QString &localPath, const QString &entryName) override;
    void AddFolder(const QString &entryName) override;
    void MakeSingleFileArchive(const QString &archivePath, const QString &localPath,
                               const QString &entryName) override;

    // The writer itself, for tests that simulate unreadable sources.
    ZipWriter &Writer() { return m_writer; }

private:
    void ArchiverProcessFileFailure(const QString &file, int code, const QString &message);
    bool ArchiverOverallProgress(double percent);
    QString ArchiverStoreFile(const QString &entryName) const;
    void AfterAdd(bool stored);

    TJob_FilesAndFolders &m_job;
    ZipWriter m_writer;
    const bool m_oneArchive;
};
