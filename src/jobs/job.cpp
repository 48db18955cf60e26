// The job base class: construction, status transitions, the option
// snapshot, translation and the shown path of the current operation.
#include "jobs/job.h"

#include "base/appstate.h"
#include "base/datetime.h"
#include "base/events.h"
#include "base/paths.h"
#include "jobs/jobtext.h"
#include "platform/folders.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QThread>
#include <algorithm>

// The constructor and destructor are in joblifetime.cpp.

// --- status transitions ---

void TJob::Cancel(WaitingStamp stamp)
{
    TJobStatus s = JobStatus.load();
    while (true) {
        if (s == jsWaiting) {
            // A queued job never started: it goes back to idle, and the start it
            // was queued for counts as served so the scheduler does not queue it again.
            if (!JobStatus.compare_exchange_weak(s, jsNone))
                continue;
            const double now = Clock::NowAsDouble();
            {
                QMutexLocker lock(&m_logMutex);
                LastJobResult.StartTime = now;
                LastJobResult.EndTime = now;
                LastJobResult.Log.Clear();
            }
            // Saved at once: after a restart the stamp is all that keeps the
            // missed-start rule from queueing the cancelled start again.
            if (stamp == WaitingStamp::Save && !AppState::ApplicationClosing)
                SaveLocalJobFile(LocalJobFilePath());
            NotifyChanged();
            return;
        }
        if (s == jsRunning || s == jsPaused) {
            // The worker may end at the same moment; only a still active job
            // becomes jsCancelling, an idle one must never be left in that state.
            if (!JobStatus.compare_exchange_weak(s, jsCancelling))
                continue;
            CancelCurrentFileOperation.store(-1);
            AddEvent(TranslateForEvent(QStringLiteral("Cancelling")) + QStringLiteral(" (") + stJobName +
                     QLatin1Char(')'));
            NotifyChanged();
            return;
        }
        return; // jsNone, jsCancelling: nothing to do
    }
}

void TJob::Pause()
{
    if (!CanPause)
        return;
    TJobStatus expected = jsRunning;
    if (JobStatus.compare_exchange_strong(expected, jsPaused))
        NotifyChanged();
}

bool TJob::Resume()
{
    TJobStatus expected = jsPaused;
    if (!JobStatus.compare_exchange_strong(expected, jsRunning))
        return false;
    NotifyChanged();
    return true;
}

bool TJob::SetWaiting()
{
    TJobStatus expected = jsNone;
    if (!JobStatus.compare_exchange_strong(expected, jsWaiting))
        return expected == jsWaiting;
    NotifyChanged();
    return true;
}

// --- options and translation ---

void TJob::OptionsToJobOptions()
{
    // The containers of the record are implicitly shared with atomic reference
    // counts: the copy detaches on the first write on either side, so the
    // worker's snapshot is never changed by later edits of the global options.
    JobOptions = Options();
}

QString TJob::JobTranslate(const QString &text) const
{
    if (AppState::ApplicationClosing)
        return text;
    return TranslateWith(JobOptions.Language, text);
}

QString TJob::TranslateForEvent(const QString &text) const
{
    const QCoreApplication *app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread())
        return Translate(text);
    return JobTranslate(text);
}

// --- the shown path ---

void TJob::SetCurrentFileOperationPath(const QString &path)
{
    qsizetype n = std::min<qsizetype>(path.size(), kMaxShownPathLength);
    // Never show half of a surrogate pair when the cut falls inside one.
    if (n < path.size() && n > 0 && path.at(n - 1).isHighSurrogate())
        --n;
    // A buffer of its own, never shared with the caller or with a reader.
    QString shown(path.constData(), n);
    QMutexLocker lock(&m_pathMutex);
    m_currentPath.swap(shown);
    // The previous text is released here, by the thread that owned it alone.
}

QString TJob::CurrentFileOperationPath() const
{
    QMutexLocker lock(&m_pathMutex);
    return QString(m_currentPath.constData(), m_currentPath.size());
}

// --- folders and files ---

namespace {
QString childOf(const QString &root, const QString &name)
{
    if (root.isEmpty() || !IsUsableEntryName(name))
        return QString();
    return JoinPath(root, name);
}
} // namespace

QString TJob::LogFolderPath() const
{
    return childOf(JobOptions.Logging.PathForLogFiles, stJobName);
}

QString TJob::TempFolderPath() const
{
    return childOf(JobOptions.General.PathForTempFiles, stJobName);
}

QString TJob::TempJobFilePath() const
{
    if (!IsUsableEntryName(stJobName))
        return QString();
    return childOf(JobOptions.General.PathForTempFiles, stJobName + AppState::JobFileExtension());
}

QString TJob::LogFilePath(const QString &stamp) const
{
    const QString folder = LogFolderPath();
    if (folder.isEmpty() || !IsUsableEntryName(stamp))
        return QString();
    return JoinPath(folder, stamp + QStringLiteral(".txt"));
}

QString TJob::LocalJobFilePathFor(const QString &name)
{
    return Folders::DataFolder() + QLatin1Char('/') + name + AppState::LocalJobFileExtension();
}

QString TJob::LocalJobFilePath() const
{
    return LocalJobFilePathFor(stJobName);
}
