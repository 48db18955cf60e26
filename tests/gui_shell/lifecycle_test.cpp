// The windows' side of start-up and quitting: the first show, hiding to the
// notification area and showing again with the program password, Quit with
// and without running jobs, the language menu, the persisted view and the
// Events panel.
#include "shelltestfixture.h"

#include "base/appstate.h"
#include "base/events.h"
#include "base/textfile.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalscript.h"
#include "gui/shell/helplinks.h"
#include "gui/shell/jobslistmodel.h"
#include "gui/tools/passwordinput.h"
#include "gui/tools/welcome.h"
#include "platform/folders.h"

#include <QAction>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QListWidget>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

namespace {
class LifecycleTest : public ShellTest {
protected:
    void Protect(const QString &password)
    {
        Options().General.ProtectConfigurationbyPassword = true;
        Options().General.strProtectConfiguration_Password = password;
    }
    // A script step that types into the enter-password dialog and presses OK.
    static ModalHook TypePassword(const QString &text)
    {
        return [text](QDialog &d) {
            auto *dialog = qobject_cast<TfrmEnterPassword *>(&d);
            EXPECT_TRUE(dialog) << d.metaObject()->className();
            if (!dialog)
                return 0;
            dialog->edPassword()->setText(text);
            dialog->accept();
            return 1;
        };
    }
};
} // namespace

TEST_F(LifecycleTest, FirstShowServesTheHandlerOnceAndOffersTheWelcome)
{
    int served = 0;
    TfrmMainQuorvane &w = Window();
    w.SetFirstShowHandler([&served] { ++served; });
    w.show();
    QTest::qWait(0);
    QApplication::processEvents();
    EXPECT_EQ(served, 1);
    // No jobs and no marker: the welcome window, not modal.
    QWidget *welcome = w.findChild<TfrmWelcome *>();
    ASSERT_TRUE(welcome);
    EXPECT_TRUE(welcome->isVisible());
    welcome->close();
    w.hide();
    w.show();
    QApplication::processEvents();
    EXPECT_EQ(served, 1);
}

TEST_F(LifecycleTest, ClosingHidesAndTheTrayShowsAgainAfterThePassword)
{
    AddJob(QStringLiteral("Docs"));
    Protect(QStringLiteral("Secret"));
    TfrmMainQuorvane &w = Window();
    // The word hide: not shown, nothing asked.
    {
        ModalScript script;
        EXPECT_TRUE(w.ShowAtStart(true));
        EXPECT_TRUE(script.Seen().isEmpty());
        EXPECT_FALSE(w.isVisible());
    }
    // From the tray: cancelled leaves it hidden without a message.
    {
        ModalScript script;
        script.Cancel();
        w.ShowFromTray();
        EXPECT_EQ(script.Seen().size(), 1);
        EXPECT_FALSE(w.isVisible());
    }
    // A wrong password (letter case counts): "Invalid password", still hidden.
    {
        ModalScript script;
        script.Then(TypePassword(QStringLiteral("secret"))).Answer(mrOk);
        w.ShowFromTray();
        EXPECT_EQ(script.Messages(), QStringList{QStringLiteral("Invalid password")});
        EXPECT_FALSE(w.isVisible());
    }
    // The right one, with blanks around it.
    {
        ModalScript script;
        script.Then(TypePassword(QStringLiteral("  Secret ")));
        w.ActionTrayOpen->trigger();
        EXPECT_EQ(script.Pending(), 0);
        EXPECT_TRUE(w.isVisible());
    }
    // Shown: the tray asks nothing.
    {
        ModalScript script;
        w.ShowFromTray();
        EXPECT_TRUE(script.Seen().isEmpty());
    }
    // The title bar's close button hides; the program goes on.
    QSignalSpy quit(&w, &TfrmMainQuorvane::QuitFinished);
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(quit.count(), 0);
    EXPECT_FALSE(AppState::ApplicationClosing);
    // Minimize hides as well.
    {
        ModalScript script;
        script.Then(TypePassword(QStringLiteral("Secret")));
        w.ShowFromTray();
    }
    w.ActionMinimize->trigger();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(quit.count(), 0);
}

TEST_F(LifecycleTest, StartWithoutHideAsksForThePassword)
{
    Protect(QStringLiteral("Secret"));
    TfrmMainQuorvane &w = Window();
    {
        ModalScript script;
        script.Then(TypePassword(QStringLiteral("wrong"))).Answer(mrOk);
        EXPECT_FALSE(w.ShowAtStart(false));
        EXPECT_FALSE(w.isVisible());
    }
    {
        ModalScript script;
        script.Then(TypePassword(QStringLiteral("Secret")));
        EXPECT_TRUE(w.ShowAtStart(false));
        EXPECT_TRUE(w.isVisible());
    }
}

