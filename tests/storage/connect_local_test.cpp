// ConnectToStorage and DisconnectFromStorage on local folders, and the
// registry through which further destination kinds plug into the frame.
#include "storage/smbstorage.h"
#include "storage/storagesession.h"
#include "storagetestutil.h"
#include "support/testnames.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace StorageTest;

namespace {

struct PathCase {
    const char *name;
    const char *disk;      // "<R>" is the temporary root
    const char *subfolder;
    const char *base;
    const char *folder;
};

void PrintTo(const PathCase &c, std::ostream *os)
{
    *os << c.name << ": " << TestNames::Quoted(c.disk) << " + " << TestNames::Quoted(c.subfolder) << " -> "
        << TestNames::Quoted(c.folder);
}

class ConnectLocalPaths : public ::testing::TestWithParam<PathCase> {};

TEST_P(ConnectLocalPaths, JobFolderPathAndLogLine)
{
    const PathCase c = GetParam();
    QTemporaryDir root;
    QDir().mkpath(root.path() + QStringLiteral("/sub"));
    const auto expand = [&](const char *s) { return QString::fromUtf8(s).replace(QStringLiteral("<R>"), root.path()); };
    auto job = MakeJob(QStringLiteral("Docs"), root.path() + QStringLiteral("/tmp"));
    job->DestinationSettings.LocalOrExternalDrive.Disk = expand(c.disk);
    job->DestinationSettings.LocalOrExternalDrive.Subfolder = expand(c.subfolder);
    QString path = QStringLiteral("stale output");
    job->ConnectToStorage(path);
    EXPECT_EQ(path, expand(c.folder));
    EXPECT_EQ(Untimed(job->RunLogSnapshot()),
              QStringList{QStringLiteral("Connecting to the external drive. Directory: ") + expand(c.base)});
    EXPECT_NE(job->Storage(), nullptr);
    EXPECT_EQ(job->CurrentFileOperationType.load(), atNone);
    job->DisconnectFromStorage();
    EXPECT_EQ(job->Storage(), nullptr);
    EXPECT_EQ(Untimed(job->RunLogSnapshot()).last(), QStringLiteral("Disconnecting from device."));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ConnectLocalPaths,
    ::testing::Values(PathCase{"root_subfolder", "<R>", "/", "<R>", "<R>/Docs"},
                      PathCase{"empty_subfolder", "<R>", "", "<R>", "<R>/Docs"},
                      PathCase{"leading_separator_removed", "<R>", "/sub", "<R>/sub", "<R>/sub/Docs"},
                      PathCase{"trailing_separators", "<R>/", "sub/", "<R>/sub/", "<R>/sub/Docs"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ConnectLocal, MissingFolderFailsWithTheErrorTextAndReleasesEverything)
{
    QTemporaryDir root;
    auto job = MakeJob(QStringLiteral("Docs"), root.path());
    UseLocalFolder(*job, root.path() + QStringLiteral("/absent"));
    QString path;
    job->ConnectToStorage(path);
    const QString text = QStringLiteral("The directory does not exist: ") + root.path() + QStringLiteral("/absent");
    EXPECT_EQ(path, QStringLiteral("ERROR: ") + text);
    EXPECT_EQ(Untimed(job->RunLogSnapshot()),
              (QStringList{QStringLiteral("Connecting to the external drive. Directory: ") + root.path()
                               + QStringLiteral("/absent"),
                           QStringLiteral("ERROR: ") + text}));
    EXPECT_EQ(job->LastJobResult.ErrorsCount, 1);
    EXPECT_EQ(job->Storage(), nullptr);
    // Disconnecting after a failed connection only writes its line.
    job->DisconnectFromStorage();
    EXPECT_EQ(Untimed(job->RunLogSnapshot()).last(), QStringLiteral("Disconnecting from device."));
    EXPECT_EQ(job->LastJobResult.ErrorsCount, 1);
}

TEST(ConnectLocal, AJobNameThatCannotNameAFolderIsRefused)
{
    QTemporaryDir root;
    for (const QString &name : {QStringLiteral(".."), QStringLiteral("a/b"), QString()}) {
        auto job = MakeJob(name, root.path());
        UseLocalFolder(*job, root.path());
        QString path;
        job->ConnectToStorage(path);
        EXPECT_TRUE(path.startsWith(QStringLiteral("ERROR: "))) << name.toStdString();
        EXPECT_EQ(job->Storage(), nullptr);
    }
}

TEST(ConnectLocal, OperationsWithoutAConnectionFailAsRemote)
{
    QTemporaryDir root;
    auto job = MakeJob(QStringLiteral("Docs"), root.path());
    EXPECT_EQ(job->FileOperation(atCreateRemoteFolder, QString(), root.path() + QStringLiteral("/x"), 0, true),
              orERROR_RemoteAccess);
    EXPECT_EQ(job->LastJobResult.ErrorsCount, 1);
    EXPECT_EQ(job->FileOperation(atNone, QString(), QString(), 0, true), orSuccess);
}

// A destination kind plugs in through the registry alone: the frame runs
// its operations with the usual retries and log lines.
class RecordingSession : public StorageSession {
public:
    explicit RecordingSession(QStringList *calls) : m_calls(calls) {}
    QString ShownPath(const QString &remote) const override { return QStringLiteral("shown:") + remote; }
    void PrepareAttempt(FileOperationContext &) override { *m_calls << QStringLiteral("prepare"); }
    TOperationResult Perform(FileOperationContext &ctx, TFileOperationType op, const QString &local,
                             const QString &remote) override
    {
        *m_calls << QStringLiteral("perform %1 %2 %3").arg(int(op)).arg(local, remote);
        ctx.LogEvent(QStringLiteral("Removing the file:"), remote);
        if (m_calls->count(QStringLiteral("prepare")) < 3)
            throw QvError(QStringLiteral("server busy"));
        return orSuccess;
    }
    void AttemptFailed(FileOperationContext &) override { *m_calls << QStringLiteral("failed"); }
    void Disconnect(TJob &) override { *m_calls << QStringLiteral("disconnect"); }

private:
    QStringList *m_calls;
};

TEST(StorageRegistry, ANewDestinationKindRunsInTheSameFrame)
{
    QTemporaryDir root;
    QStringList calls;
    const StorageConnector previous = FindStorageConnector(dtFTP);
    RegisterStorageConnector(dtFTP, [&calls](TJob &job, QString &folder) {
        job.AddToLog(QStringLiteral("Connecting to the test kind"));
        folder = QStringLiteral("/remote/") + job.stJobName;
        return std::make_unique<RecordingSession>(&calls);
    });
    auto job = MakeJob(QStringLiteral("Docs"), root.path());
    job->DestinationSettings.DestinationType = dtFTP;
    QString path;
    job->ConnectToStorage(path);
    EXPECT_EQ(path, QStringLiteral("/remote/Docs"));
    EXPECT_EQ(job->FileOperation(atRemoveRemoteFile, QString(), QStringLiteral("/remote/Docs/a"), 5, true),
              orSuccess);
    EXPECT_EQ(job->CurrentFileOperationPath(), QStringLiteral("shown:/remote/Docs/a"));
    job->DisconnectFromStorage();
    RegisterStorageConnector(dtFTP, previous);

    EXPECT_EQ(calls.count(QStringLiteral("failed")), 2);
    EXPECT_EQ(calls.last(), QStringLiteral("disconnect"));
    const QStringList log = Untimed(job->RunLogSnapshot());
    EXPECT_EQ(log, (QStringList{"Connecting to the test kind", "Removing the file: /remote/Docs/a",
                                "ERROR: server busy", "Retry after 0 seconds.",
                                "Removing the file: /remote/Docs/a", "ERROR: server busy",
                                "Retry after 0 seconds.", "Removing the file: /remote/Docs/a",
                                "Disconnecting from device."}));
    EXPECT_EQ(job->LastJobResult.ErrorsCount, 2);
}

TEST(StorageRegistry, AFailingConnectorGivesTheErrorOutputAndHintLines)
{
    QTemporaryDir root;
    const StorageConnector previous = FindStorageConnector(dtCloud);
    RegisterStorageConnector(dtCloud, [](TJob &, QString &) -> std::unique_ptr<StorageSession> {
        throw StorageConnectError(QStringLiteral("first\r\nsecond"), {QStringLiteral("***** hint"), QString()},
                                  QStringLiteral("Read the log for details."));
    });
    auto job = MakeJob(QStringLiteral("Docs"), root.path());
    job->DestinationSettings.DestinationType = dtCloud;
    QString path;
    job->ConnectToStorage(path);
    RegisterStorageConnector(dtCloud, previous);
    EXPECT_EQ(path, QStringLiteral("ERROR: Read the log for details."));
    EXPECT_EQ(Untimed(job->RunLogSnapshot()), (QStringList{"ERROR: firstsecond", "***** hint", ""}));
    EXPECT_EQ(job->LastJobResult.ErrorsCount, 1);
}

TEST(ConnectNetwork, MultipleConnectionsErrorCarriesTheHint)
{
    QTemporaryDir root;
    auto job = MakeJob(QStringLiteral("Docs"), root.path());
    const StorageConnectError hinted = NetworkShareConnectError(
        *job, QStringLiteral("Multiple connections to a server or shared resource by the same user are not allowed."));
    EXPECT_EQ(hinted.extraLogLines(),
              (QStringList{"***** Try to use the IP address of the remote server (instead of the hostname) in the UNC "
                           "path. For example: \\\\IP_Address\\folder\\",
                           ""}));
    EXPECT_EQ(hinted.output(), QStringLiteral("Read the log for details."));
    const StorageConnectError plain = NetworkShareConnectError(*job, QStringLiteral("Access denied: x"));
    EXPECT_TRUE(plain.extraLogLines().isEmpty());
    EXPECT_TRUE(plain.output().isEmpty());
    EXPECT_EQ(plain.message(), QStringLiteral("Access denied: x"));
}

} // namespace
