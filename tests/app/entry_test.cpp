// The entry: one instance per data folder, the hand-over of a second start,
// and the command-line words that run beside a running instance. The second
// start is a real process (the helper program of these tests).
#include "app/applicationentry.h"
#include "apptestfixture.h"

#include "platform/autostart.h"
#include "platform/folders.h"
#include "support/testenv.h"
#include "support/testnames.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>

namespace {
struct HelperRun {
    int exitCode = -1;
    QStringList lines;
};

class Entry : public CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        // A private runtime folder, shared with the helper processes.
        // Short: a socket path must fit 107 bytes.
        m_runtime = TestEnv::Root() + QStringLiteral("/rt-") + QString::number(++s_runtimeCount);
        QDir().mkpath(m_runtime);
        QFile::setPermissions(m_runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime));
        QDir().mkpath(Folders::DataFolder());
    }

    void SaveJob(const QString &name, const std::function<void(TJob &)> &edit = {})
    {
        TJob_FilesAndFolders job{name};
        if (edit)
            edit(job);
        ASSERT_TRUE(job.SaveLocalJobFile(job.LocalJobFilePath()));
        JobsList list;
        (void)list.LoadJobsListAndJobs(); // the list may not exist yet
        list.Add(std::make_unique<TJob_FilesAndFolders>(name));
        ASSERT_TRUE(list.SaveJobsList());
    }

    // Runs the helper to its end while this process keeps answering it.
    HelperRun RunHelper(const QStringList &args, const QString &workingDir = QString(), int ticks = 0)
    {
        QProcess p;
        p.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/qv_entry_helper"));
        p.setArguments(args);
        if (!workingDir.isEmpty())
            p.setWorkingDirectory(workingDir);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QV_HELPER_TICKS"), QString::number(ticks));
        p.setProcessEnvironment(env);
        p.start();
        EXPECT_TRUE(p.waitForStarted(10000));
        QElapsedTimer t;
        t.start();
        while (p.state() != QProcess::NotRunning && t.elapsed() < 60000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            p.waitForFinished(10);
        }
        // The running instance acts on a request from its event loop, after
        // it has answered.
        QCoreApplication::processEvents();
        HelperRun run;
        run.exitCode = p.exitCode();
        run.lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QByteArray err = p.readAllStandardError();
        if (!err.isEmpty())
            std::fprintf(stderr, "helper: %s\n", err.constData());
        return run;
    }

    QString m_runtime;
    static inline int s_runtimeCount = 0;
};
} // namespace

TEST_F(Entry, FirstStartHoldsTheLockAndWaitsForTheWindow)
{
    ApplicationEntry entry({}, rec.Services());
    ASSERT_EQ(entry.Start(), ApplicationEntry::Outcome::Run);
    EXPECT_TRUE(entry.HoldsInstanceLock());
    EXPECT_FALSE(AppState::CommandLineRun.load());
    EXPECT_FALSE(entry.Core().IsSchedulerRunning()) << "the scheduler starts when the window is first shown";
    entry.FirstShown();
    EXPECT_TRUE(entry.Core().IsSchedulerRunning());
}

TEST_F(Entry, WindowedProgramWritesTheDefaultLogonEntry)
{
    ASSERT_FALSE(QFileInfo::exists(Autostart::EntryPath()));
    ApplicationEntry entry({}, rec.Services());
    ASSERT_EQ(entry.Start(), ApplicationEntry::Outcome::Run);
    EXPECT_FALSE(entry.Core().OptionsWereLoaded());
    EXPECT_TRUE(Autostart::IsSet());
    EXPECT_TRUE(Options().General.RunProgramAtLogon);
}

TEST_F(Entry, HideStartsTheSchedulerAtOnce)
{
    ApplicationEntry entry({QStringLiteral("--hide")}, rec.Services());
    ASSERT_EQ(entry.Start(), ApplicationEntry::Outcome::Run);
    EXPECT_TRUE(entry.Core().IsSchedulerRunning());
}

TEST_F(Entry, SecondStartAsksTheFirstToShowItselfAndEnds)
{
    ApplicationEntry first({}, rec.Services());
    ASSERT_EQ(first.Start(), ApplicationEntry::Outcome::Run);
    QSignalSpy handOver(&first, &ApplicationEntry::HandOverRequested);
    QSignalSpy open(&first, &ApplicationEntry::OpenJobFileRequested);
    const HelperRun run = RunHelper({});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, QStringList{QStringLiteral("HANDED_OVER")});
    ASSERT_EQ(handOver.count(), 1);
    EXPECT_EQ(handOver[0][0].toString(), QString()) << "only shown";
    EXPECT_EQ(open.count(), 0);
}

struct HandOverCase {
    const char *argument;
    bool opens;
};

void PrintTo(const HandOverCase &c, std::ostream *os)
{
    *os << TestNames::Quoted(c.argument) << (c.opens ? " opens" : " is ignored");
}

