// The backup run of a files-and-folders job, step by step: connect, read
// the set's state, handle an unfinished previous run, decide the copy type,
// prune old backups, scan and copy, store the new state, and report.
#include "engine/files/backuprun.h"

#include "base/appstate.h"
#include "base/binarycodec.h"
#include "base/bytesize.h"
#include "base/datetime.h"
#include "base/errors.h"
#include "base/events.h"
#include "base/paths.h"
#include "base/runlog.h"
#include "base/textfile.h"
#include "engine/files/backuprunstate.h"
#include "engine/files/backupsetlayout.h"
#include "engine/files/enginetext.h"
#include "engine/files/jobworker.h"
#include "engine/files/runarchive.h"
#include "engine/files/runreport.h"
#include "engine/files/sourcescan.h"
#include "engine/files/tempfiles.h"
#include "engine/files/typedecision.h"
#include "base/scrambledfile.h"
#include "jobs/jobkinds.h"
#include "jobs/jobtext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kSeparatorLine(29, QLatin1Char('-'));

class BackupRun {
public:
    explicit BackupRun(TJob_FilesAndFolders &job) : m_job(job) {}
    void Execute();

private:
    QString T(const QString &text) const { return m_job.JobTranslate(text); }
    bool Cancelling() const { return m_job.JobStatus.load() == jsCancelling; }
    void SetCancelling()
    {
        m_job.JobStatus.store(jsCancelling);
        m_job.NotifyChanged();
    }
    int Retries() const { return std::max(0, m_job.JobOptions.Processing.IfDestinationNotAvailable_Retry_Times); }
    QString RemoteJobFile() const { return m_run.BackupRoot + AppState::JobFileExtension(); }
    QString TempFile(const QString &name) const { return JoinPath(m_tempFolder, name); }

    void PrepareTempFolder();
    void DownloadJobFile();
    void CheckExistingSet();
    void ReadSetState();
    void CheckStartFlag();
    void RemoveExisting();
    void PrepareRun();
    void ChooseRunFolder();
    void WriteStartFlag();
    bool ChainFolderMissing();
    void RemoveSelectedBackups(bool reportFailures);
    void RemoveFolders(const QStringList &names, bool reportFailures);
    bool RecordShortenedSet(const TBackupSetState &loaded, const QString &runFolder);
    void StoreState();
    bool WriteJobFile(const TBackupSetState &stored);
    bool UploadJobFile();
    bool UploadInternal(const QString &localName, const QString &remotePath);
    QString Summary();
    void Finish(const QString &finalLine);
    void NotConnected();

    TJob_FilesAndFolders &m_job;
    BackupRunState m_run;
    QDateTime m_stamp;
    QString m_connectError;
    QString m_tempFolder;
    bool m_jobFileFound = false;
    bool m_previousCancelled = false;
    QString m_cancelledFolder;
    bool m_removeExisting = false;
    bool m_removeWholeSet = false;
    // The run folders of a set of another backup type that this run's new
    // set replaces; they go once this run is complete.
    QStringList m_replacedSetFolders;
    qint64 m_sizeBeforeScan = 0;
};

