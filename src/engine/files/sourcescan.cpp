#include "engine/files/sourcescan.h"

#include "base/appstate.h"
#include "base/paths.h"
#include "engine/files/enginetext.h"
#include "engine/files/jobworker.h"
#include "jobs/destinationinsource.h"

#include "platform/directoryscan.h"

#include <QFileInfo>
#include <algorithm>

namespace {
const QString kSeparatorLine(29, QLatin1Char('-'));

// The two texts in a string of exactly their size: the relative paths stay
// in the run's lists to its end, and `a + b` would leave room to grow.
QString Joined(const QString &a, const QString &b)
{
    QString s(a.size() + b.size(), Qt::Uninitialized);
    std::copy(b.cbegin(), b.cend(), std::copy(a.cbegin(), a.cend(), s.begin()));
    return s;
}

QString WithSeparator(const QString &path)
{
    return path.isEmpty() || path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}
} // namespace

SourceScan::SourceScan(TJob_FilesAndFolders &job, BackupRunState &run)
    : m_job(job),
      m_run(run),
      m_filter(run.Settings.Sources, job.JobOptions),
      m_retries(std::max(0, job.JobOptions.Processing.IfDestinationNotAvailable_Retry_Times)),
      m_incrementalOrDifferential(run.RunType == btIncremental || run.RunType == btDifferential),
      m_createFoldersDirectly(run.RunType == btFull || run.RunType == btSynchronization),
      m_oneArchive(run.Settings.Compression.Enabled && !run.Settings.Compression.CreateIndividualZipForEachItem),
      m_zipPerFile(run.Settings.Compression.Enabled && run.Settings.Compression.CreateIndividualZipForEachItem),
      // A folder destination (a local drive, a network share) writes each
      // copy under a temporary name beside its target and renames it when
      // complete; a staged copy in the temporary folder first would only
      // double the data written. The others (FTP, cloud) upload from a
      // staged copy, so that a long transfer reads a stable file.
      m_directCopy(job.DestinationSettings.DestinationType == dtLocalOrExternalDrive
                   || job.DestinationSettings.DestinationType == dtNetwork),
      m_previousFiles(&run.Set.PreviousLocalFilesList),
      m_previousDirs(&run.Set.PreviousLocalDirsList),
      m_fileSeen(size_t(run.Set.PreviousLocalFilesList.size()), false),
      m_dirSeen(size_t(run.Set.PreviousLocalDirsList.size()), false),
      m_setFolder(job.DestinationSettings.DestinationType == dtLocalOrExternalDrive ? run.BackupRoot : QString())
{
}

QString SourceScan::FolderOfItem(const QString &item)
{
    return FolderOfSourceItem(item);
}

bool SourceScan::Cancelling() const
{
    return m_job.JobStatus.load() == jsCancelling;
}

bool SourceScan::Proceed()
{
    return JobWorker::WaitWhilePaused(m_job);
}

void SourceScan::Run()
{
    // The lists of an incremental run end up about as long as the reference.
    m_run.CurrentFilesList.reserve(m_run.Set.PreviousLocalFilesList.size());
    m_run.CurrentFilesTimeList.reserve(m_run.Set.PreviousLocalFilesList.size());
    for (const QString &item : std::as_const(m_run.Settings.Sources.List)) {
        if (Cancelling())
            break;
        const QString folder = FolderOfItem(item);
        if (!folder.isEmpty())
            FolderItem(folder);
        else
            FileItem(item);
    }
    if (!Cancelling())
        RemovedItems();
}

