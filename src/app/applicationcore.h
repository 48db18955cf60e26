#pragma once
// The application without any window: it brings the program up in its
// start-up order, owns the jobs (in list order) and the Events list, runs
// the one-second scheduler tick, serves the command-line words and quits
// in order. The main window and the command-line front end sit on top of it
// and observe it through its signals.
#include "app/coreservices.h"
#include "jobs/jobslist.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

struct TOptions;
struct CommandLine;

class ApplicationCore : public QObject {
    Q_OBJECT
public:
    explicit ApplicationCore(CoreServices services = CoreServices::System(), QObject *parent = nullptr);
    ~ApplicationCore() override;

    // --- start-up ---
    // The non-window steps of the main window's creation, in order: the data
    // folder, the legacy jobs list, the options (or their defaults), the cloud
    // credentials, the translation table, the temporary and log folders, the
    // process priority and the jobs. False when the program cannot go on
    // (the data folder cannot be created; ApplicationClosing is then set).
    bool Initialise();
    // Whether Initialise read the options file (false: defaults were set).
    bool OptionsWereLoaded() const { return m_optionsLoaded; }
    // The windowed program owns the log-on entry: only a core it runs writes
    // the default entry when the options file is missing. Off by default, so
    // that the command-line front end never writes or removes it.
    void SetWritesLogonEntry(bool writes) { m_writesLogonEntry = writes; }

    // --- what the core owns ---
    TOptions &Options();
    JobsList &Jobs() { return m_jobs; }
    const JobsList &Jobs() const { return m_jobs; }
    // The Events list: the drained event lines, at most
    // MaxNumberOfLinesInEventsLog, oldest first.
    const QStringList &Events() const { return m_events; }
    // Appends lines to the Events list as they stand (no time stamp) and trims it.
    void AppendToEvents(const QStringList &lines);
    // Moves the queued event lines into the Events list and trims it.
    void DrainEvents();

    // --- the scheduler ---
    void StartScheduler();
    void StopScheduler();
    bool IsSchedulerRunning() const { return m_timer.isActive(); }
    // One tick, exactly as the timer runs it (tests call it with a fake clock).
    void tick();
    // True while a tick runs; the job actions of the window refuse to act then.
    bool IsTickRunning() const { return m_tickRunning; }
    int IntervalMs() const { return m_timer.interval(); }

    // The counts of the last tick, for the status bar.
    struct StatusCounts {
        int Jobs = 0;
        int Running = 0;
        int Cancelled = 0;
        bool operator==(const StatusCounts &) const = default;
    };
    StatusCounts Counts() const { return m_counts; }
    // "Jobs: 3", "Running: 1", "Cancelled: 0" (labels translated).
    QStringList StatusPanelTexts() const;
    // Whether some job was visible in the last tick (the "no items" panel).
    bool SomeItemVisible() const { return m_someVisible; }
    // The filter-visibility step: the window sets it to decide, per tick and
    // job, whether the job's list item is visible. Without it every job is.
    void SetVisibilityHook(std::function<bool(int index, TJob &job)> hook) { m_visibility = std::move(hook); }

    // --- process-wide flags of the scheduler ---
    bool ShutdownAfterJobs() const { return m_shutdownAfterJobs; }
    bool KeepAwakeActive() const { return m_keepAwakeActive; }
    // The program was started with the word hide (elevated relaunches pass it on).
    void SetStartedHidden(bool hidden) { m_startedHidden = hidden; }
    // The program the elevated relaunch starts (default: this executable).
    void SetRelaunchProgram(const QString &program) { m_relaunchProgram = program; }
    // Whether the tick queues the scheduled starts that are due (default:
    // yes). Only one process per data folder does: the one that holds the
    // single-instance lock. An instance started beside it with a
    // command-line word runs the jobs it was asked for and the user's own
    // starts, never the schedule, which the other one already runs.
    void SetQueuesScheduledStarts(bool queues) { m_queuesScheduledStarts = queues; }
    bool QueuesScheduledStarts() const { return m_queuesScheduledStarts; }

    // --- what the shutdown window needs ---
    // "Cancel": no shutdown is pending any more, the scheduler runs again.
    void CancelShutdown();
    // Turns the computer off (ApplicationClosing is set first). On failure it
    // does what CancelShutdown does and returns false.
    bool TurnComputerOff();

    // --- jobs ---
    bool AnyJobActive() const;
    // Cancel on every job; nothing while a tick runs.
    void CancelAll();
    void PauseAll();
    // The command line's and the Remove action's end of a job: the job kind's
    // Remove deletes its backup folder (when asked), then the job record goes
    // (local job file, list, saved list). Only for an idle job that no other
    // process works on (its lock, app/jobrunlock.h; refused with the event and
    // ErrorMessage otherwise).
    bool RemoveJob(int index, bool removeBackups);

    // --- the command line ---
    // The words served when the main window is first shown: restore, backup,
    // remove (each for the job names of the second argument); a job file path
    // as first argument asks for the Open action.
    void ServeCommandLine(const CommandLine &commandLine);

    // --- quitting ---
    // Sets ApplicationClosing, cancels every active job and waits at most
    // `maxWaitMs` for them, processing events every 10 ms. True when every
    // job has stopped.
    bool Quit(int maxWaitMs = 5000);

Q_SIGNALS:
    // New lines arrived in the Events list (and it was trimmed).
    void EventsChanged();
    // The lines that were just appended, before that signal.
    void EventsAppended(const QStringList &lines);
    // Repaint the jobs list (once per tick, and whenever a job asks).
    void JobsChanged();
    void StatusCountsChanged(const ApplicationCore::StatusCounts &counts);
    // ShutdownAfterJobs is set and every job is idle: the scheduler timer is
    // stopped and the shutdown window must be shown.
    void ShutdownWindowRequested();
    // An elevated instance took over: the window must close (the program ends).
    void CloseRequested();
    // An error the window shows as a dialog (the text is translated).
    void ErrorMessage(const QString &text);
    // The job kind's restore for the command line's restore word.
    void RestoreRequested(TJob *job);
    // The Open action for a job file path given as the first argument.
    void OpenJobFileRequested(const QString &path);

private:
    void startByKind(TJob &job, int &startedThisTick, int activeBefore, bool &handedOver);
    bool relaunchElevated(const QStringList &arguments);
    void applyKeepAwake(bool wanted);
    bool createFolder(const QString &path, bool withParents, const char *createdEvent, const char *errorEvent,
                      bool showDialog);
    void loadCloudCredentials();

    CoreServices m_services;
    JobsList m_jobs;
    QStringList m_events;
    QTimer m_timer;
    bool m_tickRunning = false;
    bool m_optionsLoaded = false;
    bool m_writesLogonEntry = false;
    bool m_shutdownAfterJobs = false;
    bool m_shutdownWindowRequested = false;
    bool m_keepAwakeActive = false;
    bool m_startedHidden = false;
    bool m_queuesScheduledStarts = true;
    bool m_someVisible = true;
    QString m_relaunchProgram;
    StatusCounts m_counts;
    std::function<bool(int, TJob &)> m_visibility;
};
