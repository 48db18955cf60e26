// Pictures of the dialogs for review: every options page, the welcome,
// About, password and shutdown windows, named <WindowClassName>[-<page>].png.
// They go to the folder named by QV_SCREENSHOT_DIR when it is set
// (scripts/screenshots.sh runs this test with --gtest_filter=Screenshots.*),
// otherwise to a temporary folder; either way each picture is checked to be
// a real rendering of its window.
#include "options/options.h"
#include "dialogtestutil.h"
#include "gui/notify/shutdowndialog.h"
#include "gui/tools/about.h"
#include "gui/tools/optionswindow.h"
#include "gui/tools/passwordinput.h"
#include "gui/tools/passwordset.h"
#include "gui/tools/welcome.h"
#include "support/testenv.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

class Screenshots : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = qEnvironmentVariable("QV_SCREENSHOT_DIR");
        if (folder.isEmpty()) {
            ASSERT_TRUE(temp.isValid());
            folder = temp.path();
        }
        ASSERT_TRUE(QDir().mkpath(folder)) << folder.toStdString();
    }

    // Shows `window`, lets the layout settle, saves it and checks the file.
    void save(QWidget &window, const QString &name)
    {
        if (!window.isVisible())
            window.show();
        QApplication::processEvents();
        const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        const QPixmap picture = window.grab();
        ASSERT_TRUE(picture.save(path, "PNG")) << path.toStdString();
        const QImage back(path);
        ASSERT_FALSE(back.isNull()) << path.toStdString();
        EXPECT_GE(back.width(), 200) << name.toStdString();
        EXPECT_GE(back.height(), 80) << name.toStdString();
        // More than one colour: the window's texts and controls were painted.
        const QRgb first = back.pixel(0, 0);
        bool varied = false;
        for (int y = 0; y < back.height() && !varied; y += 3)
            for (int x = 0; x < back.width() && !varied; x += 3)
                varied = back.pixel(x, y) != first;
        EXPECT_TRUE(varied) << name.toStdString();
        saved << name;
    }

    QTemporaryDir temp;
    QString folder;
    QStringList saved;
};

TOptions pictureOptions()
{
    TOptions o;
    o.General.RunProgramAtLogon = true;
    o.General.PathForTempFiles = QStringLiteral("/tmp/QuorvaneTmp");
    o.Logging.PathForLogFiles = QDir::homePath() + QStringLiteral("/Documents/Quorvane");
    o.ExcludedDirs = {QDir::homePath() + QStringLiteral("/.cache"), QStringLiteral("/proc"), QStringLiteral("/sys"),
                      QStringLiteral("%anypath%/lost+found")};
    o.Email.SendEmailNotificationWhenFinishedBackup = true;
    o.Email.RecipientEmail = QStringLiteral("me@example.org");
    o.Email.SMTPHost = QStringLiteral("smtp.example.org");
    o.Email.SMTPPort = QStringLiteral("587");
    o.Email.Username = QStringLiteral("me@example.org");
    o.Email.Password = QStringLiteral("x");
    o.Email.Security = 2;
    return o;
}

TEST_F(Screenshots, SavesEveryDialog)
{
    TfrmOptions options;
    options.OptionsToControls(pictureOptions());
    options.show();
    for (int page = 0; page < TfrmOptions::PageCount; ++page) {
        options.pcOptions()->setCurrentIndex(page);
        save(options, QStringLiteral("TfrmOptions-") + TfrmOptions::PageKey(TfrmOptions::Page(page)));
    }
    options.close();

    TfrmWelcome welcome;
    save(welcome, QStringLiteral("TfrmWelcome"));
    welcome.close();

    TfrmAbout about;
    save(about, QStringLiteral("TfrmAbout"));
    about.close();

    TfrmPassword password;
    save(password, QStringLiteral("TfrmPassword"));
    password.close();

    TfrmEnterPassword enter;
    save(enter, QStringLiteral("TfrmEnterPassword"));
    enter.close();

    TfrmPCshutdownDialog shutdown(ShutdownActions{[] { return false; }, [] {}});
    shutdown.show();
    shutdown.Tick();
    save(shutdown, QStringLiteral("TfrmPCshutdownDialog"));
    shutdown.Timer().stop();
    shutdown.hide();

    EXPECT_EQ(saved.size(), TfrmOptions::PageCount + 5);
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/TfrmOptions-General.png")));
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/TfrmWelcome.png")));
}
} // namespace