class HandOver : public Entry, public ::testing::WithParamInterface<HandOverCase> {};

TEST_P(HandOver, JobFilePathIsHandedOverOnlyWithTheExactExtension)
{
    ApplicationEntry first({}, rec.Services());
    ASSERT_EQ(first.Start(), ApplicationEntry::Outcome::Run);
    QSignalSpy handOver(&first, &ApplicationEntry::HandOverRequested);
    QSignalSpy open(&first, &ApplicationEntry::OpenJobFileRequested);
    const QString cwd = PrivateFolder() + QStringLiteral("/elsewhere");
    QDir().mkpath(cwd);
    const HelperRun run = RunHelper({QLatin1String(GetParam().argument)}, cwd);
    EXPECT_EQ(run.lines, QStringList{QStringLiteral("HANDED_OVER")});
    ASSERT_EQ(handOver.count(), 1);
    // A relative path reaches the first instance as a full path; any other
    // argument only shows the window.
    EXPECT_EQ(handOver[0][0].toString(),
              GetParam().opens ? cwd + QLatin1Char('/') + QLatin1String(GetParam().argument) : QString());
    EXPECT_EQ(open.count(), 0) << "this start's own first argument is another matter";
}

INSTANTIATE_TEST_SUITE_P(Cases, HandOver,
                         ::testing::Values(HandOverCase{"Docs.qvj", true}, HandOverCase{"Docs.QVJ", false},
                                           HandOverCase{"Docs.txt", false}, HandOverCase{"/hide", false}),
                         [](const auto &i) { return TestNames::Spelled(i.param.argument); });

TEST_F(Entry, BackupWordRunsBesideARunningInstance)
{
    SaveJob(QStringLiteral("Daily"));
    ApplicationEntry first({}, rec.Services());
    ASSERT_EQ(first.Start(), ApplicationEntry::Outcome::Run);
    QSignalSpy handOver(&first, &ApplicationEntry::HandOverRequested);
    const HelperRun run = RunHelper({QStringLiteral("-BACKUP"), QStringLiteral("Daily")}, QString(), 1);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.lines.contains(QStringLiteral("RUNNING BESIDE"))) << run.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(run.lines.contains(QStringLiteral("STARTED Daily"))) << run.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(handOver.count(), 0);
    EXPECT_TRUE(rec.Runner->Started.isEmpty()) << "the running instance is not involved";
}

TEST_F(Entry, InstanceBesideARunningOneServesItsWordButNotTheSchedule)
{
    SaveJob(QStringLiteral("Daily"));
    // Due a minute ago, every day, and caught up: the instance that runs the
    // schedule starts it at its first tick.
    SaveJob(QStringLiteral("Scheduled"), [](TJob &job) {
        TSchedulingSettings &s = job.SchedulingSettings;
        s.SchedulingType = stDaysOfWeek;
        for (int d = 1; d <= 7; ++d)
            s.DaysOfWeek[d] = true;
        s.TimeTable = {QDateTime::currentDateTime().addSecs(-60).toString(QStringLiteral("HH:mm:ss"))};
        s.RunJobAsSoonAsPossibleAfterAScheduledStartIsMissed = true;
        s.LastModificationDateTime = D(QStringLiteral("2024-05-01 09:00:00"));
    });
    const QStringList words{QStringLiteral("/backup"), QStringLiteral("Daily")};
    {
        // Alone, the instance is the program: its word and the schedule.
        const HelperRun alone = RunHelper(words, QString(), 1);
        EXPECT_TRUE(alone.lines.contains(QStringLiteral("RUNNING FIRST"))) << alone.lines.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(alone.lines.contains(QStringLiteral("STARTED Daily")));
        EXPECT_TRUE(alone.lines.contains(QStringLiteral("STARTED Scheduled")));
    }
    ApplicationEntry first({}, rec.Services());
    ASSERT_EQ(first.Start(), ApplicationEntry::Outcome::Run);
    const HelperRun beside = RunHelper(words, QString(), 2);
    EXPECT_TRUE(beside.lines.contains(QStringLiteral("RUNNING BESIDE"))) << beside.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(beside.lines.contains(QStringLiteral("STARTED Daily")));
    EXPECT_FALSE(beside.lines.contains(QStringLiteral("STARTED Scheduled")))
        << "the schedule is the running instance's\n" << beside.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(beside.lines.contains(QStringLiteral("JOB Scheduled 0"))) << "not even queued";
}

