// The job's temporary folder and its working copy of the remote job file.
#include "jobs/job.h"

#include "base/filenamecodec.h"

#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

void TJob::DeleteTempFiles()
{
    const QString folder = TempFolderPath();
    if (!folder.isEmpty()) {
        const QFileInfo fi(folder);
        if (fi.isSymLink()) {
            QFile::remove(folder); // a link in the job's place: remove the link only
        } else if (fi.isDir()) {
            // By the bytes of the names, so that a copy under a name that is
            // not UTF-8 (left by a run that ended early) goes too; links are
            // removed, never followed. What stays is tried again next time.
            std::error_code ec;
            std::filesystem::remove_all(std::filesystem::path(FileNameToBytes(folder).toStdString()), ec);
        }
    }
    const QString jobFile = TempJobFilePath();
    if (!jobFile.isEmpty() && QFileInfo::exists(jobFile))
        QFile::remove(jobFile);
}
