#include "cli/clicontext.h"

#include "app/jobrunlock.h"
#include "app/jobrunner.h"
#include "options/options.h"
#include "base/appstate.h"
#include "base/events.h"
#include "cli/cliargs.h"
#include "cli/clicommands.h"
#include "cli/clioutput.h"
#include "jobs/jobkinds.h"

CliContext::CliContext() = default;
CliContext::~CliContext() = default;

bool CliContext::Start()
{
    // Like the command-line words: beside a running instance, never relaunched elevated.
    AppState::CommandLineRun = true;
    const bool ok = m_core.Initialise();
    // The start-up events that report a failure; the rest is routine.
    const QString &damage = m_core.Jobs().ListDamage();
    for (const QString &line : m_core.Events()) {
        const QString text = CliOut::EventText(line);
        if (text.startsWith(QLatin1String("ERROR")) || text.startsWith(QLatin1String("Error")) || text == damage)
            CliOut::Err(text);
    }
    QObject::connect(&m_core, &ApplicationCore::EventsAppended, [this](const QStringList &lines) {
        for (const QString &line : lines) {
            CliOut::Err(line);
            m_lastEvent = line;
        }
    });
    // Every command works on the jobs: none of them runs on a list that
    // could not be read, where each job would seem not to exist (and a
    // changed list would replace the user's).
    return ok && damage.isEmpty();
}

TJob &CliContext::Job(const QString &name)
{
    TJob *job = m_core.Jobs().Find(name);
    if (!job)
        throw UsageError(QStringLiteral("There is no job named \"%1\". \"quorvane-cli list\" shows the jobs.").arg(name));
    return *job;
}

TJob_FilesAndFolders *CliContext::FilesJob(const QString &name, QString *refusal)
{
    TJob &job = Job(name);
    auto *files = qobject_cast<TJob_FilesAndFolders *>(&job);
    if (!files && refusal)
        *refusal = JobKindUnavailableText(job);
    return files;
}

bool CliContext::LockJobsList(QString *message)
{
    QString error;
    switch (m_lock.TryAcquire(&error)) {
    case InstanceLock::Result::Acquired:
        return true;
    case InstanceLock::Result::HeldByAnother:
        *message = QStringLiteral("Quorvane is running and keeps the jobs list open: make the change there, or quit "
                                  "it (or stop \"quorvane-cli run\") first.");
        return false;
    case InstanceLock::Result::Failed:
        break;
    }
    *message = QStringLiteral("Unable to check whether Quorvane is running: ") + error;
    return false;
}

int CliContext::LockJob(const TJob &job, JobLock &lock)
{
    QString refusal;
    lock = ::LockJob(job, &refusal);
    if (lock.IsHeld())
        return ExitCode::Ok;
    CliOut::Err(refusal);
    return lock.status() == JobLock::Status::HeldByAnotherProcess ? ExitCode::Busy : ExitCode::Failed;
}

QString CliContext::PrintEvents()
{
    m_lastEvent.clear();
    m_core.DrainEvents();
    return m_lastEvent;
}
