// A program without a window on top of the application entry, with the
// recording job runner: the entry tests start it as a second (or first)
// instance and read what it did from its standard output.
//
//   QV_HELPER_TICKS=N     scheduler ticks to run after the words are served
//   QV_HELPER_SERVE_MS=N  keep answering other starts for N ms before ending
#include "app/applicationentry.h"
#include "apptestdoubles.h"
#include "jobs/job.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

namespace {
void say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Recorders rec;
    rec.Runner->OnStart = [](TJob &job) { say(QStringLiteral("STARTED ") + job.stJobName); };
    ApplicationEntry entry(app.arguments().mid(1), rec.Services());
    QObject::connect(&entry, &ApplicationEntry::HandOverRequested, [](const QString &path) {
        say(path.isEmpty() ? QStringLiteral("SHOW") : QStringLiteral("SHOW ") + path);
    });
    QObject::connect(&entry, &ApplicationEntry::OpenJobFileRequested,
                     [](const QString &path) { say(QStringLiteral("OPEN ") + path); });

    QString error;
    switch (entry.Start(&error)) {
    case ApplicationEntry::Outcome::HandedOver:
        say(QStringLiteral("HANDED_OVER"));
        return 0;
    case ApplicationEntry::Outcome::NoInstance:
        say(QStringLiteral("NO_INSTANCE"));
        return 0;
    case ApplicationEntry::Outcome::Closing:
        say(QStringLiteral("CLOSING"));
        return 1;
    case ApplicationEntry::Outcome::Failed:
        say(QStringLiteral("FAILED ") + error);
        return 2;
    case ApplicationEntry::Outcome::Run:
        break;
    }
    say(entry.HoldsInstanceLock() ? QStringLiteral("RUNNING FIRST") : QStringLiteral("RUNNING BESIDE"));
    entry.FirstShown();
    const int ticks = qEnvironmentVariableIntValue("QV_HELPER_TICKS");
    for (int i = 0; i < ticks; ++i)
        entry.Core().tick();
    const int serveMs = qEnvironmentVariableIntValue("QV_HELPER_SERVE_MS");
    if (serveMs > 0) {
        entry.Core().StopScheduler();
        QTimer::singleShot(serveMs, &app, &QCoreApplication::quit);
        app.exec();
    }
    for (const auto &job : entry.Core().Jobs().Jobs()) {
        say(QStringLiteral("JOB %1 %2").arg(job->stJobName).arg(int(job->JobStatus.load())));
        job->JobStatus = jsNone;
    }
    return 0;
}
