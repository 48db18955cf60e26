// The job actions of the main window: their enabling in each job state, the
// busy check, and what they do.
#include "shelltestfixture.h"

#include "base/appstate.h"
#include "base/events.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalscript.h"
#include "gui/shell/jobslistmodel.h"
#include "jobs/jobslist.h"
#include "platform/folders.h"
#include "platform/joblock.h"
#include "support/lockholder.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTest>

namespace {
class ActionsTest : public ShellTest {
protected:
    struct Enabled {
        bool properties, rename, duplicate, remove, backup, restore, history, viewLog;
        bool pause, resume, cancel;
        bool pauseVisible, resumeVisible;
    };
    Enabled EnabledNow()
    {
        TfrmMainQuorvane &w = Window();
        w.UpdateActions();
        return {w.ActionProperties->isEnabled(), w.ActionRename->isEnabled(), w.ActionDuplicate->isEnabled(),
                w.ActionRemove->isEnabled(),     w.ActionBackup->isEnabled(), w.ActionRestore->isEnabled(),
                w.ActionHistory->isEnabled(),    w.ActionViewLog->isEnabled(), w.ActionPause->isEnabled(),
                w.ActionResume->isEnabled(),     w.ActionCancel->isEnabled(), w.ActionPause->isVisible(),
                w.ActionResume->isVisible()};
    }
};
} // namespace

TEST_F(ActionsTest, EnablingFollowsTheSelectedJobsState)
{
    TJob &job = AddJob(QStringLiteral("Docs"));
    TfrmMainQuorvane &w = Window();
    const bool T = true, F = false;
    const struct {
        const char *name;
        TJobStatus status;
        bool canPause;
        bool idleActions, pause, resume, cancel, pauseVisible;
    } cases[] = {
        {"idle", jsNone, true, T, F, F, F, T},
        {"waiting", jsWaiting, true, F, T, F, T, T},
        {"running", jsRunning, true, F, T, F, T, T},
        {"running, cannot pause", jsRunning, false, F, F, F, T, T},
        {"paused", jsPaused, true, F, F, T, T, F},
        {"cancelling", jsCancelling, true, F, F, F, F, T},
    };
    w.SelectRow(0);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        job.JobStatus = c.status;
        job.CanPause = c.canPause;
        const Enabled e = EnabledNow();
        for (bool v : {e.properties, e.rename, e.duplicate, e.remove, e.backup, e.restore, e.history, e.viewLog})
            EXPECT_EQ(v, c.idleActions);
        EXPECT_EQ(e.pause, c.pause);
        EXPECT_EQ(e.resume, c.resume);
        EXPECT_EQ(e.cancel, c.cancel);
        EXPECT_EQ(e.pauseVisible, c.pauseVisible);
        EXPECT_EQ(e.resumeVisible, !c.pauseVisible);
        EXPECT_EQ(w.ActionPauseAll->isEnabled(), c.status != jsNone);
        EXPECT_EQ(w.ActionCancelAll->isEnabled(), c.status != jsNone);
    }

    // No visible selection: nothing for a job, the program's own actions stay.
    job.JobStatus = jsNone;
    w.SelectFilterNode(FilterNode::Running);
    EXPECT_EQ(w.SelectedRow(), 0); // the hidden job keeps its selection ...
    EXPECT_EQ(w.SelectedJob(), nullptr);
    const Enabled hidden = EnabledNow(); // ... but no action acts on it
    for (bool v : {hidden.properties, hidden.rename, hidden.backup, hidden.restore, hidden.pause, hidden.cancel})
        EXPECT_FALSE(v);
    EXPECT_TRUE(w.ActionNewJob->isEnabled());
    EXPECT_TRUE(w.ActionOpen->isEnabled());
    EXPECT_TRUE(w.ActionOptions->isEnabled());
}

TEST_F(ActionsTest, BackupQueuesTheJobAndBusyJobsAreRefused)
{
    TJob &job = AddJob(QStringLiteral("Docs"));
    TfrmMainQuorvane &w = Window();
    w.SelectRow(0);
    {
        ModalScript script;
        w.ActionBackup->trigger();
        EXPECT_EQ(script.Seen().size(), 0);
    }
    EXPECT_EQ(job.JobStatus.load(), jsWaiting);
    core->tick();
    EXPECT_EQ(rec.Runner->Started, QStringList{QStringLiteral("Docs")});

    // A running job: Backup, Restore and Properties show the busy message
    // and change nothing (the actions are called directly, as a link would).
    for (QAction *a : {w.ActionBackup, w.ActionRestore, w.ActionProperties}) {
        ModalScript script;
        script.Answer(mrOk);
        a->setEnabled(true);
        a->trigger();
        EXPECT_EQ(script.Messages(),
                  QStringList{QStringLiteral(
                      "Unable to complete the action at the moment. Please try again in several seconds.")})
            << a->objectName();
        EXPECT_EQ(job.JobStatus.load(), jsRunning);
    }
    // Remove and Rename on a job that is not idle do nothing at all.
    for (QAction *a : {w.ActionRemove, w.ActionRename}) {
        ModalScript script;
        a->setEnabled(true);
        a->trigger();
        EXPECT_TRUE(script.Seen().isEmpty()) << a->objectName();
    }
    EXPECT_EQ(core->Jobs().Count(), 1);
}

