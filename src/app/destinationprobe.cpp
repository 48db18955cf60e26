#include "app/destinationprobe.h"

#include "jobs/jobkinds.h"

DestinationProbe::DestinationProbe(const TJob &job)
    : m_jobName(job.stJobName), m_destination(job.DestinationSettings), m_options(job.JobOptions)
{
}

QString DestinationProbe::Run() const
{
    // A job of its own connects like the run does, with the same settings,
    // and keeps its log lines to itself.
    TJob_FilesAndFolders probe(m_jobName);
    probe.DestinationSettings = m_destination;
    probe.JobOptions = m_options;
    QString root;
    probe.ConnectToStorage(root);
    const QString error = probe.JobTranslate(QStringLiteral("ERROR:"));
    if (root.isEmpty() || root.startsWith(error)) {
        const QString reason = root.mid(error.size()).trimmed();
        return reason.isEmpty() ? probe.JobTranslate(QStringLiteral("Unable to connect to the backup storage.")) : reason;
    }
    probe.DisconnectFromStorage();
    return QString();
}
