// backup, points, restore, remove and run against a real local destination.
#include "clitestfixture.h"

#include "cli/runmonitor.h"
#include "jobs/jobkinds.h"
#include "support/testnames.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <csignal>

namespace {
class CliRuns : public CliTest {
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        m_src = Dir(QStringLiteral("Photos"));
        m_dest = Dir(QStringLiteral("dest"));
        Write(m_src + QStringLiteral("/a.txt"), "first");
        Write(m_src + QStringLiteral("/sub/b.txt"), "second");
    }
    void Create(const QString &name, QStringList extra = {})
    {
        const CliResult r = Cli(QStringList{QStringLiteral("create"), name, QStringLiteral("--source"), m_src,
                                            QStringLiteral("--to"), m_dest} + extra);
        ASSERT_EQ(r.exitCode, 0) << r;
    }
    static QString Read(const QString &path) { return QString::fromUtf8(TestEnv::ReadFile(path)); }
    // A run log is named after the second its run starts in: runs whose logs
    // the test reads start in seconds of their own.
    static void NextSecond()
    {
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        while (QDateTime::currentSecsSinceEpoch() == now)
            QThread::msleep(20);
    }

    QString m_src;
    QString m_dest;
};
} // namespace

TEST_F(CliRuns, BackupTwiceListPointsAndRestoreEach)
{
    Create(QStringLiteral("Pics"), {QStringLiteral("--type"), QStringLiteral("incremental")});
    CliResult r = Cli({QStringLiteral("backup"), QStringLiteral("Pics")});
    ASSERT_EQ(r.exitCode, 0) << r;
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Backup job \"Pics\" is finished. Files copied: 2."))) << r;

    // A second run with one changed file (its time moves on) and a new one.
    Write(m_src + QStringLiteral("/a.txt"), "first, changed");
    QFile(m_src + QStringLiteral("/a.txt")).setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    Write(m_src + QStringLiteral("/c.txt"), "third");
    NextSecond();
    r = Cli({QStringLiteral("backup"), QStringLiteral("Pics")});
    ASSERT_EQ(r.exitCode, 0) << r;

    r = Cli({QStringLiteral("points"), QStringLiteral("Pics")});
    ASSERT_EQ(r.exitCode, 0) << r;
    const QStringList points = r.OutLines();
    ASSERT_EQ(points.size(), 2) << r;
    EXPECT_TRUE(points[0].startsWith(QStringLiteral("1\t")) && points[0].endsWith(QStringLiteral("(Full)"))) << r;
    EXPECT_TRUE(points[1].startsWith(QStringLiteral("2\t")) && points[1].endsWith(QStringLiteral("(Incremental)"))) << r;

    const QString first = Dir(QStringLiteral("restore1"));
    NextSecond();
    r = Cli({QStringLiteral("restore"), QStringLiteral("Pics"), QStringLiteral("--point"), QStringLiteral("1"),
             QStringLiteral("--to"), first});
    ASSERT_EQ(r.exitCode, 0) << r;
    EXPECT_EQ(r.out, QStringLiteral("Restore job \"Pics\" is finished.\n"));
    EXPECT_EQ(Read(first + QStringLiteral("/Photos/a.txt")), QStringLiteral("first"));
    EXPECT_EQ(Read(first + QStringLiteral("/Photos/sub/b.txt")), QStringLiteral("second"));
    EXPECT_FALSE(QFileInfo::exists(first + QStringLiteral("/Photos/c.txt")));

    const QString latest = m_home + QStringLiteral("/work/restore-latest"); // created by the restore
    NextSecond();
    r = Cli({QStringLiteral("restore"), QStringLiteral("Pics"), QStringLiteral("--latest"), QStringLiteral("--to"), latest});
    ASSERT_EQ(r.exitCode, 0) << r;
    EXPECT_EQ(Read(latest + QStringLiteral("/Photos/a.txt")), QStringLiteral("first, changed"));
    EXPECT_EQ(Read(latest + QStringLiteral("/Photos/c.txt")), QStringLiteral("third"));

    r = Cli({QStringLiteral("log"), QStringLiteral("Pics")});
    ASSERT_EQ(r.exitCode, 0) << r;
    EXPECT_TRUE(r.out.contains(QStringLiteral("Restore job \"Pics\" is finished."))) << r;
    EXPECT_EQ(r.out.count(QStringLiteral("Chosen restore point: ")), 1) << r;
    r = Cli({QStringLiteral("log"), QStringLiteral("Pics"), QStringLiteral("--history")});
    ASSERT_EQ(r.exitCode, 0) << r;
    EXPECT_EQ(r.out.count(QStringLiteral("Backup job is finished.")), 2) << r;

    r = Cli({QStringLiteral("list")});
    EXPECT_TRUE(r.out.contains(QStringLiteral("Pics\tFiles and Folders Backup\tReady\tFinished on "))) << r;
}

