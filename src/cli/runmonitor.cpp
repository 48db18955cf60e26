#include "cli/runmonitor.h"

#include "jobs/jobtext.h"

#include "app/jobrunner.h"
#include "options/options.h"
#include "base/bytesize.h"
#include "cli/clicontext.h"
#include "cli/clioutput.h"
#include "cli/reconnectwait.h"
#include "engine/files/jobworker.h"
#include "jobs/job.h"
#include "platform/keepawake.h"
#include "platform/terminal.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {
constexpr int kBarWidth = 20;
constexpr int kRefreshMs = 200;
// Without a terminal the progress line is written as a plain line this often.
constexpr qint64 kPlainProgressMs = 5000;

} // namespace

QString ProgressLine(const TJob &job)
{
    const int percent = qBound(0, int(job.CurrentFileOperationProgress.load()), 100);
    const int filled = percent * kBarWidth / 100;
    QString line = QLatin1Char('[') + QString(filled, QLatin1Char('#')) + QString(kBarWidth - filled, QLatin1Char('-')) +
                   QStringLiteral("] %1%").arg(percent, 3);
    line += QStringLiteral("  %1 files  %2").arg(job.CurrentBackupFilesProcessed.load()).arg(FormatByteSize(job.CurrentBackupSize.load()));
    if (job.JobStatus.load() == jsCancelling)
        return line + QStringLiteral("  ") + Translate(QStringLiteral("Cancelling"));
    const TFileOperationType type = job.CurrentFileOperationType.load();
    if (type == atNone_WaitingForReconnection)
        return line + QStringLiteral("  ") +
               Translate(QStringLiteral("Make sure the storage device is connected. Then resume the job."));
    const QString verb = OperationVerb(type);
    if (!verb.isEmpty())
        line += QStringLiteral("  ") + verb + QLatin1Char(' ') + job.CurrentFileOperationPath();
    return line;
}

QString FollowRun(CliContext &context, TJob &job)
{
    std::unique_ptr<SleepInhibitor> awake = CreateSystemSleepInhibitor();
    QString awakeError;
    if (!awake->SetKeepAwake(true, &awakeError))
        CliOut::Err(Translate(QStringLiteral("Unable to keep the computer awake:")) + QLatin1Char(' ') + awakeError);

    QString last;
    QEventLoop loop;
    InterruptWatcher interrupts;
    QObject::connect(&interrupts, &InterruptWatcher::Interrupted, &loop, [&] {
        // The worker stops at its next check and leaves the destination as
        // a cancelled run leaves it.
        CliOut::Err(Translate(QStringLiteral("Cancelling")) + QStringLiteral(" (") + job.stJobName +
                    QStringLiteral(")..."));
        job.Cancel();
    });
    QTimer timer;
    timer.setInterval(kRefreshMs);
    const bool terminal = Terminal::StderrIsTerminal();
    QElapsedTimer sincePlain;
    sincePlain.start();
    ReconnectWait reconnect(job);
    const auto refresh = [&] {
        const QString event = context.PrintEvents();
        if (!event.isEmpty())
            last = event;
        if (!JobWorker::IsRunning(job) && !IsActiveStatus(job.JobStatus.load())) {
            loop.quit();
            return;
        }
        reconnect.Poll();
        if (terminal) {
            CliOut::Progress(ProgressLine(job));
        } else if (sincePlain.elapsed() >= kPlainProgressMs) {
            CliOut::Err(ProgressLine(job));
            sincePlain.restart();
        }
    };
    QObject::connect(&timer, &QTimer::timeout, &loop, refresh);
    timer.start();
    refresh();
    if (timer.isActive() && (JobWorker::IsRunning(job) || IsActiveStatus(job.JobStatus.load())))
        loop.exec();
    timer.stop();
    const QString event = context.PrintEvents();
    if (!event.isEmpty())
        last = event;
    CliOut::ClearProgress();
    awake->SetKeepAwake(false);
    return last;
}
