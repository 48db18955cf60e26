#include "gui/shell/jobpresentation.h"

#include "options/options.h"
#include "base/datetime.h"
#include "jobs/jobtext.h"

namespace {
struct LastRun {
    bool NeverRun = false;
    bool Cancelled = false;
    qint32 Errors = 0;
    qint32 Warnings = 0;
    double End = 0;
};

LastRun lastRunOf(const TJob &job)
{
    LastRun r;
    r.NeverRun = job.LastJobResult.StartTime == 0 && job.LastJobResult.EndTime == 0;
    r.Cancelled = job.LastJobResult.Cancelled;
    r.End = job.LastJobResult.EndTime;
    job.RunLogCounts(r.Errors, r.Warnings);
    return r;
}

QString reduceDoubleSeparators(QString path)
{
    while (path.contains(QStringLiteral("//")))
        path.replace(QStringLiteral("//"), QStringLiteral("/"));
    return path;
}
} // namespace

QString JobDateText(double dateTime)
{
    return DateTimeToStr(DoubleToDateTime(dateTime));
}

CardLinks CardLinksFor(const TJob &job)
{
    switch (job.JobStatus.load()) {
    case jsNone:
        return {CardLink::Backup, CardLink::Restore};
    case jsWaiting:
    case jsRunning:
        return {job.CanPause ? CardLink::Pause : CardLink::None, CardLink::Cancel};
    case jsPaused:
        return {CardLink::Resume, CardLink::Cancel};
    case jsCancelling:
    default:
        return {};
    }
}

QString CardLinkText(CardLink link)
{
    switch (link) {
    case CardLink::Backup:
        return Translate(QStringLiteral("Backup"));
    case CardLink::Restore:
        return Translate(QStringLiteral("Restore"));
    case CardLink::Pause:
        return Translate(QStringLiteral("Pause"));
    case CardLink::Resume:
        return Translate(QStringLiteral("Resume"));
    case CardLink::Cancel:
        return Translate(QStringLiteral("Cancel"));
    case CardLink::None:
    default:
        return QString();
    }
}

QString DestinationText(const TJob &job)
{
    const TDestinationSettings &d = job.DestinationSettings;
    switch (d.DestinationType) {
    case dtLocalOrExternalDrive:
        return Translate(QStringLiteral("Backup to drive:")) + QLatin1Char(' ') +
               reduceDoubleSeparators(d.LocalOrExternalDrive.Disk + d.LocalOrExternalDrive.Subfolder);
    case dtNetwork:
        return Translate(QStringLiteral("Backup to network:")) + QLatin1Char(' ') + d.Network.UNCPath;
    case dtFTP: {
        const int index = FindFTPAccountIndex(Options(), d.FTP.AccountID);
        if (index < 0)
            return QString();
        return FillPercentS(Translate(QStringLiteral("Backup to FTP (%s):")), {Options().FTPAccounts[index].AccName}) +
               QLatin1Char(' ') + d.FTP.Subfolder;
    }
    case dtCloud:
        return FillPercentS(Translate(QStringLiteral("Backup to cloud (%s):")), {d.Cloud.ServiceName}) +
               QLatin1Char(' ') + d.Cloud.Subfolder;
    }
    return QString();
}

CardSecondLine CardSecondLineFor(const TJob &job)
{
    CardSecondLine line;
    const TJobStatus status = job.JobStatus.load();
    if (status == jsRunning || status == jsPaused) {
        const TFileOperationType op = job.CurrentFileOperationType.load();
        if (op == atNone_WaitingForReconnection) {
            line.Prefix = Translate(QStringLiteral("Make sure the storage device is connected. Then resume the job."));
            line.Warning = true;
            return line;
        }
        const QString verb = OperationVerb(op);
        if (!verb.isEmpty())
            line.Prefix = verb + QLatin1Char(' ');
        line.Path = job.CurrentFileOperationPath();
        return line;
    }
    line.Prefix = DestinationText(job);
    return line;
}

bool HasErrorsOrWarnings(const TJob &job)
{
    qint32 errors = 0, warnings = 0;
    job.RunLogCounts(errors, warnings);
    return errors + warnings > 0;
}

