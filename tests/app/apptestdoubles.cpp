#include "apptestdoubles.h"

#include "base/datetime.h"
#include "jobs/job.h"

void RecordingRunner::StartBackup(TJob &job)
{
    Started.append(job.stJobName);
    job.JobStatus = jsRunning;
    job.JobOperation = joBackup;
    job.LastJobResult.StartTime = Clock::NowAsDouble();
    job.LastJobResult.EndTime = 0;
    job.LastJobResult.Cancelled = false;
    if (OnStart)
        OnStart(job);
}

bool RecordingRunner::RequiresElevationForBackup(TJob &job)
{
    return NeedsElevation.contains(job.stJobName);
}

bool RecordingRunner::RemoveBackups(TJob &job)
{
    Removed.append(job.stJobName);
    return RemoveSucceeds;
}

void RecordingRunner::Finish(TJob &job, bool cancelled)
{
    job.LastJobResult.EndTime = Clock::NowAsDouble();
    job.LastJobResult.Cancelled = cancelled;
    job.JobStatus = jsNone;
}

bool RecordingInhibitor::SetKeepAwake(bool on, QString *)
{
    Calls.append(on);
    Held = on;
    return true;
}

bool RecordingElevation::RelaunchElevated(const QString &, const QStringList &arguments, QString *error)
{
    Calls.append(arguments);
    if (!Succeeds && error)
        *error = QStringLiteral("refused by the test");
    return Succeeds;
}

bool RecordingPower::PowerOff(QString *error)
{
    ++PowerOffs;
    if (!Succeeds && error)
        *error = QStringLiteral("refused by the test");
    return Succeeds;
}

bool RecordingPower::Reboot(QString *error)
{
    ++Reboots;
    if (!Succeeds && error)
        *error = QStringLiteral("refused by the test");
    return Succeeds;
}

CoreServices Recorders::Services() const
{
    CoreServices s;
    s.Runner = Runner;
    s.KeepAwake = KeepAwake;
    s.Elevation = Elevation;
    s.Power = Power;
    return s;
}