TEST_F(Entry, CommandLineInstanceRunsTheScheduleOnceItHoldsTheLock)
{
    auto other = std::make_unique<InstanceLock>();
    ASSERT_EQ(other->TryAcquire(), InstanceLock::Result::Acquired);
    ApplicationEntry entry({QStringLiteral("/admin")}, rec.Services());
    ASSERT_EQ(entry.Start(), ApplicationEntry::Outcome::Run);
    EXPECT_FALSE(entry.Core().QueuesScheduledStarts());
    other.reset(); // the running instance ends
    QElapsedTimer waited;
    waited.start();
    while (!entry.HoldsInstanceLock() && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_TRUE(entry.HoldsInstanceLock());
    EXPECT_TRUE(entry.Core().QueuesScheduledStarts()) << "it took over, the schedule too";
}

TEST_F(Entry, BackupOfANameThatMatchesNoJobDoesNothing)
{
    SaveJob(QStringLiteral("Daily"));
    ApplicationEntry first({}, rec.Services());
    ASSERT_EQ(first.Start(), ApplicationEntry::Outcome::Run);
    const HelperRun run = RunHelper({QStringLiteral("/backup"), QStringLiteral("daily")}, QString(), 2);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, (QStringList{QStringLiteral("RUNNING BESIDE"), QStringLiteral("JOB Daily 0")}));
}

TEST_F(Entry, StartWithoutARunningInstanceBecomesTheFirst)
{
    const HelperRun run = RunHelper({});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, QStringList{QStringLiteral("RUNNING FIRST")});
    // The lock went with the helper: this process can take it now.
    ApplicationEntry entry({}, rec.Services());
    EXPECT_EQ(entry.Start(), ApplicationEntry::Outcome::Run);
    EXPECT_TRUE(entry.HoldsInstanceLock());
}

TEST_F(Entry, CommandLineInstanceTakesTheLockWhenTheFirstEnds)
{
    InstanceLock other;
    ASSERT_EQ(other.TryAcquire(), InstanceLock::Result::Acquired);
    ApplicationEntry entry({QStringLiteral("/admin")}, rec.Services());
    ASSERT_EQ(entry.Start(), ApplicationEntry::Outcome::Run);
    EXPECT_FALSE(entry.HoldsInstanceLock());
    EXPECT_TRUE(AppState::CommandLineRun.load());
}

TEST_F(Entry, MessagesThatAreNotOursAreIgnored)
{
    ApplicationEntry first({}, rec.Services());
    ASSERT_EQ(first.Start(), ApplicationEntry::Outcome::Run);
    QSignalSpy handOver(&first, &ApplicationEntry::HandOverRequested);
    QSignalSpy open(&first, &ApplicationEntry::OpenJobFileRequested);
    for (const QByteArray &junk : {QByteArray("GET / HTTP/1.0\r\n\r\n"), QByteArray("QVH1\x02\xff\xff\xff\x7f", 9),
                                   QByteArray("QVH1\x07\0\0\0\0", 9)}) {
        QLocalSocket s;
        s.connectToServer(SingleInstance::ServerPath(m_runtime));
        ASSERT_TRUE(s.waitForConnected(5000));
        s.write(junk);
        s.flush();
        QElapsedTimer t;
        t.start();
        while (s.state() != QLocalSocket::UnconnectedState && t.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_EQ(s.state(), QLocalSocket::UnconnectedState) << "the server drops the connection";
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(handOver.count(), 0);
    EXPECT_EQ(open.count(), 0);
}

// --- the wire format ---

TEST(HandOverMessage, RoundTripsAndRejectsWhatIsNotOurs)
{
    using namespace SingleInstance;
    QByteArray buffer = EncodeMessage(MessageType::OpenFile, QStringLiteral("/home/ü/Docs.qvj"));
    const QByteArray whole = buffer;
    MessageType type{};
    QString payload;
    // Arriving byte by byte: incomplete until the last one.
    QByteArray partial;
    for (int i = 0; i < whole.size() - 1; ++i) {
        partial.append(whole[i]);
        QByteArray copy = partial;
        ASSERT_EQ(DecodeMessage(copy, type, payload), 0) << i;
    }
    ASSERT_EQ(DecodeMessage(buffer, type, payload), 1);
    EXPECT_EQ(type, MessageType::OpenFile);
    EXPECT_EQ(payload, QStringLiteral("/home/ü/Docs.qvj"));
    EXPECT_TRUE(buffer.isEmpty());

    QByteArray show = EncodeMessage(MessageType::Show, QString());
    ASSERT_EQ(DecodeMessage(show, type, payload), 1);
    EXPECT_EQ(type, MessageType::Show);

    QByteArray badMagic("XVH1\x01\0\0\0\0", 9);
    EXPECT_EQ(DecodeMessage(badMagic, type, payload), -1);
    QByteArray badType("QVH1\x09\0\0\0\0", 9);
    EXPECT_EQ(DecodeMessage(badType, type, payload), -1);
    QByteArray tooLong("QVH1\x02\x01\x00\x01\x00", 9); // 65537 bytes announced
    EXPECT_EQ(DecodeMessage(tooLong, type, payload), -1);
    QByteArray badUtf8("QVH1\x02\x02\0\0\0\xff\xfe", 11);
    EXPECT_EQ(DecodeMessage(badUtf8, type, payload), -1);
    QByteArray withNul("QVH1\x02\x02\0\0\0a\0", 11);
    EXPECT_EQ(DecodeMessage(withNul, type, payload), -1);
}