CardResult CardResultFor(const TJob &job)
{
    CardResult r;
    switch (job.JobStatus.load()) {
    case jsWaiting:
        r.Text = Translate(QStringLiteral("Waiting"));
        return r;
    case jsCancelling:
        r.Text = Translate(QStringLiteral("Cancelling"));
        r.Color = ListColors::Red();
        return r;
    case jsPaused:
        r.Text = Translate(QStringLiteral("Paused"));
        return r;
    case jsRunning:
        r.ShowProgress = true;
        r.Percent = qBound(0, int(job.CurrentFileOperationProgress.load()), 100);
        return r;
    case jsNone:
        break;
    }
    const LastRun last = lastRunOf(job);
    const QString errorsLink = Translate(QStringLiteral("Errors")) + QStringLiteral(": ") + QString::number(last.Errors);
    if (last.NeverRun) {
        r.Text = Translate(QStringLiteral("Never started"));
    } else if (last.Cancelled) {
        r.Text = FillPercentS(Translate(QStringLiteral("Cancelled on %s")), {JobDateText(last.End)});
        r.Color = ListColors::Red();
        if (last.Errors > 0)
            r.CountLink = errorsLink;
    } else if (last.Errors > 0) {
        r.Text = FillPercentS(Translate(QStringLiteral("Finished on %s")), {JobDateText(last.End)});
        r.Color = ListColors::Orange();
        r.CountLink = errorsLink;
    } else if (last.Warnings > 0) {
        r.Text = FillPercentS(Translate(QStringLiteral("Finished on %s")), {JobDateText(last.End)});
        r.Color = ListColors::Orange();
        r.CountLink = Translate(QStringLiteral("Warnings")) + QStringLiteral(": ") + QString::number(last.Warnings);
    } else {
        r.Text = FillPercentS(Translate(QStringLiteral("Finished on %s")), {JobDateText(last.End)});
        r.Color = ListColors::Green();
    }
    return r;
}

QString ColumnTitle(int column)
{
    switch (column) {
    case colTitle:
        return Translate(QStringLiteral("Title"));
    case colType:
        return Translate(QStringLiteral("Type"));
    case colStorage:
        return Translate(QStringLiteral("Storage"));
    case colStatus:
        return Translate(QStringLiteral("Status"));
    case colLastResult:
        return Translate(QStringLiteral("Last Result"));
    default:
        return QString();
    }
}

QString JobKindText(const TJob &job)
{
    switch (job.Kind()) {
    case jkFilesAndFolders:
        return Translate(QStringLiteral("Files and Folders Backup"));
    case jkDriveImage:
        return Translate(QStringLiteral("Drive Image Backup"));
    case jkAppsData:
        return Translate(QStringLiteral("Application Data Backup"));
    case jkUnknown:
    default:
        return QString();
    }
}

QString StorageText(const TJob &job)
{
    switch (job.DestinationSettings.DestinationType) {
    case dtLocalOrExternalDrive:
        return Translate(QStringLiteral("Drive"));
    case dtNetwork:
        return Translate(QStringLiteral("Network"));
    case dtFTP:
        return Translate(QStringLiteral("FTP"));
    case dtCloud:
        return Translate(QStringLiteral("Cloud"));
    }
    return QString();
}

TableCell TableCellFor(const TJob &job, int column)
{
    TableCell cell;
    switch (column) {
    case colTitle:
        cell.Text = job.stJobName;
        break;
    case colType:
        cell.Text = JobKindText(job);
        break;
    case colStorage:
        cell.Text = StorageText(job);
        break;
    case colStatus:
        switch (job.JobStatus.load()) {
        case jsNone:
            cell.Text = Translate(QStringLiteral("Ready"));
            break;
        case jsWaiting:
            cell.Text = Translate(QStringLiteral("Waiting"));
            cell.Color = ListColors::Navy();
            break;
        case jsRunning:
            cell.Text = Translate(QStringLiteral("Running"));
            cell.Color = ListColors::Navy();
            break;
        case jsCancelling:
            cell.Text = Translate(QStringLiteral("Cancelling"));
            cell.Color = ListColors::Navy();
            break;
        case jsPaused:
            cell.Text = Translate(QStringLiteral("Paused"));
            cell.Color = ListColors::Navy();
            break;
        }
        break;
    case colLastResult: {
        if (job.JobStatus.load() != jsNone)
            break;
        const LastRun last = lastRunOf(job);
        const QString date = JobDateText(last.End);
        if (last.NeverRun) {
            cell.Text = Translate(QStringLiteral("Never started"));
        } else if (last.Cancelled) {
            cell.Text = FillPercentS(Translate(QStringLiteral("Cancelled on %s")), {date});
            cell.Color = ListColors::Red();
        } else if (last.Errors > 0) {
            cell.Text = FillPercentS(Translate(QStringLiteral("Finished with errors on %s")), {date});
            cell.Color = ListColors::Orange();
        } else if (last.Warnings > 0) {
            cell.Text = FillPercentS(Translate(QStringLiteral("Finished with warnings on %s")), {date});
            cell.Color = ListColors::Orange();
        } else {
            cell.Text = FillPercentS(Translate(QStringLiteral("Finished on %s")), {date});
            cell.Color = ListColors::Green();
        }
        break;
    }
    default:
        break;
    }
    return cell;
}
