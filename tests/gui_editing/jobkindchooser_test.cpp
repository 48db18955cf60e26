// The job kind chooser: each kind button closes it with the kind's code,
// "Close" with 0, and the prompt describes the kind under the mouse.
#include "editingtestutil.h"

#include "gui/common/modalscript.h"
#include "gui/editing/jobkindchooser.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

namespace {

TEST(JobKindChooser, EachButtonGivesItsKind)
{
    const struct {
        const char *button;
        int result;
    } cases[] = {{"btFilesAndFolders", 1}, {"btDriveImage", 2}, {"btAppsData", 3}, {"btClose", 0}};
    for (const auto &c : cases) {
        ModalScript script;
        script.Then([&](QDialog &d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral(" Choose a backup type."));
            Child<QPushButton>(d, c.button)->click();
            return d.result();
        });
        EXPECT_EQ(ChooseJobKindWindow(), c.result) << c.button;
        EXPECT_EQ(script.Pending(), 0);
    }
    ModalScript closed;
    closed.Cancel(); // the window's close button
    EXPECT_EQ(ChooseJobKindWindow(), 0);
}

TEST(JobKindChooser, ThePromptDescribesTheKindUnderTheMouse)
{
    TfrmSourceType chooser;
    chooser.show();
    EXPECT_EQ(chooser.PromptText(), QStringLiteral("Choose a backup type."));
    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(chooser.btAppsData(), &enter);
    EXPECT_EQ(chooser.PromptText(), QStringLiteral("Application Data Backup\nBackup the settings and data of selected "
                                                   "applications. Backup the game saves."));
    QCoreApplication::sendEvent(chooser.btAppsData(), &leave);
    EXPECT_EQ(chooser.PromptText(), QStringLiteral("Choose a backup type."));
    QCoreApplication::sendEvent(chooser.btFilesAndFolders(), &enter);
    EXPECT_TRUE(chooser.PromptText().startsWith(QStringLiteral("Files and Folders Backup\nBackup selected files")));
}

TEST(JobKindChooser, TextsFollowTheLanguage)
{
    ScopedLanguage de(QStringLiteral("de"));
    TfrmSourceType chooser;
    chooser.show();
    EXPECT_NE(chooser.btClose()->text(), QStringLiteral("Close"));
    EXPECT_NE(chooser.PromptText(), QStringLiteral("Choose a backup type."));
    EXPECT_NE(chooser.btDriveImage()->text(), QStringLiteral("Drive Image Backup"));
}

} // namespace
