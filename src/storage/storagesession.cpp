#include "storage/storagesession.h"

#include "base/appstate.h"
#include "base/paths.h"
#include "jobs/job.h"
#include "storage/smbstorage.h"

#include <QMutex>
#include <QMutexLocker>
#include <map>

void FileOperationContext::LogEvent(const QString &eventText, const QString &path)
{
    m_job.AddFileEventToLog(eventText, path);
}

bool FileOperationContext::IsInternalFile(const QString &path)
{
    const QString ext = PathExtension(path);
    return !ext.isEmpty()
           && (ext == AppState::JobFileExtension() || ext == AppState::StateFileExtension());
}

void FileOperationContext::LogFileLine(const QString &eventText, const QString &path)
{
    if (m_job.JobOptions.Logging.DontLogCopyingInternalFiles && IsInternalFile(path))
        return;
    LogEvent(eventText, path);
}

void FileOperationContext::LogUploadLine(const QString &eventText, const QString &localPath)
{
    if (!m_uploadLineLogged)
        LogFileLine(eventText, localPath);
}

void FileOperationContext::LogMissingLocalFile(const QString &path, bool withPath)
{
    if (!m_logError)
        return;
    QString text = m_job.JobTranslate(QStringLiteral("The file does not exist."));
    if (withPath)
        text += QLatin1Char(' ') + path;
    m_job.AddErrorToLog(text);
}

void FileOperationContext::LogChangedWhileCopied(const QString &path)
{
    if (m_logError)
        m_job.AddWarningToLog(m_job.JobTranslate(QStringLiteral("The file was changed while it was copied:"))
                              + QLatin1Char(' ') + path);
}

void FileOperationContext::Progress(int percent)
{
    if (percent == m_lastPercent)
        return;
    m_lastPercent = percent;
    m_job.CurrentFileOperationProgress.store(percent);
    m_job.NotifyChanged();
}

const std::atomic<qint32> &FileOperationContext::CancelFlag() const
{
    return m_job.CancelCurrentFileOperation;
}

void FileOperationContext::AddToBackupSize(qint64 bytes)
{
    if (m_sizeCounted)
        return;
    m_sizeCounted = true;
    m_job.CurrentBackupSize.fetch_add(bytes);
}

bool FileOperationContext::Unbuffered() const
{
    return m_job.JobOptions.Processing.DontUseBufferingForCopyOperations;
}

namespace {

struct Registry {
    QMutex mutex;
    std::map<TDestinationType, StorageConnector> connectors;
    Registry()
    {
        connectors[dtLocalOrExternalDrive] = &ConnectLocalFolder;
        connectors[dtNetwork] = &ConnectNetworkShare;
    }
};

Registry &TheRegistry()
{
    static Registry r;
    return r;
}

} // namespace

void RegisterStorageConnector(TDestinationType kind, StorageConnector connector)
{
    Registry &r = TheRegistry();
    QMutexLocker lock(&r.mutex);
    r.connectors[kind] = std::move(connector);
}

StorageConnector FindStorageConnector(TDestinationType kind)
{
    Registry &r = TheRegistry();
    QMutexLocker lock(&r.mutex);
    const auto it = r.connectors.find(kind);
    return it == r.connectors.end() ? StorageConnector() : it->second;
}
