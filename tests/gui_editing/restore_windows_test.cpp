// Restores driven through the windows: the folder picker, the restore-point
// window and the ZIP password query, then the engine's worker, on backups
// made by the engine.
#include "editingtestutil.h"
#include "enginetestutil.h"

#include "gui/common/messagedialog.h"
#include "gui/common/modalscript.h"
#include "gui/editing/editingpreviews.h"
#include "gui/editing/filesrestore.h"
#include "gui/editing/logviewer.h"
#include "gui/editing/restorelist.h"
#include "platform/folders.h"
#include "platform/joblock.h"
#include "support/lockholder.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

using namespace EngineTest;

namespace {

class RestoreWindowsTest : public ::testing::Test, public EngineFixture {
public:
    RestoreWindowsTest() : EngineFixture(Destination::Local) {}

protected:
    void SetUp() override { SetUpEngine(); }
    void TearDown() override { TearDownEngine(); }

    // A step for the restore-point window: records what it shows and picks `index`.
    ModalHook PickPoint(int index, QStringList *shown = nullptr)
    {
        return [index, shown](QDialog &d) {
            auto *w = qobject_cast<TfrmRestoreList *>(&d);
            EXPECT_NE(w, nullptr) << d.metaObject()->className();
            if (!w)
                return 0;
            EXPECT_FALSE(w->IsLoading());
            EXPECT_EQ(w->windowTitle(), QStringLiteral(" Restore"));
            EXPECT_FALSE(w->btOK()->isEnabled()); // nothing selected yet
            if (shown)
                for (int i = 0; i < w->ListBox1()->count(); ++i)
                    shown->append(w->ListBox1()->item(i)->text());
            w->ListBox1()->setCurrentRow(index);
            EXPECT_TRUE(w->btOK()->isEnabled());
            w->btOK()->click();
            return w->result();
        };
    }

