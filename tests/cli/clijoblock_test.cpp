// One job never runs twice at once, across processes: quorvane-cli against
// another quorvane-cli and against "quorvane-cli run", and a process killed
// while it holds the job.
//
// The process that won the job stops itself at its first open of one of the
// source files, so that the other one surely meets it at work, however the
// machine schedules the two; it is continued afterwards and must finish
// normally.
#include "clitestfixture.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QDirIterator>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

namespace {
const QByteArray kBusy = "is busy in another process of the program";

class CliJobLock : public CliTest {
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        m_src = Dir(QStringLiteral("Photos"));
        m_dest = Dir(QStringLiteral("dest"));
        // Enough to keep a run going for a moment: incompressible, so that
        // the archive of a ZIP job is as large as the files.
        QRandomGenerator random(7);
        for (int f = 0; f < 300; ++f) {
            QByteArray data(32 * 1024, Qt::Uninitialized);
            random.fillRange(reinterpret_cast<quint32 *>(data.data()), data.size() / 4);
            Write(m_src + QStringLiteral("/d%1/f%2.bin").arg(f % 10).arg(f), data);
        }
    }

    void Create(const QString &name, const QStringList &extra = {})
    {
        const CliResult r = Cli(QStringList{QStringLiteral("create"), name, QStringLiteral("--source"), m_src,
                                            QStringLiteral("--to"), m_dest} + extra);
        ASSERT_EQ(r.exitCode, 0) << r;
    }

    // The environment of a run that stops in the midst of its copies.
    static QStringList StopsAtWork() { return StopAtOpen::Environment(QStringLiteral("/Photos/d5/f5.bin")); }

    // Starts a backup and returns once it is stopped at work (it then holds the job).
    std::unique_ptr<CliProcess> StoppedBackup(const QString &name)
    {
        auto p = StartCli({QStringLiteral("backup"), name}, StopsAtWork());
        EXPECT_TRUE(p->WaitUntilStopped()) << p->Finish();
        return p;
    }

    // Every file of the sources, restored byte for byte from the latest point.
    void ExpectLatestPointRestoresTheSources(const QString &name)
    {
        const QString out = m_home + QStringLiteral("/work/restored-%1").arg(++m_restores);
        const CliResult r = Cli({QStringLiteral("restore"), name, QStringLiteral("--latest"), QStringLiteral("--to"), out});
        ASSERT_EQ(r.exitCode, 0) << r;
        int files = 0;
        QDirIterator it(m_src, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString copy = out + QStringLiteral("/Photos/") + QDir(m_src).relativeFilePath(path);
            EXPECT_EQ(TestEnv::ReadFile(copy), TestEnv::ReadFile(path)) << copy.toStdString();
            ++files;
        }
        EXPECT_EQ(files, 300);
    }

    static void NextSecond()
    {
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        while (QDateTime::currentSecsSinceEpoch() == now)
            QThread::msleep(20);
    }

    QString m_src;
    QString m_dest;
    int m_restores = 0;
};
} // namespace

TEST_F(CliJobLock, TwoBackupsOfOneJobStartedTogetherRunOnce)
{
    // One archive per run: the set that two runs at once used to corrupt.
    Create(QStringLiteral("Zipped"), {QStringLiteral("--zip"), QStringLiteral("single")});
    std::unique_ptr<CliProcess> runs[2] = {StartCli({QStringLiteral("backup"), QStringLiteral("Zipped")}, StopsAtWork()),
                                           StartCli({QStringLiteral("backup"), QStringLiteral("Zipped")}, StopsAtWork())};
    // Whichever gets the job stops at work; the other must then be refused.
    int winner = -1;
    QElapsedTimer waited;
    waited.start();
    while (winner < 0) {
        for (int i = 0; i < 2 && winner < 0; ++i) {
            if (StopAtOpen::IsStopped(runs[i]->process.processId()))
                winner = i;
        }
        ASSERT_LT(waited.elapsed(), 120000) << "neither run got to work\n" << runs[0]->Finish() << runs[1]->Finish();
        QThread::msleep(10);
    }
    const CliResult refused = runs[1 - winner]->Finish();
    EXPECT_EQ(refused.exitCode, 75) << refused;
    EXPECT_TRUE(refused.err.contains(QString::fromUtf8("The job \"Zipped\" " + kBusy))) << refused;
    EXPECT_FALSE(refused.err.contains(QStringLiteral("Starting the"))) << "the refused one started nothing\n" << refused;

    runs[winner]->Signal(SIGCONT);
    const CliResult ran = runs[winner]->Finish();
    EXPECT_EQ(ran.exitCode, 0) << ran;

    const CliResult points = Cli({QStringLiteral("points"), QStringLiteral("Zipped")});
    ASSERT_EQ(points.exitCode, 0) << points;
    EXPECT_EQ(points.OutLines().size(), 1) << points;
    ExpectLatestPointRestoresTheSources(QStringLiteral("Zipped"));
}

