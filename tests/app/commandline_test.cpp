// The command-line words and what the core does with them once it is up.
#include "app/commandline.h"
#include "apptestfixture.h"

#include "base/textfile.h"
#include "platform/folders.h"
#include "support/testnames.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>

struct WordCase {
    const char *argument;
    const char *word;
    bool recognised;
};

void PrintTo(const WordCase &c, std::ostream *os)
{
    *os << TestNames::Quoted(c.argument) << (c.recognised ? " is " : " is not ") << TestNames::Quoted(c.word);
}

class Words : public ::testing::TestWithParam<WordCase> {};

TEST_P(Words, AreRecognisedAfterAPrefixInAnyLetterCase)
{
    EXPECT_EQ(CommandLine::IsWord(QLatin1String(GetParam().argument), QLatin1String(GetParam().word)),
              GetParam().recognised)
        << GetParam().argument;
}

INSTANTIATE_TEST_SUITE_P(Cases, Words,
                         ::testing::Values(WordCase{"-backup", "backup", true}, WordCase{"/BACKUP", "backup", true},
                                           WordCase{"--Backup", "backup", true}, WordCase{"/hide", "hide", true},
                                           WordCase{"-Admin", "admin", true}, WordCase{"backup", "backup", false},
                                           WordCase{"-backups", "backup", false}, WordCase{"---backup", "backup", false},
                                           WordCase{"/home/u/x.qvj", "hide", false}, WordCase{"", "backup", false}),
                         [](const auto &i) { return TestNames::Spelled(i.param.argument); });

TEST(CommandLineParse, CountsArgumentsFromTheStartWordsIncluded)
{
    const CommandLine cl = CommandLine::Parse({QStringLiteral("/backup"), QStringLiteral("My Job"), QStringLiteral("-HIDE")});
    EXPECT_TRUE(cl.Backup);
    EXPECT_TRUE(cl.Hide);
    EXPECT_FALSE(cl.Restore || cl.Remove || cl.Admin);
    EXPECT_TRUE(cl.IsCommandLineRun());
    EXPECT_EQ(cl.FirstArgument, QStringLiteral("/backup"));
    EXPECT_EQ(cl.SecondArgument, QStringLiteral("My Job"));

    EXPECT_FALSE(CommandLine::Parse({QStringLiteral("/hide")}).IsCommandLineRun());
    EXPECT_TRUE(CommandLine::Parse({QStringLiteral("-admin")}).IsCommandLineRun());
    EXPECT_TRUE(CommandLine::Parse({}).FirstArgument.isEmpty());
}

TEST(CommandLineParse, JobFilePathNeedsTheExactExtension)
{
    AppState::SetJobFileExtension(QStringLiteral(".qvj"));
    EXPECT_TRUE(IsJobFilePath(QStringLiteral("/data/Docs.qvj")));
    EXPECT_TRUE(IsJobFilePath(QStringLiteral("relative.qvj")));
    EXPECT_FALSE(IsJobFilePath(QStringLiteral("/data/Docs.QVJ")));
    EXPECT_FALSE(IsJobFilePath(QStringLiteral("/data/Docs.qvk")));
    EXPECT_FALSE(IsJobFilePath(QStringLiteral("/data.qvj/Docs")));
    EXPECT_FALSE(IsJobFilePath(QString()));
    AppState::SetJobFileExtension(QStringLiteral(".qvk"));
    EXPECT_TRUE(IsJobFilePath(QStringLiteral("/data/Docs.qvk")));
    AppState::SetJobFileExtension(QStringLiteral(".qvj"));
}

// --- serving the words ---

class ServeWords : public CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        QDir().mkpath(Folders::DataFolder());
        for (const char *name : {"Docs", "docs", "Photos"}) {
            TJob &job = AddJob(QLatin1String(name));
            ASSERT_TRUE(job.SaveLocalJobFile(job.LocalJobFilePath()));
        }
        ASSERT_TRUE(core->Jobs().SaveJobsList());
    }
    TJob &Job(const char *name) { return *core->Jobs().Find(QLatin1String(name)); }
    static CommandLine Args(std::initializer_list<const char *> args)
    {
        QStringList list;
        for (const char *a : args)
            list.append(QString::fromUtf8(a));
        return CommandLine::Parse(list);
    }
};

TEST_F(ServeWords, BackupQueuesEveryJobWithExactlyThatName)
{
    // A second job of the same name (a list written by hand) is queued too.
    AddJob(QStringLiteral("Docs"));
    core->ServeCommandLine(Args({"-backup", "Docs"}));
    EXPECT_EQ(core->Jobs().At(0)->JobStatus.load(), jsWaiting);
    EXPECT_EQ(core->Jobs().At(3)->JobStatus.load(), jsWaiting);
    EXPECT_EQ(Job("docs").JobStatus.load(), jsNone);
    EXPECT_EQ(Job("Photos").JobStatus.load(), jsNone);
    core->tick();
    EXPECT_EQ(rec.Runner->Started, (QStringList{QStringLiteral("Docs"), QStringLiteral("Docs")}));
}

