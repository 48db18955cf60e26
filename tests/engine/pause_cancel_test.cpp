// Pause, resume and cancel of a running backup, and a destination that
// refuses a file with each value of the option that decides what follows.
#include "enginetestutil.h"

#include "base/bytesize.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

using namespace EngineTest;

namespace {

class PauseCancelTest : public EngineRunTest {
protected:
    void MakeFiles(int count)
    {
        for (int i = 0; i < count; ++i)
            Write(QStringLiteral("Data/f%1.txt").arg(i, 3, 10, QLatin1Char('0')), QByteArray::number(i));
        Job().Settings.Sources.List = {Folder("Data")};
    }

    // Calls `action` on the worker (from the job's change notifications)
    // once `when` is true; the action runs at most once.
    void OnWorker(std::function<bool()> when, std::function<void()> action)
    {
        m_fired = false;
        m_connection = QObject::connect(
            &Job(), &TJob::Changed, &Job(),
            [this, when = std::move(when), action = std::move(action)] {
                if (QThread::currentThread() == QCoreApplication::instance()->thread() || m_fired || !when())
                    return;
                m_fired = true;
                action();
            },
            Qt::DirectConnection);
    }
    void TearDown() override
    {
        QObject::disconnect(m_connection);
        EngineRunTest::TearDown();
    }

