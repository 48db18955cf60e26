// The main window's actions on jobs, with their busy checks.
#include "gui/shell/mainwindow.h"

#include <functional>

#include "app/applicationcore.h"
#include "app/jobrunlock.h"
#include "options/options.h"
#include "base/appstate.h"
#include "base/events.h"
#include "base/paths.h"
#include "base/textfile.h"
#include "gui/common/messagedialog.h"
#include "gui/shell/jobcopy.h"
#include "gui/shell/jobname.h"
#include "gui/shell/jobpresentation.h"
#include "gui/shell/jobslistmodel.h"
#include "jobs/jobkinds.h"
#include "jobs/jobslist.h"
#include "jobs/jobtext.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>

namespace {
// The busy cursor for a long operation on the main thread; restored also
// when the operation fails.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

QString busyText()
{
    return Translate(QStringLiteral("Unable to complete the action at the moment. Please try again in several seconds."));
}
} // namespace

void TfrmMainQuorvane::showBusyMessage()
{
    ShowMessageDialog(busyText(), mtInformation, mbOK, 0, this);
}

bool TfrmMainQuorvane::busyCheck(const TJob &job, bool tickBlocks)
{
    if (job.JobStatus.load() != jsNone || (tickBlocks && m_core.IsTickRunning())) {
        showBusyMessage();
        return false;
    }
    return true;
}

bool TfrmMainQuorvane::windowAvailable(JobWindows::Window window)
{
    if (m_windows->Available(window))
        return true;
    ShowMessageDialog(WindowNotAvailableText(window), mtInformation, mbOK, 0, this);
    return false;
}

bool TfrmMainQuorvane::acceptNewName(const QString &name)
{
    const JobNameCheck check = CheckJobName(name, m_core.Jobs());
    if (check == JobNameCheck::Valid)
        return true;
    if (check != JobNameCheck::Empty)
        ShowErrorDialog(JobNameErrorText(check, name), this);
    return false;
}

void TfrmMainQuorvane::addNewJob(std::unique_ptr<TJob> job, bool runNow, bool selectIfOnly)
{
    const QString name = job->stJobName;
    TJob *added = m_core.Jobs().Add(std::move(job));
    if (!added->SaveLocalJobFile(added->LocalJobFilePath()))
        AddEvent(Translate(QStringLiteral("Error: unable to save the job file:")) + added->LocalJobFilePath());
    m_core.Jobs().SaveJobsListOrReport();
    AddEvent(FillPercentS(Translate(QStringLiteral("Created new job: \"%s\".")), {name}));
    m_core.DrainEvents();
    RefreshFromCore();
    if (selectIfOnly && m_core.Jobs().Count() == 1)
        SelectRow(0);
    if (runNow)
        added->SetWaiting();
    RefreshFromCore();
}

void TfrmMainQuorvane::actionNewJob()
{
    if (!windowAvailable(JobWindows::wJobKindChooser) || !windowAvailable(JobWindows::wWizard))
        return;
    const int kind = m_windows->ChooseJobKind(this);
    if (kind == 0)
        return;
    QString name;
    if (!ShowQueryInput(QStringLiteral("New Job"), QStringLiteral("New job name:"), name, this) || !acceptNewName(name))
        return;
    const QString trimmed = name.trimmed();
    std::unique_ptr<TJob> job = CreateJobOfKind(static_cast<TJobKind>(kind), trimmed);
    if (!job)
        return;
    const QString caption = QLatin1Char(' ') + Translate(QStringLiteral("New Job")) + QStringLiteral(" - ") + trimmed;
    const int result = m_windows->RunWizard(*job, caption, true, this);
    if (result == wrCancelled)
        return;
    addNewJob(std::move(job), result == wrSaveAndRun, true);
}

void TfrmMainQuorvane::actionOpen()
{
    if (!windowAvailable(JobWindows::wOpenJob))
        return;
    std::unique_ptr<TJob> job = m_windows->OpenJob(m_openDefaultPath, this);
    if (job)
        addNewJob(std::move(job), false, true);
}

