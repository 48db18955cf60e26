// The scheduler tick, driven with a fake clock: due starts, the missed-start
// rule and its 5-second window, waiting jobs, the start rules, keep-awake,
// elevation and the shutdown after the day's last run.
#include "apptestfixture.h"
#include "support/testnames.h"

#include "platform/folders.h"

#include <QSignalSpy>

// --- due starts and the 5-second window ---

struct WindowCase {
    const char *now;
    bool started;
};

void PrintTo(const WindowCase &c, std::ostream *os)
{
    *os << TestNames::Quoted(c.now) << (c.started ? " starts" : " does not start");
}

class StartWindow : public CoreTest, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(StartWindow, StartAtTenIsQueuedOnlyWithinFiveSeconds)
{
    AddScheduledJob(QStringLiteral("Daily"), {QStringLiteral("10:00:00")});
    At(QLatin1String(GetParam().now));
    core->tick();
    EXPECT_EQ(rec.Runner->Started.size(), GetParam().started ? 1 : 0) << GetParam().now;
}

INSTANTIATE_TEST_SUITE_P(Cases, StartWindow,
                         ::testing::Values(WindowCase{"2024-05-15 09:59:59", false},
                                           WindowCase{"2024-05-15 10:00:00.500", true},
                                           WindowCase{"2024-05-15 10:00:03", true},
                                           WindowCase{"2024-05-15 10:00:04.999", true},
                                           WindowCase{"2024-05-15 10:00:05", false},
                                           WindowCase{"2024-05-15 10:07:00", false}),
                         // The time of day: "09_59_59".
                         [](const auto &i) { return TestNames::Words(i.param.now + 11); });

TEST_F(CoreTest, MissedStartWaitsForTheNextScheduledTime)
{
    TJob &job = AddScheduledJob(QStringLiteral("Daily"), {QStringLiteral("10:00:00")});
    At(QStringLiteral("2024-05-15 10:07:00")); // the PC woke up late
    core->tick();
    At(QStringLiteral("2024-05-15 18:00:00"));
    core->tick();
    EXPECT_TRUE(rec.Runner->Started.isEmpty());
    EXPECT_EQ(job.JobStatus.load(), jsNone);

    At(QStringLiteral("2024-05-16 10:00:02"));
    core->tick();
    EXPECT_EQ(rec.Runner->Started, QStringList{QStringLiteral("Daily")});
}

TEST_F(CoreTest, CatchUpAfterThePcWasOffRunsOnce)
{
    TJob &job = AddScheduledJob(QStringLiteral("Daily"), {QStringLiteral("10:00:00")});
    job.SchedulingSettings.RunJobAsSoonAsPossibleAfterAScheduledStartIsMissed = true;
    job.LastJobResult.StartTime = D(QStringLiteral("2024-05-14 10:00:01"));
    job.LastJobResult.EndTime = D(QStringLiteral("2024-05-14 10:05:00"));

    At(QStringLiteral("2024-05-15 14:00:00")); // off from 09:00 to 14:00
    core->tick();
    ASSERT_EQ(rec.Runner->Started, QStringList{QStringLiteral("Daily")});
    At(QStringLiteral("2024-05-15 14:20:00"));
    RecordingRunner::Finish(job);
    core->tick();
    At(QStringLiteral("2024-05-15 16:00:00"));
    core->tick();
    EXPECT_EQ(rec.Runner->Started.size(), 1) << "the run's start is later than 10:00";
}

TEST_F(CoreTest, ScheduleChangedAfterTheStartNeverFiresIt)
{
    TJob &job = AddScheduledJob(QStringLiteral("Daily"), {QStringLiteral("10:00:00")});
    job.SchedulingSettings.RunJobAsSoonAsPossibleAfterAScheduledStartIsMissed = true;
    job.SchedulingSettings.LastModificationDateTime = D(QStringLiteral("2024-05-15 10:30:00"));
    At(QStringLiteral("2024-05-15 10:30:01"));
    core->tick();
    At(QStringLiteral("2024-05-15 23:59:00"));
    core->tick();
    EXPECT_TRUE(rec.Runner->Started.isEmpty());
    At(QStringLiteral("2024-05-16 10:00:01"));
    core->tick();
    EXPECT_EQ(rec.Runner->Started.size(), 1);
}

