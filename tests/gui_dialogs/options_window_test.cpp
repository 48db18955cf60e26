// The options window: OK checks in their order, the temporary-files
// subfolder, the copy between record and controls, enabling rules, password
// fields and translated texts.
#include "dialogtestutil.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalscript.h"
#include "gui/tools/optionschecks.h"
#include "gui/tools/optionswindow.h"
#include "gui/tools/passwordset.h"
#include "support/testenv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

class OptionsWindowTest : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        tempRoot = dir.path() + QStringLiteral("/temp");
        logRoot = dir.path() + QStringLiteral("/logs");
        ASSERT_TRUE(QDir().mkpath(tempRoot));
        ASSERT_TRUE(QDir().mkpath(logRoot));
        options.General.PathForTempFiles = tempRoot;
        options.Logging.PathForLogFiles = logRoot;
    }

    QLineEdit *edit(const char *name) { return Child<QLineEdit>(window, name); }
    QCheckBox *check(const char *name) { return Child<QCheckBox>(window, name); }
    QPushButton *button(const char *name) { return Child<QPushButton>(window, name); }

    // Shows the window over `options`, presses OK once and answers the error
    // box if one comes; returns whether the window accepted.
    bool runWithOk(QStringList *errors = nullptr)
    {
        ModalScript script;
        script.Then([&](QDialog &d) {
            ModalScript::Press(d, QStringLiteral("btOK"));
            return d.result();
        });
        script.Answer(mrOk);
        const bool accepted = window.Execute(options);
        if (errors)
            *errors = script.Messages();
        return accepted;
    }

    QTemporaryDir dir;
    QString tempRoot;
    QString logRoot;
    TOptions options;
    TfrmOptions window;
};

TEST_F(OptionsWindowTest, OkChecksRunInOrderAndKeepTheWindowOpen)
{
    struct Case {
        const char *name;
        std::function<void(OptionsWindowTest &)> setUp;
        const char *message;
    };
    const Case cases[] = {
        {"protection without password",
         [](OptionsWindowTest &t) {
             t.check("chProtectConfigurationbyPassword")->setChecked(true);
             t.edit("edPathForTempFiles")->clear(); // later checks would fail too
         },
         "Please specify a password for configuration protection."},
        {"empty temp path", [](OptionsWindowTest &t) { t.edit("edPathForTempFiles")->clear(); },
         "Please choose a correct path for the temporary files."},
        {"missing temp folder",
         [](OptionsWindowTest &t) { t.edit("edPathForTempFiles")->setText(t.tempRoot + QStringLiteral("/nope")); },
         "Please choose a correct path for the temporary files."},
        {"temp path is a file",
         [](OptionsWindowTest &t) {
             TestEnv::WriteFile(t.dir.path() + QStringLiteral("/afile"), "x");
             t.edit("edPathForTempFiles")->setText(t.dir.path() + QStringLiteral("/afile"));
         },
         "Please choose a correct path for the temporary files."},
        {"empty log path",
         [](OptionsWindowTest &t) { t.edit("edPathForLogFiles")->clear(); },
         "Please choose a correct path for the log files."},
        {"missing log folder",
         [](OptionsWindowTest &t) { t.edit("edPathForLogFiles")->setText(t.logRoot + QStringLiteral("/nope")); },
         "Please choose a correct path for the log files."},
        {"same paths",
         [](OptionsWindowTest &t) {
             const QString both = t.tempRoot + QStringLiteral("/QuorvaneTmp");
             QDir().mkpath(both);
             t.edit("edPathForTempFiles")->setText(both);
             t.edit("edPathForLogFiles")->setText(both);
         },
         "Unable to set the same path for temporary files and log files."},
        {"same folder written differently",
         [](OptionsWindowTest &t) {
             const QString both = t.tempRoot + QStringLiteral("/QuorvaneTmp");
             QDir().mkpath(both);
             t.edit("edPathForTempFiles")->setText(both);
             t.edit("edPathForLogFiles")->setText(t.tempRoot + QStringLiteral("/../temp/QuorvaneTmp/"));
         },
         "Unable to set the same path for temporary files and log files."},
    };
    for (const Case &c : cases) {
        ModalScript script;
        bool stayedOpen = false;
        script.Then([&](QDialog &d) {
            c.setUp(*this);
            ModalScript::Press(d, QStringLiteral("btOK"));
            stayedOpen = d.isVisible();
            return 0;
        });
        script.Answer(mrOk);
        EXPECT_FALSE(window.Execute(options)) << c.name;
        EXPECT_TRUE(stayedOpen) << c.name;
        ASSERT_EQ(script.Seen().size(), 2) << c.name;
        EXPECT_EQ(script.Seen()[1].Caption, QStringLiteral("Error")) << c.name;
        EXPECT_EQ(script.Seen()[1].Text, QString::fromUtf8(c.message)) << c.name;
    }
}