void BackupRun::Execute()
{
    // 1. The run stamp names the run's folder and its log file.
    m_stamp = Clock::Now();
    m_run.Settings = m_job.Settings;
    m_job.AddEventtoBackupHistory(T(QStringLiteral("Starting the backup.")), false);

    // 2. Connect.
    QString root;
    m_job.ConnectToStorage(root);
    const QString errorPrefix = T(QStringLiteral("ERROR:"));
    if (root.isEmpty() || root.startsWith(errorPrefix)) {
        m_connectError = root.startsWith(errorPrefix) ? root.mid(errorPrefix.size()).trimmed() : root;
        root.clear();
    }
    m_run.BackupRoot = root;

    // 3. The log folder (a failure is an event; the run goes on).
    m_job.EnsureLogFolder();

    // 4.
    if (m_run.BackupRoot.isEmpty()) {
        NotConnected();
        return;
    }

    // 5., 6.
    PrepareTempFolder();
    m_job.CurrentBackupSize.store(0);
    m_job.CurrentBackupFilesProcessed.store(0);

    // 7.
    if (!Cancelling())
        DownloadJobFile();
    // 8.
    if (!Cancelling())
        CheckExistingSet();
    // 9.
    if (!Cancelling())
        PrepareRun();
    // 10.
    const bool compressed = m_run.Settings.Compression.Enabled;
    if (!Cancelling() && compressed && !RunArchive::Prepare(m_job, m_run))
        SetCancelling();
    // 11. What was sent before (the start flag) is no part of the copy's size.
    m_sizeBeforeScan = m_job.CurrentBackupSize.load();
    if (!Cancelling())
        SourceScan(m_job, m_run).Run();
    // 12.
    if (compressed && m_job.Archiver)
        RunArchive::Finish(m_job, m_run);
    // 13.
    if (!Cancelling())
        StoreState();

    // 14.
    m_job.CurrentFileOperationProgress.store(0);
    m_job.SetCurrentFileOperationPath(QString());
    m_job.AddRawLineToLog(kSeparatorLine);

    // 15., 16.
    Finish(Summary());
}

void BackupRun::PrepareTempFolder()
{
    m_job.DeleteTempFiles();
    m_tempFolder = m_job.TempFolderPath();
    if (m_tempFolder.isEmpty() || !(QFileInfo(ToLongPath(m_tempFolder)).isDir() || QDir().mkpath(ToLongPath(m_tempFolder)))) {
        // Every state file passes through this folder: without it the run
        // cannot store anything.
        m_job.AddErrorToLog(T(QStringLiteral("The directory does not exist:")) + QLatin1Char(' ')
                            + (m_tempFolder.isEmpty() ? m_job.JobOptions.General.PathForTempFiles : m_tempFolder));
        SetCancelling();
    }
}

void BackupRun::DownloadJobFile()
{
    if (!m_job.JobOptions.Logging.DontLogCopyingInternalFiles) {
        m_job.AddRawLineToLog(kSeparatorLine);
        m_job.AddToLog(T(QStringLiteral("Copying database files.")));
    }
    m_jobFileFound =
        m_job.FileOperation(atCopyFromRemoteToLocalFile, m_job.TempJobFilePath(), RemoteJobFile(), 0, false) == orSuccess;
    if (m_jobFileFound || m_job.LastFileOperationOutcome().entryMissing)
        return;
    // Only a job file that is not there starts a new set. One that is there
    // but cannot be read holds the state of every restore point of the set:
    // a new set would leave them all behind, never to be pruned.
    m_job.AddErrorToLog(FillPercentS(T(QStringLiteral("Unable to copy the job file \"%s\" from the backup directory.")),
                                     {PathFileName(RemoteJobFile())})
                        + QLatin1Char(' ') + m_job.LastFileOperationOutcome().error);
    SetCancelling();
}

void BackupRun::CheckExistingSet()
{
    if (m_jobFileFound && QFileInfo::exists(m_job.TempJobFilePath()))
        ReadSetState();
    if (Cancelling())
        return;
    CheckStartFlag();
    if (m_removeExisting)
        RemoveExisting();
}

