// The scheduler tick: once a second on the main thread it queues the due
// scheduled starts, starts waiting jobs by the rules of the options,
// relaunches the program elevated when a job needs it, asks for the
// shutdown after the day's last scheduled run, keeps the computer awake
// while jobs run or are due, and refreshes what the window shows.
#include "app/applicationcore.h"

#include "app/jobrunner.h"
#include "options/options.h"
#include "base/appstate.h"
#include "base/datetime.h"
#include "base/events.h"
#include "jobs/job.h"
#include "platform/elevation.h"
#include "platform/keepawake.h"

#include <QCoreApplication>
#include <QList>
#include <optional>

namespace {

// The whole seconds between two stored date-times.
qint64 wholeSecondsBetween(double a, double b)
{
    return qAbs(qRound64((a - b) * 86400000.0)) / 1000;
}

// A start is honoured without the missed-start option only this close to it.
constexpr qint64 kStartWindowSeconds = 5;
} // namespace

bool ApplicationCore::relaunchElevated(const QStringList &arguments)
{
    const bool timerWasOn = m_timer.isActive();
    StopScheduler();
    const QString program =
        m_relaunchProgram.isEmpty() ? QCoreApplication::applicationFilePath() : m_relaunchProgram;
    QString error;
    if (m_services.Elevation && m_services.Elevation->RelaunchElevated(program, arguments, &error)) {
        // The elevated instance takes over; this one ends.
        AppState::CommandLineRun = true;
        AppState::ApplicationClosing = true;
        Q_EMIT CloseRequested();
        return true;
    }
    AddEvent(Translate(QStringLiteral("Unable to start the program with administrator rights:")) + QLatin1Char(' ') +
             (error.isEmpty() ? QStringLiteral("no elevation service") : error));
    if (timerWasOn)
        StartScheduler();
    return false;
}

void ApplicationCore::applyKeepAwake(bool wanted)
{
    if (wanted == m_keepAwakeActive)
        return;
    m_keepAwakeActive = wanted;
    if (!m_services.KeepAwake)
        return;
    QString error;
    if (!m_services.KeepAwake->SetKeepAwake(wanted, &error))
        AddEvent(Translate(QStringLiteral("Unable to keep the computer awake:")) + QLatin1Char(' ') + error);
}

void ApplicationCore::startByKind(TJob &job, int &startedThisTick, int activeBefore, bool &handedOver)
{
    const bool nothingActive = activeBefore + startedThisTick == 0;
    switch (job.Kind()) {
    case jkFilesAndFolders:
        break;
    case jkAppsData:
        if (!AppState::CommandLineRun && m_services.Runner && m_services.Runner->RequiresElevationForBackup(job)) {
            // The elevated instance takes over and this one ends, which would
            // cancel every running job: hand over only while nothing runs.
            if (!nothingActive)
                return;
            if (relaunchElevated({QStringLiteral("/backup"), job.stJobName})) {
                handedOver = true;
                return;
            }
        }
        break;
    case jkDriveImage:
        // Only when nothing else is active, the jobs started in this tick included.
        if (!nothingActive)
            return;
        if (!AppState::CommandLineRun && relaunchElevated({QStringLiteral("/backup"), job.stJobName})) {
            handedOver = true;
            return;
        }
        break;
    default:
        break;
    }
    if (m_services.Runner)
        m_services.Runner->StartBackup(job);
    else
        RefuseJobKind(job, JobKindUnavailableText(job));
    // A refused or postponed start leaves nothing running.
    if (IsActiveStatus(job.JobStatus.load()))
        ++startedThisTick;
}