TEST_F(LifecycleTest, QuitWithoutRunningJobsAsksAndClosesForGood)
{
    AddJob(QStringLiteral("Docs"));
    TfrmMainQuorvane &w = Window();
    w.show();
    QSignalSpy quit(&w, &TfrmMainQuorvane::QuitFinished);
    {
        ModalScript script;
        script.Answer(mrNo);
        w.ActionQuit->trigger();
        EXPECT_EQ(script.Messages(), QStringList{QStringLiteral("Quit Quorvane?")});
    }
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(AppState::ApplicationClosing);
    EXPECT_EQ(quit.count(), 0);
    {
        ModalScript script;
        script.Answer(mrYes);
        w.ActionQuit->trigger();
    }
    EXPECT_TRUE(AppState::ApplicationClosing);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(quit.count(), 1);
    EXPECT_FALSE(core->IsSchedulerRunning());
}

TEST_F(LifecycleTest, QuitWithRunningJobsCancelsThemAndWaits)
{
    TJob &running = AddJob(QStringLiteral("Running"));
    TJob &paused = AddJob(QStringLiteral("Paused"));
    AddJob(QStringLiteral("Idle"));
    running.JobStatus = jsRunning;
    paused.JobStatus = jsPaused;
    // Their workers end a moment after the cancel.
    for (TJob *job : {&running, &paused}) {
        QObject::connect(job, &TJob::Changed, job, [job] {
            if (job->JobStatus.load() == jsCancelling)
                RecordingRunner::Finish(*job, true);
        }, Qt::QueuedConnection);
    }
    TfrmMainQuorvane &w = Window();
    w.show();
    const QString question =
        QStringLiteral("Some jobs are currently running.\nDo you want to cancel them and quit?");
    {
        ModalScript script;
        script.Answer(mrNo);
        w.ActionQuit->trigger();
        EXPECT_EQ(script.Messages(), QStringList{question});
        EXPECT_EQ(running.JobStatus.load(), jsRunning);
    }
    QSignalSpy quit(&w, &TfrmMainQuorvane::QuitFinished);
    {
        ModalScript script;
        script.Answer(mrYes);
        w.ActionQuit->trigger();
    }
    EXPECT_EQ(quit.count(), 1);
    EXPECT_EQ(running.JobStatus.load(), jsNone);
    EXPECT_EQ(paused.JobStatus.load(), jsNone);
    EXPECT_TRUE(running.LastJobResult.Cancelled);
    // The question went into the Events list as it stands.
    EXPECT_TRUE(core->Events().contains(question));
}

TEST_F(LifecycleTest, LanguageSwitchRetranslatesTheWindowAndSavesTheOption)
{
    AddJob(QStringLiteral("Docs"));
    TfrmMainQuorvane &w = Window();
    w.show();
    EXPECT_EQ(w.ActionNewJob->text(), QStringLiteral("New Job"));
    const TLanguageOptions &lang = Options().Language;
    int german = -1;
    for (int row = 0; row < lang.Translations.size(); ++row) {
        if (lang.Translations[row].value(1) == QStringLiteral("de"))
            german = row;
    }
    ASSERT_GT(german, 0);
    // The menu lists every language; English is checked.
    const QList<QAction *> items = w.mnLanguage->actions();
    ASSERT_EQ(items.size(), lang.Translations.size());
    EXPECT_TRUE(items[0]->isChecked());
    items[german]->trigger();
    EXPECT_TRUE(items[german]->isChecked());
    EXPECT_FALSE(items[0]->isChecked());
    EXPECT_EQ(Options().Language.LanguageOfInterface, QStringLiteral("de"));

    const auto de = [](const char *english) { return Translate(QString::fromUtf8(english)); };
    EXPECT_NE(de("New Job"), QStringLiteral("New Job"));
    EXPECT_EQ(w.ActionNewJob->text(), de("New Job"));
    EXPECT_EQ(w.mnTools->title(), de("Tools"));
    EXPECT_EQ(w.tvFilters->topLevelItem(0)->text(0), de("Jobs"));
    EXPECT_EQ(w.lbListHeader->text(), de("Jobs"));
    EXPECT_EQ(w.edSearch->placeholderText(), de("Find jobs..."));
    EXPECT_EQ(w.JobsModel()->headerData(0, Qt::Horizontal).toString(), de("Title"));
    EXPECT_TRUE(w.stJobs->text().startsWith(de("Jobs") + QStringLiteral(": ")));

    // The options file holds the new language.
    TOptions saved;
    ASSERT_TRUE(LoadOptions(saved, OptionsFilePath()));
    EXPECT_EQ(saved.Language.LanguageOfInterface, QStringLiteral("de"));

    // Back to English: every text unchanged again.
    items[0]->trigger();
    EXPECT_EQ(w.ActionNewJob->text(), QStringLiteral("New Job"));
}

