#include "cli/reconnectwait.h"

#include "app/destinationprobe.h"
#include "cli/clioutput.h"
#include "jobs/job.h"

#include <chrono>
#include <system_error>

ReconnectWait::ReconnectWait(TJob &job) : m_job(job) {}

ReconnectWait::~ReconnectWait()
{
    if (m_try.valid())
        m_try.wait();
}

void ReconnectWait::Poll()
{
    if (m_try.valid()) {
        if (m_try.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            return;
        const QString error = m_try.get();
        m_sinceTry.restart();
        // A cancel meanwhile, or a resume from elsewhere, leaves the run alone.
        if (m_job.JobStatus.load() != jsPaused)
            return;
        if (error.isEmpty()) {
            CliOut::Err(QStringLiteral("The destination can be reached again; the job resumes."));
            m_waiting = false;
            m_job.Resume();
        } else {
            CliOut::Err(QStringLiteral("The destination cannot be reached yet: %1").arg(error));
        }
        return;
    }
    const bool waiting = m_job.JobStatus.load() == jsPaused
                         && m_job.CurrentFileOperationType.load() == atNone_WaitingForReconnection;
    if (!waiting) {
        m_waiting = false;
        return;
    }
    // The run's own option, read while its worker is held.
    const qint64 intervalMs = qint64(qMax(0, m_job.JobOptions.Processing.IfDestinationNotAvailable_Wait_Sec)) * 1000;
    if (!m_waiting) {
        m_waiting = true;
        m_sinceTry.start();
        CliOut::Err(QStringLiteral("The destination does not accept files. The job waits for it and tries it again "
                                   "every %1 seconds; Ctrl-C cancels the job.")
                        .arg(intervalMs / 1000));
        return;
    }
    if (m_sinceTry.elapsed() < intervalMs)
        return;
    try {
        m_try = std::async(std::launch::async, [probe = DestinationProbe(m_job)] { return probe.Run(); });
    } catch (const std::system_error &e) {
        // No thread for the try: the run keeps waiting; Ctrl-C still cancels it.
        CliOut::Err(QStringLiteral("Unable to try the destination: %1").arg(QString::fromLocal8Bit(e.what())));
        m_sinceTry.restart();
    }
}
