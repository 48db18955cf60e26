// The application core: construction, the Events list, job actions that do
// not need a window, the command-line words and quitting. The start-up order
// is in startup.cpp, the scheduler tick in schedulertick.cpp.
#include "app/applicationcore.h"

#include "app/commandline.h"
#include "app/jobrunlock.h"
#include "app/jobrunner.h"
#include "options/options.h"
#include "base/appstate.h"
#include "base/events.h"
#include "platform/keepawake.h"
#include "platform/poweroff.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

ApplicationCore::ApplicationCore(CoreServices services, QObject *parent)
    : QObject(parent), m_services(std::move(services))
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &ApplicationCore::tick);
}

ApplicationCore::~ApplicationCore()
{
    m_timer.stop();
    if (m_keepAwakeActive && m_services.KeepAwake)
        m_services.KeepAwake->SetKeepAwake(false);
    // A worker that did not stop within the quit wait still uses its job:
    // such jobs are left alive (the process is ending) rather than destroyed
    // under a running thread.
    while (m_jobs.Count() > 0) {
        std::unique_ptr<TJob> job = m_jobs.Take(0);
        if (m_services.Runner && m_services.Runner->IsRunInProgress(*job))
            (void)job.release();
    }
}

TOptions &ApplicationCore::Options()
{
    return ::Options();
}

// --- the Events list ---

void ApplicationCore::AppendToEvents(const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    m_events += lines;
    const qsizetype limit = qMax<qsizetype>(0, ::Options().Logging.MaxNumberOfLinesInEventsLog);
    if (m_events.size() > limit)
        m_events.erase(m_events.begin(), m_events.begin() + (m_events.size() - limit));
    Q_EMIT EventsAppended(lines);
    Q_EMIT EventsChanged();
}

void ApplicationCore::DrainEvents()
{
    AppendToEvents(PendingEvents::TakeAll());
}

// --- the scheduler timer ---

void ApplicationCore::StartScheduler()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void ApplicationCore::StopScheduler()
{
    m_timer.stop();
}

QStringList ApplicationCore::StatusPanelTexts() const
{
    return {Translate(QStringLiteral("Jobs")) + QStringLiteral(": ") + QString::number(m_counts.Jobs),
            Translate(QStringLiteral("Running")) + QStringLiteral(": ") + QString::number(m_counts.Running),
            Translate(QStringLiteral("Cancelled")) + QStringLiteral(": ") + QString::number(m_counts.Cancelled)};
}

// --- the shutdown after jobs ---

void ApplicationCore::CancelShutdown()
{
    m_shutdownAfterJobs = false;
    m_shutdownWindowRequested = false;
    AppState::ApplicationClosing = false;
    StartScheduler();
}

bool ApplicationCore::TurnComputerOff()
{
    AppState::ApplicationClosing = true;
    QString error;
    if (m_services.Power && m_services.Power->PowerOff(&error))
        return true;
    // The system refused: as if the user had cancelled, with the reason kept.
    AddEvent(Translate(QStringLiteral("Unable to turn the computer off:")) + QLatin1Char(' ') +
             (error.isEmpty() ? QStringLiteral("no power control") : error));
    CancelShutdown();
    DrainEvents();
    return false;
}

// --- jobs ---

bool ApplicationCore::AnyJobActive() const
{
    for (const auto &job : m_jobs.Jobs()) {
        if (IsActiveStatus(job->JobStatus.load()))
            return true;
    }
    return false;
}

void ApplicationCore::CancelAll()
{
    if (m_tickRunning)
        return;
    for (const auto &job : m_jobs.Jobs())
        job->Cancel();
}

void ApplicationCore::PauseAll()
{
    if (m_tickRunning)
        return;
    for (const auto &job : m_jobs.Jobs())
        job->Pause();
}

bool ApplicationCore::RemoveJob(int index, bool removeBackups)
{
    TJob *job = m_jobs.At(index);
    if (!job || job->JobStatus.load() != jsNone)
        return false;
    // The worker of the last run may still be finishing; the job must outlive it.
    if (m_services.Runner && m_services.Runner->IsRunInProgress(*job))
        return false;
    // Not while another process runs, restores or removes the job: its run
    // would go on without its backups, and would write the job file again.
    QString refusal;
    const JobLock lock = LockJob(*job, &refusal);
    if (!lock.IsHeld()) {
        AddEvent(refusal);
        Q_EMIT ErrorMessage(refusal);
        DrainEvents();
        return false;
    }
    if (removeBackups) {
        if (m_services.Runner && m_services.Runner->RemoveBackups(*job)) {
            AddEvent(Translate(QStringLiteral("The backup folder has been removed successfully on the storage device.")));
        } else {
            const QString first = Translate(QStringLiteral("Unable to remove the backup folder."));
            AddEvent(first + QStringLiteral(" (") + job->stJobName + QLatin1Char(')'));
            Q_EMIT ErrorMessage(first + QStringLiteral("\n\n") +
                                Translate(QStringLiteral("Make sure the storage device is connected. Then remove it manually")));
        }
    }
    // The record goes in any case, like after the window's second question.
    const bool removed = m_jobs.RemoveJob(index);
    DrainEvents();
    return removed;
}

// --- the command line ---

void ApplicationCore::ServeCommandLine(const CommandLine &cl)
{
    const QString name = cl.SecondArgument;
    if (cl.Restore) {
        for (int i = 0; i < m_jobs.Count(); ++i) {
            if (m_jobs.At(i)->stJobName == name)
                Q_EMIT RestoreRequested(m_jobs.At(i));
        }
    } else if (cl.Backup) {
        for (int i = 0; i < m_jobs.Count(); ++i) {
            if (m_jobs.At(i)->stJobName == name)
                m_jobs.At(i)->SetWaiting();
        }
    } else if (cl.Remove) {
        const int index = m_jobs.IndexOf(name);
        if (index >= 0)
            RemoveJob(index, true);
    } else if (IsJobFilePath(cl.FirstArgument)) {
        Q_EMIT OpenJobFileRequested(cl.FirstArgument);
    }
}

// --- quitting ---

bool ApplicationCore::Quit(int maxWaitMs)
{
    AppState::ApplicationClosing = true;
    StopScheduler();
    if (AnyJobActive()) {
        for (const auto &job : m_jobs.Jobs())
            job->Cancel();
        QElapsedTimer waited;
        waited.start();
        while (AnyJobActive() && waited.elapsed() < maxWaitMs) {
            QThread::msleep(10);
            QCoreApplication::processEvents();
        }
    }
    if (m_keepAwakeActive && m_services.KeepAwake) {
        m_services.KeepAwake->SetKeepAwake(false);
        m_keepAwakeActive = false;
    }
    DrainEvents();
    return !AnyJobActive();
}