void BackupRun::ReadSetState()
{
    try {
        m_job.LoadRemoteJobFile(m_job.TempJobFilePath(), false, m_run.Set);
    } catch (const QvError &e) {
        // A set whose state cannot be read is left as it is: removing or
        // extending it could lose backups that are still good.
        m_job.AddErrorToLog(e.message());
        SetCancelling();
        return;
    }
    // Files written together carry the same time text: one string for them
    // all keeps the reference state small.
    QStringList &times = m_run.Set.PreviousLocalFilesTimeList;
    for (qsizetype i = 1; i < times.size(); ++i) {
        if (times.at(i) == times.at(i - 1))
            times[i] = times.at(i - 1);
    }
    const QStringList &main = m_run.Set.MainBackupList;
    const std::optional<TBackupType> type =
        main.isEmpty() ? std::nullopt : BackupSet::TypeOfMarker(main.first());
    const TBackupType backupType = m_run.Settings.Backup.BackupType;
    const TBackupType setType = type.value_or(backupType);
    if (!type.has_value() || setType != backupType) {
        m_job.AddWarningToLog(T(QStringLiteral("Backup type has been changed in the settings.")) + QLatin1Char(' ')
                              + T(QStringLiteral("Going to remove existing backup before to run this job.")));
        if (backupType == btSynchronization || setType == btSynchronization) {
            // A mirror lies directly in the set's folder, where the other
            // set's folders would mix with it: the whole set goes first,
            // whatever an unfinished run left behind.
            m_removeExisting = true;
            m_removeWholeSet = true;
        } else {
            // The new set's first run is made beside the old set's folders
            // (its folder has a name of its own), and they go only once that
            // run is complete: until then they are the restore points.
            m_replacedSetFolders = main.mid(1);
            m_run.Set = TBackupSetState();
        }
    }
}

void BackupRun::CheckStartFlag()
{
    const QString local = TempFile(BackupSet::StartFlagFile);
    const QString remote = JoinPath(m_run.BackupRoot, BackupSet::StartFlagFile);
    const bool downloaded = m_job.FileOperation(atCopyFromRemoteToLocalFile, local, remote, 0, false) == orSuccess;
    if (!downloaded && m_job.LastFileOperationOutcome().entryMissing)
        return;
    m_job.AddWarningToLog(T(QStringLiteral("The previous backup has been cancelled and the backup files may be corrupted.")));
    m_previousCancelled = true;
    if (!downloaded) {
        // A flag is there, but what it names cannot be read.
        m_job.AddErrorToLog(m_job.LastFileOperationOutcome().error + QStringLiteral(": ") + remote);
    } else {
        try {
            const QStringList lines = ReadTextLines(local);
            if (!lines.isEmpty())
                m_cancelledFolder = lines.first();
        } catch (const QvError &e) {
            m_job.AddErrorToLog(e.message());
        }
    }
    if (!m_cancelledFolder.isEmpty() && !IsUsableEntryName(m_cancelledFolder)) {
        // The flag names a folder outside the set: never followed.
        m_job.AddErrorToLog(T(QStringLiteral("The path leads outside the backup directory:")) + QLatin1Char(' ')
                            + m_cancelledFolder);
        m_cancelledFolder.clear();
    }
    // A folder the set lists is a complete restore point: its run stored the
    // set's state and ended before it deleted the flag. It is never removed
    // or renamed.
    if (m_run.Set.MainBackupList.indexOf(m_cancelledFolder, 1) >= 1 || m_replacedSetFolders.contains(m_cancelledFolder))
        m_cancelledFolder.clear();
    const bool sync = m_run.Settings.Backup.BackupType == btSynchronization;
    // Only a synchronisation run writes an empty flag, and an unfinished one
    // may have changed any file of the mirror. In any other set an empty or
    // unreadable flag names nothing to remove.
    const bool wholeSet = sync && m_cancelledFolder.isEmpty();
    if ((m_job.JobOptions.Processing.RemovePreviousBackupIfCancelled || sync)
        && (wholeSet || !m_cancelledFolder.isEmpty())) {
        m_job.AddRawLineToLog(T(QStringLiteral("We have to remove the previous backup.")));
        m_removeExisting = true;
        m_removeWholeSet = m_removeWholeSet || wholeSet;
        return;
    }
    if (!m_job.JobOptions.Processing.RemovePreviousBackupIfCancelled && !m_cancelledFolder.isEmpty()) {
        const QString folder = JoinPath(m_run.BackupRoot, m_cancelledFolder);
        m_job.FileOperation(atRenameRemoteFolder, folder + BackupSet::CancelledSuffix, folder, 0, true);
    }
    m_job.AddRawLineToLog(QString());
}