    void Finish()
    {
        ASSERT_TRUE(WaitForRunToEnd(Job()));
        ASSERT_EQ(Job().JobStatus.load(), jsNone);
    }
};

TEST_F(RestoreWindowsTest, AnIncrementalPointIsRestoredFileByFile)
{
    Job().Settings.Sources.List = {Folder("Data")};
    Job().Settings.Backup.BackupType = btIncremental;
    Write("Data/a.txt", "alpha");
    Write("Data/sub/b.txt", "beta");
    Write("Data/gone.txt", "soon removed");
    RunBackup();
    const Tree first = ReadTree(Src());
    Write("Data/a.txt", "alpha two");
    Delete("Data/gone.txt");
    Write("Data/sub/c.txt", "gamma");
    RunBackup();
    const Tree second = ReadTree(Src());
    ASSERT_NE(first, second);

    const QString out = NewOutput();
    QStringList shown;
    ModalScript script;
    script.Then([&](QDialog &d) {
              EXPECT_EQ(d.windowTitle(), QStringLiteral("Choose an output directory"));
              return AnswerFileDialog(d, out);
          })
        .Then(PickPoint(1, &shown));
    ASSERT_EQ(RestoreFilesJob(Job(), nullptr), RestoreStart::Started);
    Finish();
    EXPECT_EQ(script.Pending(), 0);
    EXPECT_EQ(script.Unexpected(), 0);

    // Oldest first, colons in the time, no marker line.
    ASSERT_EQ(shown.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(shown[i], QString(RunFolders()[i]).replace(';', ':'));
        EXPECT_FALSE(shown[i].contains(';'));
    }
    EXPECT_EQ(ReadTree(out), second);
    EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/Data/gone.txt")));
    EXPECT_TRUE(Log().contains(QStringLiteral("Chosen restore point: ") + shown[1]));
    EXPECT_TRUE(Log().contains(QStringLiteral("Restore job \"Job\" is finished.")));

    // The first point brings back the first state.
    const QString older = NewOutput();
    ModalScript again;
    again.Then([&](QDialog &d) { return AnswerFileDialog(d, older); }).Then(PickPoint(0));
    ASSERT_EQ(RestoreFilesJob(Job(), nullptr), RestoreStart::Started);
    Finish();
    EXPECT_EQ(ReadTree(older), first);
}

TEST_F(RestoreWindowsTest, APasswordProtectedZipPointAsksForThePassword)
{
    Job().Settings.Sources.List = {Folder("Data")};
    Job().Settings.Backup.BackupType = btFull;
    Job().Settings.Compression.Enabled = true;
    Job().Settings.Compression.ProtectWithPassword = true;
    Job().Settings.Compression.Password = QStringLiteral("s3cret pass");
    Job().Settings.Compression.EncryptionMethod = 3;
    Job().Settings.Compression.CompressionLevel = 2;
    Write("Data/a.txt", "alpha");
    Write("Data/deep/b.bin", QByteArray(70000, 'x'));
    RunBackup();
    ASSERT_TRUE(RunFolders().value(0).contains(QStringLiteral("(ZIP ,"))) << RunFolders().value(0).toStdString();

    const QString out = NewOutput();
    QString prompt;
    bool masked = false;
    ModalScript script;
    script.Then([&](QDialog &d) { return AnswerFileDialog(d, out); })
        .Then(PickPoint(0))
        .Then([&](QDialog &d) {
            prompt = Child<QLabel>(d, "lbPrompt")->text();
            EXPECT_EQ(d.windowTitle(), QStringLiteral(" Enter the Password"));
            auto *edit = Child<QLineEdit>(d, "edText");
            masked = edit->echoMode() == QLineEdit::Password;
            edit->setText(QStringLiteral("s3cret pass"));
            ModalScript::Press(d, QStringLiteral("btOK"));
            return int(QDialog::Accepted);
        });
    ASSERT_EQ(RestoreFilesJob(Job(), nullptr), RestoreStart::Started);
    Finish();
    EXPECT_EQ(script.Pending(), 0);
    EXPECT_EQ(prompt, QStringLiteral("Password for ZIP archives of backup Job:"));
    EXPECT_TRUE(masked);
    EXPECT_EQ(Errors(), 0) << Log().join('\n').toStdString();
    EXPECT_EQ(ReadBytes(out + QStringLiteral("/Data/a.txt")), QByteArray("alpha"));
    EXPECT_EQ(ReadBytes(out + QStringLiteral("/Data/deep/b.bin")), QByteArray(70000, 'x'));
    // The password never reaches the log.
    EXPECT_FALSE(Log().join('\n').contains(QStringLiteral("s3cret")));
}

TEST_F(RestoreWindowsTest, CancellingTheFolderOrThePointLeavesTheJobIdle)
{
    Job().Settings.Sources.List = {Folder("Data")};
    Write("Data/a.txt", "alpha");
    RunBackup();

    {
        ModalScript script;
        script.Cancel();
        EXPECT_EQ(RestoreFilesJob(Job(), nullptr), RestoreStart::Cancelled);
        EXPECT_EQ(Job().JobStatus.load(), jsNone);
    }
    {
        const QString out = NewOutput();
        ModalScript script;
        script.Then([&](QDialog &d) { return AnswerFileDialog(d, out); }).Then([](QDialog &d) {
            ModalScript::Press(d, QStringLiteral("btCancel"));
            return d.result();
        });
        EXPECT_EQ(RestoreFilesJob(Job(), nullptr), RestoreStart::Cancelled);
        EXPECT_EQ(Job().JobStatus.load(), jsNone);
        EXPECT_TRUE(Log().contains(QStringLiteral("Restore is cancelled.")));
        EXPECT_TRUE(Job().LastJobResult.Cancelled);
        EXPECT_TRUE(Entries(out).isEmpty());
    }
}

TEST_F(RestoreWindowsTest, AMissingSetShowsTheErrorAndNothingStarts)
{
    Job(); // never backed up
    const QString out = NewOutput();
    ModalScript script;
    script.Then([&](QDialog &d) { return AnswerFileDialog(d, out); }).Answer(mrOk);
    EXPECT_EQ(RestoreFilesJob(Job(), nullptr), RestoreStart::Failed);
    ASSERT_EQ(script.Seen().size(), 2);
    EXPECT_EQ(script.Seen()[1].Caption.trimmed(), QStringLiteral("Error"));
    EXPECT_TRUE(script.Seen()[1].Text.contains(QStringLiteral("Unable to copy the job file \"Job.qvj\"")))
        << script.Seen()[1].Text.toStdString();
    EXPECT_EQ(Job().JobStatus.load(), jsNone);
}

TEST_F(RestoreWindowsTest, AJobThatAnotherProcessHoldsIsNotRestored)
{
    Job().Settings.Sources.List = {Folder("Data")};
    Write("Data/a.txt", "alpha");
    RunBackup();
    QDir().mkpath(Folders::DataFolder());
    ForeignLockHolder other; // say, quorvane-cli backing the job up
    ASSERT_TRUE(other.Hold(JobLock::LockFilePath(Folders::DataFolder(), Job().stJobName)));

    ModalScript script;
    script.Answer(mrOk);
    EXPECT_EQ(RestoreFilesJob(Job(), nullptr), RestoreStart::Refused);
    ASSERT_EQ(script.Seen().size(), 1) << "no folder is asked for";
    EXPECT_EQ(script.Seen()[0].Caption.trimmed(), QStringLiteral("Error"));
    EXPECT_TRUE(script.Seen()[0].Text.contains(QStringLiteral("The job \"Job\" is busy in another process")))
        << script.Seen()[0].Text.toStdString();
    EXPECT_EQ(Job().JobStatus.load(), jsNone);
}

TEST_F(RestoreWindowsTest, TheLoadingPanelShowsWhileReadingAndHidesAfter)
{
    TfrmRestoreList w;
    w.ShowLoading();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.IsLoading());
    EXPECT_EQ(Child<QLabel>(w, "pnLoading")->text(), QStringLiteral("Loading the list of backups..."));
    EXPECT_FALSE(w.btOK()->isEnabled());
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    w.hide();
    EXPECT_FALSE(w.IsLoading());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    w.SetPoints({"2024-05-01 14:30:00 (Full)"});
    EXPECT_FALSE(w.btOK()->isEnabled());
}