struct OutcomeCase {
    const char *what;
    const char *source; // "" for the fixture's folder
    bool removeSourceFile;
    int exitCode;
    const char *summary;
};

void PrintTo(const OutcomeCase &c, std::ostream *os)
{
    *os << c.what << ": exit code " << c.exitCode << ", " << TestNames::Quoted(c.summary);
}

class BackupOutcome : public CliRuns, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(BackupOutcome, ExitCodeFollowsTheRunsResult)
{
    const OutcomeCase &c = GetParam();
    const QString gone = m_home + QStringLiteral("/work/gone.txt");
    Write(gone, "soon gone");
    QStringList sources{QStringLiteral("--source"), *c.source ? QString::fromLatin1(c.source) : m_src};
    if (c.removeSourceFile)
        sources << QStringLiteral("--source") << gone;
    ASSERT_EQ(Cli(QStringList{QStringLiteral("create"), QStringLiteral("Job"), QStringLiteral("--to"), m_dest} + sources)
                  .exitCode,
              0);
    if (c.removeSourceFile)
        QFile::remove(gone);
    const CliResult r = Cli({QStringLiteral("backup"), QStringLiteral("Job")});
    EXPECT_EQ(r.exitCode, c.exitCode) << c.what << "\n" << r;
    EXPECT_TRUE(r.out.contains(QLatin1String(c.summary))) << c.what << "\n" << r;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BackupOutcome,
    ::testing::Values(OutcomeCase{"clean", "", false, 0, "is finished. Files copied: 2."},
                      OutcomeCase{"a source file went away", "", true, 1, "is finished with warnings."},
                      // Reading a process's memory from its start fails with an I/O error.
                      OutcomeCase{"an unreadable source file", "/proc/self/mem", false, 2, "is finished with errors."}),
    [](const auto &i) { return TestNames::Words(i.param.what); });