void TfrmMainQuorvane::OpenJobFile(const QString &path)
{
    m_openDefaultPath = path;
    actionOpen();
}

void TfrmMainQuorvane::actionProperties()
{
    QPointer<TJob> job = SelectedJob();
    // Only the job's own state blocks Properties, a running tick does not.
    if (!job || !busyCheck(*job, false) || !windowAvailable(JobWindows::wWizard))
        return;
    std::unique_ptr<TJob> edited = DuplicateJob(*job, job->stJobName);
    if (!edited)
        return;
    const QString caption = QLatin1Char(' ') + Translate(QStringLiteral("Properties")) + QStringLiteral(" - ") +
                            job->stJobName;
    while (true) {
        const int result = m_windows->RunWizard(*edited, caption, false, this);
        if (result == wrCancelled || !job)
            return;
        if (job->JobStatus.load() != jsNone) {
            // The job started while the wizard was open: its settings cannot
            // change under the run. The wizard opens again.
            ShowMessageDialog(Translate(QStringLiteral("Job is currently running.")) + QLatin1Char('\n') + busyText(),
                              mtWarning, mbOK, 0, this);
            continue;
        }
        TakeJobSettings(*job, *edited);
        if (!job->SaveLocalJobFile(job->LocalJobFilePath()))
            AddEvent(Translate(QStringLiteral("Error: unable to save the job file:")) + job->LocalJobFilePath());
        if (result == wrSaveAndRun)
            job->SetWaiting();
        break;
    }
    m_core.DrainEvents();
    RefreshFromCore();
}

void TfrmMainQuorvane::actionRename()
{
    TJob *job = SelectedJob();
    if (!job || job->JobStatus.load() != jsNone)
        return;
    QPointer<TJob> guard(job);
    QString name = job->stJobName;
    if (!ShowQueryInput(QStringLiteral("Rename Job"), QStringLiteral("New job name:"), name, this) || !guard)
        return;
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || trimmed == job->stJobName)
        return;
    if (!acceptNewName(trimmed) || !busyCheck(*job))
        return;
    // Not while another process runs the job: the rename moves its folders.
    QString refusal;
    const JobLock lock = LockJob(*job, &refusal);
    if (!lock.IsHeld()) {
        ShowErrorDialog(refusal, this);
        return;
    }
    const QString oldName = job->stJobName;
    bool renamed = false;
    {
        const BusyCursor cursor;
        renamed = job->ChangeName(trimmed);
    }
    if (renamed) {
        m_core.Jobs().SaveJobsListOrReport();
        AddEvent(FillPercentS(Translate(QStringLiteral("Job \"%s\" is renamed to \"%s\".")), {oldName, trimmed}));
    } else {
        ShowErrorDialog(Translate(QStringLiteral(
                            "Unable to rename the job. Please learn last error messages in the Events log.")),
                        this);
    }
    m_core.DrainEvents();
    RefreshFromCore();
}

void TfrmMainQuorvane::actionDuplicate()
{
    TJob *job = SelectedJob();
    if (!job || !windowAvailable(JobWindows::wWizard))
        return;
    QPointer<TJob> guard(job);
    QString name = job->stJobName + QStringLiteral(" (") + Translate(QStringLiteral("Duplicated")) + QLatin1Char(')');
    if (!ShowQueryInput(QStringLiteral("Duplicate"), QStringLiteral("Duplicate name:"), name, this) || !guard ||
        !acceptNewName(name))
        return;
    const QString trimmed = name.trimmed();
    std::unique_ptr<TJob> copy = DuplicateJob(*job, trimmed);
    if (!copy)
        return;
    const QString caption = QLatin1Char(' ') + Translate(QStringLiteral("New Job")) + QStringLiteral(" - ") + trimmed;
    if (m_windows->RunWizard(*copy, caption, false, this) == wrCancelled)
        return;
    addNewJob(std::move(copy), false, false);
}