void BackupRun::RemoveExisting()
{
    // Without a folder named, only the whole set may go (a mirror's).
    if (!m_removeWholeSet && m_cancelledFolder.isEmpty())
        return;
    const QString target = m_removeWholeSet ? m_run.BackupRoot : JoinPath(m_run.BackupRoot, m_cancelledFolder);
    if (m_job.FileOperation(atRemoveRemoteNotEmptyFolder, QString(), target, 0, true) != orSuccess)
        SetCancelling();
    if (!Cancelling() && m_removeWholeSet) {
        if (m_job.FileOperation(atRemoveRemoteFile, QString(), RemoteJobFile(), 0, true) != orSuccess) {
            SetCancelling();
        } else {
            m_jobFileFound = false;
            m_run.ResetSetAndLists();
        }
    }
    m_job.AddRawLineToLog(QString());
}

void BackupRun::PrepareRun()
{
    const TBackupType backupType = m_run.Settings.Backup.BackupType;
    const bool sync = backupType == btSynchronization;

    RunTypeDecision decision =
        DecideRunType(m_run.Settings.Backup, m_run.Set, [this](const QString &t) { return T(t); });
    if ((decision.runType == btIncremental || decision.runType == btDifferential) && ChainFolderMissing()) {
        decision.runType = btFull;
        decision.reason = T(QStringLiteral("A backup this copy builds on is missing. We need to perform a full backup."));
    }
    m_run.RunType = decision.runType;
    if (!decision.reason.isEmpty())
        m_job.AddToLog(decision.reason);

    if (sync && m_run.Settings.Compression.Enabled) {
        // A synchronised set keeps one copy of every file in place: its
        // archives would replace the earlier ones with only the changed
        // files. Refused before anything is written at the destination.
        m_job.AddErrorToLog(T(QStringLiteral("Compression is not supported for Mirror type.")));
        SetCancelling();
        return;
    }

    // 9.1, 9.2
    QString folderName;
    if (!sync) {
        ChooseRunFolder();
        folderName = BackupSet::RunFolderName(m_stamp, m_run.Settings.Compression, m_run.RunType);
        m_run.BackupFolder = JoinPath(m_run.BackupRoot, folderName);
        QString target, history;
        switch (m_run.RunType) {
        case btIncremental:
            target = QStringLiteral("Target: incremental copy of the source. Subdirectory:");
            history = QStringLiteral("Target: incremental copy of the source.");
            break;
        case btDifferential:
            target = QStringLiteral("Target: differential copy of the source. Subdirectory:");
            history = QStringLiteral("Target: differential copy of the source.");
            break;
        default:
            target = QStringLiteral("Target: full copy of the source. Subdirectory:");
            history = QStringLiteral("Target: full copy of the source.");
            break;
        }
        m_job.AddToLog(T(target) + QLatin1Char(' ') + folderName);
        m_job.AddEventtoBackupHistory(T(history), true);
    } else {
        m_run.BackupFolder = m_run.BackupRoot;
    }

    // The set as it was read, for the job file written after a removal of
    // old backups before copying.
    const TBackupSetState loaded = m_run.Set;

    // 9.3
    if (m_run.Set.MainBackupList.isEmpty())
        m_run.Set.MainBackupList.append(BackupSet::MarkerLine(backupType));
    if (!sync) {
        m_run.Set.MainBackupList.append(folderName);
        m_run.StartFlagList.append(folderName);
    }

    // 9.4 A full copy copies everything and creates every folder.
    if (m_run.RunType == btFull) {
        m_run.Set.PreviousLocalFilesList.clear();
        m_run.Set.PreviousLocalFilesTimeList.clear();
        m_run.Set.PreviousLocalDirsList.clear();
    }

    // 9.5 Retention.
    if (!sync && m_run.Settings.Backup.NumberFullCopiesToKeep > 0) {
        m_run.BackupsToRemove =
            SelectBackupsToRemove(m_run.Set.MainBackupList, m_run.Settings.Backup.NumberFullCopiesToKeep);
        if (m_run.Settings.Backup.RemoveOldBackupsBeforeStartingNewBackup && !m_run.BackupsToRemove.isEmpty()) {
            RemoveSelectedBackups(!m_previousCancelled);
            if (!RecordShortenedSet(loaded, folderName)) {
                SetCancelling();
                return;
            }
        }
    }

    // 9.6
    if (!m_jobFileFound)
        m_job.FileOperation(atCreateRemoteFolder, QString(), m_run.BackupRoot, 0, false);

    // 9.7 (a folder name the destination refuses fails the run as well)
    if (m_run.BackupFolder != m_run.BackupRoot) {
        if (m_job.FileOperation(atCreateRemoteFolder, QString(), m_run.BackupFolder, 0, true) != orSuccess) {
            m_run.BackupFolder.clear();
            SetCancelling();
        }
    }

    // 9.8
    if (!Cancelling())
        WriteStartFlag();
}