// The log of a run over files whose names hold a terminal command, a bell
// and a line feed shows them as escapes: nothing reaches the terminal raw,
// also from a log file that still holds them raw.
TEST_F(CliRuns, LogShowsControlCharactersOfFileNamesAsEscapes)
{
    Write(m_src + QStringLiteral("/red\x1B[31m.txt"), "red");
    Write(m_src + QStringLiteral("/bell\x07 and\nline.txt"), "bell");
    Create(QStringLiteral("Odd"));
    CliResult r = Cli({QStringLiteral("backup"), QStringLiteral("Odd")});
    ASSERT_EQ(r.exitCode, 0) << r;
    const auto rawControls = [](const QString &text) {
        qsizetype n = 0;
        for (const QChar c : text)
            n += (c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\t')) || c.unicode() == 0x7F;
        return n;
    };
    EXPECT_EQ(rawControls(r.out) + rawControls(r.err), 0) << r;

    r = Cli({QStringLiteral("log"), QStringLiteral("Odd")});
    ASSERT_EQ(r.exitCode, 0) << r;
    EXPECT_EQ(rawControls(r.out), 0) << r;
    EXPECT_TRUE(r.out.contains(QStringLiteral("/red\\x1B[31m.txt\n"))) << r;
    EXPECT_TRUE(r.out.contains(QStringLiteral("/bell\\x07 and\\nline.txt\n"))) << r;

    // A log as an older version wrote it, with the names raw.
    const QDir logs(m_home + QStringLiteral("/docs/Quorvane/Odd"));
    const QStringList files = logs.entryList({QStringLiteral("*.txt")});
    ASSERT_EQ(files.size(), 1) << logs.path().toStdString();
    Write(logs.filePath(files.first()), "\xEF\xBB\xBF" "10:00:00: Copying the file: /x/red\x1B[31m\x07.txt\r\n");
    r = Cli({QStringLiteral("log"), QStringLiteral("Odd")});
    ASSERT_EQ(r.exitCode, 0) << r;
    EXPECT_EQ(r.out, QStringLiteral("10:00:00: Copying the file: /x/red\\x1B[31m\\x07.txt\n")) << r;
}

TEST_F(CliRuns, BackupToAMissingDestinationIsNotConnected)
{
    Create(QStringLiteral("Away"));
    QDir(m_dest).removeRecursively();
    const CliResult r = Cli({QStringLiteral("backup"), QStringLiteral("Away")});
    EXPECT_EQ(r.exitCode, 3) << r;
    EXPECT_TRUE(r.out.contains(QStringLiteral("\"Away\" backup is cancelled:"))) << r;
    EXPECT_TRUE(r.err.contains(QStringLiteral("The directory does not exist:"))) << r;
}

TEST_F(CliRuns, InterruptCancelsTheRunCleanly)
{
    for (int d = 0; d < 10; ++d) {
        const QString dir = Dir(QStringLiteral("Photos/many%1").arg(d));
        for (int f = 0; f < 100; ++f)
            Write(dir + QStringLiteral("/f%1").arg(f), "x");
    }
    Create(QStringLiteral("Big"));
    // The interrupt arrives in the midst of the copies: sent while the run
    // holds itself at one of them, it is taken when the run goes on.
    auto run = StartCli({QStringLiteral("backup"), QStringLiteral("Big")},
                        StopAtOpen::Environment(QStringLiteral("/Photos/many5/f50")));
    ASSERT_TRUE(run->WaitUntilStopped()) << run->Finish();
    run->Signal(SIGINT);
    run->Signal(SIGCONT);
    const CliResult r = run->Finish();
    EXPECT_EQ(r.exitCode, 3) << "the process ends by itself, not by the signal\n" << r;
    EXPECT_TRUE(r.out.contains(QStringLiteral("\"Big\" backup is cancelled."))) << r;
    EXPECT_TRUE(r.err.contains(QStringLiteral("Cancelling (Big)"))) << r;
    const CliResult list = Cli({QStringLiteral("list")});
    EXPECT_TRUE(list.out.contains(QStringLiteral("Big\tFiles and Folders Backup\tReady\tCancelled on "))) << list;
}

TEST_F(CliRuns, RestoreIntoAFolderThatCannotBeWrittenIsAClearError)
{
    Create(QStringLiteral("Pics"));
    ASSERT_EQ(Cli({QStringLiteral("backup"), QStringLiteral("Pics")}).exitCode, 0);
    // Below a regular file no folder can be made, whoever asks: the tests
    // run as root, for whom permission bits would not stop anything.
    const QString file = m_home + QStringLiteral("/work/plain-file");
    Write(file, "x");
    for (const QString &target : {file + QStringLiteral("/restore"), file}) {
        const CliResult r = Cli({QStringLiteral("restore"), QStringLiteral("Pics"), QStringLiteral("--latest"),
                                 QStringLiteral("--to"), target});
        EXPECT_EQ(r.exitCode, 3) << r;
        EXPECT_TRUE(r.err.contains(target)) << r;
        EXPECT_TRUE(r.err.contains(QStringLiteral("Unable to create the output folder")) ||
                    r.err.contains(QStringLiteral("The output folder is a file")))
            << r;
    }
    const CliResult list = Cli({QStringLiteral("list")});
    EXPECT_TRUE(list.out.contains(QStringLiteral("\tReady\t"))) << "the job is idle again\n" << list;
}

TEST_F(CliRuns, JobThatNeverRanHasNoPointsToList)
{
    Create(QStringLiteral("New"));
    CliResult r = Cli({QStringLiteral("points"), QStringLiteral("New")});
    EXPECT_EQ(r.exitCode, 1) << r;
    EXPECT_TRUE(r.err.contains(QStringLiteral("Unable to copy the job file \"New.qvj\" from the backup directory."))) << r;
    r = Cli({QStringLiteral("restore"), QStringLiteral("New"), QStringLiteral("--latest"), QStringLiteral("--to"),
             Dir(QStringLiteral("out"))});
    EXPECT_EQ(r.exitCode, 3) << r;
    r = Cli({QStringLiteral("list")});
    EXPECT_TRUE(r.out.contains(QStringLiteral("New\tFiles and Folders Backup\tReady\t"))) << r;
}

TEST_F(CliRuns, RestorePointThatDoesNotExist)
{
    Create(QStringLiteral("Pics"));
    ASSERT_EQ(Cli({QStringLiteral("backup"), QStringLiteral("Pics")}).exitCode, 0);
    const CliResult r = Cli({QStringLiteral("restore"), QStringLiteral("Pics"), QStringLiteral("--point"),
                             QStringLiteral("5"), QStringLiteral("--to"), Dir(QStringLiteral("out"))});
    EXPECT_EQ(r.exitCode, 64) << r;
    EXPECT_TRUE(r.err.contains(QStringLiteral("There is no restore point 5: the job has 1"))) << r;
}

TEST_F(CliRuns, EncryptedPointsNeedTheirPassword)
{
    Create(QStringLiteral("Safe"), {QStringLiteral("--zip"), QStringLiteral("single"), QStringLiteral("--zip-password"),
                                    QStringLiteral("pw1")});
    ASSERT_EQ(Cli({QStringLiteral("backup"), QStringLiteral("Safe")}).exitCode, 0);
    const QString out = Dir(QStringLiteral("out"));
    CliResult r = Cli({QStringLiteral("restore"), QStringLiteral("Safe"), QStringLiteral("--latest"),
                       QStringLiteral("--to"), out});
    EXPECT_EQ(r.exitCode, 64) << r;
    EXPECT_TRUE(r.err.contains(QStringLiteral("needs the ZIP password"))) << r;
    r = Cli({QStringLiteral("restore"), QStringLiteral("Safe"), QStringLiteral("--latest"), QStringLiteral("--to"), out},
            {QStringLiteral("QV_ZIP_PASSWORD=pw1")});
    ASSERT_EQ(r.exitCode, 0) << r;
    EXPECT_EQ(Read(out + QStringLiteral("/Photos/sub/b.txt")), QStringLiteral("second"));
}

TEST_F(CliRuns, RemoveDeletesTheJobAndItsBackupsUnlessKept)
{
    Create(QStringLiteral("Gone"));
    Create(QStringLiteral("Kept"));
    ASSERT_EQ(Cli({QStringLiteral("backup"), QStringLiteral("Gone")}).exitCode, 0);
    ASSERT_EQ(Cli({QStringLiteral("backup"), QStringLiteral("Kept")}).exitCode, 0);
    ASSERT_TRUE(QFileInfo(m_dest + QStringLiteral("/Gone")).isDir());

    CliResult r = Cli({QStringLiteral("remove"), QStringLiteral("Gone")});
    EXPECT_EQ(r.exitCode, 0) << r;
    EXPECT_FALSE(QFileInfo::exists(m_dest + QStringLiteral("/Gone")));
    EXPECT_FALSE(QFileInfo::exists(m_dest + QStringLiteral("/Gone.qvj")));
    EXPECT_FALSE(QFileInfo::exists(DataFolder() + QStringLiteral("/Gone.qvd")));

    r = Cli({QStringLiteral("remove"), QStringLiteral("Kept"), QStringLiteral("--keep-backups")});
    EXPECT_EQ(r.exitCode, 0) << r;
    EXPECT_TRUE(QFileInfo(m_dest + QStringLiteral("/Kept")).isDir());
    EXPECT_TRUE(LoadJobs()->Names().isEmpty());
}

TEST_F(CliRuns, JobKindsWithoutAnEngineAreRefused)
{
    // A drive-image job as the windowed program would have written it.
    QDir().mkpath(DataFolder());
    Folders::SetDataFolderOverride(DataFolder());
    {
        JobsList list;
        TJob *job = list.Add(std::make_unique<TJob_DriveImage>(QStringLiteral("Image")));
        ASSERT_TRUE(job->SaveLocalJobFile(job->LocalJobFilePath()));
        ASSERT_TRUE(list.SaveJobsList());
    }
    CliResult r = Cli({QStringLiteral("backup"), QStringLiteral("Image")});
    EXPECT_EQ(r.exitCode, 3) << r;
    EXPECT_TRUE(r.err.contains(QStringLiteral("Drive image jobs cannot run in this build."))) << r;
    r = Cli({QStringLiteral("list")});
    EXPECT_TRUE(r.out.contains(QStringLiteral("Image\tDrive Image Backup\tReady\tCancelled on "))) << r;
    r = Cli({QStringLiteral("points"), QStringLiteral("Image")});
    EXPECT_EQ(r.exitCode, 1) << r;
}

TEST_F(CliRuns, SchedulerRunsDueJobsUntilInterrupted)
{
    // A start a few seconds from now, every day of the week; caught up if
    // the scheduler comes up only after its 5-second window.
    const QString at = QDateTime::currentDateTime().addSecs(4).toString(QStringLiteral("HH:mm:ss"));
    Create(QStringLiteral("Soon"), {QStringLiteral("--weekdays"), QStringLiteral("1,2,3,4,5,6,7"),
                                    QStringLiteral("--at"), at, QStringLiteral("--catch-up")});
    QProcess p;
    p.setProgram(Program());
    p.setArguments({QStringLiteral("run")});
    p.setProcessEnvironment(Environment());
    p.start();
    ASSERT_TRUE(p.waitForStarted(10000));
    QByteArray err;
    QElapsedTimer t;
    t.start();
    while (!err.contains("Backup job \"Soon\" is finished.") && t.elapsed() < 60000 && p.state() == QProcess::Running) {
        p.waitForReadyRead(100);
        err += p.readAllStandardError();
    }
    EXPECT_TRUE(err.contains("The scheduler runs")) << err.constData();
    EXPECT_TRUE(err.contains("Backup job \"Soon\" is finished.")) << err.constData();

    // One scheduler per data folder.
    const CliResult second = Cli({QStringLiteral("run")});
    EXPECT_EQ(second.exitCode, 1) << second;
    EXPECT_TRUE(second.err.contains(QStringLiteral("already running"))) << second;

    ::kill(pid_t(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(30000));
    err += p.readAllStandardError();
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << err.constData();
    EXPECT_TRUE(err.contains("Stopping the scheduler.")) << err.constData();
}

TEST(RunProgress, LineShowsPercentFilesBytesAndTheCurrentFile)
{
    TJob_FilesAndFolders job{QStringLiteral("P")};
    job.JobStatus = jsRunning;
    job.CurrentFileOperationProgress = 50;
    job.CurrentBackupFilesProcessed = 12;
    job.CurrentBackupSize = 2048;
    job.CurrentFileOperationType = atCopyFromLocalToRemoteFile;
    job.SetCurrentFileOperationPath(QStringLiteral("/data/a.txt"));
    EXPECT_EQ(ProgressLine(job), QStringLiteral("[##########----------]  50%  12 files  2 KB  Copying /data/a.txt"));
    job.CurrentFileOperationType = atNone_WaitingForReconnection;
    EXPECT_TRUE(ProgressLine(job).endsWith(QStringLiteral("Make sure the storage device is connected. Then resume the job.")));
    job.JobStatus = jsCancelling;
    EXPECT_TRUE(ProgressLine(job).endsWith(QStringLiteral("Cancelling")));
    job.JobStatus = jsNone;
}
