// "Pause the job and wait" on the console: quorvane-cli backup tries the
// destination that went away again and again, and resumes the run by itself
// once it is back.
#include "clitestfixture.h"

#include "options/options.h"

#include <QDirIterator>
#include <QFileInfo>

namespace {
class CliReconnect : public CliTest {
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        m_src = Dir(QStringLiteral("Photos"));
        m_dest = Dir(QStringLiteral("dest"));
        for (int f = 0; f < kFiles; ++f)
            Write(m_src + QStringLiteral("/d%1/f%2.txt").arg(f % 10).arg(f), QByteArray(4096, char('a' + f % 26)));
    }

    // Whether the run has copied a file to the destination yet.
    static bool HoldsCopies(const QString &dest)
    {
        return QDirIterator(dest, {QStringLiteral("f*.txt")}, QDir::Files, QDirIterator::Subdirectories).hasNext();
    }

    static constexpr int kFiles = 1000;

    // The options of the data folder: pause when the destination refuses a
    // file, no retries of the file itself, and the destination tried every second.
    void SavePauseOptions()
    {
        Folders::SetDataFolderOverride(DataFolder());
        ASSERT_TRUE(QDir().mkpath(DataFolder()));
        TOptions o;
        SetDefaultOptions(o);
        o.General.RunProgramAtLogon = false;
        o.General.PathForTempFiles = m_home + QStringLiteral("/tmp/QuorvaneTmp");
        o.Logging.PathForLogFiles = m_home + QStringLiteral("/docs/Quorvane");
        o.Processing.IfDestinationNotAvailable_Then = 1;
        o.Processing.IfDestinationNotAvailable_Retry_Times = 0;
        o.Processing.IfDestinationNotAvailable_Wait_Sec = 1;
        QString error;
        ASSERT_TRUE(SaveOptions(o, OptionsFilePath(), &error)) << error.toStdString();
    }

    QString m_src;
    QString m_dest;
};
} // namespace

TEST_F(CliReconnect, BackupWaitsForItsDestinationAndResumesWhenItIsBack)
{
    SavePauseOptions();
    ASSERT_EQ(Cli({QStringLiteral("create"), QStringLiteral("Pics"), QStringLiteral("--source"), m_src,
                   QStringLiteral("--to"), m_dest})
                  .exitCode,
              0);
    std::unique_ptr<CliProcess> run = StartCli({QStringLiteral("backup"), QStringLiteral("Pics")},
                                               StopAtOpen::Environment(QStringLiteral("/Photos/d5/f505.txt")));
    ASSERT_TRUE(run->WaitUntilStopped()) << run->Finish();
    ASSERT_TRUE(HoldsCopies(m_dest)) << "stopped in the midst of its copies";

    // The drive goes away while the run is held in the midst of its copies:
    // where the destination folder was, nothing can be created any more.
    const QString away = m_dest + QStringLiteral("-away");
    ASSERT_TRUE(QDir().rename(m_dest, away));
    Write(m_dest, "not a folder");
    run->Signal(SIGCONT);

    ASSERT_TRUE(run->WaitForErr("The destination does not accept files. The job waits for it and tries it again every "
                                "1 seconds; Ctrl-C cancels the job."))
        << run->err.constData();
    ASSERT_TRUE(run->WaitForErr("The destination cannot be reached yet: ")) << run->err.constData();
    EXPECT_EQ(run->process.state(), QProcess::Running) << "it waits";

    // The drive comes back.
    ASSERT_TRUE(QFile::remove(m_dest));
    ASSERT_TRUE(QDir().rename(away, m_dest));
    ASSERT_TRUE(run->WaitForErr("The destination can be reached again; the job resumes.")) << run->err.constData();

    const CliResult r = run->Finish();
    EXPECT_TRUE(r.exitCode >= 0 && r.exitCode <= 2) << "finished, not cancelled\n" << r;
    EXPECT_TRUE(r.out.contains(QStringLiteral("Backup job \"Pics\" is finished"))) << r;

    const QString out = m_home + QStringLiteral("/work/restored");
    const CliResult restore =
        Cli({QStringLiteral("restore"), QStringLiteral("Pics"), QStringLiteral("--latest"), QStringLiteral("--to"), out});
    ASSERT_EQ(restore.exitCode, 0) << restore;
    int files = 0;
    QDirIterator it(m_src, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        EXPECT_EQ(TestEnv::ReadFile(out + QStringLiteral("/Photos/") + QDir(m_src).relativeFilePath(path)),
                  TestEnv::ReadFile(path))
            << path.toStdString();
        ++files;
    }
    EXPECT_EQ(files, kFiles);
}
