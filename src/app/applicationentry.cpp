#include "app/applicationentry.h"

#include "base/appstate.h"
#include "jobs/jobslist.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>

ApplicationEntry::ApplicationEntry(const QStringList &arguments, CoreServices services, QObject *parent)
    : QObject(parent), m_commandLine(CommandLine::Parse(arguments)), m_core(std::move(services))
{
    connect(&m_server, &InstanceServer::ShowRequested, this, [this] { Q_EMIT HandOverRequested(QString()); });
    connect(&m_server, &InstanceServer::OpenFileRequested, this, [this](const QString &path) {
        Q_EMIT HandOverRequested(IsJobFilePath(path) ? path : QString());
    });
    connect(&m_core, &ApplicationCore::OpenJobFileRequested, this, &ApplicationEntry::OpenJobFileRequested);
    m_lockRetry.setInterval(1000);
    connect(&m_lockRetry, &QTimer::timeout, this, &ApplicationEntry::takeLockLater);
}

ApplicationEntry::~ApplicationEntry() = default;

ApplicationEntry::Outcome ApplicationEntry::Start(QString *error)
{
    // 1. The single-instance lock.
    const InstanceLock::Result lock = m_lock.TryAcquire(error);
    if (lock == InstanceLock::Result::Failed)
        return Outcome::Failed;

    // 2. The words that allow a second instance.
    AppState::CommandLineRun = m_commandLine.IsCommandLineRun();

    // 3. Hand the request over to the running instance.
    if (!AppState::CommandLineRun && lock == InstanceLock::Result::HeldByAnother)
        return handOver();

    // The holder of the lock answers later starts. Requests that arrive
    // before the event loop runs wait in the socket until then.
    if (m_lock.IsHeld())
        listen();
    else
        m_lockRetry.start(); // the running one may end; then this one takes over
    // Beside a running instance this one serves its command-line word only:
    // the schedule is the running one's, and both would start the same
    // scheduled job in the same second.
    m_core.SetQueuesScheduledStarts(m_lock.IsHeld());

    // 4.-6. The core, in its start-up order; the windowed program owns the
    // log-on entry.
    m_core.SetWritesLogonEntry(true);
    m_core.SetStartedHidden(m_commandLine.Hide);
    if (!m_core.Initialise() || AppState::ApplicationClosing)
        return Outcome::Closing;
    if (m_commandLine.Hide)
        m_core.StartScheduler();
    return Outcome::Run;
}

ApplicationEntry::Outcome ApplicationEntry::handOver()
{
    // The running instance may use the legacy job file extension.
    JobsList().DetectLegacyLayout();
    const QString first = m_commandLine.FirstArgument;
    // The receiver runs in another folder: it gets the full path.
    const bool open = IsJobFilePath(first);
    const QString path = open ? QFileInfo(first).absoluteFilePath() : QString();
    // The lock holder may still be starting; give it a moment to listen.
    const QDeadlineTimer deadline(kHandOverTimeoutMs);
    while (true) {
        const int remaining = int(qMax<qint64>(1, deadline.remainingTime()));
        const InstanceClient::SendResult r =
            open ? InstanceClient::SendOpenFile(path, remaining) : InstanceClient::SendShow(remaining);
        if (r == InstanceClient::SendResult::Delivered)
            return Outcome::HandedOver;
        if (r == InstanceClient::SendResult::Failed || deadline.hasExpired())
            return Outcome::NoInstance;
        // Nobody listens yet. If the lock was let go meanwhile, the other
        // instance has ended and there is nobody to hand over to.
        InstanceLock probe;
        if (probe.TryAcquire() != InstanceLock::Result::HeldByAnother)
            return Outcome::NoInstance;
        QThread::msleep(100);
    }
}

void ApplicationEntry::listen()
{
    QString error;
    if (!m_server.Listen(m_lock.RuntimeFolder(), &error))
        qWarning("Single instance: cannot listen for other starts: %s", qPrintable(error));
}

void ApplicationEntry::takeLockLater()
{
    if (m_lock.TryAcquire() == InstanceLock::Result::Acquired) {
        m_lockRetry.stop();
        listen();
        m_core.SetQueuesScheduledStarts(true);
    }
}

void ApplicationEntry::FirstShown()
{
    if (m_firstShown)
        return;
    m_firstShown = true;
    m_core.ServeCommandLine(m_commandLine);
    m_core.StartScheduler();
}
