// Runs one operation of a files-and-folders job for the benchmark, in a
// throw-away data folder, without any window:
//
//   quorvane-bench-files backup  <data> <source> <destination> [incremental|differential|full|sync]
//   quorvane-bench-files restore <data> <destination> <output> [point]
//
// The job ("Bench") is created on the first backup and kept in <data>
// (its local job file) between calls; its temporary and log folders are
// below <data> too. Prints the run's last log lines and exits with 0 when
// the run finished without errors.
#include "options/options.h"
#include "base/appstate.h"
#include "engine/files/filesengine.h"
#include "jobs/jobkinds.h"
#include "platform/folders.h"
#include "platform/allocator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: quorvane-bench-files backup <data> <source> <destination> [incremental|differential|full|sync]\n"
                 "       quorvane-bench-files restore <data> <destination> <output> [point]\n");
    return 2;
}

void PrepareOptions(const QString &data)
{
    TOptions &o = Options();
    o = TOptions{};
    o.General.PathForTempFiles = data + QStringLiteral("/tmp");
    o.Logging.PathForLogFiles = data + QStringLiteral("/logs");
    o.Processing.IfDestinationNotAvailable_Retry_Times = 0;
    o.Processing.IfDestinationNotAvailable_Wait_Sec = 0;
    QDir().mkpath(o.General.PathForTempFiles);
    QDir().mkpath(o.Logging.PathForLogFiles);
}

void PrintTail(const TJob &job, int lines)
{
    // The run has ended: its log is read in place, not copied whole.
    const LogLines &log = job.LastJobResult.Log;
    for (qsizetype i = std::max<qsizetype>(0, log.Size() - lines); i < log.Size(); ++i)
        std::printf("  %s\n", qPrintable(log.At(i)));
}

int Finish(const TJob &job, qint64 ms)
{
    qint32 errors = 0, warnings = 0;
    job.RunLogCounts(errors, warnings);
    PrintTail(job, 4);
    std::printf("elapsed_ms=%lld files=%lld bytes=%lld errors=%d cancelled=%d\n", static_cast<long long>(ms),
                static_cast<long long>(job.CurrentBackupFilesProcessed.load()),
                static_cast<long long>(job.CurrentBackupSize.load()), errors, job.LastJobResult.Cancelled ? 1 : 0);
    return errors == 0 && !job.LastJobResult.Cancelled ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    ConfigureAllocator();
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 4)
        return Usage();
    const QString command = args[0];
    const QString data = QFileInfo(args[1]).absoluteFilePath();
    QDir().mkpath(data);
    Folders::SetDataFolderOverride(data);
    AppState::SetJobFileExtension(QStringLiteral(".qvj"));
    PrepareOptions(data);

    TJob_FilesAndFolders job(QStringLiteral("Bench"));
    const QString jobFile = job.LocalJobFilePath();
    if (QFileInfo::exists(jobFile) && !job.LoadLocalJobFile(jobFile)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(jobFile));
        return 2;
    }

    QElapsedTimer timer;
    if (command == QLatin1String("backup")) {
        const QString source = QFileInfo(args[2]).absoluteFilePath();
        const QString destination = QFileInfo(args[3]).absoluteFilePath();
        QDir().mkpath(destination);
        job.Settings.Sources.List = {source + QStringLiteral("/*")};
        const QString type = args.value(4, QStringLiteral("incremental"));
        job.Settings.Backup.BackupType = type == QLatin1String("differential") ? btDifferential
                                         : type == QLatin1String("full")       ? btFull
                                         : type == QLatin1String("sync")       ? btSynchronization
                                                                               : btIncremental;
        job.SetDerivedFields();
        job.DestinationSettings.DestinationType = dtLocalOrExternalDrive;
        job.DestinationSettings.LocalOrExternalDrive.Disk = destination;
        job.DestinationSettings.LocalOrExternalDrive.Subfolder = QStringLiteral("/");
        timer.start();
        if (!Backup(job))
            return 2;
        JobWorker::WaitForRunToEnd(job, -1);
        return Finish(job, timer.elapsed());
    }
    if (command == QLatin1String("restore")) {
        const QString destination = QFileInfo(args[2]).absoluteFilePath();
        const QString output = QFileInfo(args[3]).absoluteFilePath();
        QDir().mkpath(output);
        job.DestinationSettings.DestinationType = dtLocalOrExternalDrive;
        job.DestinationSettings.LocalOrExternalDrive.Disk = destination;
        job.DestinationSettings.LocalOrExternalDrive.Subfolder = QStringLiteral("/");
        timer.start();
        if (!BeginRestore(job))
            return 2;
        const RestorePointList points = ReadRestorePoints(job);
        if (!points.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(points.error));
            return 1;
        }
        bool ok = false;
        int point = args.value(4, QStringLiteral("-1")).toInt(&ok);
        if (!points.synchronization && (!ok || point < 0))
            point = int(points.points.size()) - 1;
        if (!StartRestore(job, points, points.synchronization ? -1 : point, output, QString()))
            return 2;
        JobWorker::WaitForRunToEnd(job, -1);
        return Finish(job, timer.elapsed());
    }
    return Usage();
}