    // Waits (without a time limit that a test depends on) for a status.
    bool WaitForStatus(TJobStatus status)
    {
        for (int i = 0; i < 6000; ++i) {
            if (Job().JobStatus.load() == status)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    std::atomic<bool> m_fired{false};
    QMetaObject::Connection m_connection;
};

TEST_P(PauseCancelTest, APausedRunHoldsAndGoesOnAfterResume)
{
    MakeFiles(30);
    OnWorker([this] { return Job().CurrentBackupFilesProcessed.load() >= 10; }, [this] { Job().Pause(); });
    NextStamp();
    ASSERT_TRUE(Backup(Job()));
    ASSERT_TRUE(WaitForStatus(jsPaused));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const qint64 held = Job().CurrentBackupFilesProcessed.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(Job().CurrentBackupFilesProcessed.load(), held);
    EXPECT_LT(held, 30);
    EXPECT_EQ(Job().JobStatus.load(), jsPaused);
    EXPECT_TRUE(Job().Resume());
    ASSERT_TRUE(WaitForRunToEnd(Job()));
    EXPECT_EQ(Job().JobStatus.load(), jsNone);
    EXPECT_FALSE(Job().LastJobResult.Cancelled);
    EXPECT_EQ(Job().CurrentBackupFilesProcessed.load(), 30);
    EXPECT_EQ(ReadTree(Restore(0)), ReadTree(Src()));
}

TEST_P(PauseCancelTest, CancelInTheMiddleLeavesTheFlagAndTheNextRunRenamesTheFolder)
{
    MakeFiles(30);
    OnWorker([this] { return Job().CurrentBackupFilesProcessed.load() >= 5; }, [this] { Job().Cancel(); });
    RunBackup();
    QObject::disconnect(m_connection);
    EXPECT_TRUE(Job().LastJobResult.Cancelled);
    EXPECT_LT(Job().CurrentBackupFilesProcessed.load(), 30);
    const QStringList log = Log();
    EXPECT_TRUE(log.contains("Backup is cancelled.")) << log.join("\n").toStdString();
    EXPECT_TRUE(Job().BackupHistory.last().endsWith(": Backup is cancelled."));
    EXPECT_TRUE(EventTexts().contains("\"Job\" backup is cancelled."));
    // The set has no state yet; the flag names the unfinished folder.
    const QString unfinished = QStringLiteral("2024-05-01 15;30;00 (Full)");
    EXPECT_FALSE(QFileInfo::exists(DestDir() + "/Job.qvj"));
    EXPECT_EQ(ReadLines(SetDir() + "/_startflag.qvl"), QStringList{unfinished});
    EXPECT_EQ(Entries(SetDir()), (QStringList{unfinished, "_startflag.qvl"}));

    RunBackup();
    EXPECT_FALSE(Job().LastJobResult.Cancelled);
    EXPECT_TRUE(Log().contains("WARNING: The previous backup has been cancelled and the backup files may be corrupted."));
    const QStringList folders = RunFolders();
    ASSERT_EQ(folders.size(), 1);
    EXPECT_TRUE(folders[0].endsWith("(Full)")); // still no complete run before it
    EXPECT_EQ(Entries(SetDir()), (QStringList{unfinished + " CANCELED", folders[0]}));
    EXPECT_TRUE(QFileInfo::exists(SetDir() + "/" + unfinished + " CANCELED"));
    EXPECT_EQ(ReadTree(Restore(0)), ReadTree(Src()));
}

TEST_P(PauseCancelTest, ARunWhoseJobFileIsReplacedDeletesItsFlagEvenWhenCancelled)
{
    MakeFiles(3);
    // The moment the job file has reached the destination.
    const auto jobFileReplaced = [this] {
        return Job().CurrentFileOperationPath() == TempRoot() + "/Job.qvj" && QFileInfo::exists(DestDir() + "/Job.qvj");
    };
    OnWorker(jobFileReplaced, [this] { Job().Cancel(); });
    RunBackup();
    QObject::disconnect(m_connection);
    EXPECT_TRUE(m_fired);
    EXPECT_FALSE(QFileInfo::exists(SetDir() + "/_startflag.qvl"));

    // The next run finds the point complete, not an unfinished run.
    const QString first = RunFolders().value(0);
    Write("Data/f000.txt", "changed");
    RunBackup();
    EXPECT_FALSE(Log().contains("WARNING: The previous backup has been cancelled and the backup files may be corrupted."));
    EXPECT_EQ(RunFolders().value(0), first);
    EXPECT_TRUE(QFileInfo(SetDir() + "/" + first).isDir());
    EXPECT_EQ(ReadTree(Restore(1)), ReadTree(Src()));
}

TEST_P(PauseCancelTest, AFlagThatCannotBeDeletedIsAnErrorAndCostsNoPoint)
{
    MakeFiles(3);
    RunBackup();
    const Tree first = ReadTree(Src());
    // Once the job file is replaced, the share goes away, or something
    // takes the flag's place on a local drive.
    OnWorker(
        [this] {
            return Job().CurrentFileOperationPath() == TempRoot() + "/Job.qvj" && RunFolders().size() == 2;
        },
        [this] {
            if (IsSmb()) {
                Samba().stop();
            } else {
                QFile::remove(SetDir() + "/_startflag.qvl");
                QDir().mkpath(SetDir() + "/_startflag.qvl/in the way");
            }
        });
    Write("Data/f000.txt", "changed");
    RunBackup();
    QObject::disconnect(m_connection);
    ASSERT_TRUE(m_fired);
    if (IsSmb()) {
        QString error;
        ASSERT_TRUE(Samba().start(&error)) << error.toStdString();
    }
    const Tree second = ReadTree(Src());
    bool reported = false;
    for (const QString &line : Log())
        reported = reported || line.startsWith("ERROR: Unable to remove the file: " + RemoteSetPath() + "/_startflag.qvl (");
    EXPECT_TRUE(reported) << Log().join("\n").toStdString();
    EXPECT_TRUE(Log().contains("Backup job \"Job\" is finished with errors. Files copied: 1. Total size of the files: "
                               + FormatByteSize(Job().CurrentBackupSize.load())));

    // The next run removes nothing (the flag names a listed point, or what
    // stands in its place cannot be read), and both points restore.
    const QStringList points = RunFolders();
    ASSERT_EQ(points.size(), 2);
    RunBackup();
    EXPECT_EQ(RunFolders().mid(0, 2), points);
    EXPECT_EQ(ReadTree(Restore(0)), first);
    EXPECT_EQ(ReadTree(Restore(1)), second);
}

TEST_P(PauseCancelTest, ARefusedFileWaitsForTheUserAndIsTriedAgain)
{
    Options().Processing.IfDestinationNotAvailable_Then = 1;
    Job().Settings.Backup.BackupType = btSynchronization;
    Job().Settings.Sources.List = {Folder("Data")};
    Write("Data/a.txt", "a");
    Write("Data/b.txt", "b");
    Write("Data/c.txt", "c");
    // A folder where the copy of b.txt has to go: the destination refuses it.
    QDir().mkpath(SetDir() + "/Data/b.txt/blocker");
    NextStamp();
    ASSERT_TRUE(Backup(Job()));
    ASSERT_TRUE(WaitForStatus(jsPaused));
    EXPECT_EQ(Job().CurrentFileOperationType.load(), atNone_WaitingForReconnection);
    QDir(SetDir() + "/Data/b.txt").removeRecursively();
    EXPECT_TRUE(Job().Resume());
    ASSERT_TRUE(WaitForRunToEnd(Job()));
    EXPECT_FALSE(Job().LastJobResult.Cancelled);
    EXPECT_EQ(ReadTree(SetDir()), ReadTree(Src()));
    const QStringList log = Log();
    // Tried again after the resume: a copy line of b.txt after its last failure.
    qsizetype lastError = -1;
    for (qsizetype i = 0; i < log.size(); ++i) {
        if (log[i].startsWith("ERROR:"))
            lastError = i;
    }
    EXPECT_GT(log.lastIndexOf("Copying the file: " + File("Data/b.txt")), lastError);
    EXPECT_GT(lastError, log.indexOf("Copying the file: " + File("Data/b.txt")));
    EXPECT_GE(Errors(), 2); // the failed attempts
    EXPECT_TRUE(log.contains("Backup job \"Job\" is finished with errors. Files copied: 3. Total size of the files: "
                             + FormatByteSize(Job().CurrentBackupSize.load())));
}

TEST_P(PauseCancelTest, ARefusedFileCancelsTheRunWithTheWarningBlock)
{
    Options().Processing.IfDestinationNotAvailable_Then = 0;
    Job().Settings.Backup.BackupType = btSynchronization;
    Job().Settings.Sources.List = {Folder("Data")};
    Write("Data/a.txt", "a");
    QDir().mkpath(SetDir() + "/Data/a.txt/blocker");
    RunBackup();
    EXPECT_TRUE(Job().LastJobResult.Cancelled);
    const QStringList log = Log();
    const qsizetype w = log.indexOf("WARNING: The job will be cancelled because destination is not accepting the file.");
    ASSERT_GT(w, 0);
    EXPECT_EQ(log[w - 1], QString());
    EXPECT_EQ(log.mid(w + 1, 3),
              (QStringList{"Possible reasons: device is disconnected; device is corrupted; network issues; transfer is "
                           "blocked by antivirus.",
                           "If you do not want to cancel the job next time, please open the General Options, the tab "
                           "\"Backup\".",
                           "Select the option \"Pause the job and wait for your action\"."}));
    EXPECT_EQ(Warnings(), 1);
    EXPECT_TRUE(log.contains("Backup is cancelled."));
    EXPECT_FALSE(QFileInfo::exists(DestDir() + "/Job.qvj"));
    EXPECT_TRUE(QFileInfo::exists(SetDir() + "/_startflag.qvl"));
}

TEST_P(PauseCancelTest, CancellingAPausedRunEndsIt)
{
    MakeFiles(10);
    OnWorker([this] { return Job().CurrentBackupFilesProcessed.load() >= 2; }, [this] { Job().Pause(); });
    NextStamp();
    ASSERT_TRUE(Backup(Job()));
    ASSERT_TRUE(WaitForStatus(jsPaused));
    Job().Cancel();
    ASSERT_TRUE(WaitForRunToEnd(Job()));
    EXPECT_EQ(Job().JobStatus.load(), jsNone);
    EXPECT_TRUE(Job().LastJobResult.Cancelled);
    EXPECT_LT(Job().CurrentBackupFilesProcessed.load(), 10);
}

TEST_P(PauseCancelTest, ASecondStartWhileRunningIsRefused)
{
    MakeFiles(10);
    std::atomic<bool> release{false};
    OnWorker([] { return true; }, [&release] {
        while (!release.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
    NextStamp();
    ASSERT_TRUE(Backup(Job()));
    EXPECT_FALSE(Backup(Job()));
    EXPECT_FALSE(BeginRestore(Job()));
    EXPECT_FALSE(Remove(Job()));
    EXPECT_TRUE(JobWorker::IsRunning(Job()));
    EXPECT_FALSE(JobWorker::WaitForRunToEnd(Job(), 50));
    release = true;
    ASSERT_TRUE(WaitForRunToEnd(Job()));
    EXPECT_FALSE(JobWorker::IsRunning(Job()));
    EXPECT_FALSE(Job().LastJobResult.Cancelled);
}

INSTANTIATE_TEST_SUITE_P(Destination, PauseCancelTest, ::testing::Values(Destination::QV_ENGINE_DESTINATION),
                         DestinationName);

} // namespace