TEST_F(ActionsTest, PauseResumeCancelActOnTheSelectedJob)
{
    TJob &job = AddJob(QStringLiteral("Docs"));
    TfrmMainQuorvane &w = Window();
    w.SelectRow(0);
    job.JobStatus = jsRunning;
    w.UpdateActions();
    w.ActionPause->trigger();
    EXPECT_EQ(job.JobStatus.load(), jsPaused);
    EXPECT_TRUE(w.ActionResume->isVisible());
    w.ActionResume->trigger();
    EXPECT_EQ(job.JobStatus.load(), jsRunning);
    w.ActionCancel->trigger();
    EXPECT_EQ(job.JobStatus.load(), jsCancelling);
}

TEST_F(ActionsTest, WindowsOfALaterVersionSayTheyAreNotAvailable)
{
    AddJob(QStringLiteral("Docs"));
    TfrmMainQuorvane &w = Window();
    w.SelectRow(0);
    for (QAction *a : {w.ActionNewJob, w.ActionOpen, w.ActionProperties, w.ActionDuplicate, w.ActionRestore,
                       w.ActionFTPClient, w.ActionCloudClient}) {
        ModalScript script;
        script.Answer(mrOk);
        a->trigger();
        ASSERT_EQ(script.Seen().size(), 1) << a->objectName();
        EXPECT_EQ(script.Seen()[0].Caption.trimmed(), QStringLiteral("Information"));
        EXPECT_TRUE(script.Seen()[0].Text.contains(QStringLiteral("is not available in this version")))
            << script.Seen()[0].Text;
    }
    EXPECT_EQ(core->Jobs().Count(), 1);
}

TEST_F(ActionsTest, RenameChecksTheNameAndRenamesTheJob)
{
    AddJob(QStringLiteral("docs"));
    AddJob(QStringLiteral("Photos"));
    TfrmMainQuorvane &w = Window();
    w.SelectRow(0);
    const struct {
        const char *typed;
        const char *error; // nullptr: no message
        const char *nameAfter;
    } cases[] = {
        {"docs", nullptr, "docs"},   // the same name: nothing
        {"   ", nullptr, "docs"},    // empty after trimming: ignored
        {"Docs", "Job \"Docs\" already exists. Please specify another name.", "docs"},
        {" photos ", "Job \"photos\" already exists. Please specify another name.", "docs"},
        {"a/b", "The following symbols are not allowed in the title:\n\n<>:\"/\\|?*", "docs"},
        {"  Documents ", nullptr, "Documents"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        ModalScript script;
        script.EnterText(QString::fromUtf8(c.typed));
        if (c.error)
            script.Answer(mrOk);
        w.ActionRename->trigger();
        EXPECT_EQ(script.Pending(), 0);
        const QStringList messages = script.Messages();
        if (c.error) {
            EXPECT_EQ(messages, QStringList{QString::fromUtf8(c.error)});
        } else {
            EXPECT_TRUE(messages.isEmpty());
        }
        EXPECT_EQ(core->Jobs().At(0)->stJobName, QString::fromUtf8(c.nameAfter));
    }
    EXPECT_TRUE(core->Events().last().endsWith(QStringLiteral("Job \"docs\" is renamed to \"Documents\".")))
        << core->Events().last().toStdString();
    QFile list(core->Jobs().FilePath());
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(list.readAll()).contains(QStringLiteral("Documents")));
}

TEST_F(ActionsTest, RenameWaitsForAnotherProcessThatHoldsTheJob)
{
    AddJob(QStringLiteral("Docs"));
    TfrmMainQuorvane &w = Window();
    w.SelectRow(0);
    QDir().mkpath(Folders::DataFolder());
    ForeignLockHolder other; // say, quorvane-cli backing the job up
    ASSERT_TRUE(other.Hold(JobLock::LockFilePath(Folders::DataFolder(), QStringLiteral("Docs"))));
    ModalScript script;
    script.EnterText(QStringLiteral("Documents"));
    script.Answer(mrOk);
    w.ActionRename->trigger();
    EXPECT_EQ(script.Pending(), 0);
    EXPECT_EQ(script.Messages(), QStringList{QStringLiteral("The job \"Docs\" is busy in another process of the "
                                                            "program. Try again when it has finished.")});
    EXPECT_EQ(core->Jobs().At(0)->stJobName, QStringLiteral("Docs"));
}