TEST_F(CoreTest, CancelledWaitingJobIsNotQueuedAgainForTheSameStart)
{
    Options().Processing.RunOnlyOneJobAtATime = true;
    TJob &busy = AddJob(QStringLiteral("Busy"));
    busy.JobStatus = jsRunning;
    TJob &job = AddScheduledJob(QStringLiteral("Daily"), {QStringLiteral("10:00:00")});
    At(QStringLiteral("2024-05-15 10:00:01"));
    core->tick();
    ASSERT_EQ(job.JobStatus.load(), jsWaiting);

    job.Cancel();
    EXPECT_EQ(job.JobStatus.load(), jsNone);
    RecordingRunner::Finish(busy);
    At(QStringLiteral("2024-05-15 10:00:03"));
    core->tick();
    EXPECT_EQ(job.JobStatus.load(), jsNone);
    EXPECT_TRUE(rec.Runner->Started.isEmpty());
}

TEST_F(CoreTest, CancelledWaitingJobStaysServedAfterARestart)
{
    QDir().mkpath(Folders::DataFolder());
    Options().Processing.RunOnlyOneJobAtATime = true;
    TJob &busy = AddJob(QStringLiteral("Busy"));
    busy.JobStatus = jsRunning;
    TJob &job = AddScheduledJob(QStringLiteral("Daily"), {QStringLiteral("10:00:00")});
    job.SchedulingSettings.RunJobAsSoonAsPossibleAfterAScheduledStartIsMissed = true;
    for (TJob *j : {&busy, &job})
        ASSERT_TRUE(j->SaveLocalJobFile(j->LocalJobFilePath()));
    ASSERT_TRUE(core->Jobs().SaveJobsList());
    At(QStringLiteral("2024-05-15 10:00:01"));
    core->tick();
    ASSERT_EQ(job.JobStatus.load(), jsWaiting);
    job.Cancel();
    EXPECT_EQ(job.JobStatus.load(), jsNone);

    // The program ends and starts again later that day; the missed-start
    // option would catch up a start that was never served.
    At(QStringLiteral("2024-05-15 14:00:00"));
    ApplicationCore restarted(rec.Services());
    ASSERT_TRUE(restarted.Initialise());
    TJob *loaded = restarted.Jobs().Find(QStringLiteral("Daily"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->LastJobResult.StartTime, D(QStringLiteral("2024-05-15 10:00:01")));
    restarted.tick();
    EXPECT_EQ(loaded->JobStatus.load(), jsNone);
    EXPECT_TRUE(rec.Runner->Started.isEmpty());
    for (const auto &j : restarted.Jobs().Jobs())
        j->JobStatus = jsNone;
}

// --- the start rules ---

TEST_F(CoreTest, TwoJobsOfOneCloudServiceRunOneAfterTheOther)
{
    auto cloudJob = [this](const QString &name, const QString &service) -> TJob & {
        TJob &job = AddJob(name);
        job.DestinationSettings.DestinationType = dtCloud;
        job.DestinationSettings.Cloud.ServiceName = service;
        job.SetWaiting();
        return job;
    };
    TJob &first = cloudJob(QStringLiteral("A"), QStringLiteral("DropBox"));
    TJob &second = cloudJob(QStringLiteral("B"), QStringLiteral("DropBox"));
    cloudJob(QStringLiteral("C"), QStringLiteral("Google Drive"));

    core->tick();
    EXPECT_EQ(rec.Runner->Started, (QStringList{QStringLiteral("A"), QStringLiteral("C")}));
    EXPECT_EQ(second.JobStatus.load(), jsWaiting);
    core->tick();
    EXPECT_EQ(second.JobStatus.load(), jsWaiting) << "the service is still in use";

    RecordingRunner::Finish(first);
    core->tick();
    EXPECT_EQ(rec.Runner->Started.last(), QStringLiteral("B"));
}

TEST_F(CoreTest, RunOnlyOneJobAtATimeStartsThemInListOrder)
{
    Options().Processing.RunOnlyOneJobAtATime = true;
    QList<TJob *> jobs;
    for (const char *name : {"One", "Two", "Three"})
        jobs.append(&AddJob(QLatin1String(name)));
    // Queued in another order than the list's.
    jobs[2]->SetWaiting();
    jobs[0]->SetWaiting();
    jobs[1]->SetWaiting();

    for (int round = 0; round < 3; ++round) {
        core->tick();
        ASSERT_EQ(rec.Runner->Started.size(), round + 1);
        core->tick(); // the running job holds the others back
        ASSERT_EQ(rec.Runner->Started.size(), round + 1);
        RecordingRunner::Finish(*jobs[round]);
    }
    EXPECT_EQ(rec.Runner->Started, (QStringList{QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")}));
}

TEST_F(CoreTest, DriveImageWaitsUntilNothingIsActive)
{
    AppState::CommandLineRun = true; // no elevation in this test
    TJob &files = AddJob(QStringLiteral("Files"));
    TJob &image = AddJob<TJob_DriveImage>(QStringLiteral("Image"));
    files.SetWaiting();
    image.SetWaiting();

    core->tick(); // the files job starts first in this tick, so the image waits
    EXPECT_EQ(rec.Runner->Started, QStringList{QStringLiteral("Files")});
    EXPECT_EQ(image.JobStatus.load(), jsWaiting);
    core->tick();
    EXPECT_EQ(image.JobStatus.load(), jsWaiting);

    RecordingRunner::Finish(files);
    core->tick();
    EXPECT_EQ(rec.Runner->Started.last(), QStringLiteral("Image"));
    EXPECT_TRUE(rec.Elevation->Calls.isEmpty());
}

TEST_F(CoreTest, DriveImageIsRelaunchedElevatedAndRunsHereWhenThatFails)
{
    TJob &image = AddJob<TJob_DriveImage>(QStringLiteral("Image"));
    image.SetWaiting();
    rec.Elevation->Succeeds = false;
    core->tick();
    ASSERT_EQ(rec.Elevation->Calls.size(), 1);
    EXPECT_EQ(rec.Elevation->Calls[0], (QStringList{QStringLiteral("/backup"), QStringLiteral("Image")}));
    EXPECT_EQ(rec.Runner->Started, QStringList{QStringLiteral("Image")});
    EXPECT_FALSE(AppState::ApplicationClosing.load());
}

TEST_F(CoreTest, SuccessfulElevatedRelaunchHandsOverAndCloses)
{
    TJob &image = AddJob<TJob_DriveImage>(QStringLiteral("Image"));
    image.SetWaiting();
    rec.Elevation->Succeeds = true;
    core->StartScheduler();
    QSignalSpy close(core.get(), &ApplicationCore::CloseRequested);
    core->tick();
    EXPECT_EQ(close.count(), 1);
    EXPECT_TRUE(rec.Runner->Started.isEmpty());
    EXPECT_TRUE(AppState::ApplicationClosing.load());
    EXPECT_TRUE(AppState::CommandLineRun.load());
    EXPECT_FALSE(core->IsSchedulerRunning());
    core->tick(); // the guard: nothing happens while closing
    EXPECT_EQ(rec.Elevation->Calls.size(), 1);
}

TEST_F(CoreTest, ApplicationDataJobNeedingRightsIsRelaunchedOnlyWhileNothingRuns)
{
    TJob &busy = AddJob(QStringLiteral("Busy"));
    busy.JobStatus = jsRunning;
    TJob &apps = AddJob<TJob_AppsData>(QStringLiteral("Apps"));
    rec.Runner->NeedsElevation.insert(QStringLiteral("Apps"));
    apps.SetWaiting();
    core->tick();
    EXPECT_TRUE(rec.Elevation->Calls.isEmpty()) << "a hand-over would cancel the running job";
    EXPECT_EQ(apps.JobStatus.load(), jsWaiting);

    RecordingRunner::Finish(busy);
    core->tick();
    ASSERT_EQ(rec.Elevation->Calls.size(), 1);
    EXPECT_EQ(rec.Elevation->Calls[0], (QStringList{QStringLiteral("/backup"), QStringLiteral("Apps")}));
    EXPECT_EQ(rec.Runner->Started, QStringList{QStringLiteral("Apps")}) << "the failed relaunch runs it here";
}

TEST_F(CoreTest, ApplicationDataJobWithoutRegistryKeysStartsDirectly)
{
    TJob &apps = AddJob<TJob_AppsData>(QStringLiteral("Apps"));
    apps.SetWaiting();
    core->tick();
    EXPECT_TRUE(rec.Elevation->Calls.isEmpty());
    EXPECT_EQ(rec.Runner->Started, QStringList{QStringLiteral("Apps")});
}

struct ElevationCase {
    bool hidden;
    QStringList arguments;
};

void PrintTo(const ElevationCase &c, std::ostream *os)
{
    *os << (c.hidden ? "hidden, relaunched with " : "shown, relaunched with ") << TestNames::Quoted(c.arguments);
}

class ScheduledElevation : public CoreTest, public ::testing::WithParamInterface<ElevationCase> {};

TEST_P(ScheduledElevation, IdleInstanceWithScheduledImageJobRelaunchesOnce)
{
    AddScheduledJob<TJob_DriveImage>(QStringLiteral("Image"), {QStringLiteral("03:00:00")});
    core->SetStartedHidden(GetParam().hidden);
    rec.Elevation->Succeeds = false;
    core->StartScheduler();
    At(QStringLiteral("2024-05-15 12:00:00"));
    core->tick();
    ASSERT_EQ(rec.Elevation->Calls.size(), 1);
    EXPECT_EQ(rec.Elevation->Calls[0], GetParam().arguments);
    EXPECT_TRUE(AppState::CommandLineRun.load()) << "a failed relaunch is not tried again";
    EXPECT_TRUE(core->IsSchedulerRunning());
    core->tick();
    EXPECT_EQ(rec.Elevation->Calls.size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScheduledElevation,
                         ::testing::Values(ElevationCase{false, {QStringLiteral("/admin")}},
                                           ElevationCase{true, {QStringLiteral("/admin"), QStringLiteral("/hide")}}),
                         [](const auto &i) { return std::string(i.param.hidden ? "hidden" : "shown"); });

TEST_F(CoreTest, CommandLineInstanceNeverRelaunches)
{
    AppState::CommandLineRun = true;
    AddScheduledJob<TJob_DriveImage>(QStringLiteral("Image"), {QStringLiteral("03:00:00")});
    At(QStringLiteral("2024-05-15 12:00:00"));
    core->tick();
    EXPECT_TRUE(rec.Elevation->Calls.isEmpty());
}

// --- shutdown after jobs ---

TEST_F(CoreTest, OnlyTheDaysLastRunAsksForTheShutdown)
{
    TJob &job = AddScheduledJob(QStringLiteral("Daily"), {QStringLiteral("08:00:00"), QStringLiteral("20:00:00")});
    job.SchedulingSettings.ShutdownPCInTheEnd = true;
    QSignalSpy shutdown(core.get(), &ApplicationCore::ShutdownWindowRequested);
    core->StartScheduler();

    At(QStringLiteral("2024-05-15 08:00:02"));
    core->tick();
    ASSERT_EQ(rec.Runner->Started.size(), 1);
    EXPECT_FALSE(core->ShutdownAfterJobs());
    RecordingRunner::Finish(job);
    At(QStringLiteral("2024-05-15 08:30:00"));
    core->tick();
    EXPECT_EQ(shutdown.count(), 0);

    At(QStringLiteral("2024-05-15 20:00:02"));
    core->tick();
    ASSERT_EQ(rec.Runner->Started.size(), 2);
    EXPECT_TRUE(core->ShutdownAfterJobs());
    core->tick();
    EXPECT_EQ(shutdown.count(), 0) << "the job still runs";
    RecordingRunner::Finish(job);
    core->tick();
    EXPECT_EQ(shutdown.count(), 1);
    EXPECT_FALSE(core->IsSchedulerRunning()) << "the timer stops while the shutdown window shows";
    EXPECT_EQ(rec.Power->PowerOffs, 0) << "only the window turns the computer off";
}

TEST_F(CoreTest, ShutdownWaitsForEveryJobToBeIdle)
{
    TJob &job = AddScheduledJob(QStringLiteral("Evening"), {QStringLiteral("20:00:00")});
    job.SchedulingSettings.ShutdownPCInTheEnd = true;
    TJob &other = AddJob(QStringLiteral("Other"));
    other.JobStatus = jsRunning;
    QSignalSpy shutdown(core.get(), &ApplicationCore::ShutdownWindowRequested);
    At(QStringLiteral("2024-05-15 20:00:01"));
    core->tick();
    RecordingRunner::Finish(job);
    core->tick();
    EXPECT_EQ(shutdown.count(), 0);
    RecordingRunner::Finish(other);
    core->tick();
    EXPECT_EQ(shutdown.count(), 1);
}

TEST_F(CoreTest, CancelledShutdownIsNotAskedForAgain)
{
    TJob &job = AddScheduledJob(QStringLiteral("Evening"), {QStringLiteral("20:00:00")});
    job.SchedulingSettings.ShutdownPCInTheEnd = true;
    QSignalSpy shutdown(core.get(), &ApplicationCore::ShutdownWindowRequested);
    At(QStringLiteral("2024-05-15 20:00:01"));
    core->tick();
    RecordingRunner::Finish(job);
    core->tick();
    ASSERT_EQ(shutdown.count(), 1);

    core->CancelShutdown();
    EXPECT_FALSE(core->ShutdownAfterJobs());
    EXPECT_TRUE(core->IsSchedulerRunning());
    TJob &later = AddJob(QStringLiteral("Later"));
    later.SetWaiting();
    core->tick();
    RecordingRunner::Finish(later);
    core->tick();
    EXPECT_EQ(shutdown.count(), 1);
}

TEST_F(CoreTest, TurningTheComputerOffUsesThePlatformAndFallsBackToCancel)
{
    core->StopScheduler();
    EXPECT_TRUE(core->TurnComputerOff());
    EXPECT_EQ(rec.Power->PowerOffs, 1);
    EXPECT_TRUE(AppState::ApplicationClosing.load());

    AppState::ApplicationClosing = false;
    rec.Power->Succeeds = false;
    EXPECT_FALSE(core->TurnComputerOff());
    EXPECT_FALSE(AppState::ApplicationClosing.load());
    EXPECT_TRUE(core->IsSchedulerRunning());
    EXPECT_TRUE(core->Events().last().contains(QStringLiteral("refused by the test")));
}

// --- keep awake ---

TEST_F(CoreTest, EmptyTimeTableNeverStartsButKeepsTheComputerAwake)
{
    TJob &job = AddJob(QStringLiteral("Thursdays"));
    job.SchedulingSettings.SchedulingType = stDaysOfWeek;
    job.SchedulingSettings.DaysOfWeek[4] = true; // Thursday; today is Wednesday
    At(QStringLiteral("2024-05-15 12:00:00"));
    core->tick();
    EXPECT_TRUE(rec.Runner->Started.isEmpty());
    EXPECT_EQ(job.JobStatus.load(), jsNone);
    EXPECT_EQ(rec.KeepAwake->Calls, QList<bool>{true});
    EXPECT_TRUE(core->KeepAwakeActive());

    // Thursday is over: nothing is due within a day any more.
    At(QStringLiteral("2024-05-17 12:00:00"));
    core->tick();
    EXPECT_EQ(rec.KeepAwake->Calls, (QList<bool>{true, false}));
    EXPECT_FALSE(core->KeepAwakeActive());
}

TEST_F(CoreTest, KeepAwakeFollowsRunningJobsAndTheOption)
{
    Options().General.BlockSleepModeifJobIsScheduled = false;
    TJob &due = AddJob(QStringLiteral("Thursdays"));
    due.SchedulingSettings.SchedulingType = stDaysOfWeek;
    due.SchedulingSettings.DaysOfWeek[4] = true;
    TJob &job = AddJob(QStringLiteral("Now"));
    core->tick();
    EXPECT_TRUE(rec.KeepAwake->Calls.isEmpty()) << "due jobs count only with the option";

    job.SetWaiting();
    core->tick();
    core->tick();
    EXPECT_EQ(rec.KeepAwake->Calls, QList<bool>{true}) << "taken once while busy";
    RecordingRunner::Finish(job);
    core->tick();
    EXPECT_EQ(rec.KeepAwake->Calls, (QList<bool>{true, false}));
}

// --- the rest of the tick ---

TEST_F(CoreTest, NoTickWhileClosing)
{
    TJob &job = AddJob(QStringLiteral("A"));
    job.SetWaiting();
    AppState::ApplicationClosing = true;
    core->tick();
    EXPECT_TRUE(rec.Runner->Started.isEmpty());
}

TEST_F(CoreTest, StatusCountsAreJobsRunningAndCancelled)
{
    TJob &a = AddJob(QStringLiteral("A"));
    TJob &b = AddJob(QStringLiteral("B"));
    AddJob(QStringLiteral("C"));
    a.JobStatus = jsPaused;
    b.LastJobResult.Cancelled = true;
    QSignalSpy spy(core.get(), &ApplicationCore::StatusCountsChanged);
    core->tick();
    EXPECT_EQ(core->Counts(), (ApplicationCore::StatusCounts{3, 1, 1}));
    EXPECT_EQ(core->StatusPanelTexts(),
              (QStringList{QStringLiteral("Jobs: 3"), QStringLiteral("Running: 1"), QStringLiteral("Cancelled: 1")}));
    core->tick();
    EXPECT_EQ(spy.count(), 1) << "the panels change only when a count does";
}

TEST_F(CoreTest, VisibilityHookDecidesTheEmptyPanel)
{
    AddJob(QStringLiteral("A"));
    AddJob(QStringLiteral("B"));
    QList<int> asked;
    core->SetVisibilityHook([&](int index, TJob &) {
        asked.append(index);
        return false;
    });
    core->tick();
    EXPECT_EQ(asked, (QList<int>{0, 1}));
    EXPECT_FALSE(core->SomeItemVisible());
}

TEST_F(CoreTest, EventsListKeepsTheNewestLines)
{
    Options().Logging.MaxNumberOfLinesInEventsLog = 50;
    for (int i = 0; i < 60; ++i)
        PendingEvents::Append(QStringLiteral("line %1").arg(i));
    core->tick();
    ASSERT_EQ(core->Events().size(), 50);
    EXPECT_EQ(core->Events().first(), QStringLiteral("line 10"));
    EXPECT_EQ(core->Events().last(), QStringLiteral("line 59"));
}