TEST_F(OptionsWindowTest, TempSubfolderIsAppendedAndCreated)
{
    QStringList errors;
    EXPECT_TRUE(runWithOk(&errors));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('|')).toStdString();
    const QString sub = tempRoot + QStringLiteral("/QuorvaneTmp");
    EXPECT_EQ(options.General.PathForTempFiles, sub);
    EXPECT_TRUE(QFileInfo(sub).isDir());
}

TEST_F(OptionsWindowTest, TempPathNamingTheSubfolderInAnyCaseIsKept)
{
    for (const char *name : {"QuorvaneTmp", "quorvanetmp", "QUORVANETMP", "old-QuorvaneTmp-2"}) {
        const QString path = tempRoot + QLatin1Char('/') + QLatin1String(name);
        ASSERT_TRUE(QDir().mkpath(path));
        options.General.PathForTempFiles = path;
        EXPECT_TRUE(runWithOk()) << name;
        EXPECT_EQ(options.General.PathForTempFiles, path) << name;
        EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("/QuorvaneTmp"))) << name;
    }
}

TEST_F(OptionsWindowTest, ExistingSubfolderIsUsedWithoutError)
{
    ASSERT_TRUE(QDir().mkpath(tempRoot + QStringLiteral("/QuorvaneTmp")));
    EXPECT_TRUE(runWithOk());
    EXPECT_EQ(options.General.PathForTempFiles, tempRoot + QStringLiteral("/QuorvaneTmp"));
}

TEST_F(OptionsWindowTest, SubfolderThatCannotBeCreatedIsReported)
{
    // A file where the subfolder would go.
    const QString parent = dir.path() + QStringLiteral("/blocked");
    ASSERT_TRUE(QDir().mkpath(parent));
    TestEnv::WriteFile(parent + QStringLiteral("/QuorvaneTmp"), "not a folder");
    options.General.PathForTempFiles = parent;

    QStringList errors;
    EXPECT_FALSE(runWithOk(&errors));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], QStringLiteral("ERROR: Unable to create temporary directory:\n") + parent +
                             QStringLiteral("/QuorvaneTmp"));
    EXPECT_EQ(options.General.PathForTempFiles, parent); // unchanged: the window was cancelled
}

TEST_F(OptionsWindowTest, FailedLaterCheckKeepsTheSubfolderInTheField)
{
    options.Logging.PathForLogFiles.clear();
    ModalScript script;
    QString shown;
    script.Then([&](QDialog &d) {
        ModalScript::Press(d, QStringLiteral("btOK"));
        shown = edit("edPathForTempFiles")->text();
        // Fixing the log path and pressing OK again accepts without a second subfolder.
        edit("edPathForLogFiles")->setText(logRoot);
        ModalScript::Press(d, QStringLiteral("btOK"));
        return d.result();
    });
    script.Answer(mrOk);
    EXPECT_TRUE(window.Execute(options));
    EXPECT_EQ(script.Messages(), QStringList{QStringLiteral("Please choose a correct path for the log files.")});
    EXPECT_EQ(shown, tempRoot + QStringLiteral("/QuorvaneTmp"));
    EXPECT_EQ(options.General.PathForTempFiles, tempRoot + QStringLiteral("/QuorvaneTmp"));
}

TEST_F(OptionsWindowTest, ProtectionWithPasswordPasses)
{
    options.General.ProtectConfigurationbyPassword = true;
    options.General.strProtectConfiguration_Password = QStringLiteral("secret");
    EXPECT_TRUE(runWithOk());
    EXPECT_TRUE(options.General.ProtectConfigurationbyPassword);
    EXPECT_EQ(options.General.strProtectConfiguration_Password, QStringLiteral("secret"));
}

TEST_F(OptionsWindowTest, CancelChangesNothing)
{
    const TOptions before = options;
    ModalScript script;
    script.Then([&](QDialog &d) {
        check("chRunOnlyOneJobAtATime")->setChecked(true);
        edit("edSMTPHost")->setText(QStringLiteral("smtp.example.org"));
        ModalScript::Press(d, QStringLiteral("btCancel"));
        return 0;
    });
    EXPECT_FALSE(window.Execute(options));
    EXPECT_EQ(options.Processing, before.Processing);
    EXPECT_EQ(options.Email, before.Email);
}