TEST_F(CliJobLock, RestorePointsAndRemoveWaitForARunningBackup)
{
    Create(QStringLiteral("Pics"));
    ASSERT_EQ(Cli({QStringLiteral("backup"), QStringLiteral("Pics")}).exitCode, 0);
    NextSecond();
    // A changed file, so that the incremental run has a copy to stop at.
    Write(m_src + QStringLiteral("/d5/f5.bin"), "changed");
    std::unique_ptr<CliProcess> run = StoppedBackup(QStringLiteral("Pics"));

    const QString out = m_home + QStringLiteral("/work/out");
    const QList<QStringList> commands = {
        {QStringLiteral("restore"), QStringLiteral("Pics"), QStringLiteral("--latest"), QStringLiteral("--to"), out},
        {QStringLiteral("points"), QStringLiteral("Pics")},
        {QStringLiteral("remove"), QStringLiteral("Pics")},
        {QStringLiteral("backup"), QStringLiteral("Pics")},
    };
    for (const QStringList &command : commands) {
        const CliResult r = Cli(command);
        EXPECT_EQ(r.exitCode, 75) << command.join(QLatin1Char(' ')).toStdString() << "\n" << r;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(kBusy))) << r;
    }
    EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/Photos"))) << "nothing was restored";

    run->Signal(SIGCONT);
    const CliResult ran = run->Finish();
    EXPECT_EQ(ran.exitCode, 0) << ran;
    EXPECT_TRUE(LoadJobs()->Find(QStringLiteral("Pics"))) << "the job was not removed";
    const CliResult points = Cli({QStringLiteral("points"), QStringLiteral("Pics")});
    EXPECT_EQ(points.OutLines().size(), 2) << points;
    ExpectLatestPointRestoresTheSources(QStringLiteral("Pics"));
}

TEST_F(CliJobLock, BackupAndTheSchedulerOfQuorvaneCliRunMeetOnce)
{
    // Due in a moment, every day; caught up if the scheduler comes up late.
    const QString at = QDateTime::currentDateTime().addSecs(3).toString(QStringLiteral("HH:mm:ss"));
    const QStringList schedule{QStringLiteral("--weekdays"), QStringLiteral("1,2,3,4,5,6,7"), QStringLiteral("--at"), at,
                               QStringLiteral("--catch-up")};
    Create(QStringLiteral("Held"), schedule);
    Create(QStringLiteral("Sched"), schedule);

    // "Held" is run by hand when its start comes: the scheduler must leave it.
    std::unique_ptr<CliProcess> byHand = StoppedBackup(QStringLiteral("Held"));
    std::unique_ptr<CliProcess> scheduler = StartCli({QStringLiteral("run")}, StopsAtWork());
    EXPECT_TRUE(scheduler->WaitForErr("The job \"Held\" " + kBusy)) << scheduler->err.constData();

    // "Sched" is the scheduler's: a backup by hand is refused meanwhile.
    EXPECT_TRUE(scheduler->WaitUntilStopped()) << scheduler->Finish();
    const CliResult refused = Cli({QStringLiteral("backup"), QStringLiteral("Sched")});
    EXPECT_EQ(refused.exitCode, 75) << refused;
    scheduler->Signal(SIGCONT);
    EXPECT_TRUE(scheduler->WaitForErr("Backup job \"Sched\" is finished.")) << scheduler->err.constData();

    byHand->Signal(SIGCONT);
    const CliResult ran = byHand->Finish();
    EXPECT_EQ(ran.exitCode, 0) << ran;
    scheduler->Signal(SIGINT);
    const CliResult stopped = scheduler->Finish();
    EXPECT_EQ(stopped.exitCode, 0) << stopped;
    EXPECT_FALSE(stopped.err.contains(QStringLiteral("Starting the \"Held\" backup."))) << stopped;

    for (const char *job : {"Held", "Sched"}) {
        const CliResult points = Cli({QStringLiteral("points"), QLatin1String(job)});
        EXPECT_EQ(points.OutLines().size(), 1) << job << "\n" << points;
        ExpectLatestPointRestoresTheSources(QLatin1String(job));
    }
}

TEST_F(CliJobLock, LockOfAKilledBackupDoesNotHoldTheNextRun)
{
    Create(QStringLiteral("Pics"));
    std::unique_ptr<CliProcess> run = StoppedBackup(QStringLiteral("Pics"));
    run->Signal(SIGKILL);
    EXPECT_EQ(run->Finish().exitCode, -1) << "killed, not ended";
    EXPECT_TRUE(QFileInfo::exists(DataFolder() + QStringLiteral("/Pics.lock"))) << "the kill left the file";

    NextSecond();
    const CliResult next = Cli({QStringLiteral("backup"), QStringLiteral("Pics")});
    // The killed run may have left its start flag: a warning, no refusal.
    EXPECT_TRUE(next.exitCode == 0 || next.exitCode == 1) << next;
    EXPECT_FALSE(next.err.contains(QString::fromUtf8(kBusy))) << next;
    EXPECT_FALSE(QFileInfo::exists(DataFolder() + QStringLiteral("/Pics.lock"))) << "the lock went with its run";
    ExpectLatestPointRestoresTheSources(QStringLiteral("Pics"));
}
