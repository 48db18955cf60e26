#include "engine/files/restorerun.h"

#include "base/appstate.h"
#include "base/datetime.h"
#include "base/errors.h"
#include "base/events.h"
#include "base/paths.h"
#include "base/runlog.h"
#include "base/textfile.h"
#include "engine/files/backupsetlayout.h"
#include "engine/files/enginetext.h"
#include "engine/files/jobworker.h"
#include "engine/files/outputguard.h"
#include "engine/files/restorepoints.h"
#include "engine/files/runarchive.h"
#include "zip/zipreader.h"
#include "jobs/jobkinds.h"
#include "jobs/jobtext.h"
#include "storage/localcopy.h"
#include "storage/localfs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

namespace {

class RestoreRun {
public:
    RestoreRun(TJob_FilesAndFolders &job, const QString &output, const QString &password, int listInd)
        : m_job(job), m_output(output), m_password(password), m_listInd(listInd), m_guard(output)
    {
    }
    void Execute();

private:
    QString T(const QString &text) const { return m_job.JobTranslate(text); }
    bool Cancelling() const { return m_job.JobStatus.load() == jsCancelling; }
    void SetCancelling()
    {
        m_job.JobStatus.store(jsCancelling);
        m_job.NotifyChanged();
    }
    bool Proceed() { return JobWorker::WaitWhilePaused(m_job); }
    int Retries() const { return std::max(0, m_job.JobOptions.Processing.IfDestinationNotAvailable_Retry_Times); }

    bool ReadSet();
    void RestoreChain();
    bool RestoreRunFolder(qsizetype index);
    bool RestoreFolder(const QString &folder);
    bool RestoreFolderSteps(const QString &folder);
    bool DownloadList(const QString &folder, const QString &name, QStringList &list);
    // Refuses (with an error line) a list entry that would lead outside the
    // output folder.
    bool Allowed(const QString &relative, bool includeLast);
    void CreateFolders(const QStringList &folders);
    void RestoreFiles(const QString &folder, const QStringList &files);
    // The archive side of a compressed run folder.
    bool OpenRunArchive(const QString &folder, BackupSet::ZipMode mode);
    bool ExtractFromRunArchive(const QString &p, const QString &target);
    bool ExtractEntry(const QString &entryName, const QString &target, QString *error);
    bool RestoreFromFileArchive(const QString &folder, const QString &p, const QString &target);
    bool ReaderProgress(double percent);
    void RemoveFiles(const QStringList &files);
    void RemoveFolders(const QStringList &folders);

