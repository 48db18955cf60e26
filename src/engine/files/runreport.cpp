#include "engine/files/runreport.h"

#include "jobs/job.h"

#include <QMutex>
#include <QMutexLocker>

namespace {
QMutex &senderMutex()
{
    static QMutex m;
    return m;
}
RunReportSender &sender()
{
    static RunReportSender s;
    return s;
}

void Send(TJob &job, const QString &resultText)
{
    RunReportSender s;
    {
        QMutexLocker lock(&senderMutex());
        s = sender();
    }
    if (s)
        s(job, resultText);
}
} // namespace

void SetRunReportSender(RunReportSender s)
{
    QMutexLocker lock(&senderMutex());
    sender() = std::move(s);
}

void SendRunReportIfWanted(TJob &job, const QString &resultText, bool cancelled)
{
    const TEmailOptions &o = job.JobOptions.Email;
    if (o.SendEmailNotificationWhenFinishedBackup && (!o.SendOnlyIfJobIscancelledDueToErrors || cancelled))
        Send(job, resultText);
}

void SendConnectionFailureReport(TJob &job, const QString &resultText)
{
    if (job.JobOptions.Email.SendEmailNotificationWhenFinishedBackup)
        Send(job, resultText);
}