void BackupRun::ChooseRunFolder()
{
    // The stamp has one-second resolution: a run that starts in the same
    // second as the last one gets the next free second, so that it never
    // writes into (and spoils) the folder of an earlier restore point.
    const QStringList &main = m_run.Set.MainBackupList;
    for (int guard = 0; guard < 86400; ++guard) {
        bool taken = false;
        for (TBackupType t : {btFull, btIncremental, btDifferential}) {
            const QString name = BackupSet::RunFolderName(m_stamp, m_run.Settings.Compression, t);
            if (main.contains(name) || m_replacedSetFolders.contains(name)) {
                taken = true;
                break;
            }
        }
        if (!taken)
            return;
        m_stamp = m_stamp.addSecs(1);
    }
}

void BackupRun::WriteStartFlag()
{
    const QString local = TempFile(BackupSet::StartFlagFile);
    QString error;
    if (!WriteTempStateList(local, m_run.StartFlagList, &error)) {
        m_job.AddErrorToLog(error);
        SetCancelling();
        return;
    }
    if (m_job.FileOperation(atCopyFromLocalToRemoteFile, local, JoinPath(m_run.BackupRoot, BackupSet::StartFlagFile),
                            Retries(), true)
        != orSuccess)
        SetCancelling();
}

bool BackupRun::ChainFolderMissing()
{
    // The folders this run's copy builds on: the last full one and, in an
    // incremental set, every one after it (a differential copy needs only
    // the full one).
    const QStringList &main = m_run.Set.MainBackupList;
    const int since = CountSinceFull(main);
    if (since < 0)
        return false;
    const qsizetype full = main.size() - 1 - since;
    const qsizetype last = m_run.Settings.Backup.BackupType == btIncremental ? main.size() - 1 : full;
    bool missing = false;
    for (qsizetype i = full; i <= last; ++i) {
        // Asked only of a name that stays inside the set. A destination that
        // cannot tell (or a failed question) counts as present: the run's
        // own operations then meet the failure.
        if (!IsUsableEntryName(main.at(i)))
            continue;
        const QString folder = JoinPath(m_run.BackupRoot, main.at(i));
        const std::optional<bool> exists = m_job.RemoteFolderExists(folder);
        if (exists && !*exists) {
            m_job.AddWarningToLog(T(QStringLiteral("The directory does not exist:")) + QLatin1Char(' ') + folder);
            missing = true;
        }
    }
    return missing;
}

void BackupRun::RemoveSelectedBackups(bool reportFailures)
{
    RemoveFolders(m_run.BackupsToRemove, reportFailures);
    m_run.BackupsToRemove.clear();
}

void BackupRun::RemoveFolders(const QStringList &names, bool reportFailures)
{
    if (names.isEmpty())
        return;
    m_job.AddRawLineToLog(kSeparatorLine);
    m_job.AddToLog(T(QStringLiteral("Removing the old backups.")));
    for (const QString &name : names) {
        const QString folder = JoinPath(m_run.BackupRoot, name);
        // The names come from the destination: one that is not a plain
        // folder name inside the set is never followed.
        const bool usable = IsUsableEntryName(name);
        if (!usable
            || m_job.FileOperation(atRemoveRemoteNotEmptyFolder, QString(), folder, Retries(), false) != orSuccess) {
            if (reportFailures || !usable)
                m_job.AddErrorToLog(T(QStringLiteral("Unable to remove the directory. Please remove it manually: "))
                                    + QLatin1Char(' ') + folder);
        }
    }
}