void SourceScan::FolderItem(const QString &folder)
{
    m_job.AddRawLineToLog(kSeparatorLine);
    // The root folder has no name of its own: its content lies directly in
    // the run's folder.
    const QString own = folder == QLatin1String("/") ? QString() : PathFileName(folder);
    if (!QFileInfo(ToLongPath(folder)).isDir()) {
        m_job.AddWarningToLog(m_job.JobTranslate(QStringLiteral("The source does not exist:")) + QLatin1Char(' ')
                              + folder);
        // An unplugged disk, a renamed folder: what the set holds of it
        // stays as it was.
        KeepPreviousState(own);
        return;
    }
    m_job.AddFileEventToLog(QStringLiteral("Starting the directory backup:"), folder);
    // The job's own set inside this folder would be backed up by every run
    // again, each copy holding the ones before.
    m_setRelative.clear();
    m_jobFileRelative.clear();
    if (!m_setFolder.isEmpty()) {
        const auto inItem = [&own](const std::optional<QString> &inside) {
            return !inside ? QString() : own.isEmpty() ? *inside : JoinPath(own, *inside);
        };
        const std::optional<QString> set = PathInsideFolder(folder, m_setFolder);
        if (set && set->isEmpty()) {
            m_job.AddWarningToLog(
                m_job.JobTranslate(QStringLiteral("The destination is inside the source and is left out of the backup:"))
                + QLatin1Char(' ') + folder);
            return;
        }
        m_setRelative = inItem(set);
        m_jobFileRelative = inItem(PathInsideFolder(folder, m_setFolder + AppState::JobFileExtension()));
    }
    if (!own.isEmpty()) {
        if (!m_previousDirs.Contains(own)) {
            // The item's own folder at the destination; a refusal is handled
            // like any other, so that the item's files are never taken for
            // removed ones because their folder could not be made.
            while (!EnsureFolderChain(own)) {
                if (m_folderNameRefused || !RetryAfterRefusal())
                    return;
            }
            m_run.CreatedDirsList.append(own);
        }
        AddCurrentDir(own);
    }
    Walk(folder, own);
}

void SourceScan::FileItem(const QString &path)
{
    m_job.AddRawLineToLog(kSeparatorLine);
    const QFileInfo info(ToLongPath(path));
    if (!info.exists()) {
        m_job.AddWarningToLog(m_job.JobTranslate(QStringLiteral("The source does not exist:")) + QLatin1Char(' ')
                              + path);
        KeepPreviousState(info.fileName());
        return;
    }
    m_job.AddFileEventToLog(QStringLiteral("Starting the file backup:"), path);
    if (info.isDir())
        return; // a folder given as a file item
    if (!info.isFile()) {
        SkipEntry(path, false);
        return;
    }
    BackupFile(path, info.fileName(), FileTimeText(info.lastModified()), QString(), false);
}

void SourceScan::Walk(const QString &folder, const QString &relative)
{
    if (!Proceed())
        return;
    const QString a = WithSeparator(folder);
    const QString r = WithSeparator(relative);
    DirectoryScan::Reader reader(ToLongPath(a));
    DirectoryScan::Entry entry;
    while (reader.Next(entry)) {
        if (!Proceed())
            return;
        const QString &name = entry.name;
        if (m_filter.SkipsHidden(name))
            continue;
        switch (entry.kind) {
        case DirectoryScan::Kind::Folder: {
            const QString rel = Joined(r, name);
            if (!DirectoryScan::FolderExists(ToLongPath(a))) {
                m_job.AddWarningToLog(m_job.JobTranslate(QStringLiteral("The directory does not exist:"))
                                      + QLatin1Char(' ') + a);
                KeepPreviousState(rel);
                continue;
            }
            const QString full = a + name;
            if (!m_setRelative.isEmpty() && rel == m_setRelative) {
                m_job.AddWarningToLog(m_job.JobTranslate(
                                          QStringLiteral("The destination is inside the source and is left out of the backup:"))
                                      + QLatin1Char(' ') + full);
                continue;
            }
            if (m_filter.ExcludesFolder(full, name))
                continue;
            if (!AddCurrentDir(rel)) {
                if (!CreateNewFolder(rel)) {
                    if (!m_folderNameRefused)
                        return;
                    // The destination cannot hold the folder's name: it is
                    // left out with everything in it (the error is logged).
                    m_run.CurrentDirsList.removeLast();
                    continue;
                }
                m_run.CreatedDirsList.append(rel);
            }
            Walk(full, rel);
            if (Cancelling())
                return;
            break;
        }
        case DirectoryScan::Kind::File: {
            if (m_filter.SkipsFile(name))
                continue;
            const QString rel = Joined(r, name);
            if (!m_jobFileRelative.isEmpty() && rel == m_jobFileRelative)
                continue; // the set's own job file, left out with the set
            if (!entry.timeKnown) {
                // The file vanished since the folder was listed, or its
                // status cannot be read.
                m_job.AddWarningToLog(m_job.JobTranslate(QStringLiteral("The file does not exist:"))
                                      + QLatin1Char(' ') + a + name);
                KeepPreviousState(rel);
                continue;
            }
            BackupFile(a + name, rel, FileTimeText(entry.modifiedMs), relative, true);
            if (Cancelling())
                return;
            break;
        }
        case DirectoryScan::Kind::Link:
        case DirectoryScan::Kind::Special:
            if (!m_filter.SkipsFile(name))
                SkipEntry(a + name, entry.kind == DirectoryScan::Kind::Link);
            break;
        }
    }
    if (!reader.ok()) {
        // A folder that cannot be read is not an empty one: what the set
        // holds of it stays as it was.
        m_job.AddWarningToLog(
            m_job.JobTranslate(QStringLiteral("The directory cannot be read, its previous backup is kept:"))
            + QLatin1Char(' ') + a + QStringLiteral(" (") + reader.error() + QLatin1Char(')'));
        KeepPreviousState(relative);
    }
}

