// Another start's request reaching the window that sits in the notification
// area: the real entry listens, a real second process (the entry tests'
// helper program) hands a job file over, and the program password is
// answered through the modal hook while the sender and the connection's
// idle timer have long finished.
#include "shelltestfixture.h"

#include "app/applicationentry.h"
#include "base/appstate.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalscript.h"
#include "gui/tools/passwordinput.h"
#include "platform/singleinstance.h"
#include "support/testenv.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QTimer>

namespace {
// A client that connects and says nothing is dropped after this; the
// prompts below stay open several times as long.
constexpr int kIdleMs = 50;

// The open-job dialog's stand-in: records the default paths it was opened with.
class RecordingJobWindows : public JobWindows {
public:
    explicit RecordingJobWindows(QStringList &opened) : m_opened(opened) {}
    bool Available(Window window) const override { return window == wOpenJob; }
    int ChooseJobKind(QWidget *) override { return 0; }
    int RunWizard(TJob &, const QString &, bool, QWidget *) override { return 0; }
    std::unique_ptr<TJob> OpenJob(const QString &defaultPath, QWidget *) override
    {
        m_opened << defaultPath;
        return nullptr;
    }
    void Restore(TJob &, QWidget *) override {}
    void ShowLog(const QString &, bool, QWidget *) override {}
    void ShowFtpClient(QWidget *) override {}
    void ShowCloudClient(QWidget *) override {}

private:
    QStringList &m_opened;
};

enum class Answer { NoPassword, Cancel, WrongPassword, RightPassword };

struct HandOverCase {
    const char *name;
    Answer answer;
    bool shown; // the window shows and the Open action runs
};

class HandOverTest : public ShellTest, public ::testing::WithParamInterface<HandOverCase> {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        // A private runtime folder for the lock and the socket, seen by the
        // helper too; short, since a socket path must fit 107 bytes.
        static int runs = 0;
        m_savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        const QString runtime = TestEnv::Root() + QStringLiteral("/hrt-") + QString::number(++runs);
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        InstanceServer::SetIdleClientTimeoutMs(kIdleMs);
    }

    void TearDown() override
    {
        InstanceServer::SetIdleClientTimeoutMs(5000);
        qputenv("XDG_RUNTIME_DIR", m_savedRuntime);
        ShellTest::TearDown();
    }

    // Runs the event loop for `ms`: long enough for the idle timer of the
    // sender's connection to have fired.
    static void RunEventLoopFor(int ms)
    {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

    QByteArray m_savedRuntime;
};
} // namespace

TEST_P(HandOverTest, JobFileOpensOnlyBehindTheRightPasswordAndTheSenderIsAnsweredAtOnce)
{
    const HandOverCase &c = GetParam();
    ApplicationEntry entry({}, rec.Services());
    ASSERT_EQ(entry.Start(), ApplicationEntry::Outcome::Run);
    ASSERT_TRUE(entry.HoldsInstanceLock());
    // The start-up loaded the defaults; the protection is set afterwards.
    if (c.answer != Answer::NoPassword) {
        Options().General.ProtectConfigurationbyPassword = true;
        Options().General.strProtectConfiguration_Password = QStringLiteral("Secret");
    }
    QStringList opened;
    TfrmMainQuorvane w(entry.Core());
    w.SetJobWindows(std::make_unique<RecordingJobWindows>(opened));
    w.AttachEntry(entry);
    ASSERT_TRUE(w.ShowAtStart(true)); // in the notification area

    QProcess second;
    second.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/qv_entry_helper"));
    second.setArguments({QStringLiteral("Docs.qvj")});
    second.setWorkingDirectory(PrivateFolder());

    // The prompt stays open until the second start has ended and the idle
    // time of its connection has passed several times over.
    const bool asked = c.answer != Answer::NoPassword;
    ModalScript script;
    bool prompted = false;
    if (asked)
        script.Then([&](QDialog &d) {
            prompted = true;
            auto *prompt = qobject_cast<TfrmEnterPassword *>(&d);
            EXPECT_TRUE(prompt) << d.metaObject()->className();
            if (!prompt)
                return 0;
            EXPECT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 30000));
            RunEventLoopFor(kIdleMs * 4);
            if (c.answer == Answer::Cancel)
                return 0;
            prompt->edPassword()->setText(c.answer == Answer::RightPassword ? QStringLiteral(" Secret")
                                                                            : QStringLiteral("secret"));
            prompt->accept();
            return 1;
        });
    if (c.answer == Answer::WrongPassword)
        script.Answer(mrOk);

    second.start();
    ASSERT_TRUE(second.waitForStarted(10000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return second.state() == QProcess::NotRunning && (asked ? script.Pending() == 0 : w.isVisible()); },
        30000));
    QCoreApplication::processEvents();

    EXPECT_EQ(QString::fromUtf8(second.readAllStandardOutput()).trimmed(), QStringLiteral("HANDED_OVER"))
        << "the second start got its answer although the prompt was still open";
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(prompted, asked);
    EXPECT_EQ(script.Unexpected(), 0);
    EXPECT_EQ(script.Messages(),
              c.answer == Answer::WrongPassword ? QStringList{QStringLiteral("Invalid password")} : QStringList());
    EXPECT_EQ(w.isVisible(), c.shown);
    EXPECT_EQ(opened, c.shown ? QStringList{PrivateFolder() + QStringLiteral("/Docs.qvj")} : QStringList());
    w.hide();
}

INSTANTIATE_TEST_SUITE_P(Cases, HandOverTest,
                         ::testing::Values(HandOverCase{"NoPassword", Answer::NoPassword, true},
                                           HandOverCase{"Cancelled", Answer::Cancel, false},
                                           HandOverCase{"WrongPassword", Answer::WrongPassword, false},
                                           HandOverCase{"RightPassword", Answer::RightPassword, true}),
                         [](const ::testing::TestParamInfo<HandOverCase> &info) {
                             return std::string(info.param.name);
                         });
