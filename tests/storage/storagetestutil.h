#pragma once
// Helpers of the storage tests: a job on a chosen destination, files with
// known content, and the run log with the times taken off.
#include "jobs/jobkinds.h"
#include "storage/archiver.h"
#include "support/testenv.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include <ostream>

// Readable QStrings in test failure messages.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(TOperationResult r, std::ostream *os)
{
    static const char *const names[] = {"orSuccess", "orERROR_LocalAccess", "orERROR_RemoteAccess"};
    *os << (int(r) < 3 ? names[int(r)] : "?");
}

namespace StorageTest {

// A files-and-folders job with a snapshot of the options that suits tests:
// temporary files below `tempRoot`, no wait between retries.
std::unique_ptr<TJob_FilesAndFolders> MakeJob(const QString &name, const QString &tempRoot);

// Points the job at a local folder (Disk = folder, Subfolder "/").
void UseLocalFolder(TJob &job, const QString &folder);
// Points the job at a network share.
void UseNetworkShare(TJob &job, const QString &unc, const QString &user, const QString &password);

// Writes `size` bytes of a pattern that depends on `seed`.
QByteArray Pattern(qint64 size, int seed = 1);
using TestEnv::WriteFile;
QByteArray ReadFile(const QString &path);
bool Exists(const QString &path);
// Names in a folder (hidden ones included), sorted.
QStringList Entries(const QString &folder);
// Entries whose name is that of an unfinished copy.
QStringList TempEntries(const QString &folder);

// The run log without the time of each line ("12:03:04: text" -> "text");
// lines without a time (raw lines) stay as they are.
QStringList Untimed(const QStringList &log);
// Untimed, with every occurrence of each `from` replaced by its `to`.
QStringList Normalised(const QStringList &log, const QList<std::pair<QString, QString>> &replace);
int CountStartingWith(const QStringList &untimed, const QString &prefix);

// Calls `onPercent` from the job's progress notifications (on the thread
// that runs the operation) until the returned connection is dropped.
class ProgressWatch {
public:
    ProgressWatch(TJob &job, std::function<void(int percent)> onPercent);
    ~ProgressWatch();

private:
    QMetaObject::Connection m_connection;
};

// An archive writer double: records the calls, writes a small file for the
// one-file archive, and reports a failure for the local paths it is told to.
class FakeArchiver : public JobArchiver {
public:
    void AddFile(const QString &localPath, const QString &entryName) override;
    void AddFolder(const QString &entryName) override;
    void MakeSingleFileArchive(const QString &archivePath, const QString &localPath,
                               const QString &entryName) override;

    QStringList calls;          // "file <local> as <entry>", "folder <entry>", "single <archive> <local> as <entry>"
    QStringList failFor;        // local paths (or folder entries) that fail
    bool throwOnAdd = false;    // a fault of the archive itself
    QByteArray archiveContent = "PK-fake-archive";
};

} // namespace StorageTest