TEST_F(ServeWords, NameThatMatchesNoJobDoesNothing)
{
    const QStringList before = core->Jobs().Names();
    QSignalSpy restore(core.get(), &ApplicationCore::RestoreRequested);
    for (const char *word : {"/backup", "/restore", "/remove"})
        core->ServeCommandLine(Args({word, "DOCS"}));
    core->tick();
    EXPECT_TRUE(rec.Runner->Started.isEmpty());
    EXPECT_TRUE(rec.Runner->Removed.isEmpty());
    EXPECT_EQ(restore.count(), 0);
    EXPECT_EQ(core->Jobs().Names(), before);
    for (const auto &job : core->Jobs().Jobs())
        EXPECT_EQ(job->JobStatus.load(), jsNone);
}

TEST_F(ServeWords, RestoreAsksForTheKindsRestoreOfEachMatch)
{
    QSignalSpy restore(core.get(), &ApplicationCore::RestoreRequested);
    core->ServeCommandLine(Args({"/restore", "Photos"}));
    ASSERT_EQ(restore.count(), 1);
    EXPECT_EQ(restore[0][0].value<TJob *>(), &Job("Photos"));
}

TEST_F(ServeWords, RemoveDeletesTheBackupsAndTheRecordOfTheFirstMatch)
{
    const QString file = Job("docs").LocalJobFilePath();
    core->ServeCommandLine(Args({"/remove", "docs"}));
    EXPECT_EQ(rec.Runner->Removed, QStringList{QStringLiteral("docs")});
    EXPECT_EQ(core->Jobs().Names(), (QStringList{QStringLiteral("Docs"), QStringLiteral("Photos")}));
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(ReadTextLines(core->Jobs().FilePath()), (QStringList{QStringLiteral("Docs"), QStringLiteral("Photos")}));
    EXPECT_TRUE(core->Events().last().endsWith(QStringLiteral("Job is removed.")));
}

TEST_F(ServeWords, RemoveWithUnreachableBackupsStillRemovesTheRecord)
{
    rec.Runner->RemoveSucceeds = false;
    QSignalSpy dialog(core.get(), &ApplicationCore::ErrorMessage);
    core->ServeCommandLine(Args({"/remove", "Photos"}));
    ASSERT_EQ(dialog.count(), 1);
    EXPECT_EQ(dialog[0][0].toString(), QStringLiteral("Unable to remove the backup folder.\n\nMake sure the storage "
                                                      "device is connected. Then remove it manually"));
    EXPECT_EQ(core->Jobs().IndexOf(QStringLiteral("Photos")), -1);
}

TEST_F(ServeWords, JobFileAsFirstArgumentAsksForTheOpenAction)
{
    QSignalSpy open(core.get(), &ApplicationCore::OpenJobFileRequested);
    core->ServeCommandLine(Args({"/tmp/Other.QVJ"}));
    EXPECT_EQ(open.count(), 0);
    core->ServeCommandLine(Args({"/tmp/Other.qvj", "/hide"}));
    ASSERT_EQ(open.count(), 1);
    EXPECT_EQ(open[0][0].toString(), QStringLiteral("/tmp/Other.qvj"));
}

// --- quitting ---

TEST_F(CoreTest, QuitCancelsActiveJobsAndWaitsForThem)
{
    TJob &job = AddJob(QStringLiteral("A"));
    TJob &queued = AddJob(QStringLiteral("Queued"));
    job.JobStatus = jsRunning;
    queued.SetWaiting();
    // A worker that notices the cancel a little later.
    QObject::connect(&job, &TJob::Changed, &job, [&job] {
        if (job.JobStatus.load() == jsCancelling)
            QTimer::singleShot(30, &job, [&job] { RecordingRunner::Finish(job, true); });
    }, Qt::QueuedConnection);
    EXPECT_TRUE(core->Quit(5000));
    EXPECT_TRUE(AppState::ApplicationClosing.load());
    EXPECT_EQ(job.JobStatus.load(), jsNone);
    EXPECT_EQ(queued.JobStatus.load(), jsNone);
    EXPECT_FALSE(core->IsSchedulerRunning());
}

TEST_F(CoreTest, QuitGivesUpOnAJobThatDoesNotStop)
{
    TJob &job = AddJob(QStringLiteral("Stuck"));
    job.JobStatus = jsRunning;
    EXPECT_FALSE(core->Quit(50));
    EXPECT_EQ(job.JobStatus.load(), jsCancelling);
}

TEST_F(CoreTest, PauseAllAndCancelAllActOnEveryJob)
{
    TJob &a = AddJob(QStringLiteral("A"));
    a.JobStatus = jsRunning;
    core->PauseAll();
    EXPECT_EQ(a.JobStatus.load(), jsPaused);
    core->CancelAll();
    EXPECT_EQ(a.JobStatus.load(), jsCancelling);
}