bool BackupRun::RecordShortenedSet(const TBackupSetState &loaded, const QString &runFolder)
{
    // The removed points are gone: the set's job file must not list them,
    // whatever becomes of this run. It gets the state of the last complete
    // run with the list that is left, without this run's folder.
    TBackupSetState shortened = loaded;
    shortened.MainBackupList = m_run.Set.MainBackupList;
    if (!shortened.MainBackupList.isEmpty() && shortened.MainBackupList.last() == runFolder)
        shortened.MainBackupList.removeLast();
    return WriteJobFile(shortened) && UploadJobFile();
}

bool BackupRun::UploadInternal(const QString &localName, const QString &remotePath)
{
    return m_job.FileOperation(atCopyFromLocalToRemoteFile, TempFile(localName), remotePath, Retries(), true)
           == orSuccess;
}

void BackupRun::StoreState()
{
    TBackupSetState &set = m_run.Set;
    // 13.1 The bytes of the copies (and of the run's archive); the sizes
    // decide when a full copy is due, so the set's own files stay out.
    const qint64 size = m_job.CurrentBackupSize.load() - m_sizeBeforeScan;
    switch (m_run.RunType) {
    case btIncremental:
        set.SizeOfAllIncrementsOrLastDifferentialCopy += size;
        break;
    case btDifferential:
        set.SizeOfAllIncrementsOrLastDifferentialCopy = size;
        break;
    case btFull:
    case btSynchronization:
        set.SizeOfAllIncrementsOrLastDifferentialCopy = 0;
        set.SizeOfLastFullBackup = size;
        break;
    }

    // 13.3 The run's lists (written first: they are dropped before the
    // larger job file is encoded).
    const struct {
        const QString &name;
        QStringList &list;
    } stateFiles[] = {{BackupSet::CopiedFilesFile, m_run.CopiedFilesList},
                      {BackupSet::CreatedDirsFile, m_run.CreatedDirsList},
                      {BackupSet::RemovedFilesFile, m_run.RemovedFilesList},
                      {BackupSet::RemovedDirsFile, m_run.RemovedDirsList}};
    for (const auto &f : stateFiles) {
        QString error;
        if (!WriteTempStateList(TempFile(f.name), f.list, &error)) {
            m_job.AddErrorToLog(error);
            SetCancelling();
            return;
        }
        f.list = QStringList();
    }

    // 13.2 A differential run keeps the reference of the last full run, so
    // that every differential copy is measured against it.
    // The lists that are not stored go first, so that only one set of lists
    // lives beside the encoded file.
    TBackupSetState stored;
    stored.MainBackupList = set.MainBackupList;
    stored.SizeOfLastFullBackup = set.SizeOfLastFullBackup;
    stored.SizeOfAllIncrementsOrLastDifferentialCopy = set.SizeOfAllIncrementsOrLastDifferentialCopy;
    if (m_run.RunType == btDifferential) {
        m_run.CurrentFilesList = QStringList();
        m_run.CurrentFilesTimeList = QStringList();
        m_run.CurrentDirsList = QStringList();
        stored.PreviousLocalFilesList = std::move(set.PreviousLocalFilesList);
        stored.PreviousLocalFilesTimeList = std::move(set.PreviousLocalFilesTimeList);
        stored.PreviousLocalDirsList = std::move(set.PreviousLocalDirsList);
    } else {
        set.PreviousLocalFilesList = QStringList();
        set.PreviousLocalFilesTimeList = QStringList();
        set.PreviousLocalDirsList = QStringList();
        stored.PreviousLocalFilesList = std::move(m_run.CurrentFilesList);
        stored.PreviousLocalFilesTimeList = std::move(m_run.CurrentFilesTimeList);
        stored.PreviousLocalDirsList = std::move(m_run.CurrentDirsList);
    }
    const bool written = WriteJobFile(stored);
    stored = TBackupSetState();
    if (!written) {
        SetCancelling();
        return;
    }

    // 13.4
    if (m_run.Settings.Backup.BackupType != btSynchronization) {
        if (!m_job.JobOptions.Logging.DontLogCopyingInternalFiles) {
            m_job.AddRawLineToLog(kSeparatorLine);
            m_job.AddToLog(T(QStringLiteral("Copying the database files.")));
        }
        for (const QString &name : {BackupSet::RemovedDirsFile, BackupSet::CopiedFilesFile, BackupSet::CreatedDirsFile,
                                    BackupSet::RemovedFilesFile}) {
            if (!UploadInternal(name, JoinPath(m_run.BackupFolder, name))) {
                SetCancelling();
                return;
            }
        }
    }
    // 13.5 The new state becomes the set's state only now.
    if (Cancelling())
        return;
    if (!UploadJobFile()) {
        SetCancelling();
        return;
    }
    // 13.6 The run is complete, even when a cancel came in meanwhile: the
    // flag goes at once, or the next run would take this run's folder for
    // an unfinished one.
    const QString flag = JoinPath(m_run.BackupRoot, BackupSet::StartFlagFile);
    if (m_job.FileOperation(atRemoveRemoteFile, QString(), flag, 0, false) != orSuccess)
        m_job.AddErrorToLog(T(QStringLiteral("Unable to remove the file:")) + QLatin1Char(' ') + flag + QStringLiteral(" (")
                            + m_job.LastFileOperationOutcome().error + QLatin1Char(')'));
    // 13.7
    if (!Cancelling() && !m_run.Settings.Backup.RemoveOldBackupsBeforeStartingNewBackup)
        RemoveSelectedBackups(true);
    // The set of the former backup type, now that the new one has a point.
    // Also after a cancel: the job file lists these folders no more, so no
    // later run would ever remove them.
    RemoveFolders(m_replacedSetFolders, true);
}