TOptions sampleOptions(const QString &temp, const QString &log)
{
    TOptions o;
    o.Language.LanguageOfInterface = QStringLiteral("fr");
    o.General.RunProgramAtLogon = true;
    o.General.BlockSleepModeifJobIsScheduled = false;
    o.General.ProtectConfigurationbyPassword = true;
    o.General.strProtectConfiguration_Password = QStringLiteral("pw 1");
    o.General.ProcessPriority = 2;
    o.General.PathForTempFiles = temp;
    o.Logging.MaxNumberOfLogsForEachJob = 7;
    o.Logging.MaxNumberOfLinesInHistory = 1234;
    o.Logging.MaxNumberOfLinesInEventsLog = 99;
    o.Logging.DontLogCopyingInternalFiles = true;
    o.Logging.PathForLogFiles = log;
    o.Processing.RunOnlyOneJobAtATime = true;
    o.Processing.IfDestinationNotAvailable_Retry_Times = 3;
    o.Processing.IfDestinationNotAvailable_Wait_Sec = 15;
    o.Processing.IfDestinationNotAvailable_Then = 1;
    o.Processing.PreventOtherAppsFromWritingDuringZipping = true;
    o.Processing.RemovePreviousBackupIfCancelled = false;
    o.Processing.DontUseBufferingForCopyOperations = true;
    o.Processing.SkipHiddenSystemFiles = true;
    o.Processing.SkipLockedFiles = true;
    o.ExcludedDirs = {QStringLiteral("/home/u/.cache"), QStringLiteral("%anypath%/lost+found")};
    o.Email.SendEmailNotificationWhenFinishedBackup = true;
    o.Email.SendOnlyIfJobIscancelledDueToErrors = true;
    o.Email.RecipientEmail = QStringLiteral("a@example.org,b@example.org");
    o.Email.SMTPHost = QStringLiteral("smtp.example.org");
    o.Email.SMTPPort = QStringLiteral("587");
    o.Email.Username = QStringLiteral("me@example.org");
    o.Email.Password = QStringLiteral("smtp-pw");
    o.Email.Security = 2;
    o.Proxy.Enabled = true;
    o.Proxy.PrType = 2;
    o.Proxy.Host = QStringLiteral("proxy.local");
    o.Proxy.Port = QStringLiteral("1080");
    o.Proxy.Username = QStringLiteral("pu");
    o.Proxy.Password = QStringLiteral("pp");
    o.FTPAccounts = {TFTPAccount{5, QStringLiteral("acc"), QStringLiteral("h"), 21, {}, {}, true, false}};
    o.LastFTPAccountID = 5;
    return o;
}

TEST_F(OptionsWindowTest, ControlsRoundTripEveryField)
{
    const TOptions source = sampleOptions(tempRoot, logRoot);
    window.OptionsToControls(source);
    TOptions back; // defaults everywhere: every shown field must be overwritten
    back.Language.LanguageOfInterface = QStringLiteral("de");
    back.LastFTPAccountID = 42;
    window.ControlsToOptions(back);
    EXPECT_EQ(back.General, source.General);
    EXPECT_EQ(back.Logging, source.Logging);
    EXPECT_EQ(back.Processing, source.Processing);
    EXPECT_EQ(back.ExcludedDirs, source.ExcludedDirs);
    EXPECT_EQ(back.Email, source.Email);
    EXPECT_EQ(back.Proxy, source.Proxy);
    // What the window does not show stays as it was.
    EXPECT_EQ(back.Language.LanguageOfInterface, QStringLiteral("de"));
    EXPECT_EQ(back.LastFTPAccountID, 42);
    EXPECT_TRUE(back.FTPAccounts.isEmpty());

    // And the other way round for the defaults.
    const TOptions defaults;
    window.OptionsToControls(defaults);
    TOptions again = source;
    window.ControlsToOptions(again);
    EXPECT_EQ(again.General, defaults.General);
    EXPECT_EQ(again.Processing, defaults.Processing);
    EXPECT_EQ(again.Email, defaults.Email);
    EXPECT_EQ(again.Proxy, defaults.Proxy);
    EXPECT_EQ(again.FTPAccounts, source.FTPAccounts);
}

TEST_F(OptionsWindowTest, ExcludedFoldersDropBlankLines)
{
    window.OptionsToControls(options);
    Child<QPlainTextEdit>(window, "meExcludedDirs")->setPlainText(QStringLiteral("  /a \n\n/b\n   \n%TMPDIR%\n"));
    window.ControlsToOptions(options);
    EXPECT_EQ(options.ExcludedDirs, (QStringList{QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("%TMPDIR%")}));
}

