// The shutdown window's count-down. Nothing is ever powered off here: the
// window gets recorders, or an application core whose power control records.
#include "app/applicationcore.h"
#include "base/appstate.h"
#include "dialogtestutil.h"
#include "gui/notify/shutdowndialog.h"
#include "platform/poweroff.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

struct Recorder {
    int turnOffCalls = 0;
    int cancelCalls = 0;
    bool systemAccepts = true;

    ShutdownActions actions()
    {
        ShutdownActions a;
        a.TurnComputerOff = [this] {
            ++turnOffCalls;
            return systemAccepts;
        };
        a.CancelShutdown = [this] { ++cancelCalls; };
        return a;
    }
};

QString message(int seconds)
{
    return QStringLiteral("All backup tasks are done. According to the program settings, the computer will be turned "
                          "off after %1 seconds.")
        .arg(seconds);
}

TEST(ShutdownWindow, CountsDownSixtySecondsThenTurnsOffOnce)
{
    Recorder rec;
    TfrmPCshutdownDialog window(rec.actions());
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral(" Warning!"));
    EXPECT_EQ(window.btShutdown()->text(), QStringLiteral("Shutdown"));
    EXPECT_EQ(window.btCancel()->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(window.Timer().isActive());
    EXPECT_EQ(window.Timer().interval(), 1000);
    EXPECT_EQ(window.RemainingSeconds(), 60);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);

    window.Tick();
    EXPECT_EQ(window.lbMessage()->text(), message(59));
    for (int i = 2; i <= 60; ++i)
        window.Tick();
    EXPECT_EQ(window.lbMessage()->text(), message(0));
    EXPECT_EQ(rec.turnOffCalls, 0);
    EXPECT_TRUE(window.isVisible());

    window.Tick(); // the 61st second
    EXPECT_EQ(rec.turnOffCalls, 1);
    EXPECT_EQ(rec.cancelCalls, 0);
    EXPECT_FALSE(window.Timer().isActive());
    EXPECT_FALSE(window.isVisible());
    window.Tick();
    EXPECT_EQ(rec.turnOffCalls, 1);
}

TEST(ShutdownWindow, ShutdownButtonTurnsOffAtTheNextTick)
{
    for (int after : {0, 1, 30}) {
        Recorder rec;
        TfrmPCshutdownDialog window(rec.actions());
        window.show();
        for (int i = 0; i < after; ++i)
            window.Tick();
        window.btShutdown()->click();
        EXPECT_EQ(rec.turnOffCalls, 0) << after;
        window.Tick();
        EXPECT_EQ(rec.turnOffCalls, 1) << after;
        EXPECT_FALSE(window.isVisible()) << after;
    }
}

TEST(ShutdownWindow, CancelStopsTheCountDownAndClearsThePendingShutdown)
{
    const std::function<void(TfrmPCshutdownDialog &)> cancellers[] = {
        [](TfrmPCshutdownDialog &w) { w.btCancel()->click(); },
        [](TfrmPCshutdownDialog &w) { w.close(); },
        [](TfrmPCshutdownDialog &w) { QTest::keyClick(&w, Qt::Key_Escape); },
    };
    for (const auto &cancel : cancellers) {
        Recorder rec;
        TfrmPCshutdownDialog window(rec.actions());
        window.show();
        window.Tick();
        cancel(window);
        EXPECT_FALSE(window.Timer().isActive());
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(rec.cancelCalls, 1);
        for (int i = 0; i < 70; ++i)
            window.Tick();
        EXPECT_EQ(rec.turnOffCalls, 0);
    }
}

TEST(ShutdownWindow, RefusedPowerOffActsAsCancel)
{
    Recorder rec;
    rec.systemAccepts = false;
    TfrmPCshutdownDialog window(rec.actions());
    window.show();
    window.ShutdownNow();
    window.Tick();
    EXPECT_EQ(rec.turnOffCalls, 1);
    EXPECT_EQ(rec.cancelCalls, 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.Timer().isActive());
}

TEST(ShutdownWindow, EveryShowStartsAFreshMinuteInTheCurrentLanguage)
{
    Recorder rec;
    TfrmPCshutdownDialog window(rec.actions());
    window.show();
    for (int i = 0; i < 10; ++i)
        window.Tick();
    window.btCancel()->click();

    ScopedLanguage lang(QStringLiteral("de"));
    window.show();
    EXPECT_EQ(window.RemainingSeconds(), 60);
    EXPECT_TRUE(window.Timer().isActive());
    EXPECT_EQ(window.btShutdown()->text(), QStringLiteral("Herunterfahren"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral(" Warnung!"));
    window.Tick();
    EXPECT_TRUE(window.lbMessage()->text().contains(QStringLiteral("59"))) << window.lbMessage()->text().toStdString();
    EXPECT_NE(window.lbMessage()->text(), message(59));
    window.btCancel()->click();
}

class RecordingPowerControl : public PowerControl {
public:
    bool PowerOff(QString *error) override
    {
        ++powerOffCalls;
        if (!accept && error)
            *error = QStringLiteral("refused by the test");
        return accept;
    }
    bool Reboot(QString *) override
    {
        ++rebootCalls;
        return false;
    }
    int powerOffCalls = 0;
    int rebootCalls = 0;
    bool accept = true;
};

TEST(ShutdownWindow, CoreActionsUseTheCoresPowerControl)
{
    for (bool accept : {true, false}) {
        auto power = std::make_shared<RecordingPowerControl>();
        power->accept = accept;
        CoreServices services;
        services.Power = power;
        ApplicationCore core(services);
        TfrmPCshutdownDialog window(ShutdownActionsFor(core));
        window.show();
        window.btShutdown()->click();
        window.Tick();
        EXPECT_EQ(power->powerOffCalls, 1);
        EXPECT_EQ(power->rebootCalls, 0);
        EXPECT_FALSE(window.isVisible());
        // Accepted: the program is closing; refused: back to normal, scheduler running.
        EXPECT_EQ(AppState::ApplicationClosing.load(), accept);
        EXPECT_EQ(core.IsSchedulerRunning(), !accept);
        EXPECT_FALSE(core.ShutdownAfterJobs());
        AppState::ApplicationClosing = false;
    }
}

TEST(ShutdownWindow, CoreCancelRestartsTheScheduler)
{
    auto power = std::make_shared<RecordingPowerControl>();
    CoreServices services;
    services.Power = power;
    ApplicationCore core(services);
    core.StopScheduler();
    AppState::ApplicationClosing = false;
    TfrmPCshutdownDialog window(ShutdownActionsFor(core));
    window.show();
    window.btCancel()->click();
    EXPECT_TRUE(core.IsSchedulerRunning());
    EXPECT_FALSE(core.ShutdownAfterJobs());
    EXPECT_FALSE(AppState::ApplicationClosing.load());
    EXPECT_EQ(power->powerOffCalls, 0);
    core.StopScheduler();
}
} // namespace