TEST_F(LifecycleTest, AddLanguageExplainsTheTranslatorsFile)
{
    TfrmMainQuorvane &w = Window();
    ModalScript script;
    script.Answer(mrOk);
    w.ActionAddLanguage->trigger();
    ASSERT_EQ(script.Messages().size(), 1);
    const QString text = script.Messages()[0];
    EXPECT_TRUE(text.startsWith(QStringLiteral("Do you want to help us to translate Quorvane to your language?\n\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("for example: fr\nThe following language codes")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("We would love that!\nTHANK YOU!")));
}

TEST_F(LifecycleTest, TheViewIsPersisted)
{
    {
        TfrmMainQuorvane &w = Window();
        w.show();
        w.ActionViewAsTable->trigger();
        w.ActionShowFilters->trigger(); // off
        w.move(40, 50);
        w.resize(700, 500);
        w.close(); // hides and saves
    }
    window.reset();
    const QSettings s(QStringLiteral("Quorvane"), QStringLiteral("Quorvane"));
    EXPECT_EQ(s.value(QStringLiteral("view_as_cards")).toInt(), 0);
    EXPECT_EQ(s.value(QStringLiteral("filters_visible")).toInt(), 0);
    EXPECT_EQ(s.value(QStringLiteral("events_visible")).toInt(), 1);
    EXPECT_EQ(s.value(QStringLiteral("window_w")).toInt(), 700);
    EXPECT_EQ(s.value(QStringLiteral("window_m")).toInt(), 0);
    TfrmMainQuorvane &again = Window();
    EXPECT_FALSE(again.JobsView()->IsCardView());
    EXPECT_TRUE(again.ActionViewAsTable->isChecked());
    EXPECT_FALSE(again.ActionShowFilters->isChecked());
    EXPECT_FALSE(again.pnFilters->isVisibleTo(&again));
    EXPECT_EQ(again.width(), 700);
    EXPECT_EQ(again.height(), 500);
}

TEST_F(LifecycleTest, EventsAreListedTrimmedAndSaved)
{
    Options().Logging.MaxNumberOfLinesInEventsLog = 50;
    TfrmMainQuorvane &w = Window();
    for (int i = 1; i <= 60; ++i)
        PendingEvents::Append(QStringLiteral("line %1").arg(i));
    core->tick();
    ASSERT_EQ(w.lbCommonLog->count(), 50);
    EXPECT_EQ(w.lbCommonLog->item(0)->text(), QStringLiteral("line 11"));
    EXPECT_EQ(w.lbCommonLog->item(49)->text(), QStringLiteral("line 60"));

    const QString path = PrivateFolder() + QStringLiteral("/events.txt");
    ModalScript script;
    script.Then([&path](QDialog &d) {
        auto *dialog = qobject_cast<QFileDialog *>(&d);
        EXPECT_TRUE(dialog);
        if (!dialog)
            return 0;
        dialog->selectFile(path);
        d.accept(); // QFileDialog's own accept, through the public base
        return 1;
    });
    QTest::mouseClick(w.btSaveEvents, Qt::LeftButton);
    const QStringList lines = ReadTextLines(path);
    ASSERT_EQ(lines.size(), 50);
    EXPECT_EQ(lines.first(), QStringLiteral("line 11"));
}

TEST_F(LifecycleTest, HelpPagesCarryTheLanguage)
{
    EXPECT_EQ(HelpPageUrl(HelpPage::UserGuide, QStringLiteral("de")).path(), QStringLiteral("/manual/index.html"));
    EXPECT_EQ(HelpPageUrl(HelpPage::Support, QStringLiteral("en")).path(), QStringLiteral("/support.html"));
    EXPECT_EQ(HelpPageUrl(HelpPage::Support, QStringLiteral("de")).path(), QStringLiteral("/de/support.html"));
    EXPECT_EQ(HelpPageUrl(HelpPage::ContactUs, QStringLiteral("fr")).path(), QStringLiteral("/fr/contact.html"));
    EXPECT_EQ(HelpPageUrl(HelpPage::ContactUs, QStringLiteral("fr")).scheme(), QStringLiteral("https"));
    QList<QUrl> opened;
    SetUrlOpenerForTests([&opened](const QUrl &url) {
        opened << url;
        return true;
    });
    Options().Language.LanguageOfInterface = QStringLiteral("es");
    TfrmMainQuorvane &w = Window();
    w.ActionContactUs->trigger();
    w.ActionUserGuide->trigger();
    SetUrlOpenerForTests({});
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0].path(), QStringLiteral("/es/contact.html"));
    EXPECT_EQ(opened[1].path(), QStringLiteral("/manual/index.html"));
}
