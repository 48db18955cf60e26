#pragma once
// The program's entry without its windows: the single-instance rule with
// the hand-over to a running instance, the command-line words, and the
// application core brought up in order. The windowed program shows its main
// window on top of it and calls FirstShown when the window first appears;
// a program without a window calls FirstShown at once.
#include "app/applicationcore.h"
#include "app/commandline.h"
#include "platform/singleinstance.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

class ApplicationEntry : public QObject {
    Q_OBJECT
public:
    explicit ApplicationEntry(const QStringList &arguments, CoreServices services = CoreServices::System(),
                              QObject *parent = nullptr);
    ~ApplicationEntry() override;

    enum class Outcome {
        Run,        // the core is up; run the event loop
        HandedOver, // another instance runs and got the request; end
        NoInstance, // the lock is held but nobody answers; end silently
        Closing,    // start-up met a fatal error (ApplicationClosing); end
        Failed,     // the single-instance lock cannot be used at all; end
    };
    // The entry's steps up to the running program. `error` explains Failed.
    // An instance that runs beside another one (a command-line word) does
    // not queue scheduled starts until it takes the single-instance lock
    // over, when the other one has ended.
    Outcome Start(QString *error = nullptr);
    // The words served when the main window is first shown (once per
    // process), then the scheduler is switched on.
    void FirstShown();

    const CommandLine &Arguments() const { return m_commandLine; }
    ApplicationCore &Core() { return m_core; }
    bool HoldsInstanceLock() const { return m_lock.IsHeld(); }

    // How long a second start waits for the running instance to answer.
    static constexpr int kHandOverTimeoutMs = 10000;

Q_SIGNALS:
    // Another start asked this instance to show itself, and with a job file
    // path (empty: none) to open that file through the Open action. The
    // window acts on the path only when it was really shown (the program
    // password may be cancelled or wrong).
    void HandOverRequested(const QString &jobFilePath);
    // Open a job file through the Open action: this start's first argument,
    // served when the window is first shown.
    void OpenJobFileRequested(const QString &path);

private:
    Outcome handOver();
    void takeLockLater();
    void listen();

    CommandLine m_commandLine;
    ApplicationCore m_core;
    InstanceLock m_lock;
    InstanceServer m_server;
    QTimer m_lockRetry;
    bool m_firstShown = false;
};
