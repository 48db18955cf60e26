// The job's lock where the application core starts and removes jobs: a
// job that another process holds is refused, and a run holds the lock for
// its whole length. The other process is flock(1) on the job's lock file.
#include "app/jobrunlock.h"
#include "apptestfixture.h"

#include "engine/files/filesengine.h"
#include "platform/folders.h"
#include "support/lockholder.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QThread>

#include <atomic>

namespace {
class JobRunLockTest : public CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(Folders::DataFolder()));
        SetDefaultOptions(Options());
    }
    static QString LockFile(const QString &job) { return JobLock::LockFilePath(Folders::DataFolder(), job); }
    static QStringList EventTexts()
    {
        QStringList texts;
        for (const QString &line : PendingEvents::TakeAll())
            texts << line.mid(line.indexOf(QStringLiteral(": ")) + 2);
        return texts;
    }
};

const QString kBusy = QStringLiteral("The job \"Docs\" is busy in another process of the program. Try again when it has "
                                     "finished.");
} // namespace

TEST_F(JobRunLockTest, WaitingJobThatAnotherProcessRunsGoesBackToIdle)
{
    std::unique_ptr<JobRunner> runner = CreateEngineJobRunner();
    TJob_FilesAndFolders job{QStringLiteral("Docs")};
    ASSERT_TRUE(job.SetWaiting());
    ForeignLockHolder other;
    ASSERT_TRUE(other.Hold(LockFile(QStringLiteral("Docs"))));
    PendingEvents::TakeAll();

    At(QStringLiteral("2024-05-15 10:00:03"));
    runner->StartBackup(job);
    EXPECT_EQ(job.JobStatus.load(), jsNone);
    EXPECT_FALSE(JobWorker::IsRunning(job));
    EXPECT_EQ(job.LastJobResult.StartTime, D(QStringLiteral("2024-05-15 10:00:03")))
        << "the start counts as served: the other process runs it";
    EXPECT_EQ(EventTexts(), QStringList{kBusy});
    EXPECT_FALSE(QFileInfo::exists(job.LocalJobFilePath())) << "the job's files are the other process's";
}

TEST_F(JobRunLockTest, RunHoldsTheJobUntilItsWorkerEnds)
{
    const QString src = PrivateFolder() + QStringLiteral("/src");
    const QString dest = PrivateFolder() + QStringLiteral("/dest");
    for (int i = 0; i < 5; ++i)
        TestEnv::WriteFile(src + QStringLiteral("/f%1.txt").arg(i), QByteArray::number(i));
    QDir().mkpath(dest);
    TJob_FilesAndFolders job{QStringLiteral("Docs")};
    job.Settings.Sources.List = {src + QStringLiteral("/*")};
    job.DestinationSettings.DestinationType = dtLocalOrExternalDrive;
    job.DestinationSettings.LocalOrExternalDrive.Disk = dest;

    // The run holds at its first copied file, on its own thread.
    std::atomic<bool> paused{false};
    QObject::connect(
        &job, &TJob::Changed, &job,
        [&] {
            if (QThread::currentThread() != QCoreApplication::instance()->thread()
                && job.CurrentBackupFilesProcessed.load() >= 1 && !paused.exchange(true))
                job.Pause();
        },
        Qt::DirectConnection);
    Clock::SetOverride({});
    std::unique_ptr<JobRunner> runner = CreateEngineJobRunner();
    ASSERT_TRUE(job.SetWaiting());
    runner->StartBackup(job);
    ASSERT_TRUE(JobWorker::IsRunning(job));
    while (job.JobStatus.load() != jsPaused && JobWorker::IsRunning(job))
        QThread::msleep(5);
    ASSERT_EQ(job.JobStatus.load(), jsPaused);
    EXPECT_FALSE(ForeignLockHolder::IsFree(LockFile(QStringLiteral("Docs")))) << "held while the run goes on";

    ASSERT_TRUE(job.Resume());
    ASSERT_TRUE(JobWorker::WaitForRunToEnd(job, -1));
    EXPECT_FALSE(job.LastJobResult.Cancelled);
    EXPECT_FALSE(QFileInfo::exists(LockFile(QStringLiteral("Docs")))) << "let go at the end of the worker";
    EXPECT_TRUE(ForeignLockHolder::IsFree(LockFile(QStringLiteral("Docs"))));
}

TEST_F(JobRunLockTest, RemovingAJobThatAnotherProcessHoldsIsRefused)
{
    TJob &job = AddJob(QStringLiteral("Docs"));
    ASSERT_TRUE(job.SaveLocalJobFile(job.LocalJobFilePath()));
    ASSERT_TRUE(core->Jobs().SaveJobsList());
    ForeignLockHolder other;
    ASSERT_TRUE(other.Hold(LockFile(QStringLiteral("Docs"))));
    QSignalSpy errors(core.get(), &ApplicationCore::ErrorMessage);

    EXPECT_FALSE(core->RemoveJob(0, true));
    EXPECT_TRUE(rec.Runner->Removed.isEmpty()) << "its backups are left alone";
    EXPECT_EQ(core->Jobs().Names(), QStringList{QStringLiteral("Docs")});
    EXPECT_TRUE(QFileInfo::exists(job.LocalJobFilePath()));
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors[0][0].toString(), kBusy);
    EXPECT_TRUE(core->Events().last().endsWith(kBusy)) << core->Events().join(QLatin1Char('\n')).toStdString();

    other.Kill();
    EXPECT_TRUE(core->RemoveJob(0, true));
    EXPECT_EQ(rec.Runner->Removed, QStringList{QStringLiteral("Docs")});
    EXPECT_TRUE(core->Jobs().Names().isEmpty());
}