bool BackupRun::WriteJobFile(const TBackupSetState &stored)
{
    // Encoded straight into the file, a piece at a time.
    QString error;
    bool written = false;
    {
        QFile file(m_job.TempJobFilePath());
        written = file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                  && ScrambledFile::WriteEncoded(
                      file, [&](BinaryWriter &w) { m_job.WriteRemoteContent(w, stored); }, &error)
                  && file.flush();
        if (!written && error.isEmpty())
            error = file.errorString();
    }
    if (!written)
        m_job.AddErrorToLog(T(QStringLiteral("Unable to save the settings. Please check the possibility to write to the file:"))
                            + QLatin1Char(' ') + m_job.TempJobFilePath() + QStringLiteral(" (") + error
                            + QLatin1Char(')'));
    return written;
}

bool BackupRun::UploadJobFile()
{
    return m_job.FileOperation(atCopyFromLocalToRemoteFile, m_job.TempJobFilePath(), RemoteJobFile(), Retries(), true)
           == orSuccess;
}

QString BackupRun::Summary()
{
    if (Cancelling()) {
        m_job.AddEventtoBackupHistory(T(QStringLiteral("Backup is cancelled.")), false);
        AddEvent(FillPercentS(T(QStringLiteral("\"%s\" backup is cancelled.")), {m_job.stJobName}));
        m_job.LastJobResult.Cancelled = true;
        return TimedLine(T(QStringLiteral("Backup is cancelled.")));
    }
    const qint64 files = m_job.CurrentBackupFilesProcessed.load();
    const QString sizeText = files >= 1 ? QLatin1Char(' ') + T(QStringLiteral("Total size of the files:")) + QLatin1Char(' ')
                                              + FormatByteSize(m_job.CurrentBackupSize.load())
                                        : QString();
    const RunOutcomeTexts outcome =
        ByRunOutcome(m_job,
                     {QStringLiteral("Backup job \"%s\" is finished with errors. Files copied: %s."),
                      QStringLiteral("Backup job is finished with errors.")},
                     {QStringLiteral("Backup job \"%s\" is finished with warnings. Files copied: %s."),
                      QStringLiteral("Backup job is finished with warnings.")},
                     {QStringLiteral("Backup job \"%s\" is finished. Files copied: %s."),
                      QStringLiteral("Backup job is finished.")});
    const QString message = FillPercentS(T(outcome.pattern) + sizeText, {m_job.stJobName, QString::number(files)});
    AddEvent(message);
    m_job.AddEventtoBackupHistory(T(outcome.history), false);
    return TimedLine(message);
}

