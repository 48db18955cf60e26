#pragma once
// The shutdown window shown when every job of a run that asked for it is
// over: it counts down 60 seconds, during which the user can cancel or shut
// down at once, and then has the computer turned off.
//
// The window does not turn anything off itself: it calls the actions it is
// given. The program passes ShutdownActionsFor(core) (the core's power
// control, its ShutdownAfterJobs flag and its scheduler); tests pass
// recorders.
#include <QDialog>
#include <QTimer>
#include <functional>

class ApplicationCore;
class QLabel;
class QPushButton;

struct ShutdownActions {
    // Sets ApplicationClosing and asks the system to power off; true when the
    // system accepted. After a refusal the window calls CancelShutdown.
    std::function<bool()> TurnComputerOff;
    // Clears ShutdownAfterJobs and ApplicationClosing and starts the
    // scheduler timer again. Calling it twice does no harm.
    std::function<void()> CancelShutdown;
};

// The actions of the application core.
ShutdownActions ShutdownActionsFor(ApplicationCore &core);

class TfrmPCshutdownDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int CountdownSeconds = 60;

    explicit TfrmPCshutdownDialog(ShutdownActions actions, QWidget *parent = nullptr);

    int RemainingSeconds() const { return m_remainingSeconds; }
    QTimer &Timer() { return m_timer; }
    QLabel *lbMessage() const { return m_lbMessage; }
    QPushButton *btShutdown() const { return m_btShutdown; }
    QPushButton *btCancel() const { return m_btCancel; }

    // The message for a number of remaining seconds (translated).
    static QString MessageFor(int seconds);

public Q_SLOTS:
    // One tick of the 1000 ms timer.
    void Tick();
    // "Shutdown": the next tick turns the computer off.
    void ShutdownNow();
    // "Cancel": no shutdown; the scheduler runs again.
    void CancelShutdown();
    // Closing in any way stops the count-down.
    void done(int result) override;

protected:
    // Every show starts the count-down at 60 seconds.
    void showEvent(QShowEvent *event) override;

private:
    ShutdownActions m_actions;
    int m_remainingSeconds = CountdownSeconds;
    // Between the show and the end of the count-down.
    bool m_counting = false;
    QTimer m_timer;
    QLabel *m_imWarning;
    QLabel *m_lbMessage;
    QPushButton *m_btShutdown;
    QPushButton *m_btCancel;
};
