#include "engine/files/ziparchiver.h"

#include "base/errors.h"
#include "jobs/jobkinds.h"
#include "storage/localfs.h"

ZipWriterSettings ZipSettingsForJob(const TJob_FilesAndFolders &job, const TCompression &compression)
{
    ZipWriterSettings s;
    // The stored values are the writer's own: handed over unchanged.
    s.level = compression.CompressionLevel;
    if (compression.ProtectWithPassword) {
        s.encryption = compression.EncryptionMethod;
        s.password = compression.Password;
    }
    s.noCompressionExtensions = compression.NoCompressionExtensions;
    s.sharedLockWhileReading = job.JobOptions.Processing.PreventOtherAppsFromWritingDuringZipping;
    s.tempFolder = job.TempFolderPath();
    return s;
}

ZipArchiver::ZipArchiver(TJob_FilesAndFolders &job, const ZipWriterSettings &settings, bool oneArchive)
    : m_job(job), m_writer(settings), m_oneArchive(oneArchive)
{
    m_writer.onFileFailure = [this](const QString &file, int code, const QString &message) {
        ArchiverProcessFileFailure(file, code, message);
    };
    m_writer.onProgress = [this](double percent) { return ArchiverOverallProgress(percent); };
    m_writer.onFileChanged = [this](const QString &file) {
        m_job.AddWarningToLog(m_job.JobTranslate(QStringLiteral("The file was changed while it was copied:"))
                              + QLatin1Char(' ') + file);
    };
}

ZipArchiver::~ZipArchiver() = default;

bool ZipArchiver::Open(const QString &archivePath, QString *error)
{
    return m_writer.open(archivePath, error);
}

bool ZipArchiver::Close(QString *error)
{
    if (!m_writer.isOpen())
        return true;
    return m_writer.close(error);
}

void ZipArchiver::ArchiverProcessFileFailure(const QString &, int code, const QString &message)
{
    // The file is skipped and the writer goes on; the operation that added
    // it reads the mark and reports the source as unreadable.
    MarkFailure();
    if (m_job.JobOptions.Processing.SkipLockedFiles && code == ZipFailureCode::CannotOpen)
        return;
    m_job.AddErrorToLog(message);
}

bool ZipArchiver::ArchiverOverallProgress(double percent)
{
    if (m_job.CancelCurrentFileOperation.load() != 0)
        return false;
    m_job.CurrentFileOperationProgress.store(qint32(percent));
    m_job.NotifyChanged();
    return true;
}

QString ZipArchiver::ArchiverStoreFile(const QString &entryName) const
{
    if (m_oneArchive && !m_job.stFileNameToAddToZip.isEmpty())
        return m_job.stFileNameToAddToZip;
    return entryName;
}

void ZipArchiver::AfterAdd(bool stored)
{
    if (stored)
        return;
    // A file cut off by a cancel is not in the archive: it must not count
    // as copied either.
    if (m_writer.lastAddCancelled())
        MarkFailure();
    // The archive itself can no longer be written (the temp folder is full,
    // ...): every later file would fail too, so the run stops here.
    if (!m_writer.archiveError().isEmpty()) {
        MarkFailure();
        if (m_oneArchive && m_job.JobStatus.load() != jsCancelling) {
            m_job.JobStatus.store(jsCancelling);
            m_job.NotifyChanged();
        }
    }
}

void ZipArchiver::AddFile(const QString &localPath, const QString &entryName)
{
    if (!m_writer.isOpen())
        throw QvError(m_job.JobTranslate(QStringLiteral("No archive is open.")));
    AfterAdd(m_writer.addFile(localPath, ArchiverStoreFile(entryName)));
}

void ZipArchiver::AddFolder(const QString &entryName)
{
    if (!m_writer.isOpen())
        throw QvError(m_job.JobTranslate(QStringLiteral("No archive is open.")));
    AfterAdd(m_writer.addFolder(ArchiverStoreFile(entryName)));
}

void ZipArchiver::MakeSingleFileArchive(const QString &archivePath, const QString &localPath,
                                        const QString &entryName)
{
    QString error;
    if (!m_writer.open(archivePath, &error)) {
        MarkFailure();
        m_job.AddErrorToLog(error);
        return;
    }
    const bool stored = m_writer.addFile(localPath, entryName);
    if (!stored && m_writer.lastAddCancelled())
        MarkFailure();
    if (!m_writer.close(&error)) {
        if (!Failed())
            m_job.AddErrorToLog(error);
        MarkFailure();
    }
    if (Failed()) {
        try {
            LocalFileSystem().RemoveFile(archivePath);
        } catch (const QvError &) {
            // The operation removes its temporary files once more at its end.
        }
    }
}
