// TJob::ConnectToStorage and TJob::DisconnectFromStorage, and the connectors
// of the two folder destinations (local or external drive, network share).
#include "base/paths.h"
#include "base/runlog.h"
#include "jobs/job.h"
#include "jobs/jobtext.h"
#include "storage/smbstorage.h"

#include <QFileInfo>

namespace {

const char *const kMultipleConnections = "Multiple connections to";
const char *const kMultipleConnectionsHint =
    "Try to use the IP address of the remote server (instead of the hostname) in the UNC path. "
    "For example: \\\\IP_Address\\folder\\";

[[noreturn]] void DirectoryMissing(TJob &job, const QString &base)
{
    throw StorageConnectError(job.JobTranslate(QStringLiteral("The directory does not exist:"))
                              + QLatin1Char(' ') + base);
}

} // namespace

StorageConnectError NetworkShareConnectError(TJob &job, const QString &lastError)
{
    if (lastError.contains(QLatin1String(kMultipleConnections))) {
        // A share already connected under other credentials: the server's
        // address instead of its name makes a connection of its own.
        return StorageConnectError(
            lastError,
            {QStringLiteral("***** ") + job.JobTranslate(QString::fromLatin1(kMultipleConnectionsHint)), QString()},
            job.JobTranslate(QStringLiteral("Read the log for details.")));
    }
    return StorageConnectError(lastError);
}

std::unique_ptr<StorageSession> ConnectLocalFolder(TJob &job, QString &jobFolderPath)
{
    const TLocalOrExternalDriveSettings &s = job.DestinationSettings.LocalOrExternalDrive;
    QString sub = s.Subfolder;
    if (sub.startsWith(QLatin1Char('/')))
        sub.remove(0, 1);
    const QString base = JoinPath(s.Disk, sub);
    job.AddFileEventToLog(QStringLiteral("Connecting to the external drive. Directory:"), base);
    if (base.isEmpty() || !QFileInfo(ToLongPath(base)).isDir())
        DirectoryMissing(job, base);
    jobFolderPath = JoinPath(base, job.stJobName);
    return std::make_unique<LocalStorageSession>(base);
}

std::unique_ptr<StorageSession> ConnectNetworkShare(TJob &job, QString &jobFolderPath)
{
    const TNetworkSettings &s = job.DestinationSettings.Network;
    // Credentials written into the address are never shown or logged.
    const QString shown = UncPathWithoutCredentials(s.UNCPath);
    job.AddFileEventToLog(QStringLiteral("Connecting to the network. Directory:"), shown);
    auto connection = std::make_unique<TNetworkPathConnection>();
    if (!connection->Connect(s.UNCPath, s.Username, s.Password)) {
        // The connection object is destroyed on the way out, which releases
        // everything it holds.
        throw NetworkShareConnectError(job, connection->LastError());
    }
    const QString root = connection->Path().Canonical();
    auto session = std::make_unique<SmbStorageSession>(std::move(connection));
    if (!session->FileSystem().Stat(root).isFolder) {
        session->Connection().Disconnect(false);
        DirectoryMissing(job, shown);
    }
    jobFolderPath = root + QLatin1Char('/') + job.stJobName;
    return session;
}

void TJob::ConnectToStorage(QString &path)
{
    path.clear();
    CurrentFileOperationType.store(atNone);
    SetCurrentFileOperationPath(QString());

    // One job has one connection: a session left open is closed first.
    if (m_storage) {
        try {
            m_storage->Disconnect(*this);
        } catch (const std::exception &) {
            // The old session is being replaced; its objects are freed below.
        }
        m_storage.reset();
    }

    const auto fail = [this, &path](const QString &message, const QStringList &extra,
                                    const QString &output) {
        const QString text = RemoveLineBreaks(message);
        AddErrorToLog(text);
        for (const QString &line : extra)
            AddRawLineToLog(line);
        path = JobTranslate(QStringLiteral("ERROR:")) + QLatin1Char(' ')
               + (output.isEmpty() ? text : output);
    };

    try {
        // The job folder is named after the job: a name that cannot name a
        // folder would put the backups (and their removal) somewhere else.
        if (!IsUsableEntryName(stJobName))
            throw QvError(JobTranslate(QStringLiteral("Invalid characters in path")));
        const StorageConnector connector = FindStorageConnector(DestinationSettings.DestinationType);
        if (!connector)
            throw QvError(JobTranslate(QStringLiteral("This kind of destination is not available.")));
        QString folder;
        std::unique_ptr<StorageSession> session = connector(*this, folder);
        m_storage = std::move(session);
        path = folder;
    } catch (const StorageConnectError &e) {
        fail(e.message(), e.extraLogLines(), e.output());
    } catch (const QvError &e) {
        fail(e.message(), {}, {});
    } catch (const std::exception &e) {
        fail(QString::fromLocal8Bit(e.what()), {}, {});
    }
}

void TJob::DisconnectFromStorage()
{
    AddToLog(JobTranslate(QStringLiteral("Disconnecting from device.")));
    if (!m_storage)
        return;
    try {
        m_storage->Disconnect(*this);
    } catch (const QvError &e) {
        AddErrorToLog(RemoveLineBreaks(e.message()));
    } catch (const std::exception &e) {
        AddErrorToLog(RemoveLineBreaks(QString::fromLocal8Bit(e.what())));
    }
    m_storage.reset();
}