void TfrmMainQuorvane::actionRemove()
{
    TJob *job = SelectedJob();
    if (!job || job->JobStatus.load() != jsNone)
        return;
    QPointer<TJob> guard(job);
    if (!ShowConfirmation(FillPercentS(Translate(QStringLiteral("Remove the record for backup job %s?")),
                                       {job->stJobName}),
                          this) ||
        !guard || !busyCheck(*job))
        return;
    const bool withFolder =
        ShowConfirmation(Translate(QStringLiteral("Do you want also to remove the backup folder with all its contents?")),
                         this);
    const int row = guard ? m_model->RowOf(guard) : -1;
    if (row < 0 || guard->JobStatus.load() != jsNone) {
        showBusyMessage();
        return;
    }
    bool removed = false;
    {
        const BusyCursor cursor;
        removed = m_core.RemoveJob(row, withFolder);
    }
    RefreshFromCore();
    if (!removed && guard) {
        // The job's last worker is still finishing, or its file could not be
        // deleted (the Events list says which).
        showBusyMessage();
        return;
    }
    if (m_model->rowCount() > 0)
        SelectRow(qMin(row, m_model->rowCount() - 1));
}

void TfrmMainQuorvane::actionBackup()
{
    TJob *job = SelectedJob();
    if (!job || !busyCheck(*job))
        return;
    QPointer<TJob> guard(job);
    if (job->Kind() == jkAppsData) {
        ShowMessageDialog(
            Translate(QStringLiteral("Make sure the related applications are not running. Then click \"OK\" to continue.")),
            mtWarning, mbOK, 0, this);
        if (!guard)
            return;
    }
    job->SetWaiting();
    RefreshFromCore();
}

void TfrmMainQuorvane::actionRestore()
{
    TJob *job = SelectedJob();
    if (!job || !busyCheck(*job))
        return;
    RestoreJob(*job);
}

void TfrmMainQuorvane::RestoreJob(TJob &job)
{
    QPointer<TJob> guard(&job);
    switch (job.Kind()) {
    case jkDriveImage:
        if (m_core.AnyJobActive()) {
            ShowErrorDialog(Translate(QStringLiteral("Some jobs are currently running.")), this);
            return;
        }
        break;
    case jkAppsData: {
        const QString text =
            Translate(QStringLiteral("Make sure the related applications are already installed. You need to run them at "
                                     "least once so that they create all the necessary directories.")) +
            QLatin1Char('\n') +
            Translate(QStringLiteral("If the applications support cloud synchronization, please disable it.")) +
            QStringLiteral("\n\n") +
            Translate(QStringLiteral("If this is done, then close all running applications, and click OK to start the "
                                     "restore procedure."));
        if (ShowMessageDialog(text, mtWarning, mbOKCancel, 0, this) != mrOk || !guard)
            return;
        // The restore needs no other rights here, so it runs in this
        // instance; it must not run beside other jobs.
        if (!AppState::CommandLineRun && m_core.AnyJobActive()) {
            ShowErrorDialog(Translate(QStringLiteral("Some jobs are currently running.")), this);
            return;
        }
        break;
    }
    default:
        break;
    }
    if (!windowAvailable(JobWindows::wRestore) || !guard)
        return;
    m_windows->Restore(*guard, this);
    RefreshFromCore();
}

bool TfrmMainQuorvane::changeSelectedJobStatus(const std::function<void(TJob &)> &change)
{
    TJob *job = SelectedJob();
    if (!job)
        return false;
    if (m_core.IsTickRunning()) {
        showBusyMessage();
        return false;
    }
    change(*job);
    return true;
}

void TfrmMainQuorvane::actionPause()
{
    if (changeSelectedJobStatus([](TJob &job) { job.Pause(); }))
        RefreshFromCore();
}

void TfrmMainQuorvane::actionResume()
{
    if (changeSelectedJobStatus([](TJob &job) { job.Resume(); }))
        RefreshFromCore();
}

