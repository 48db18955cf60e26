// "quorvane-cli run": the scheduler without a window, for computers without
// a desktop, until Ctrl-C or a termination request.
#include "options/options.h"
#include "cli/cliargs.h"
#include "cli/clicommands.h"
#include "cli/clicontext.h"
#include "cli/clioutput.h"
#include "jobs/jobtext.h"
#include "platform/singleinstance.h"
#include "platform/terminal.h"

#include <QEventLoop>
#include <QTimer>

namespace {
constexpr int kShutdownCountdownSeconds = 60;
}

int RunSchedulerCommand(const QStringList &args)
{
    ParseCommandArgs(QStringLiteral("run"), args, {}, {}, 0);
    CliContext context;
    // One scheduler per data folder: two would start the same jobs twice.
    InstanceLock lock;
    QString error;
    switch (lock.TryAcquire(&error)) {
    case InstanceLock::Result::Acquired:
        break;
    case InstanceLock::Result::HeldByAnother:
        CliOut::Err(QStringLiteral("Quorvane is already running for this data folder; its scheduler runs the jobs."));
        return ExitCode::Failed;
    case InstanceLock::Result::Failed:
        CliOut::Err(QStringLiteral("Unable to take the single-instance lock: ") + error);
        return ExitCode::Failed;
    }
    if (!context.Start())
        return ExitCode::Failed;
    ApplicationCore &core = context.Core();

    QEventLoop loop;
    InstanceServer server;
    if (!server.Listen(lock.RuntimeFolder(), &error))
        CliOut::Err(QStringLiteral("Other starts of the program cannot reach this one: ") + error);
    QObject::connect(&server, &InstanceServer::ShowRequested, &loop, [] {
        CliOut::Err(QStringLiteral("Another start of the program asked for its window; this scheduler runs without one."));
    });
    QObject::connect(&server, &InstanceServer::OpenFileRequested, &loop, [](const QString &path) {
        CliOut::Err(QStringLiteral("Another start asked to open %1; this scheduler runs without a window.").arg(path));
    });

    // The shutdown after the day's last scheduled run: a countdown on the
    // console instead of the window; Ctrl-C cancels it.
    QTimer countdown;
    countdown.setInterval(1000);
    int remaining = 0;
    QObject::connect(&core, &ApplicationCore::ShutdownWindowRequested, &loop, [&] {
        remaining = kShutdownCountdownSeconds;
        countdown.start();
    });
    QObject::connect(&countdown, &QTimer::timeout, &loop, [&] {
        if (remaining > 0) {
            --remaining;
            CliOut::Err(FillPercentS(Translate(QStringLiteral("All backup tasks are done. According to the program "
                                                              "settings, the computer will be turned off after %s "
                                                              "seconds.")),
                                     {QString::number(remaining)}));
            return;
        }
        countdown.stop();
        if (core.TurnComputerOff())
            loop.quit();
    });

    InterruptWatcher interrupts;
    QObject::connect(&interrupts, &InterruptWatcher::Interrupted, &loop, [&] {
        if (countdown.isActive()) {
            countdown.stop();
            core.CancelShutdown();
            CliOut::Err(QStringLiteral("The shutdown is cancelled."));
        }
        loop.quit();
    });

    core.StartScheduler();
    CliOut::Err(QStringLiteral("The scheduler runs (%1 jobs); press Ctrl-C to stop it.").arg(core.Jobs().Count()));
    loop.exec();

    CliOut::Err(QStringLiteral("Stopping the scheduler."));
    if (!core.Quit(5000))
        CliOut::Err(QStringLiteral("Some jobs did not stop in time."));
    return ExitCode::Ok;
}