void ApplicationCore::tick()
{
    // 1. The guard.
    if (m_tickRunning || AppState::ApplicationClosing)
        return;
    m_tickRunning = true;

    const TOptions &options = ::Options();
    const QDateTime now = Clock::Now();
    const double nowD = DateTimeToDouble(now);
    const int nowMs = now.time().msecsSinceStartOfDay();

    // 2. Walk the jobs.
    QList<int> toStart;
    QSet<QString> cloudInUse;
    StatusCounts counts;
    bool dueWithinDay = false;
    bool someVisible = false;
    bool needsElevation = false;
    for (int i = 0; i < m_jobs.Count(); ++i) {
        TJob &job = *m_jobs.At(i);
        ++counts.Jobs;
        // The schedule is another instance's when this one does not queue it.
        if (!dueWithinDay && m_queuesScheduledStarts)
            dueWithinDay = job.IsScheduledXDaysFromNow(1);
        const bool scheduled = job.SchedulingSettings.SchedulingType != stDisabled;
        if (!AppState::CommandLineRun && !needsElevation)
            needsElevation = scheduled && (job.Kind() == jkDriveImage || job.Kind() == jkAppsData);
        const bool visible = m_visibility ? m_visibility(i, job) : true;

        const TJobStatus status = job.JobStatus.load();
        if (IsActiveStatus(status)) {
            ++counts.Running;
            if (job.DestinationSettings.DestinationType == dtCloud)
                cloudInUse.insert(job.DestinationSettings.Cloud.ServiceName);
        } else if (scheduled && m_queuesScheduledStarts) {
            const TSchedulingSettings &s = job.SchedulingSettings;
            const double past = job.GetDateTimeOfNearestPastTask();
            const bool due = past > 0 && s.LastModificationDateTime < past && past > job.LastJobResult.StartTime;
            if (due && (s.RunJobAsSoonAsPossibleAfterAScheduledStartIsMissed ||
                        wholeSecondsBetween(nowD, past) < kStartWindowSeconds)) {
                job.SetWaiting();
                if (!m_shutdownAfterJobs && s.ShutdownPCInTheEnd && !s.TimeTable.isEmpty()) {
                    const std::optional<qint64> last = TimeOfDayMs(s.TimeTable.last());
                    if (last && nowMs >= *last)
                        m_shutdownAfterJobs = true;
                }
            }
        }
        const TJobStatus after = job.JobStatus.load();
        if (after == jsWaiting)
            toStart.append(i);
        // An active job's outcome belongs to its worker until it ends (a new
        // run starts with Cancelled cleared), so only idle jobs are counted.
        if (!IsActiveStatus(after) && job.LastJobResult.Cancelled)
            ++counts.Cancelled;
        if (visible)
            someVisible = true;
    }

    // 3. The "no items" panel and the header are the window's; it reads this.
    m_someVisible = someVisible;

    // 4. Start jobs.
    bool handedOver = false;
    int started = 0;
    if (!options.Processing.RunOnlyOneJobAtATime) {
        for (int index : toStart) {
            TJob *job = m_jobs.At(index);
            if (!job || job->JobStatus.load() != jsWaiting)
                continue;
            if (job->DestinationSettings.DestinationType == dtCloud) {
                const QString service = job->DestinationSettings.Cloud.ServiceName;
                if (cloudInUse.contains(service))
                    continue; // stays waiting until the service is free
                cloudInUse.insert(service);
            }
            startByKind(*job, started, counts.Running, handedOver);
            if (handedOver)
                break;
        }
    } else if (counts.Running == 0 && !toStart.isEmpty()) {
        TJob *job = m_jobs.At(toStart.first());
        if (job && job->JobStatus.load() == jsWaiting)
            startByKind(*job, started, counts.Running, handedOver);
    }

    // 5. Events and repaint.
    DrainEvents();
    Q_EMIT JobsChanged();
    if (handedOver) {
        m_tickRunning = false;
        return;
    }

    // 6. The status counts.
    if (!(counts == m_counts)) {
        m_counts = counts;
        Q_EMIT StatusCountsChanged(m_counts);
    }

    // 7. The shutdown after the day's last scheduled run.
    if (m_shutdownAfterJobs) {
        bool allIdle = true;
        for (const auto &job : m_jobs.Jobs()) {
            if (job->JobStatus.load() != jsNone) {
                allIdle = false;
                break;
            }
        }
        if (allIdle) {
            StopScheduler();
            if (!m_shutdownWindowRequested) {
                m_shutdownWindowRequested = true;
                Q_EMIT ShutdownWindowRequested();
            }
        }
    }

    // 8. Keep awake, by the counts of step 2 (before this tick's starts).
    const bool busy = counts.Running > 0 || !toStart.isEmpty();
    const bool due = dueWithinDay && options.General.BlockSleepModeifJobIsScheduled;
    applyKeepAwake(busy || due);

    // 9. Elevation for scheduled jobs that need administrator rights.
    if (!AppState::CommandLineRun && needsElevation && counts.Running == 0 && toStart.isEmpty()) {
        const QStringList args = m_startedHidden ? QStringList{QStringLiteral("/admin"), QStringLiteral("/hide")}
                                                 : QStringList{QStringLiteral("/admin")};
        if (!relaunchElevated(args))
            AppState::CommandLineRun = true; // not tried again
    }
    DrainEvents();

    // 10. Done.
    m_tickRunning = false;
}
