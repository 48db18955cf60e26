// The main window with the editing windows plugged in: New Job through the
// kind chooser, the name query and the wizard; Properties; History and View
// Log through the log viewer.
#include "shelltestfixture.h"

#include "base/textfile.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalscript.h"
#include "gui/editing/editingwindows.h"
#include "gui/editing/fileswizard.h"
#include "gui/editing/jobkindchooser.h"
#include "gui/editing/logviewer.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

namespace {

class EditingShellTest : public ShellTest {
protected:
    TfrmMainQuorvane &EditingWindow()
    {
        TfrmMainQuorvane &w = Window();
        w.SetJobWindows(CreateEditingJobWindows());
        return w;
    }
    static ModalHook ChooseKind(const char *button)
    {
        return [button](QDialog &d) {
            EXPECT_NE(qobject_cast<TfrmSourceType *>(&d), nullptr) << d.metaObject()->className();
            ModalScript::Press(d, QLatin1String(button));
            return d.result();
        };
    }
};

TEST_F(EditingShellTest, NewJobRefusesBadNamesWithTheirMessages)
{
    AddJob(QStringLiteral("Docs"));
    TfrmMainQuorvane &w = EditingWindow();
    const struct {
        const char *typed;
        const char *error; // nullptr: nothing said
    } cases[] = {
        {"   ", nullptr},
        {"a/b", "The following symbols are not allowed in the title:\n\n<>:\"/\\|?*"},
        {"x*y", "The following symbols are not allowed in the title:\n\n<>:\"/\\|?*"},
        {" docs ", "Job \"docs\" already exists. Please specify another name."},
    };
    for (const auto &c : cases) {
        ModalScript script;
        script.Then(ChooseKind("btFilesAndFolders")).EnterText(QString::fromUtf8(c.typed));
        if (c.error)
            script.Answer(mrOk);
        w.ActionNewJob->trigger();
        EXPECT_EQ(script.Pending(), 0) << c.typed;
        EXPECT_EQ(script.Unexpected(), 0) << c.typed;
        if (c.error) {
            ASSERT_EQ(script.Seen().size(), 3) << c.typed;
            EXPECT_EQ(script.Seen()[1].Caption, QStringLiteral(" New Job"));
            EXPECT_EQ(script.Seen()[2].Text, QString::fromUtf8(c.error));
        }
    }
    // Closing the chooser asks for nothing.
    ModalScript closed;
    closed.Then(ChooseKind("btClose"));
    w.ActionNewJob->trigger();
    EXPECT_EQ(closed.Seen().size(), 1);
    EXPECT_EQ(core->Jobs().Count(), 1);
}

TEST_F(EditingShellTest, NewJobRunsTheWizardAndAddsTheJob)
{
    TfrmMainQuorvane &w = EditingWindow();
    const QString src = PrivateFolder() + QStringLiteral("/src/Photos");
    const QString dest = PrivateFolder() + QStringLiteral("/dest");
    QDir().mkpath(src);
    QDir().mkpath(dest);

    ModalScript script;
    script.Then(ChooseKind("btFilesAndFolders"))
        .EnterText(QStringLiteral(" Holiday "))
        .Then([&](QDialog &d) {
            auto *wizard = qobject_cast<TfrmWizard_FilesBackup *>(&d);
            EXPECT_NE(wizard, nullptr);
            if (!wizard)
                return 0;
            EXPECT_EQ(wizard->windowTitle(), QStringLiteral(" New Job - Holiday"));
            wizard->SetSourceItems({src + QStringLiteral("/*")});
            wizard->Next();
            // The folder picker opens from inside the wizard.
            ModalScript::Press(d, QStringLiteral("btLocalChoose"));
            for (int i = 0; i < 3; ++i)
                wizard->Next();
            EXPECT_EQ(wizard->CurrentPage(), TfrmWizard_FilesBackup::cardWizard_Scheduler);
            wizard->Save(1);
            return wizard->result();
        })
        .Then([&](QDialog &d) {
            auto *fd = qobject_cast<QFileDialog *>(&d);
            EXPECT_NE(fd, nullptr);
            fd->setDirectory(dest);
            fd->selectFile(dest);
            static_cast<QDialog *>(fd)->accept();
            return fd->result();
        });
    w.ActionNewJob->trigger();
    EXPECT_EQ(script.Pending(), 0);
    EXPECT_EQ(script.Unexpected(), 0) << script.Messages().join('|');
    ASSERT_EQ(core->Jobs().Count(), 1);
    auto *job = qobject_cast<TJob_FilesAndFolders *>(core->Jobs().At(0));
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(job->stJobName, QStringLiteral("Holiday"));
    EXPECT_EQ(job->Settings.Sources.List, QStringList({src + QStringLiteral("/*")}));
    EXPECT_EQ(job->Settings.Backup.BackupType, btFull);
    EXPECT_EQ(QDir::cleanPath(job->DestinationSettings.LocalOrExternalDrive.Disk + QLatin1Char('/')
                              + job->DestinationSettings.LocalOrExternalDrive.Subfolder),
              dest);
    EXPECT_EQ(job->JobStatus.load(), jsNone); // "Save", not "Save && Run"
    EXPECT_TRUE(QFileInfo::exists(job->LocalJobFilePath()));
}

TEST_F(EditingShellTest, HistoryAndViewLogOpenTheLogViewer)
{
    TJob_FilesAndFolders &job = AddJob(QStringLiteral("Docs"));
    job.BackupHistory = {QStringLiteral("15.05.2024 09:00:00: ERROR: not counted here")};
    job.OptionsToJobOptions();
    ASSERT_TRUE(job.EnsureLogFolder());
    const QString stamp = QStringLiteral("2024-05-15 08;00;00");
    ASSERT_TRUE(WriteTextLines(job.LogFilePath(stamp),
                               {"08:00:00: Start", "08:00:01: ERROR: disk full", "08:00:02: WARNING: skipped"}));
    job.LogList = {stamp};
    TfrmMainQuorvane &w = EditingWindow();
    w.SelectRow(0);

    QString caption;
    int errors = -1, warnings = -1;
    {
        ModalScript script;
        script.Then([&](QDialog &d) {
            auto *viewer = qobject_cast<TfrmLog *>(&d);
            EXPECT_NE(viewer, nullptr);
            caption = d.windowTitle();
            if (viewer) {
                errors = viewer->Counts().errors;
                warnings = viewer->Counts().warnings;
            }
            return 1;
        });
        w.ActionViewLog->trigger();
        EXPECT_EQ(script.Pending(), 0);
    }
    EXPECT_EQ(caption, QStringLiteral(" Log: 2024-05-15 08:00:00"));
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(warnings, 1);

    ModalScript history;
    history.Then([&](QDialog &d) {
        caption = d.windowTitle();
        return 1;
    });
    w.ActionHistory->trigger();
    EXPECT_EQ(history.Pending(), 0);
    EXPECT_EQ(caption, QStringLiteral(" History"));
}

} // namespace
