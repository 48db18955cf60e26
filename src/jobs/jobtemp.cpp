// The job's temporary folder and its working copy of the remote job file.
#include "jobs/job.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {
// Bottom-up removal entry by entry; links are removed, never followed.
void removeTreeEntryByEntry(const QString &root)
{
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QFileInfo fi(it.next());
        if (fi.isDir() && !fi.isSymLink())
            removeTreeEntryByEntry(fi.filePath());
        else
            QFile::remove(fi.filePath());
    }
    QDir().rmdir(root);
}
} // namespace

void TJob::DeleteTempFiles()
{
    const QString folder = TempFolderPath();
    if (!folder.isEmpty()) {
        const QFileInfo fi(folder);
        if (fi.isSymLink()) {
            QFile::remove(folder); // a link in the job's place: remove the link only
        } else if (fi.isDir()) {
            QDir(folder).removeRecursively(); // errors are checked by looking again
            if (QFileInfo(folder).isDir())
                removeTreeEntryByEntry(folder);
        }
    }
    const QString jobFile = TempJobFilePath();
    if (!jobFile.isEmpty() && QFileInfo::exists(jobFile))
        QFile::remove(jobFile);
}