TEST_F(RestoreWindowsTest, ThePreviewsShowTheLatestLogAndThePointsWithoutTouchingTheJob)
{
    Job().Settings.Sources.List = {Folder("Data")};
    Job().Settings.Backup.BackupType = btIncremental;
    Write("Data/a.txt", "alpha");
    RunBackup();
    Write("Data/a.txt", "alpha two");
    RunBackup();
    const QStringList logBefore = Job().RunLogSnapshot();

    std::unique_ptr<TfrmRestoreList> points = RestoreListPreview(Job(), nullptr);
    ASSERT_NE(points, nullptr);
    ASSERT_EQ(points->ListBox1()->count(), 2);
    EXPECT_EQ(points->ListBox1()->item(1)->text(), QString(RunFolders()[1]).replace(';', ':'));
    EXPECT_EQ(points->SelectedIndex(), 1);
    std::unique_ptr<TfrmLog> log = LogViewerPreview(Job(), nullptr);
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->LogFileName(), Job().LogList.last() + QStringLiteral(".txt"));
    EXPECT_EQ(Job().JobStatus.load(), jsNone);
    EXPECT_EQ(Job().RunLogSnapshot(), logBefore);

    TJob_FilesAndFolders never(QStringLiteral("Never"));
    never.DestinationSettings = Job().DestinationSettings;
    EXPECT_EQ(RestoreListPreview(never, nullptr), nullptr);
    EXPECT_EQ(LogViewerPreview(never, nullptr), nullptr);
}

} // namespace