    TJob_FilesAndFolders &m_job;
    const QString m_output;
    const QString m_password;
    const int m_listInd;
    OutputFolderGuard m_guard;
    QString m_root;
    bool m_sync = false;
    QStringList m_main; // the run folders, oldest first
    QStringList m_syncFiles;
    QStringList m_syncDirs;
    BackupSet::ZipMode m_mode = BackupSet::ZipMode::Plain;
    QString m_archivePassword;
    std::unique_ptr<ZipReader> m_reader;
};

void RestoreRun::Execute()
{
    // 1.
    const QDateTime stamp = Clock::Now();
    const QString starting =
        FillPercentS(T(QStringLiteral("Starting the \"%s\" restore to directory:")), {m_job.stJobName})
        + QLatin1Char(' ') + m_output;
    m_job.AddToLog(starting);
    AddEvent(starting);
    m_job.AddEventtoBackupHistory(T(QStringLiteral("Starting the restore to directory:")) + QLatin1Char(' ') + m_output,
                                  false);
    m_job.AddRawLineToLog(QString(49, QLatin1Char('-')));
    TJobStatus status = m_job.JobStatus.load();
    while (status != jsCancelling && !m_job.JobStatus.compare_exchange_weak(status, jsRunning)) {
    }
    m_job.JobOperation.store(joRestore);
    m_job.NotifyChanged();

    // 2.
    const QString logFolder = m_job.LogFolderPath();
    if (logFolder.isEmpty() || !(QFileInfo(logFolder).isDir() || QDir().mkpath(logFolder)))
        AddEvent(T(QStringLiteral("Unable to create folder for log files:")) + QLatin1Char(' ')
                 + (logFolder.isEmpty() ? m_job.JobOptions.Logging.PathForLogFiles : logFolder));

    // 3.
    QString root;
    m_job.ConnectToStorage(root);
    const QString errorPrefix = T(QStringLiteral("ERROR:"));
    if (root.isEmpty() || root.startsWith(errorPrefix)) {
        AddEvent(root);
        SetCancelling();
    } else {
        m_root = root;
        // 4., 5.
        if (!QFileInfo(ToLongPath(m_output)).isDir()) {
            m_job.AddErrorToLog(T(QStringLiteral("The directory does not exist:")) + QLatin1Char(' ') + m_output);
            SetCancelling();
        } else if (ReadSet()) {
            RestoreChain();
        }
    }

    // 6.
    if (Cancelling()) {
        m_job.AddToLog(T(QStringLiteral("Restore is cancelled.")));
        m_job.AddEventtoBackupHistory(T(QStringLiteral("Restore is cancelled.")), false);
        AddEvent(FillPercentS(T(QStringLiteral("\"%s\" restore is cancelled.")), {m_job.stJobName}));
        m_job.LastJobResult.Cancelled = true;
    } else {
        const RunOutcomeTexts outcome =
            ByRunOutcome(m_job,
                         {QStringLiteral("Restore job \"%s\" is finished with errors."),
                          QStringLiteral("Restore job is finished with errors.")},
                         {QStringLiteral("Restore job \"%s\" is finished with warnings."),
                          QStringLiteral("Restore job is finished with warnings.")},
                         {QStringLiteral("Restore job \"%s\" is finished."), QStringLiteral("Restore job is finished.")});
        const QString message = FillPercentS(T(outcome.pattern), {m_job.stJobName});
        m_job.AddToLog(message);
        AddEvent(message);
        m_job.AddEventtoBackupHistory(T(outcome.history), false);
    }

    // 7.
    m_job.AddToLog(T(QStringLiteral("Removing the temporary files.")));
    m_job.DeleteTempFiles();
    m_job.DisconnectFromStorage();
    m_job.SaveRunLog(TJob::RunStamp(stamp));
    m_job.LastJobResult.EndTime = Clock::NowAsDouble();
    if (!AppState::ApplicationClosing)
        m_job.SaveLocalJobFile(m_job.LocalJobFilePath());
    m_job.CurrentFileOperationProgress.store(0);
    m_job.SetCurrentFileOperationPath(QString());
    m_job.JobStatus.store(jsNone);
}

bool RestoreRun::ReadSet()
{
    const QString path = m_job.TempJobFilePath();
    TBackupSetState state;
    try {
        if (path.isEmpty() || !QFileInfo::exists(path))
            throw QvError(T(QStringLiteral("The file does not exist.")) + QLatin1Char(' ') + path);
        m_job.LoadRemoteBackupList(path, state);
        m_main = std::move(state.MainBackupList);
        if (!m_main.isEmpty()) {
            const std::optional<TBackupType> type = BackupSet::TypeOfMarker(m_main.first());
            m_sync = type ? *type == btSynchronization : m_job.Settings.Backup.BackupType == btSynchronization;
            m_main.removeFirst();
        } else {
            m_sync = m_job.Settings.Backup.BackupType == btSynchronization;
        }
        if (m_sync) {
            // A synchronised set is restored from its reference lists.
            state = TBackupSetState();
            m_job.LoadRemoteJobFile(path, false, state);
            m_syncFiles = std::move(state.PreviousLocalFilesList);
            m_syncDirs = std::move(state.PreviousLocalDirsList);
        }
    } catch (const QvError &e) {
        m_job.AddErrorToLog(e.message());
        SetCancelling();
        return false;
    }
    return true;
}

void RestoreRun::RestoreChain()
{
    if (m_sync) {
        if (!RestoreFolder(m_root))
            SetCancelling();
        return;
    }
    if (m_listInd < 0 || m_listInd >= m_main.size()) {
        m_job.AddErrorToLog(T(QStringLiteral("The restore point does not exist.")));
        SetCancelling();
        return;
    }
    const QString &chosen = m_main.at(m_listInd);
    if (BackupSet::NameIsOfType(chosen, btFull)) {
        if (!RestoreRunFolder(m_listInd))
            SetCancelling();
        return;
    }
    const bool differential = BackupSet::NameIsOfType(chosen, btDifferential);
    if (!differential && !BackupSet::NameIsOfType(chosen, btIncremental)) {
        m_job.AddErrorToLog(T(QStringLiteral("The restore point does not exist.")));
        SetCancelling();
        return;
    }
    qsizetype full = -1;
    for (qsizetype i = m_listInd; i >= 0; --i) {
        if (BackupSet::NameIsOfType(m_main.at(i), btFull)) {
            full = i;
            break;
        }
    }
    if (full < 0) {
        // Without its full copy the point holds only changes: restoring
        // them alone would pass for the point while missing most files.
        m_job.AddErrorToLog(T(QStringLiteral("The full backup of this restore point does not exist.")));
        return;
    }
    if (differential) {
        if (!RestoreRunFolder(full))
            SetCancelling();
        else if (!Cancelling() && !RestoreRunFolder(m_listInd))
            SetCancelling();
        return;
    }
    for (qsizetype i = full; i <= m_listInd; ++i) {
        if (!RestoreRunFolder(i)) {
            SetCancelling();
            return;
        }
        if (Cancelling())
            return;
    }
}

bool RestoreRun::RestoreRunFolder(qsizetype index)
{
    const QString &name = m_main.at(index);
    if (!IsUsableEntryName(name)) {
        m_job.AddErrorToLog(T(QStringLiteral("The path leads outside the backup directory:")) + QLatin1Char(' ') + name);
        return false;
    }
    return RestoreFolder(JoinPath(m_root, name));
}

bool RestoreRun::RestoreFolder(const QString &folder)
{
    try {
        return RestoreFolderSteps(folder);
    } catch (const QvError &e) {
        m_job.AddErrorToLog(e.message());
    } catch (const std::exception &e) {
        m_job.AddErrorToLog(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

bool RestoreRun::RestoreFolderSteps(const QString &folder)
{
    // 1.
    Proceed();
    const QString temp = m_job.TempFolderPath();
    if (temp.isEmpty())
        throw QvError(T(QStringLiteral("The directory does not exist:")) + QLatin1Char(' ')
                      + m_job.JobOptions.General.PathForTempFiles);
    LocalFileSystem().MakePath(temp);
    m_job.AddFileEventToLog(QStringLiteral("Restoring the directory:"), folder);

    // 2.
    QStringList files, folders, removedFolders, removedFiles;
    if (m_sync) {
        files = m_syncFiles;
        folders = m_syncDirs;
    } else {
        const bool ok1 = DownloadList(folder, BackupSet::CopiedFilesFile, files);
        const bool ok2 = DownloadList(folder, BackupSet::CreatedDirsFile, folders);
        const bool ok3 = DownloadList(folder, BackupSet::RemovedDirsFile, removedFolders);
        const bool ok4 = DownloadList(folder, BackupSet::RemovedFilesFile, removedFiles);
        if (!(ok1 && ok2 && ok3 && ok4))
            SetCancelling();
    }

    // 3.
    const BackupSet::ZipMode mode = m_sync ? BackupSet::ZipMode::Plain : BackupSet::ZipModeOfName(PathFileName(folder));
    m_mode = mode;
    if (!Cancelling() && mode != BackupSet::ZipMode::Plain && !OpenRunArchive(folder, mode))
        SetCancelling();

    // 4. - 7.
    if (!Cancelling())
        CreateFolders(folders);
    if (!Cancelling())
        RestoreFiles(folder, files);
    if (!Cancelling())
        RemoveFiles(removedFiles);
    if (!Cancelling())
        RemoveFolders(removedFolders);

    // 8.
    m_job.AddRawLineToLog(QString(47, QLatin1Char('-')));
    m_reader.reset();
    m_mode = BackupSet::ZipMode::Plain;
    return true;
}

bool RestoreRun::OpenRunArchive(const QString &folder, BackupSet::ZipMode mode)
{
    // Only a folder named as protected gets the password: an archive of an
    // unprotected run opens without one whatever the user typed.
    m_archivePassword = BackupSet::NameNeedsPassword(PathFileName(folder)) ? m_password : QString();
    m_reader = std::make_unique<ZipReader>();
    m_reader->onProgress = [this](double percent) { return ReaderProgress(percent); };
    if (mode != BackupSet::ZipMode::OneArchive)
        return true;
    const QString local = JoinPath(m_job.TempFolderPath(), BackupSet::RunArchiveFile);
    if (m_job.FileOperation(atCopyFromRemoteToLocalFile, local, JoinPath(folder, BackupSet::RunArchiveFile), Retries(),
                            true)
        != orSuccess)
        return false;
    QString error;
    if (!m_reader->open(local, m_archivePassword, &error)) {
        m_job.AddErrorToLog(error);
        return false;
    }
    return true;
}

bool RestoreRun::ReaderProgress(double percent)
{
    if (m_job.CancelCurrentFileOperation.load() != 0 || Cancelling())
        return false;
    m_job.CurrentFileOperationProgress.store(qint32(percent));
    m_job.NotifyChanged();
    return true;
}

bool RestoreRun::ExtractFromRunArchive(const QString &p, const QString &target)
{
    m_job.AddFileEventToLog(QStringLiteral("Extracting the file:"), p);
    m_job.SetCurrentFileOperationPath(target);
    QString error;
    if (!ExtractEntry(p, target, &error)) {
        m_job.AddErrorToLog(error);
        return false;
    }
    return true;
}

bool RestoreRun::ExtractEntry(const QString &entryName, const QString &target, QString *error)
{
    // The entry goes to exactly the path the guard accepted, never to a
    // path of the archive's own choosing, and under the name's own bytes
    // (a name that is not UTF-8 included). It is named only when complete.
    try {
        LocalTargetFile out(target, false); // written through a QFile: no O_DIRECT alignment
        QFile device;
        if (!device.open(out.fd(), QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle)) {
            *error = device.errorString() + QStringLiteral(": ") + target;
            return false;
        }
        ZipEntryInfo info;
        if (!m_reader->extractEntryData(entryName, device, &info, error))
            return false;
        device.close();
        const qint64 secs = info.modified.isValid() ? info.modified.toSecsSinceEpoch() : QDateTime::currentSecsSinceEpoch();
        const timespec time{time_t(secs), 0};
        out.Commit(info.unixMode ? (info.unixMode & 0777) : 0644, time, time);
        return true;
    } catch (const QvError &e) {
        *error = e.message() + QStringLiteral(": ") + target;
        return false;
    }
}

bool RestoreRun::RestoreFromFileArchive(const QString &folder, const QString &p, const QString &target)
{
    const QString local = JoinPath(m_job.TempFolderPath(), PathFileName(p) + QStringLiteral(".zip"));
    if (m_job.FileOperation(atCopyFromRemoteToLocalFile, local, JoinPath(folder, p) + QStringLiteral(".zip"),
                            Retries(), true)
        != orSuccess)
        return false;
    m_job.AddFileEventToLog(QStringLiteral("Extracting the file:"), local);
    m_job.SetCurrentFileOperationPath(target);
    QString error;
    bool ok = m_reader->open(local, m_archivePassword, &error);
    if (ok) {
        // The archive of one file holds that file alone, under its own
        // name; anything else is not an archive this program made, and
        // nothing of it is taken.
        QStringList files;
        for (const ZipEntryInfo &entry : m_reader->entries()) {
            if (!entry.isFolder)
                files.append(entry.name);
        }
        if (files.size() != 1 || files.first() != PathFileName(p)) {
            error = T(QStringLiteral("The archive does not match the file:")) + QLatin1Char(' ') + local;
            ok = false;
        } else {
            ok = ExtractEntry(files.first(), target, &error);
        }
    }
    m_reader->close();
    if (!ok)
        m_job.AddErrorToLog(error);
    m_job.AddFileEventToLog(QStringLiteral("Removing the file:"), local);
    try {
        LocalFileSystem().RemoveFile(local);
    } catch (const QvError &) {
        m_job.AddErrorToLog(T(QStringLiteral("Unable to delete the file:")) + QLatin1Char(' ') + local);
        return false;
    }
    return ok;
}

bool RestoreRun::DownloadList(const QString &folder, const QString &name, QStringList &list)
{
    const QString local = JoinPath(m_job.TempFolderPath(), name);
    if (m_job.FileOperation(atCopyFromRemoteToLocalFile, local, JoinPath(folder, name), 0, true) != orSuccess)
        return false;
    try {
        // Each line one relative path, whatever bytes its names hold (the
        // line encoding of textfile.h, as WriteTempStateList wrote it).
        list = ReadTextLines(local);
    } catch (const QvError &e) {
        m_job.AddErrorToLog(e.message());
        return false;
    }
    return true;
}

bool RestoreRun::Allowed(const QString &relative, bool includeLast)
{
    if (m_guard.Allows(relative, includeLast))
        return true;
    m_job.AddErrorToLog(T(QStringLiteral("The path leads outside the output directory:")) + QLatin1Char(' ') + relative);
    return false;
}

void RestoreRun::CreateFolders(const QStringList &folders)
{
    LocalFileSystem fs;
    for (const QString &d : folders) {
        if (!Proceed())
            return;
        if (!Allowed(d, true))
            continue;
        const QString path = JoinPath(m_output, d);
        if (fs.Stat(path).exists)
            continue;
        m_job.AddFileEventToLog(QStringLiteral("Creating the directory:"), path);
        try {
            fs.MakePath(path);
        } catch (const QvError &e) {
            m_job.AddErrorToLog(e.message());
            SetCancelling();
            return;
        }
    }
}

void RestoreRun::RestoreFiles(const QString &folder, const QStringList &files)
{
    LocalFileSystem fs;
    for (const QString &p : files) {
        if (!Proceed())
            return;
        if (!Allowed(p, false))
            continue;
        const QString target = JoinPath(m_output, p);
        // The folder of a file normally comes with the folder lists; one
        // missing (a list edited by hand) is made rather than failing.
        const QString parent = LocalParentPath(target);
        if (!parent.isEmpty() && !fs.Stat(parent).isFolder) {
            try {
                fs.MakePath(parent);
            } catch (const QvError &e) {
                m_job.AddErrorToLog(e.message());
                SetCancelling();
                return;
            }
        }
        bool ok = false;
        switch (m_mode) {
        case BackupSet::ZipMode::OneArchive:
            ok = ExtractFromRunArchive(p, target);
            break;
        case BackupSet::ZipMode::ZipPerFile:
            ok = RestoreFromFileArchive(folder, p, target);
            break;
        case BackupSet::ZipMode::Plain:
            ok = m_job.FileOperation(atCopyFromRemoteToLocalFile, target, JoinPath(folder, p), Retries(), true)
                 == orSuccess;
            break;
        }
        if (!ok) {
            SetCancelling();
            return;
        }
    }
}

void RestoreRun::RemoveFiles(const QStringList &files)
{
    LocalFileSystem fs;
    for (const QString &p : files) {
        if (!Proceed())
            return;
        if (!Allowed(p, false))
            continue;
        const QString path = JoinPath(m_output, p);
        try {
            const DestinationFileSystem::Info info = fs.Stat(path);
            if (info.exists && info.readOnly && !info.isFolder) {
                m_job.AddFileEventToLog(QStringLiteral("Removing the read-only attribute:"), path);
                fs.ClearReadOnly(path);
            }
            m_job.AddFileEventToLog(QStringLiteral("Removing the file:"), path);
            if (!info.exists || info.isFolder)
                throw QvError(T(QStringLiteral("The file does not exist.")) + QLatin1Char(' ') + path);
            fs.RemoveFile(path);
        } catch (const QvError &e) {
            m_job.AddErrorToLog(e.message());
            SetCancelling();
            return;
        }
    }
}

void RestoreRun::RemoveFolders(const QStringList &folders)
{
    LocalFileSystem fs;
    for (const QString &d : folders) {
        if (!Proceed())
            return;
        if (!Allowed(d, true))
            continue;
        const QString path = JoinPath(m_output, d);
        m_job.AddFileEventToLog(QStringLiteral("Removing the directory:"), path);
        try {
            fs.RemoveEmptyFolder(path);
        } catch (const QvError &) {
            // Not empty (or not removable): checked below.
        }
        if (!fs.Stat(path).exists)
            continue;
        try {
            fs.RemoveTree(path);
        } catch (const QvError &) {
            // Checked below.
        }
        if (fs.Stat(path).exists) {
            m_job.AddErrorToLog(T(QStringLiteral("Unable to remove the directory.")));
            SetCancelling();
            return;
        }
    }
}

} // namespace

void RestoreInThread(TJob_FilesAndFolders &job, const QString &OutputPath, const QString &myZIPPassword, int ListInd)
{
    RestoreRun(job, OutputPath, myZIPPassword, ListInd).Execute();
}

bool StartRestore(TJob_FilesAndFolders &job, const RestorePointList &points, int listInd, const QString &outputPath,
                  const QString &password, std::function<void()> finished)
{
    if (JobWorker::IsRunning(job))
        return false;
    if (listInd >= 0 && listInd < points.points.size())
        job.AddToLog(job.JobTranslate(QStringLiteral("Chosen restore point:")) + QLatin1Char(' ')
                     + points.points.at(listInd).displayName);
    JobWorker::Hooks hooks;
    hooks.body = [&job, outputPath, password, listInd] { RestoreInThread(job, outputPath, password, listInd); };
    hooks.escapedError = [&job](const QString &message) {
        job.JobStatus.store(jsNone);
        AddEvent(FillPercentS(job.JobTranslate(QStringLiteral("Error occured: %s")), {message}));
    };
    hooks.finished = std::move(finished);
    return JobWorker::Start(job, std::move(hooks));
}