void SourceScan::SkipEntry(const QString &fullPath, bool link)
{
    // A link is never followed: it could lead back up the tree or out of
    // the source, and its target is backed up where it lies, if at all. A
    // device, a pipe or a socket holds no data of its own (reading a pipe
    // would wait for a writer).
    const QString text = link ? m_job.JobTranslate(QStringLiteral("The symbolic link is skipped:"))
                              : m_job.JobTranslate(QStringLiteral("The device, pipe or socket is skipped:"));
    m_job.AddWarningToLog(text + QLatin1Char(' ') + fullPath);
}

void SourceScan::BackupFile(const QString &fullPath, const QString &relative, const QString &timeText,
                            const QString &chainFolder, bool insideFolderItem)
{
    const QStringList &previous = m_run.Set.PreviousLocalFilesList;
    const QStringList &previousTimes = m_run.Set.PreviousLocalFilesTimeList;
    const qsizetype k = m_previousFiles.IndexOf(relative);
    const bool unchanged = k >= 0 && k < previousTimes.size() && previousTimes.at(k) == timeText;
    // The texts of an entry met before are shared with the reference lists.
    m_run.CurrentFilesList.append(k >= 0 ? previous.at(k) : relative);
    if (unchanged)
        m_run.CurrentFilesTimeList.append(previousTimes.at(k));
    else if (!m_run.CurrentFilesTimeList.isEmpty() && m_run.CurrentFilesTimeList.last() == timeText)
        m_run.CurrentFilesTimeList.append(m_run.CurrentFilesTimeList.last()); // files written together share it
    else
        m_run.CurrentFilesTimeList.append(timeText);
    if (k >= 0)
        m_fileSeen[size_t(k)] = true;

    while (true) {
        if (!Proceed())
            return;
        if (unchanged)
            return;
        if (insideFolderItem && m_incrementalOrDifferential && !EnsureFolderChain(chainFolder)) {
            if (!RetryAfterRefusal())
                return;
            continue;
        }
        switch (Copy(fullPath, relative)) {
        case orSuccess:
            m_run.CopiedFilesList.append(m_run.CurrentFilesList.last());
            m_job.CurrentBackupFilesProcessed.fetch_add(1);
            return;
        case orERROR_LocalAccess:
            // The source could not be read (the storage layer said why). It
            // counts as met, so it is never taken for a removed file. A file
            // of the reference state keeps its entry there with the time of
            // its last copy: later runs still see it (and record its removal
            // when it is gone), and as that time is not the file's own now,
            // the next run tries it again. A new file stays out of the new
            // state, so the next run finds it new.
            if (k >= 0 && k < previousTimes.size()) {
                m_run.CurrentFilesTimeList.last() = previousTimes.at(k);
            } else {
                m_run.CurrentFilesList.removeLast();
                m_run.CurrentFilesTimeList.removeLast();
            }
            return;
        case orERROR_RemoteAccess:
            if (!RetryAfterRefusal())
                return;
            break;
        }
    }
}

