// What the main window does with an accepted options window: the log-on
// entry with its failure message, and the saved options file.
#include "options/options.h"
#include "base/events.h"
#include "dialogtestutil.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalscript.h"
#include "gui/tools/optionsapply.h"
#include "platform/autostart.h"
#include "platform/folders.h"
#include "support/testenv.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

namespace {

class OptionsApplyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(Folders::DataFolder()));
        QFile::remove(OptionsFilePath());
        removeAutostart();
        PendingEvents::TakeAll();
        saved = Options();
        before.General.PathForTempFiles = TestEnv::Root() + QStringLiteral("/tmp");
        before.Logging.PathForLogFiles = TestEnv::Root() + QStringLiteral("/home");
    }
    void TearDown() override
    {
        removeAutostart();
        Options() = saved;
        PendingEvents::TakeAll();
    }
    static void removeAutostart()
    {
        const QString dir = QFileInfo(Autostart::EntryPath()).absolutePath();
        if (QFileInfo(dir).isFile())
            QFile::remove(dir);
        QFile::remove(Autostart::EntryPath());
    }

    TOptions saved;
    TOptions before;
};

TEST_F(OptionsApplyTest, LogonEntryFollowsTheOptionAndTheFileIsSaved)
{
    TOptions after = before;
    after.General.RunProgramAtLogon = true;
    ModalScript script;
    EXPECT_TRUE(ApplyOptionsDialogResult(before, after));
    EXPECT_TRUE(script.Seen().isEmpty());
    EXPECT_TRUE(Autostart::IsSet());
    EXPECT_TRUE(after.General.RunProgramAtLogon);

    TOptions loaded;
    ASSERT_TRUE(LoadOptions(loaded, OptionsFilePath()));
    EXPECT_TRUE(loaded.General.RunProgramAtLogon);

    TOptions off = after;
    off.General.RunProgramAtLogon = false;
    EXPECT_TRUE(ApplyOptionsDialogResult(after, off));
    EXPECT_FALSE(Autostart::IsSet());
}

TEST_F(OptionsApplyTest, UnchangedLogonOptionLeavesTheEntryAlone)
{
    // The entry is not touched when the option did not change, even when the
    // file system disagrees with it.
    before.General.RunProgramAtLogon = true;
    TOptions after = before;
    EXPECT_TRUE(ApplyOptionsDialogResult(before, after));
    EXPECT_FALSE(Autostart::IsSet());
}

TEST_F(OptionsApplyTest, LogonEntryFailureRestoresTheOptionAndSaysWhy)
{
    // A file where the autostart folder should be: the entry cannot be written.
    const QString dir = QFileInfo(Autostart::EntryPath()).absolutePath();
    QDir(dir).removeRecursively();
    TestEnv::WriteFile(dir, "blocked");

    TOptions after = before;
    after.General.RunProgramAtLogon = true;
    ModalScript script;
    script.Answer(mrOk);
    EXPECT_TRUE(ApplyOptionsDialogResult(before, after));
    EXPECT_FALSE(after.General.RunProgramAtLogon);
    ASSERT_EQ(script.Seen().size(), 1);
    EXPECT_EQ(script.Seen()[0].Caption, QStringLiteral("Error"));
    EXPECT_EQ(script.Seen()[0].Text,
              QStringLiteral("Unable to change the autorun option. Make sure you have the rights to create/remove the "
                             "keys in the following branch of the Windows Registry:\n\n"
                             "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"));
    // The saved file keeps the old value too.
    TOptions loaded;
    ASSERT_TRUE(LoadOptions(loaded, OptionsFilePath()));
    EXPECT_FALSE(loaded.General.RunProgramAtLogon);
}

TEST_F(OptionsApplyTest, SaveFailureBecomesAnEvent)
{
    QDir(Folders::DataFolder()).removeRecursively();
    TestEnv::WriteFile(Folders::DataFolder(), "not a folder");
    TOptions after = before;
    EXPECT_FALSE(ApplyOptionsDialogResult(before, after));
    const QStringList events = PendingEvents::TakeAll();
    ASSERT_EQ(events.size(), 1);
    EXPECT_TRUE(events[0].contains(QStringLiteral(": Unable to save the options: "))) << events[0].toStdString();
    QFile::remove(Folders::DataFolder());
}

TEST_F(OptionsApplyTest, EditOptionsChangesTheRecordOnlyWhenAccepted)
{
    Options() = before;
    TfrmOptions window;
    ModalScript script;
    script.Then([&](QDialog &d) {
        d.findChild<QCheckBox *>(QStringLiteral("chRunOnlyOneJobAtATime"))->setChecked(true);
        ModalScript::Press(d, QStringLiteral("btCancel"));
        return d.result();
    });
    script.Then([&](QDialog &d) {
        d.findChild<QCheckBox *>(QStringLiteral("chRunOnlyOneJobAtATime"))->setChecked(true);
        ModalScript::Press(d, QStringLiteral("btOK"));
        return d.result();
    });
    EXPECT_FALSE(EditOptions(window));
    EXPECT_FALSE(Options().Processing.RunOnlyOneJobAtATime);
    EXPECT_FALSE(QFileInfo::exists(OptionsFilePath()));
    EXPECT_TRUE(EditOptions(window));
    EXPECT_TRUE(Options().Processing.RunOnlyOneJobAtATime);
    EXPECT_EQ(Options().General.PathForTempFiles, before.General.PathForTempFiles + QStringLiteral("/QuorvaneTmp"));
    TOptions loaded;
    ASSERT_TRUE(LoadOptions(loaded, OptionsFilePath()));
    EXPECT_TRUE(loaded.Processing.RunOnlyOneJobAtATime);
}
} // namespace
