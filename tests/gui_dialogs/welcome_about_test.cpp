// The welcome window's three ways to begin and its marker, and the About window.
#include "options/options.h"
#include "base/version.h"
#include "dialogtestutil.h"
#include "gui/tools/about.h"
#include "gui/tools/welcome.h"
#include "platform/folders.h"

#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

class WelcomeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(Folders::DataFolder()));
        QDir(TfrmWelcome::MarkerPath()).removeRecursively();
    }
    void TearDown() override { QDir(TfrmWelcome::MarkerPath()).removeRecursively(); }
};

TEST_F(WelcomeTest, ShowsItsTextsTranslatedAndStaysOnTop)
{
    TfrmWelcome window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral(" Welcome!"));
    EXPECT_EQ(Child<QLabel>(window, "lbWelcomeText")->text(),
              QStringLiteral("Welcome to Quorvane, free backup software for Windows.\n"
                             "Please choose below what you want to do now:"));
    EXPECT_EQ(window.btNewJob()->text(), QStringLiteral("Create new backup job in the wizard"));
    EXPECT_EQ(window.btRestore()->text(), QStringLiteral("Restore your data from the storage"));
    EXPECT_EQ(window.btUserGuide()->text(), QStringLiteral("Learn the Online User Guide"));
    EXPECT_EQ(window.chDontShowAgain()->text(), QStringLiteral("Do not show this dialog again"));
    EXPECT_EQ(window.btClose()->text(), QStringLiteral("Close"));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(window.isModal());
    window.close();

    ScopedLanguage lang(QStringLiteral("es"));
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral(" ¡Bienvenido!"));
    EXPECT_TRUE(Child<QLabel>(window, "lbWelcomeText")->text().startsWith(QStringLiteral("Bienvenido a Quorvane,")));
    EXPECT_EQ(window.btClose()->text(), QStringLiteral("Cerrar"));
    window.close();
}

TEST_F(WelcomeTest, EachWayToBeginClosesThenAsksForItsAction)
{
    struct Case {
        const char *button;
        void (TfrmWelcome::*signal)();
    } cases[] = {
        {"btNewJob", &TfrmWelcome::NewJobRequested},
        {"btRestore", &TfrmWelcome::OpenRequested},
        {"btUserGuide", &TfrmWelcome::UserGuideRequested},
    };
    for (const Case &c : cases) {
        TfrmWelcome window;
        QSignalSpy newJob(&window, &TfrmWelcome::NewJobRequested);
        QSignalSpy open(&window, &TfrmWelcome::OpenRequested);
        QSignalSpy guide(&window, &TfrmWelcome::UserGuideRequested);
        bool visibleWhenAsked = true;
        QObject::connect(&window, c.signal, [&] { visibleWhenAsked = window.isVisible(); });
        window.show();
        Child<QPushButton>(window, c.button)->click();
        EXPECT_FALSE(window.isVisible()) << c.button;
        EXPECT_FALSE(visibleWhenAsked) << c.button;
        EXPECT_EQ(newJob.count() + open.count() + guide.count(), 1) << c.button;
        QSignalSpy &mine = c.signal == &TfrmWelcome::NewJobRequested ? newJob
                           : c.signal == &TfrmWelcome::OpenRequested ? open
                                                                    : guide;
        EXPECT_EQ(mine.count(), 1) << c.button;
    }
}

TEST_F(WelcomeTest, DontShowAgainCreatesTheMarkerHoweverItCloses)
{
    const std::function<void(TfrmWelcome &)> closers[] = {
        [](TfrmWelcome &w) { w.btNewJob()->click(); },
        [](TfrmWelcome &w) { w.btRestore()->click(); },
        [](TfrmWelcome &w) { w.btUserGuide()->click(); },
        [](TfrmWelcome &w) { w.btClose()->click(); },
        [](TfrmWelcome &w) { w.close(); },
        [](TfrmWelcome &w) { QTest::keyClick(&w, Qt::Key_Escape); },
    };
    int i = 0;
    for (const auto &closeIt : closers) {
        for (bool ticked : {false, true}) {
            QDir(TfrmWelcome::MarkerPath()).removeRecursively();
            TfrmWelcome window;
            window.show();
            window.chDontShowAgain()->setChecked(ticked);
            closeIt(window);
            EXPECT_FALSE(window.isVisible()) << i;
            EXPECT_EQ(QFileInfo(TfrmWelcome::MarkerPath()).isDir(), ticked) << i << " ticked " << ticked;
        }
        ++i;
    }
}

TEST_F(WelcomeTest, OfferedOnlyWithoutJobsAndWithoutMarker)
{
    EXPECT_EQ(TfrmWelcome::MarkerPath(), Folders::DataFolder() + QStringLiteral("/~dsdd"));
    EXPECT_TRUE(TfrmWelcome::ShouldShow(true));
    EXPECT_FALSE(TfrmWelcome::ShouldShow(false));
    ASSERT_TRUE(QDir().mkpath(TfrmWelcome::MarkerPath()));
    EXPECT_FALSE(TfrmWelcome::ShouldShow(true));
    // Deleting the marker brings the window back.
    QDir(TfrmWelcome::MarkerPath()).removeRecursively();
    EXPECT_TRUE(TfrmWelcome::ShouldShow(true));
}

TEST(About, ShowsTitleVersionAndYear)
{
    TfrmAbout about;
    about.show();
    EXPECT_EQ(about.windowTitle(), QStringLiteral(" About"));
    EXPECT_EQ(Child<QLabel>(about, "lbTitle")->text(), QStringLiteral("Quorvane"));
    const QString version = QStringLiteral("Version: %1.%2.%3 (Build 0)")
                                .arg(QV_VERSION_MAJOR)
                                .arg(QV_VERSION_MINOR)
                                .arg(QV_VERSION_PATCH);
    EXPECT_EQ(Child<QLabel>(about, "lbVersion")->text(), version);
    EXPECT_TRUE(Child<QLabel>(about, "lbCopyright")->text().contains(QString::number(QDate::currentDate().year())));
    EXPECT_FALSE(Child<QLabel>(about, "lbLegal")->text().isEmpty());
    Child<QPushButton>(about, "btClose")->click();
    EXPECT_FALSE(about.isVisible());

    ScopedLanguage lang(QStringLiteral("fr"));
    about.show();
    EXPECT_EQ(Child<QLabel>(about, "lbVersion")->text(), QStringLiteral("Version : %1.%2.%3 (build 0)")
                                                              .arg(QV_VERSION_MAJOR)
                                                              .arg(QV_VERSION_MINOR)
                                                              .arg(QV_VERSION_PATCH));
    EXPECT_EQ(about.windowTitle(), QStringLiteral(" ") + Translate(QStringLiteral("About")));
    about.close();
}
} // namespace