bool SourceScan::AddCurrentDir(const QString &relative)
{
    const qsizetype k = m_previousDirs.IndexOf(relative);
    m_run.CurrentDirsList.append(k >= 0 ? m_run.Set.PreviousLocalDirsList.at(k) : relative);
    if (k >= 0)
        m_dirSeen[size_t(k)] = true;
    return k >= 0;
}

bool SourceScan::CreateNewFolder(const QString &relative)
{
    while (true) {
        const bool created = m_createFoldersDirectly ? CreateFolder(relative) : EnsureFolderChain(relative);
        if (created)
            return true;
        if (m_folderNameRefused || !RetryAfterRefusal())
            return false;
    }
}

bool SourceScan::EnsureFolderChain(const QString &relative)
{
    QString r = relative;
    while (r.endsWith(QLatin1Char('/')))
        r.chop(1);
    if (r.isEmpty() || m_run.CreatedFoldersCache.Contains(r))
        return true; // the whole chain was made before
    qsizetype from = 0;
    while (true) {
        const qsizetype slash = r.indexOf(QLatin1Char('/'), from);
        const QString prefix = slash < 0 ? r : r.left(slash);
        if (!m_run.CreatedFoldersCache.Contains(prefix)) {
            if (!CreateFolder(prefix))
                return false;
            m_run.CreatedFoldersCache.Insert(prefix);
        }
        if (slash < 0)
            return true;
        from = slash + 1;
    }
}

bool SourceScan::CreateFolder(const QString &relative)
{
    m_folderNameRefused = false;
    if (m_oneArchive)
        return m_job.FileOperation(atCreateFolderInZip, QString(), relative, m_retries, true) == orSuccess;
    const TOperationResult made =
        m_job.FileOperation(atCreateRemoteFolder, QString(), Destination(relative), m_retries, true);
    // A folder creation has no local side: this is a name the destination refuses.
    m_folderNameRefused = made == orERROR_LocalAccess;
    return made == orSuccess;
}

TOperationResult SourceScan::Copy(const QString &fullPath, const QString &relative)
{
    if (m_oneArchive)
        return m_job.FileOperation(atAddToZip, fullPath, relative, m_retries, true);
    if (m_zipPerFile)
        return m_job.FileOperation(atMakeZipInTempFolderAndCopyToRemote, fullPath, Destination(relative), m_retries,
                                   true);
    return m_job.FileOperation(m_directCopy ? atCopyFromLocalToRemoteFile : atCopyFromLocalToRemoteFileThroughTempFolder,
                               fullPath, Destination(relative), m_retries, true);
}

QString SourceScan::Destination(const QString &relative) const
{
    return JoinPath(m_run.BackupFolder, relative);
}

bool SourceScan::RetryAfterRefusal()
{
    if (m_job.JobOptions.Processing.IfDestinationNotAvailable_Then != 1 || Cancelling()) {
        if (!Cancelling()) {
            m_job.AddRawLineToLog(QString());
            // One warning, written as the lines of its message.
            m_job.AddWarningToLog(m_job.JobTranslate(
                QStringLiteral("The job will be cancelled because destination is not accepting the file.")));
            m_job.AddRawLineToLog(m_job.JobTranslate(QStringLiteral(
                "Possible reasons: device is disconnected; device is corrupted; network issues; transfer is blocked "
                "by antivirus.")));
            m_job.AddRawLineToLog(m_job.JobTranslate(QStringLiteral(
                "If you do not want to cancel the job next time, please open the General Options, the tab \"Backup\".")));
            m_job.AddRawLineToLog(
                m_job.JobTranslate(QStringLiteral("Select the option \"Pause the job and wait for your action\".")));
        }
        m_job.JobStatus.store(jsCancelling);
        m_job.NotifyChanged();
        return false;
    }
    m_job.CurrentFileOperationType.store(atNone_WaitingForReconnection);
    TJobStatus running = jsRunning;
    m_job.JobStatus.compare_exchange_strong(running, jsPaused);
    m_job.NotifyChanged();
    const bool resumed = Proceed();
    m_job.CurrentFileOperationType.store(atNone);
    return resumed;
}