void TfrmMainQuorvane::actionCancel()
{
    if (changeSelectedJobStatus([](TJob &job) { job.Cancel(); })) {
        m_core.DrainEvents();
        RefreshFromCore();
    }
}

// --- history and logs ---

void TfrmMainQuorvane::actionHistory()
{
    TJob *job = SelectedJob();
    if (!job || !busyCheck(*job, false))
        return;
    const QString folder = Options().Logging.PathForLogFiles;
    if (folder.isEmpty() || !IsUsableEntryName(job->stJobName)) {
        ShowErrorDialog(Translate(QStringLiteral("Please choose a correct path for the log files.")), this);
        return;
    }
    const QString path = JoinPath(folder, QStringLiteral("history - ") + job->stJobName + QStringLiteral(".txt"));
    QString error;
    if (!WriteTextLines(path, job->BackupHistory, &error)) {
        ShowErrorDialog(error, this);
        return;
    }
    if (windowAvailable(JobWindows::wLogViewer))
        m_windows->ShowLog(path, false, this);
}

void TfrmMainQuorvane::openLog(TJob &job, const QString &stamp)
{
    // The log folder follows the current options.
    job.OptionsToJobOptions();
    const QString path = stamp.isEmpty() ? job.LogFolderPath() : job.LogFilePath(stamp);
    if (stamp.isEmpty() || path.isEmpty() || !QFileInfo(path).isFile()) {
        ShowMessageDialog(Translate(QStringLiteral("Log file does not exist:")) + QLatin1Char(' ') + path, mtError, mbOK,
                          0, this);
        return;
    }
    if (windowAvailable(JobWindows::wLogViewer))
        m_windows->ShowLog(path, true, this);
}

void TfrmMainQuorvane::actionViewLog()
{
    TJob *job = SelectedJob();
    if (!job || !busyCheck(*job, false))
        return;
    openLog(*job, job->LogList.isEmpty() ? QString() : job->LogList.last());
}

void TfrmMainQuorvane::fillLogsMenu()
{
    pmLogs->clear();
    TJob *job = SelectedJob();
    if (!job || job->JobStatus.load() != jsNone)
        return;
    // The newest 30 logs, oldest first, with the colons of a time.
    const QStringList logs = job->LogList.mid(qMax<qsizetype>(0, job->LogList.size() - 30));
    for (const QString &stamp : logs) {
        QAction *item = pmLogs->addAction(QString(stamp).replace(QLatin1Char(';'), QLatin1Char(':')));
        connect(item, &QAction::triggered, this, [this, stamp] {
            TJob *selected = SelectedJob();
            if (selected && busyCheck(*selected, false))
                openLog(*selected, stamp);
        });
    }
}

// --- order ---

void TfrmMainQuorvane::actionMove(int step)
{
    TJob *job = SelectedJob();
    if (!job)
        return;
    const int row = m_model->RowOf(job);
    const bool moved = step < 0 ? m_core.Jobs().MoveUp(row) : m_core.Jobs().MoveDown(row);
    if (!moved)
        return;
    m_core.Jobs().SaveJobsListOrReport();
    m_core.DrainEvents();
    RefreshFromCore();
    SelectRow(m_model->RowOf(job));
}

// --- the card links ---

void TfrmMainQuorvane::linkClicked(int row, JobsListView::Link link)
{
    TJob *job = m_model->JobAt(row);
    if (!job || row != SelectedRow())
        return;
    switch (job->JobStatus.load()) {
    case jsNone:
        if (link == JobsListView::Link1)
            actionBackup();
        else if (link == JobsListView::Link2)
            actionRestore();
        else if (link == JobsListView::CountLink && HasErrorsOrWarnings(*job))
            actionViewLog();
        break;
    case jsWaiting:
    case jsRunning:
        if (link == JobsListView::Link1)
            actionPause();
        else if (link == JobsListView::Link2)
            actionCancel();
        break;
    case jsPaused:
        if (link == JobsListView::Link1)
            actionResume();
        else if (link == JobsListView::Link2)
            actionCancel();
        break;
    case jsCancelling:
        break;
    }
}