void BackupRun::Finish(const QString &finalLine)
{
    m_job.AddRawLineToLog(finalLine);
    // 16.
    m_job.AddToLog(T(QStringLiteral("Removing the temporary files.")));
    m_job.DeleteTempFiles();
    m_job.DisconnectFromStorage();
    m_job.SaveRunLog(TJob::RunStamp(m_stamp));
    m_job.Archiver.reset();
    m_job.LastJobResult.EndTime = Clock::NowAsDouble();
    if (!AppState::ApplicationClosing)
        m_job.SaveLocalJobFile(m_job.LocalJobFilePath());
    SendRunReportIfWanted(m_job, finalLine, m_job.LastJobResult.Cancelled);
    // 18.
    m_job.JobStatus.store(jsNone);
}

void BackupRun::NotConnected()
{
    // 17. Nothing at the destination was touched.
    m_job.AddToLog(T(QStringLiteral("Backup is cancelled.")));
    m_job.AddEventtoBackupHistory(T(QStringLiteral("Backup is cancelled.")) + QLatin1Char(' ') + m_connectError, false);
    AddEvent(FillPercentS(T(QStringLiteral("\"%s\" backup is cancelled:")), {m_job.stJobName}) + QLatin1Char(' ')
             + m_connectError);
    m_job.SaveRunLog(TJob::RunStamp(m_stamp));
    m_job.LastJobResult.Cancelled = true;
    m_job.LastJobResult.EndTime = Clock::NowAsDouble();
    if (!AppState::ApplicationClosing)
        m_job.SaveLocalJobFile(m_job.LocalJobFilePath());
    SendConnectionFailureReport(m_job, TimedLine(T(QStringLiteral("ERROR:")) + QLatin1Char(' ') + m_connectError));
    // 18.
    m_job.JobStatus.store(jsNone);
}

} // namespace

void BackupInThread(TJob_FilesAndFolders &job)
{
    BackupRun(job).Execute();
}

bool Backup(TJob_FilesAndFolders &job, std::function<void()> finished)
{
    const TJobStatus status = job.JobStatus.load();
    if (IsActiveStatus(status) || JobWorker::IsRunning(job))
        return false;
    // 1.
    job.JobStatus.store(jsRunning);
    job.JobOperation.store(joBackup);
    job.ClearRunLog();
    job.LastJobResult.StartTime = Clock::NowAsDouble();
    job.LastJobResult.EndTime = 0;
    job.LastJobResult.Cancelled = false;
    job.CurrentFileOperationType.store(atNone);
    // 2.
    job.OptionsToJobOptions();
    // 3.
    AddEvent(FillPercentS(job.TranslateForEvent(QStringLiteral("Starting the \"%s\" backup.")), {job.stJobName}));
    job.NotifyChanged();
    // 4.
    JobWorker::Hooks hooks;
    hooks.body = [&job] { BackupInThread(job); };
    hooks.escapedError = [&job](const QString &message) {
        job.JobStatus.store(jsNone);
        AddEvent(FillPercentS(job.JobTranslate(QStringLiteral("Error occured in job \"%s\": %s")),
                               {job.stJobName, message}));
    };
    hooks.finished = std::move(finished);
    if (!JobWorker::Start(job, std::move(hooks))) {
        job.JobStatus.store(jsNone);
        return false;
    }
    return true;
}