TEST_F(OptionsWindowTest, EnablingFollowsTheCheckBoxes)
{
    window.OptionsToControls(options);
    struct Rule {
        const char *checkBox;
        QStringList dependents;
    };
    const Rule rules[] = {
        {"chProtectConfigurationbyPassword", {"btSetPassword", "lbPasswordStatus"}},
        {"chSendEmailNotificationWhenFinishedBackup",
         {"chSendOnlyIfJobIscancelledDueToErrors", "edRecipientEmail", "edSMTPHost", "edSMTPPort", "edSMTPUsername",
          "btSetSMTPPassword", "lbSMTPPasswordStatus", "cbSecurity"}},
        {"chProxyEnabled",
         {"cbProxyType", "edProxyHost", "edProxyPort", "edProxyUsername", "btSetProxyPassword",
          "lbProxyPasswordStatus"}},
    };
    for (const Rule &r : rules) {
        QCheckBox *box = check(r.checkBox);
        for (bool on : {true, false, true}) {
            box->setChecked(on);
            for (const QString &name : r.dependents) {
                QWidget *w = window.findChild<QWidget *>(name);
                ASSERT_NE(w, nullptr) << name.toStdString();
                EXPECT_EQ(w->isEnabled(), on) << r.checkBox << " -> " << name.toStdString();
            }
        }
    }
    // Loading a record applies the rules too.
    options.Proxy.Enabled = true;
    window.OptionsToControls(options);
    EXPECT_TRUE(Child<QLineEdit>(window, "edProxyHost")->isEnabled());
    EXPECT_FALSE(Child<QLineEdit>(window, "edSMTPHost")->isEnabled());
}

TEST_F(OptionsWindowTest, SendTestIsDisabledWithAReasonUntilWired)
{
    options.Email.SendEmailNotificationWhenFinishedBackup = true;
    window.OptionsToControls(options);
    QPushButton *send = button("btSendTest");
    EXPECT_FALSE(send->isEnabled());
    EXPECT_EQ(send->toolTip(), QStringLiteral("The e-mail report is not available in this version yet."));

    TEmailOptions sent;
    TfrmOptions::SetSendTestHandler([&](TfrmOptions &w) { sent = w.EmailFromControls(); });
    window.OptionsToControls(options);
    EXPECT_TRUE(send->isEnabled());
    EXPECT_TRUE(send->toolTip().isEmpty());
    edit("edSMTPHost")->setText(QStringLiteral("smtp.test"));
    send->click();
    EXPECT_EQ(sent.SMTPHost, QStringLiteral("smtp.test"));
    check("chSendEmailNotificationWhenFinishedBackup")->setChecked(false);
    EXPECT_FALSE(send->isEnabled());
    TfrmOptions::SetSendTestHandler(nullptr);
}

TEST_F(OptionsWindowTest, PasswordFieldsShowOnlyWhetherAPasswordIsSet)
{
    options.General.ProtectConfigurationbyPassword = true;
    options.General.strProtectConfiguration_Password = QStringLiteral("pw");
    options.Email.SendEmailNotificationWhenFinishedBackup = true;
    options.Proxy.Enabled = true;
    options.Proxy.Password = QStringLiteral("x");
    window.OptionsToControls(options);
    EXPECT_EQ(Child<QLabel>(window, "lbPasswordStatus")->text(), QStringLiteral("Password is set"));
    EXPECT_EQ(Child<QLabel>(window, "lbSMTPPasswordStatus")->text(), QStringLiteral("Password is not set"));
    EXPECT_EQ(Child<QLabel>(window, "lbProxyPasswordStatus")->text(), QStringLiteral("Password is set"));
    for (QLineEdit *e : window.findChildren<QLineEdit *>())
        EXPECT_NE(e->text(), QStringLiteral("pw")) << e->objectName().toStdString();

    // Each button changes its own password through the set-password dialog.
    ModalScript script;
    auto setTo = [](const QString &pw) {
        return [pw](QDialog &d) {
            d.findChild<QLineEdit *>(QStringLiteral("edPassword"))->setText(pw);
            d.findChild<QLineEdit *>(QStringLiteral("edConfirmPassword"))->setText(pw);
            ModalScript::Press(d, QStringLiteral("btOK"));
            return d.result();
        };
    };
    script.Then(setTo(QStringLiteral("  smtp secret ")));
    script.Then(setTo(QString()));
    script.Cancel();
    button("btSetSMTPPassword")->click();
    button("btSetProxyPassword")->click();
    button("btSetPassword")->click(); // cancelled: stays
    EXPECT_EQ(script.Pending(), 0);
    ASSERT_EQ(script.Seen().size(), 3);
    EXPECT_EQ(script.Seen()[0].ClassName, QStringLiteral("TfrmPassword"));
    EXPECT_EQ(Child<QLabel>(window, "lbSMTPPasswordStatus")->text(), QStringLiteral("Password is set"));
    EXPECT_EQ(Child<QLabel>(window, "lbProxyPasswordStatus")->text(), QStringLiteral("Password is not set"));
    EXPECT_EQ(Child<QLabel>(window, "lbPasswordStatus")->text(), QStringLiteral("Password is set"));
    TOptions back = options;
    window.ControlsToOptions(back);
    EXPECT_EQ(back.Email.Password, QStringLiteral("smtp secret"));
    EXPECT_EQ(back.Proxy.Password, QString());
    EXPECT_EQ(back.General.strProtectConfiguration_Password, QStringLiteral("pw"));
}

