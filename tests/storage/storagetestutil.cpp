#include "storagetestutil.h"

#include "base/errors.h"
#include "storage/localcopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace StorageTest {

std::unique_ptr<TJob_FilesAndFolders> MakeJob(const QString &name, const QString &tempRoot)
{
    auto job = std::make_unique<TJob_FilesAndFolders>(name);
    job->OptionsToJobOptions();
    job->JobOptions.General.PathForTempFiles = tempRoot;
    job->JobOptions.Processing.IfDestinationNotAvailable_Wait_Sec = 0;
    job->JobOptions.Processing.IfDestinationNotAvailable_Retry_Times = 0;
    job->JobOptions.Processing.SkipLockedFiles = false;
    job->JobOptions.Logging.DontLogCopyingInternalFiles = false;
    return job;
}

void UseLocalFolder(TJob &job, const QString &folder)
{
    job.DestinationSettings.DestinationType = dtLocalOrExternalDrive;
    job.DestinationSettings.LocalOrExternalDrive.Disk = folder;
    job.DestinationSettings.LocalOrExternalDrive.Subfolder = QStringLiteral("/");
}

void UseNetworkShare(TJob &job, const QString &unc, const QString &user, const QString &password)
{
    job.DestinationSettings.DestinationType = dtNetwork;
    job.DestinationSettings.Network.UNCPath = unc;
    job.DestinationSettings.Network.Username = user;
    job.DestinationSettings.Network.Password = password;
}

QByteArray Pattern(qint64 size, int seed)
{
    QByteArray data(size, Qt::Uninitialized);
    quint32 x = 2463534242u + quint32(seed) * 7919u;
    for (qint64 i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        data[i] = char(x & 0xff);
    }
    return data;
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

bool Exists(const QString &path)
{
    return QFileInfo::exists(path);
}

QStringList Entries(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                               | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

QStringList TempEntries(const QString &folder)
{
    QStringList out;
    for (const QString &n : Entries(folder))
        if (n.startsWith(LocalCopyTempPrefix()))
            out << n;
    return out;
}

QStringList Untimed(const QStringList &log)
{
    static const QRegularExpression time(QStringLiteral("^\\d{1,2}:\\d{2}:\\d{2}( ?[AaPp][Mm])?: "));
    QStringList out;
    for (QString line : log) {
        const QRegularExpressionMatch m = time.match(line);
        if (m.hasMatch())
            line = line.mid(m.capturedLength());
        out << line;
    }
    return out;
}

QStringList Normalised(const QStringList &log, const QList<std::pair<QString, QString>> &replace)
{
    QStringList out = Untimed(log);
    for (QString &line : out)
        for (const auto &[from, to] : replace)
            line.replace(from, to);
    return out;
}

int CountStartingWith(const QStringList &untimed, const QString &prefix)
{
    int n = 0;
    for (const QString &l : untimed)
        n += l.startsWith(prefix) ? 1 : 0;
    return n;
}

ProgressWatch::ProgressWatch(TJob &job, std::function<void(int percent)> onPercent)
{
    TJob *j = &job;
    m_connection = QObject::connect(
        &job, &TJob::Changed, &job, [j, onPercent] { onPercent(j->CurrentFileOperationProgress.load()); },
        Qt::DirectConnection);
}

ProgressWatch::~ProgressWatch()
{
    QObject::disconnect(m_connection);
}

void FakeArchiver::AddFile(const QString &localPath, const QString &entryName)
{
    if (throwOnAdd)
        throw QvError(QStringLiteral("The archive cannot be written."));
    calls << QStringLiteral("file %1 as %2").arg(localPath, entryName);
    if (failFor.contains(localPath))
        MarkFailure();
}

void FakeArchiver::AddFolder(const QString &entryName)
{
    if (throwOnAdd)
        throw QvError(QStringLiteral("The archive cannot be written."));
    calls << QStringLiteral("folder %1").arg(entryName);
    if (failFor.contains(entryName))
        MarkFailure();
}

void FakeArchiver::MakeSingleFileArchive(const QString &archivePath, const QString &localPath,
                                         const QString &entryName)
{
    calls << QStringLiteral("single %1 %2 as %3").arg(archivePath, localPath, entryName);
    // Like a real writer, the archive exists (perhaps partly) when a file fails.
    WriteFile(archivePath, archiveContent);
    if (failFor.contains(localPath))
        MarkFailure();
}

} // namespace StorageTest