TEST_F(ActionsTest, RemoveAsksTwiceAndRemovesTheRecord)
{
    AddJob(QStringLiteral("Docs"));
    AddJob(QStringLiteral("Photos"));
    core->Jobs().SaveJobsList();
    TfrmMainQuorvane &w = Window();
    w.SelectRow(0);
    {
        // "No" to the first question: nothing happens.
        ModalScript script;
        script.Answer(mrNo);
        w.ActionRemove->trigger();
        EXPECT_EQ(script.Messages(), QStringList{QStringLiteral("Remove the record for backup job Docs?")});
        EXPECT_EQ(core->Jobs().Count(), 2);
    }
    {
        // Yes, and keep the backup folder.
        ModalScript script;
        script.Answer(mrYes).Answer(mrNo);
        w.ActionRemove->trigger();
        EXPECT_EQ(script.Messages().value(1),
                  QStringLiteral("Do you want also to remove the backup folder with all its contents?"));
    }
    EXPECT_EQ(core->Jobs().Names(), QStringList{QStringLiteral("Photos")});
    EXPECT_TRUE(rec.Runner->Removed.isEmpty());
    EXPECT_EQ(w.JobsModel()->rowCount(), 1);
    EXPECT_EQ(w.SelectedJob(), core->Jobs().At(0));
    {
        // Yes to both: the backup folder goes too.
        ModalScript script;
        script.Answer(mrYes).Answer(mrYes);
        w.ActionRemove->trigger();
    }
    EXPECT_EQ(core->Jobs().Count(), 0);
    EXPECT_EQ(rec.Runner->Removed, QStringList{QStringLiteral("Photos")});
}

TEST_F(ActionsTest, MoveUpAndDownKeepTheSelectionAndSaveTheList)
{
    AddJob(QStringLiteral("A"));
    AddJob(QStringLiteral("B"));
    AddJob(QStringLiteral("C"));
    TfrmMainQuorvane &w = Window();
    w.SelectRow(2);
    EXPECT_FALSE(w.ActionMoveDown->isEnabled());
    w.ActionMoveUp->trigger();
    EXPECT_EQ(core->Jobs().Names(), (QStringList{QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("B")}));
    EXPECT_EQ(w.SelectedRow(), 1);
    w.ActionMoveUp->trigger();
    EXPECT_EQ(w.SelectedRow(), 0);
    EXPECT_FALSE(w.ActionMoveUp->isEnabled());
    w.ActionMoveDown->trigger();
    EXPECT_EQ(core->Jobs().Names(), (QStringList{QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("B")}));
    QFile list(core->Jobs().FilePath());
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(list.readAll()).remove(QChar(0xFEFF)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts),
              (QStringList{QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("B")}));
}

TEST_F(ActionsTest, ViewLogOpensTheNewestLogOrSaysItIsMissing)
{
    TJob &job = AddJob(QStringLiteral("Docs"));
    TfrmMainQuorvane &w = Window();
    w.SelectRow(0);
    job.LogList = {QStringLiteral("2024-05-14 22;05;30")};
    job.OptionsToJobOptions();
    {
        ModalScript script;
        script.Answer(mrOk);
        w.ActionViewLog->trigger();
        EXPECT_EQ(script.Messages(),
                  QStringList{QStringLiteral("Log file does not exist: ") + job.LogFilePath(job.LogList.last())});
    }
    QDir().mkpath(job.LogFolderPath());
    QFile log(job.LogFilePath(job.LogList.last()));
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.close();
    {
        // It exists: the log viewer would open (not part of this version).
        ModalScript script;
        script.Answer(mrOk);
        w.ActionViewLog->trigger();
        ASSERT_EQ(script.Messages().size(), 1);
        EXPECT_TRUE(script.Messages()[0].contains(QStringLiteral("Log Viewer")));
    }
}

TEST_F(ActionsTest, HistoryIsWrittenToItsExportFile)
{
    TJob &job = AddJob(QStringLiteral("Docs"));
    job.BackupHistory = {QStringLiteral("14/05/2024 22:00:00: Starting the backup."), QStringLiteral("ä line")};
    TfrmMainQuorvane &w = Window();
    w.SelectRow(0);
    ModalScript script;
    script.Answer(mrOk);
    w.ActionHistory->trigger();
    QFile file(Options().Logging.PathForLogFiles + QStringLiteral("/history - Docs.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()).remove(QChar(0xFEFF)),
              QStringLiteral("14/05/2024 22:00:00: Starting the backup.\r\nä line\r\n"));
}

TEST_F(ActionsTest, StatusBarCountsFollowTheTick)
{
    TJob &running = AddJob(QStringLiteral("Running"));
    TJob &cancelled = AddJob(QStringLiteral("Cancelled"));
    AddJob(QStringLiteral("Idle"));
    TfrmMainQuorvane &w = Window();
    EXPECT_EQ(w.stJobs->text(), QStringLiteral("Jobs: 0")); // before the first tick
    running.JobStatus = jsRunning;
    SetLastRun(cancelled, true, 0, 0);
    core->tick();
    EXPECT_EQ(w.stJobs->text(), QStringLiteral("Jobs: 3"));
    EXPECT_EQ(w.stRunning->text(), QStringLiteral("Running: 1"));
    EXPECT_EQ(w.stCancelled->text(), QStringLiteral("Cancelled: 1"));
    EXPECT_EQ(w.stVersion->text(), TfrmMainQuorvane::VersionText());
    // Cancel All reaches every active job.
    w.ActionCancelAll->trigger();
    EXPECT_EQ(running.JobStatus.load(), jsCancelling);
}