void SourceScan::KeepPreviousState(const QString &relative)
{
    m_keptFolders.Insert(relative);
}

bool SourceScan::UnderKeptFolder(const QString &relative) const
{
    QStringView path(relative);
    while (true) {
        if (m_keptFolders.Contains(path))
            return true;
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            return m_keptFolders.Contains(QStringView(u""));
        path = path.left(slash);
    }
}

void SourceScan::CarryKeptEntries()
{
    if (m_keptFolders.Size() == 0)
        return;
    const QStringList &previous = m_run.Set.PreviousLocalFilesList;
    const QStringList &previousTimes = m_run.Set.PreviousLocalFilesTimeList;
    for (qsizetype k = 0; k < previous.size(); ++k) {
        const size_t first = size_t(m_previousFiles.IndexOf(previous.at(k)));
        if (m_fileSeen[first] || !UnderKeptFolder(previous.at(k)))
            continue;
        m_run.CurrentFilesList.append(previous.at(k));
        m_run.CurrentFilesTimeList.append(previousTimes.value(k));
        m_fileSeen[first] = true;
    }
    // In their order, so that a folder still comes before what it holds.
    const QStringList &previousDirs = m_run.Set.PreviousLocalDirsList;
    for (qsizetype k = 0; k < previousDirs.size(); ++k) {
        const size_t first = size_t(m_previousDirs.IndexOf(previousDirs.at(k)));
        if (m_dirSeen[first] || !UnderKeptFolder(previousDirs.at(k)))
            continue;
        m_run.CurrentDirsList.append(previousDirs.at(k));
        m_dirSeen[first] = true;
    }
}

void SourceScan::RemovedItems()
{
    if (!Proceed())
        return;
    CarryKeptEntries();
    const bool sync = m_run.RunType == btSynchronization;
    const QStringList &previous = m_run.Set.PreviousLocalFilesList;
    for (qsizetype k = 0; k < previous.size(); ++k) {
        // Of equal entries, the first one carries the mark.
        if (m_fileSeen[size_t(m_previousFiles.IndexOf(previous.at(k)))])
            continue;
        if (!Proceed())
            return;
        if (sync)
            RemoveAtDestination(atRemoveRemoteFile, previous.at(k));
        else
            m_run.RemovedFilesList.append(previous.at(k));
        if (Cancelling())
            return;
    }
    const QStringList &previousDirs = m_run.Set.PreviousLocalDirsList;
    for (qsizetype k = previousDirs.size() - 1; k >= 0; --k) {
        if (m_dirSeen[size_t(m_previousDirs.IndexOf(previousDirs.at(k)))])
            continue;
        if (!Proceed())
            return;
        if (sync)
            RemoveAtDestination(atRemoveRemoteEmptyFolder, previousDirs.at(k));
        else
            m_run.RemovedDirsList.append(previousDirs.at(k));
        if (Cancelling())
            return;
    }
}

void SourceScan::RemoveAtDestination(TFileOperationType op, const QString &relative)
{
    // The reference lists come from the destination: an entry that would
    // lead outside the set is never followed.
    if (!IsSafeRelativePath(relative)) {
        m_job.AddErrorToLog(m_job.JobTranslate(QStringLiteral("The path leads outside the backup directory:"))
                            + QLatin1Char(' ') + relative);
        return;
    }
    while (m_job.FileOperation(op, QString(), Destination(relative), m_retries, true) != orSuccess) {
        if (!RetryAfterRefusal())
            return;
    }
}
