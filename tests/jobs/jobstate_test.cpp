// Status transitions, the shown path and the schedule queries.
#include "jobtestutil.h"

using namespace JobTestUtil;

namespace {

class JobState : public JobTest {};

TEST_F(JobState, StatusTransitions)
{
    enum Action { Cancel, Pause, Resume, Wait };
    struct Case {
        bool driveImage;
        TJobStatus from;
        Action action;
        TJobStatus to;
    };
    const Case cases[] = {
        {false, jsNone, Cancel, jsNone},
        {false, jsWaiting, Cancel, jsNone},
        {false, jsRunning, Cancel, jsCancelling},
        {false, jsPaused, Cancel, jsCancelling},
        {false, jsCancelling, Cancel, jsCancelling},
        {false, jsRunning, Pause, jsPaused},
        {false, jsNone, Pause, jsNone},
        {false, jsWaiting, Pause, jsWaiting},
        {false, jsCancelling, Pause, jsCancelling},
        {true, jsRunning, Pause, jsRunning}, // a drive image cannot pause
        {false, jsPaused, Resume, jsRunning},
        {false, jsNone, Resume, jsNone},
        {false, jsCancelling, Resume, jsCancelling},
        {false, jsNone, Wait, jsWaiting},
        {false, jsRunning, Wait, jsRunning},
    };
    for (const Case &c : cases) {
        std::unique_ptr<TJob> job = CreateJobOfKind(c.driveImage ? jkDriveImage : jkFilesAndFolders, "Job");
        job->JobStatus = c.from;
        switch (c.action) {
        case Cancel: job->Cancel(); break;
        case Pause: job->Pause(); break;
        case Resume: job->Resume(); break;
        case Wait: job->SetWaiting(); break;
        }
        EXPECT_EQ(job->JobStatus.load(), c.to) << "from " << int(c.from) << " action " << int(c.action)
                                               << (c.driveImage ? " drive image" : "");
    }
    PendingEvents::TakeAll();
}

TEST_F(JobState, CancelSideEffects)
{
    const QDateTime now(QDate(2024, 5, 15), QTime(10, 0, 3));
    FixClock(now);
    TJob_FilesAndFolders job(QStringLiteral("Docs"));

    // Waiting: back to idle, the queued start counts as served.
    job.AddToLog(QStringLiteral("old line"));
    job.JobStatus = jsWaiting;
    job.Cancel();
    EXPECT_EQ(job.LastJobResult.StartTime, DateTimeToDouble(now));
    EXPECT_EQ(job.LastJobResult.EndTime, DateTimeToDouble(now));
    EXPECT_TRUE(job.RunLogSnapshot().isEmpty());
    EXPECT_EQ(job.CancelCurrentFileOperation.load(), 0);
    EXPECT_TRUE(EventTexts().isEmpty());

    // Running: the running operation is told to stop, and the event says so.
    job.JobStatus = jsRunning;
    job.Cancel();
    EXPECT_EQ(job.CancelCurrentFileOperation.load(), -1);
    EXPECT_EQ(EventTexts(), QStringList{QStringLiteral("Cancelling (Docs)")});
    job.Cancel(); // already cancelling: nothing more
    EXPECT_TRUE(EventTexts().isEmpty());

    // Idle: nothing at all.
    job.JobStatus = jsNone;
    job.CancelCurrentFileOperation = 0;
    job.Cancel();
    EXPECT_EQ(job.CancelCurrentFileOperation.load(), 0);
    EXPECT_TRUE(EventTexts().isEmpty());
}

TEST_F(JobState, ShownPathIsCutAt256CodeUnits)
{
    TJob_FilesAndFolders job(QStringLiteral("P"));
    const QString longPath = QStringLiteral("/") + QString(299, QLatin1Char('a'));
    job.SetCurrentFileOperationPath(longPath);
    EXPECT_EQ(job.CurrentFileOperationPath(), longPath.left(256));
    const QString exact = QString(256, QLatin1Char('b'));
    job.SetCurrentFileOperationPath(exact);
    EXPECT_EQ(job.CurrentFileOperationPath(), exact);
    job.SetCurrentFileOperationPath(QStringLiteral("/short"));
    EXPECT_EQ(job.CurrentFileOperationPath(), QStringLiteral("/short"));
    // A cut inside a surrogate pair drops the lone half.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString withPair = QString(255, QLatin1Char('c')) + emoji + QStringLiteral("tail");
    job.SetCurrentFileOperationPath(withPair);
    EXPECT_EQ(job.CurrentFileOperationPath(), QString(255, QLatin1Char('c')));
}

// --- schedule queries with a fixed clock ---

class Schedule : public JobTest {
protected:
    // Wednesday, 15 May 2024, 10:00:03.
    const QDateTime now{QDate(2024, 5, 15), QTime(10, 0, 3)};
    void SetUp() override
    {
        JobTest::SetUp();
        FixClock(now);
    }
    static double At(const QDate &d, const QTime &t) { return DateTimeToDouble(QDateTime(d, t)); }
};

TEST_F(Schedule, NearestPastTask)
{
    const QDate today = now.date();
    struct Case {
        const char *what;
        TSchedulingType type;
        std::vector<int> days; // weekdays or month days switched on
        QStringList times;
        double expected;
    };
    const Case cases[] = {
        {"today's start three seconds ago", stDaysOfWeek, {3}, {"10:00:00"}, At(today, QTime(10, 0))},
        {"later today does not count: yesterday's", stDaysOfWeek, {2, 3}, {"12:00:00"}, At(today.addDays(-1), QTime(12, 0))},
        {"latest of several today", stDaysOfWeek, {3}, {"06:00:00", "09:59:59", "10:00:04"}, At(today, QTime(9, 59, 59))},
        {"walks back to last Monday", stDaysOfWeek, {1}, {"23:00:00"}, At(today.addDays(-2), QTime(23, 0))},
        {"month day 1", stDaysOfMonth, {1}, {"08:30:00"}, At(QDate(2024, 5, 1), QTime(8, 30))},
        {"month day 31 skips April", stDaysOfMonth, {31}, {"08:30:00"}, At(QDate(2024, 3, 31), QTime(8, 30))},
        {"disabled skips no day", stDisabled, {}, {"11:00:00"}, At(today.addDays(-1), QTime(11, 0))},
        {"empty time table", stDaysOfWeek, {1, 2, 3, 4, 5, 6, 7}, {}, 0},
        {"no scheduled day", stDaysOfWeek, {}, {"08:00:00"}, 0},
        {"list order decides: last entry first", stDaysOfWeek, {3}, {"09:00:00", "08:00:00"}, At(today, QTime(8, 0))},
        {"damaged entries are ignored", stDaysOfWeek, {3}, {"xx:yy:zz", "9:0", "25:00:00", "07:15:00"}, At(today, QTime(7, 15))},
        {"a type no release defines", static_cast<TSchedulingType>(7), {}, {"08:00:00"}, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TJob_FilesAndFolders job(QStringLiteral("S"));
        job.SchedulingSettings.SchedulingType = c.type;
        for (int d : c.days)
            (c.type == stDaysOfMonth ? job.SchedulingSettings.DaysOfMonth[d] : job.SchedulingSettings.DaysOfWeek[d]) = true;
        job.SchedulingSettings.TimeTable = c.times;
        EXPECT_DOUBLE_EQ(job.GetDateTimeOfNearestPastTask(), c.expected);
    }
}

TEST_F(Schedule, NearestPastTaskWalksBackAcrossMonths)
{
    TJob_FilesAndFolders job(QStringLiteral("S"));
    job.SchedulingSettings.SchedulingType = stDaysOfMonth;
    job.SchedulingSettings.DaysOfMonth[31] = true;
    job.SchedulingSettings.TimeTable = {QStringLiteral("08:00:00")};
    // 29 March 2023: February has no 31st, so the start is 31 January, 57 days back.
    FixClock(QDateTime(QDate(2023, 3, 29), QTime(0, 0)));
    EXPECT_DOUBLE_EQ(job.GetDateTimeOfNearestPastTask(), At(QDate(2023, 1, 31), QTime(8, 0)));
    // On the day itself, before the time: still the earlier month.
    FixClock(QDateTime(QDate(2023, 3, 31), QTime(7, 59, 59)));
    EXPECT_DOUBLE_EQ(job.GetDateTimeOfNearestPastTask(), At(QDate(2023, 1, 31), QTime(8, 0)));
    FixClock(QDateTime(QDate(2023, 3, 31), QTime(8, 0, 1)));
    EXPECT_DOUBLE_EQ(job.GetDateTimeOfNearestPastTask(), At(QDate(2023, 3, 31), QTime(8, 0)));
}

TEST_F(Schedule, ScheduledXDaysFromNow)
{
    struct Case {
        const char *what;
        TSchedulingType type;
        std::vector<int> days;
        QStringList times;
        int daysCount;
        bool expected;
    };
    // Today is Wednesday (3), the 15th; it is 10:00:03.
    const Case cases[] = {
        {"today, a time still ahead", stDaysOfWeek, {3}, {"08:00:00", "18:00:00"}, 0, true},
        {"today, every time passed", stDaysOfWeek, {3}, {"08:00:00", "10:00:03"}, 0, false},
        {"tomorrow, regardless of times", stDaysOfWeek, {4}, {}, 1, true},
        {"tomorrow is outside a zero window", stDaysOfWeek, {4}, {"12:00:00"}, 0, false},
        {"Sunday within four days", stDaysOfWeek, {7}, {}, 4, true},
        {"Sunday not within three", stDaysOfWeek, {7}, {}, 3, false},
        {"month day 16 tomorrow", stDaysOfMonth, {16}, {}, 1, true},
        {"month day 15 today with a later time", stDaysOfMonth, {15}, {"23:59:59"}, 0, true},
        {"month day 1 in the next 17 days", stDaysOfMonth, {1}, {}, 17, true},
        {"disabled is never scheduled", stDisabled, {}, {"23:00:00"}, 10, false},
        {"empty time table, tomorrow scheduled", stDaysOfWeek, {4}, {}, 1, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TJob_FilesAndFolders job(QStringLiteral("S"));
        job.SchedulingSettings.SchedulingType = c.type;
        for (int d : c.days)
            (c.type == stDaysOfMonth ? job.SchedulingSettings.DaysOfMonth[d] : job.SchedulingSettings.DaysOfWeek[d]) = true;
        job.SchedulingSettings.TimeTable = c.times;
        EXPECT_EQ(job.IsScheduledXDaysFromNow(c.daysCount), c.expected);
    }
}

} // namespace