TEST_F(OptionsWindowTest, LoggingCheckBoxNamesTheInternalFiles)
{
    ModalScript script;
    QString text;
    script.Then([&](QDialog &) {
        text = check("chDontLogCopyingInternalFiles")->text();
        return 0;
    });
    window.Execute(options);
    EXPECT_EQ(text, QStringLiteral("Do not log copying of the internal database files (*.qvj, *.qvl)"));
}

TEST_F(OptionsWindowTest, StartsOnTheFirstPageEachTimeUnlessAsked)
{
    ModalScript script;
    QList<int> pages;
    auto record = [&](QDialog &) {
        pages << window.pcOptions()->currentIndex();
        window.pcOptions()->setCurrentIndex(TfrmOptions::pgReportDelivery);
        return 0;
    };
    script.Then(record).Then(record).Then(record);
    window.Execute(options);
    window.Execute(options, TfrmOptions::pgProxy);
    window.Execute(options);
    EXPECT_EQ(pages, (QList<int>{TfrmOptions::pgGeneral, TfrmOptions::pgProxy, TfrmOptions::pgGeneral}));
}

TEST_F(OptionsWindowTest, TextsFollowTheLanguageEachTimeItIsShown)
{
    auto tabsAndCaption = [&]() {
        QStringList out;
        ModalScript script;
        script.Then([&](QDialog &d) {
            out << d.windowTitle();
            for (int i = 0; i < window.pcOptions()->count(); ++i)
                out << window.pcOptions()->tabText(i);
            out << check("chDontLogCopyingInternalFiles")->text();
            out << Child<QLabel>(window, "lbPasswordStatus")->text();
            return 0;
        });
        window.Execute(options);
        return out;
    };
    const QStringList english = tabsAndCaption();
    EXPECT_EQ(english, (QStringList{" Options", "General", "Logging", "Backup", "Filters", "Report Delivery", "Proxy",
                                    "Do not log copying of the internal database files (*.qvj, *.qvl)",
                                    "Password is not set"}));
    {
        ScopedLanguage lang(QStringLiteral("de"));
        const QStringList german = tabsAndCaption();
        ASSERT_EQ(german.size(), english.size());
        EXPECT_EQ(german[0], QStringLiteral(" Einstellungen"));
        EXPECT_EQ(german[1], QStringLiteral("Allgemein"));
        for (int i = 2; i <= 6; ++i)
            EXPECT_EQ(german[i], Translate(english[i])) << i;
        EXPECT_NE(german[7], english[7]);
        EXPECT_TRUE(german[7].endsWith(QStringLiteral("(*.qvj, *.qvl)"))) << german[7].toStdString();
        EXPECT_EQ(german[8], Translate(english[8]));
        EXPECT_NE(german[8], english[8]);
    }
    EXPECT_EQ(tabsAndCaption(), english);
}

TEST(OptionsChecks, PasswordCheckComesFirstAndPathsAreUntouchedThen)
{
    OptionsCheckInput in;
    in.ProtectConfigurationbyPassword = true;
    in.PathForTempFiles = TestEnv::Root() + QStringLiteral("/tmp");
    in.PathForLogFiles = TestEnv::Root() + QStringLiteral("/home");
    const OptionsCheckResult r = CheckOptionsForOk(in);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Message, QStringLiteral("Please specify a password for configuration protection."));
    EXPECT_EQ(r.PathForTempFiles, in.PathForTempFiles);
    EXPECT_FALSE(QFileInfo::exists(in.PathForTempFiles + QStringLiteral("/QuorvaneTmp")));
    EXPECT_EQ(TempSubfolderName(), QStringLiteral("QuorvaneTmp"));
}
} // namespace
