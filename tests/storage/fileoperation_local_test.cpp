// FileOperation on a local folder: every operation of the folder column,
// the local preparation steps, retries, cancel, locked files and the
// logging rules.
#include "base/appstate.h"
#include "storage/localcopy.h"
#include "storagetestutil.h"
#include "support/testnames.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <thread>

using namespace StorageTest;

namespace {

class LocalOps : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        QDir().mkpath(dest());
        QDir().mkpath(src());
        job = MakeJob(QStringLiteral("Docs"), root.path() + QStringLiteral("/tmp"));
        UseLocalFolder(*job, dest());
        QString path;
        job->ConnectToStorage(path);
        ASSERT_EQ(path, dest() + QStringLiteral("/Docs"));
        folder = path;
        job->ClearRunLog();
    }
    void TearDown() override { job->DisconnectFromStorage(); }

    QString dest() const { return root.path() + QStringLiteral("/dest"); }
    QString src() const { return root.path() + QStringLiteral("/src"); }
    QString tempFolder() const { return root.path() + QStringLiteral("/tmp/Docs"); }
    QStringList log() const { return Untimed(job->RunLogSnapshot()); }

    QTemporaryDir root;
    std::unique_ptr<TJob_FilesAndFolders> job;
    QString folder;
};

TEST_F(LocalOps, CopyToTheDestination)
{
    const QByteArray data = Pattern(300000);
    WriteFile(src() + "/a.txt", data);
    QDir().mkpath(folder);
    job->CurrentBackupSize = 10;
    QList<int> progress;
    ProgressWatch watch(*job, [&](int p) { progress << p; });
    EXPECT_EQ(job->FileOperation(atCopyFromLocalToRemoteFile, src() + "/a.txt", folder + "/a.txt", 5, true),
              orSuccess);
    EXPECT_EQ(ReadFile(folder + "/a.txt"), data);
    EXPECT_EQ(log(), QStringList{"Copying the file: " + src() + "/a.txt"});
    EXPECT_EQ(job->CurrentBackupSize.load(), 10 + 300000);
    EXPECT_TRUE(progress.contains(100));
    EXPECT_EQ(job->CurrentFileOperationProgress.load(), 0);
    EXPECT_EQ(job->CurrentFileOperationType.load(), atCopyFromLocalToRemoteFile);
    EXPECT_EQ(job->CurrentFileOperationPath(), src() + "/a.txt");
    EXPECT_EQ(job->LastJobResult.ErrorsCount, 0);
}

TEST_F(LocalOps, CopyThroughTheTemporaryFolder)
{
    WriteFile(src() + "/a.txt", "through temp");
    QDir().mkpath(folder);
    EXPECT_EQ(job->FileOperation(atCopyFromLocalToRemoteFileThroughTempFolder, src() + "/a.txt",
                                 folder + "/b.txt", 0, true),
              orSuccess);
    EXPECT_EQ(ReadFile(folder + "/b.txt"), "through temp");
    // One copy line, with the source path; the staged copy is gone.
    EXPECT_EQ(log(), QStringList{"Copying the file: " + src() + "/a.txt"});
    EXPECT_TRUE(Entries(tempFolder()).isEmpty());
    EXPECT_EQ(job->CurrentFileOperationPath(), src() + "/a.txt");
}

TEST_F(LocalOps, CopyReplacesAReadOnlyDestinationFile)
{
    WriteFile(src() + "/a.txt", "fresh");
    WriteFile(folder + "/a.txt", "stale");
    ASSERT_EQ(chmod(QFile::encodeName(folder + "/a.txt").constData(), 0444), 0);
    EXPECT_EQ(job->FileOperation(atCopyFromLocalToRemoteFile, src() + "/a.txt", folder + "/a.txt", 0, true),
              orSuccess);
    EXPECT_EQ(ReadFile(folder + "/a.txt"), "fresh");
    EXPECT_EQ(log(), (QStringList{"Copying the file: " + src() + "/a.txt",
                                  "Removing the read-only attribute: " + folder + "/a.txt"}));
}

TEST_F(LocalOps, MissingSourceIsALocalErrorWithoutRetries)
{
    QDir().mkpath(folder);
    EXPECT_EQ(job->FileOperation(atCopyFromLocalToRemoteFile, src() + "/gone", folder + "/gone", 5, true),
              orERROR_LocalAccess);
    EXPECT_EQ(log(), (QStringList{"Copying the file: " + src() + "/gone",
                                  "ERROR: The file does not exist. " + src() + "/gone"}));
    EXPECT_EQ(job->LastJobResult.ErrorsCount, 1);

    job->ClearRunLog();
    EXPECT_EQ(job->FileOperation(atCopyFromLocalToRemoteFileThroughTempFolder, src() + "/gone",
                                 folder + "/gone", 5, true),
              orERROR_LocalAccess);
    EXPECT_EQ(log(), (QStringList{"Copying the file: " + src() + "/gone", "ERROR: The file does not exist."}));

    // Without LogError nothing is counted.
    job->ClearRunLog();
    EXPECT_EQ(job->FileOperation(atCopyFromLocalToRemoteFile, src() + "/gone", folder + "/gone", 5, false),
              orERROR_LocalAccess);
    EXPECT_EQ(log(), QStringList{"Copying the file: " + src() + "/gone"});
    EXPECT_EQ(job->LastJobResult.ErrorsCount, 0);
}

struct RetryCase {
    int retries;
    int attempts;
};

void PrintTo(const RetryCase &c, std::ostream *os)
{
    *os << c.retries << " retries, " << c.attempts << " attempts";
}

class LocalRetries : public LocalOps, public ::testing::WithParamInterface<RetryCase> {};

TEST_P(LocalRetries, FailingDestinationIsTriedRetryCountPlusOneTimes)
{
    const RetryCase c = GetParam();
    WriteFile(src() + "/a.txt", "x");
    job->CurrentBackupSize = 0;
    // The job folder does not exist: every attempt fails at the destination.
    EXPECT_EQ(job->FileOperation(atCopyFromLocalToRemoteFile, src() + "/a.txt", folder + "/a.txt", c.retries, true),
              orERROR_RemoteAccess);
    const QStringList l = log();
    EXPECT_EQ(CountStartingWith(l, "Copying the file: "), c.attempts);
    EXPECT_EQ(CountStartingWith(l, "ERROR: " + QString::fromLocal8Bit(strerror(ENOENT))), c.attempts);
    EXPECT_EQ(CountStartingWith(l, "Retry after 0 seconds."), c.attempts - 1);
    EXPECT_EQ(l.size(), 3 * c.attempts - 1);
    EXPECT_EQ(job->LastJobResult.ErrorsCount, c.attempts);
    EXPECT_FALSE(l.last().startsWith("Retry")) << "no wait after the last attempt";
    EXPECT_EQ(job->CurrentBackupSize.load(), 1) << "a file counts once, however many attempts";
}

INSTANTIATE_TEST_SUITE_P(Counts, LocalRetries,
                         ::testing::Values(RetryCase{0, 1}, RetryCase{5, 6}, RetryCase{-1, 1}),
                         [](const auto &i) {
                             return i.param.retries < 0 ? std::string("negative_retries")
                                                        : std::to_string(i.param.retries) + "_retries";
                         });

TEST_F(LocalOps, RetryLineShowsTheConfiguredDelay)
{
    job->JobOptions.Processing.IfDestinationNotAvailable_Wait_Sec = 1;
    WriteFile(src() + "/a.txt", "x");
    EXPECT_EQ(job->FileOperation(atCopyFromLocalToRemoteFile, src() + "/a.txt", folder + "/a.txt", 1, false),
              orERROR_RemoteAccess);
    EXPECT_EQ(CountStartingWith(log(), "Retry after 1 seconds."), 1);
    EXPECT_EQ(job->LastJobResult.ErrorsCount, 0) << "LogError false logs no error";
}

TEST_F(LocalOps, CancelDuringTheWaitEndsTheRetries)
{
    job->JobOptions.Processing.IfDestinationNotAvailable_Wait_Sec = 3600;
    WriteFile(src() + "/a.txt", "x");
    job->JobStatus = jsRunning;
    std::atomic<bool> done{false};
    std::thread canceller([&] {
        while (!done && CountStartingWith(Untimed(job->RunLogSnapshot()), "Retry after") == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        job->Cancel();
    });
    const TOperationResult r =
        job->FileOperation(atCopyFromLocalToRemoteFile, src() + "/a.txt", folder + "/a.txt", 5, true);
    done = true;
    canceller.join();
    EXPECT_EQ(r, orERROR_RemoteAccess);
    EXPECT_EQ(CountStartingWith(log(), "Copying the file: "), 1);
    EXPECT_EQ(job->CancelCurrentFileOperation.load(), 0) << "reset at the end";
}

TEST_F(LocalOps, CancelInTheMiddleOfALargeCopyLeavesNoCompleteLookingFile)
{
    for (const TFileOperationType op : {atCopyFromLocalToRemoteFile, atCopyFromLocalToRemoteFileThroughTempFolder}) {
        SCOPED_TRACE(int(op));
        job->ClearRunLog();
        WriteFile(src() + "/big.bin", Pattern(40 << 20));
        QDir().mkpath(folder);
        job->JobStatus = jsRunning;
        int last = 0;
        ProgressWatch watch(*job, [&](int p) {
            if (p > 0 && p < 100) {
                last = p;
                job->Cancel();
            }
        });
        EXPECT_EQ(job->FileOperation(op, src() + "/big.bin", folder + "/big.bin", 5, true), orERROR_RemoteAccess);
        EXPECT_GT(last, 0);
        EXPECT_TRUE(Entries(folder).isEmpty()) << Entries(folder).join(',').toStdString();
        EXPECT_TRUE(Entries(tempFolder()).isEmpty());
        EXPECT_EQ(CountStartingWith(log(), "Retry"), 0);
        EXPECT_EQ(CountStartingWith(log(), "ERROR:"), 0) << "a cancel is no error";
        EXPECT_EQ(job->CancelCurrentFileOperation.load(), 0);
        job->JobStatus = jsNone;
    }
}

TEST_F(LocalOps, UnbufferedCopiesGiveTheSameResult)
{
    job->JobOptions.Processing.DontUseBufferingForCopyOperations = true;
    const QByteArray data = Pattern((5 << 20) + 11);
    WriteFile(src() + "/a.bin", data);
    QDir().mkpath(folder);
    EXPECT_EQ(job->FileOperation(atCopyFromLocalToRemoteFileThroughTempFolder, src() + "/a.bin",
                                 folder + "/a.bin", 0, true),
              orSuccess);
    EXPECT_EQ(ReadFile(folder + "/a.bin"), data);
    EXPECT_EQ(job->FileOperation(atCopyFromRemoteToLocalFile, src() + "/back.bin", folder + "/a.bin", 0, true),
              orSuccess);
    EXPECT_EQ(ReadFile(src() + "/back.bin"), data);
}

// --- locked files through the temporary folder ---

int g_stagingError = 0;
void FailingStagingCopy(const QString &, const QString &, const LocalCopyOptions &)
{
    throw LocalCopyError(LocalCopyError::Source, g_stagingError, SystemErrorMessage(g_stagingError));
}

struct LockCase {
    const char *name;
    int error;
    bool skipLocked;
    bool logged;
};

void PrintTo(const LockCase &c, std::ostream *os)
{
    *os << c.name << ": error " << c.error << (c.skipLocked ? ", locked files skipped" : "")
        << (c.logged ? ", logged" : ", not logged");
}

class LocalLockedFiles : public LocalOps, public ::testing::WithParamInterface<LockCase> {
protected:
    void TearDown() override
    {
        SetStagingCopyFunction(nullptr);
        LocalOps::TearDown();
    }
};

TEST_P(LocalLockedFiles, SkipLockedFilesSilencesOnlyFilesInUse)
{
    const LockCase c = GetParam();
    job->JobOptions.Processing.SkipLockedFiles = c.skipLocked;
    g_stagingError = c.error;
    SetStagingCopyFunction(&FailingStagingCopy);
    WriteFile(src() + "/a.txt", "x");
    QDir().mkpath(folder);
    EXPECT_EQ(job->FileOperation(atCopyFromLocalToRemoteFileThroughTempFolder, src() + "/a.txt",
                                 folder + "/a.txt", 5, true),
              orERROR_LocalAccess);
    QStringList expected{"Copying the file: " + src() + "/a.txt"};
    if (c.logged)
        expected << "ERROR: " + SystemErrorMessage(c.error);
    EXPECT_EQ(log(), expected);
    EXPECT_EQ(job->LastJobResult.ErrorsCount, c.logged ? 1 : 0);
    EXPECT_FALSE(Exists(folder + "/a.txt"));
}

INSTANTIATE_TEST_SUITE_P(Rules, LocalLockedFiles,
                         ::testing::Values(LockCase{"busy_skipped", EBUSY, true, false},
                                           LockCase{"text_busy_skipped", ETXTBSY, true, false},
                                           LockCase{"busy_logged_without_option", EBUSY, false, true},
                                           LockCase{"permission_is_no_lock", EACCES, true, true}),
                         [](const auto &info) { return std::string(info.param.name); });

// --- the other operations ---

TEST_F(LocalOps, CopyFromTheDestination)
{
    WriteFile(folder + "/r.txt", "remote data");
    WriteFile(src() + "/r.txt", "old local");
    ASSERT_EQ(chmod(QFile::encodeName(src() + "/r.txt").constData(), 0444), 0);
    EXPECT_EQ(job->FileOperation(atCopyFromRemoteToLocalFile, src() + "/r.txt", folder + "/r.txt", 0, true),
              orSuccess);
    EXPECT_EQ(ReadFile(src() + "/r.txt"), "remote data");
    EXPECT_EQ(log(), QStringList{"Copying the file: " + folder + "/r.txt"});
    EXPECT_EQ(job->CurrentFileOperationPath(), folder + "/r.txt");

    job->ClearRunLog();
    EXPECT_EQ(job->FileOperation(atCopyFromRemoteToLocalFile, src() + "/n.txt", folder + "/n.txt", 1, true),
              orERROR_RemoteAccess);
    // The error names the file: a restore that stops on it says which one.
    EXPECT_EQ(log(), (QStringList{"Copying the file: " + folder + "/n.txt",
                                  "ERROR: The file does not exist. " + folder + "/n.txt", "Retry after 0 seconds.",
                                  "Copying the file: " + folder + "/n.txt",
                                  "ERROR: The file does not exist. " + folder + "/n.txt"}));
}

TEST_F(LocalOps, DownloadTellsAMissingFileFromOneThatCannotBeRead)
{
    EXPECT_EQ(job->FileOperation(atCopyFromRemoteToLocalFile, src() + "/n.txt", folder + "/n.txt", 0, false),
              orERROR_RemoteAccess);
    EXPECT_TRUE(job->LastFileOperationOutcome().entryMissing);
    EXPECT_EQ(job->LastFileOperationOutcome().error, "The file does not exist. " + folder + "/n.txt");

    // A folder in the file's place is there, and not a file.
    QDir().mkpath(folder + "/d.txt/inside");
    EXPECT_EQ(job->FileOperation(atCopyFromRemoteToLocalFile, src() + "/d.txt", folder + "/d.txt", 0, false),
              orERROR_RemoteAccess);
    EXPECT_FALSE(job->LastFileOperationOutcome().entryMissing);
    EXPECT_EQ(job->LastFileOperationOutcome().error, SystemErrorMessage(EISDIR));
    EXPECT_EQ(job->LastJobResult.ErrorsCount, 0) << "errors not logged";

    WriteFile(folder + "/r.txt", "remote data");
    EXPECT_EQ(job->FileOperation(atCopyFromRemoteToLocalFile, src() + "/r.txt", folder + "/r.txt", 0, false), orSuccess);
    EXPECT_FALSE(job->LastFileOperationOutcome().entryMissing);
    EXPECT_TRUE(job->LastFileOperationOutcome().error.isEmpty());
}

TEST_F(LocalOps, ANameTheDestinationCannotHoldIsRefusedWithoutRetries)
{
    // One name longer than a folder entry may be.
    const QString tooLong(300, QLatin1Char('n'));
    WriteFile(src() + "/a.txt", "x");
    QDir().mkpath(folder);
    struct Case {
        TFileOperationType op;
        QString local;
        QString remote;
    };
    const Case cases[] = {{atCopyFromLocalToRemoteFile, src() + "/a.txt", folder + "/" + tooLong},
                          {atCopyFromLocalToRemoteFileThroughTempFolder, src() + "/a.txt", folder + "/x/" + tooLong},
                          {atCreateRemoteFolder, QString(), folder + "/" + tooLong + "/sub"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.op));
        job->ClearRunLog();
        EXPECT_EQ(job->FileOperation(c.op, c.local, c.remote, 5, true), orERROR_LocalAccess);
        const QStringList l = log();
        EXPECT_EQ(CountStartingWith(l, "Retry after"), 0) << l.join('\n').toStdString();
        EXPECT_EQ(l.last(), "ERROR: " + SystemErrorMessage(ENAMETOOLONG));
        EXPECT_EQ(job->LastJobResult.ErrorsCount, 1);
    }
}

TEST_F(LocalOps, TheSetsOwnFilesAreTheOwnersAloneBothWays)
{
    // The set's own files may hold passwords and every backed-up file's
    // name; a backed-up file keeps its own permissions.
    const struct {
        const char *name;
        mode_t after;
    } cases[] = {{"Docs.qvj", 0600}, {"_rf.qvl", 0600}, {"_startflag.qvl", 0600}, {"photo.jpg", 0644}, {"notes.QVL", 0644}};
    const auto mode = [](const QString &path) {
        struct stat st {};
        EXPECT_EQ(stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
        return st.st_mode & 07777;
    };
    QDir().mkpath(folder);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString local = src() + "/" + c.name;
        const QString remote = folder + "/" + c.name;
        WriteFile(local, "content");
        ASSERT_EQ(chmod(QFile::encodeName(local).constData(), 0644), 0);
        ASSERT_EQ(job->FileOperation(atCopyFromLocalToRemoteFile, local, remote, 0, true), orSuccess);
        EXPECT_EQ(mode(remote), c.after) << "uploaded";

        ASSERT_EQ(chmod(QFile::encodeName(remote).constData(), 0644), 0);
        ASSERT_TRUE(QFile::remove(local));
        ASSERT_EQ(job->FileOperation(atCopyFromRemoteToLocalFile, local, remote, 0, true), orSuccess);
        EXPECT_EQ(mode(local), c.after) << "downloaded";
    }
}

TEST_F(LocalOps, RemoveFiles)
{
    WriteFile(folder + "/a.txt", "a");
    WriteFile(folder + "/ro.txt", "b");
    ASSERT_EQ(chmod(QFile::encodeName(folder + "/ro.txt").constData(), 0444), 0);
    EXPECT_EQ(job->FileOperation(atRemoveRemoteFile, QString(), folder + "/a.txt", 0, true), orSuccess);
    EXPECT_EQ(job->FileOperation(atRemoveRemoteFile, QString(), folder + "/ro.txt", 0, true), orSuccess);
    // A file that is already gone is what the caller wants.
    EXPECT_EQ(job->FileOperation(atRemoveRemoteFile, QString(), folder + "/never.txt", 0, true), orSuccess);
    EXPECT_TRUE(Entries(folder).isEmpty());
    EXPECT_EQ(log(), (QStringList{"Removing the file: " + folder + "/a.txt",
                                  "Removing the read-only attribute: " + folder + "/ro.txt",
                                  "Removing the file: " + folder + "/ro.txt",
                                  "Removing the file: " + folder + "/never.txt"}));
}

TEST_F(LocalOps, CreateAndRemoveFolders)
{
    EXPECT_EQ(job->FileOperation(atCreateRemoteFolder, QString(), folder + "/x/y/z", 0, true), orSuccess);
    EXPECT_TRUE(QFileInfo(folder + "/x/y/z").isDir());
    EXPECT_EQ(job->FileOperation(atCreateRemoteFolder, QString(), folder + "/x/y/z", 0, true), orSuccess)
        << "an existing folder is fine";
    // Not empty: the empty-folder removal refuses, with the system's reason.
    EXPECT_EQ(job->FileOperation(atRemoveRemoteEmptyFolder, QString(), folder + "/x", 0, true),
              orERROR_RemoteAccess);
    EXPECT_TRUE(QFileInfo(folder + "/x/y/z").isDir());
    EXPECT_EQ(job->FileOperation(atRemoveRemoteEmptyFolder, QString(), folder + "/x/y/z", 0, true), orSuccess);
    EXPECT_FALSE(Exists(folder + "/x/y/z"));

    WriteFile(folder + "/x/y/f.txt", "f");
    WriteFile(folder + "/x/ro/g.txt", "g");
    ASSERT_EQ(chmod(QFile::encodeName(folder + "/x/ro/g.txt").constData(), 0444), 0);
    ASSERT_EQ(chmod(QFile::encodeName(folder + "/x/ro").constData(), 0555), 0);
    ASSERT_EQ(symlink(QFile::encodeName(src()).constData(), QFile::encodeName(folder + "/x/link").constData()), 0);
    WriteFile(src() + "/keep.txt", "outside");
    EXPECT_EQ(job->FileOperation(atRemoveRemoteNotEmptyFolder, QString(), folder + "/x", 0, true), orSuccess);
    EXPECT_FALSE(Exists(folder + "/x"));
    EXPECT_EQ(ReadFile(src() + "/keep.txt"), "outside") << "links are removed, not followed";

    EXPECT_EQ(log(), (QStringList{"Creating the directory: " + folder + "/x/y/z",
                                  "Creating the directory: " + folder + "/x/y/z",
                                  "Removing the empty directory: " + folder + "/x",
                                  "ERROR: " + SystemErrorMessage(ENOTEMPTY),
                                  "Removing the empty directory: " + folder + "/x/y/z",
                                  "Removing the full directory: " + folder + "/x"}));
}

TEST_F(LocalOps, CreateFolderOverAFileFails)
{
    WriteFile(folder + "/file", "f");
    EXPECT_EQ(job->FileOperation(atCreateRemoteFolder, QString(), folder + "/file/sub", 0, true),
              orERROR_RemoteAccess);
    EXPECT_EQ(log().last(), "ERROR: " + SystemErrorMessage(ENOTDIR));
}

TEST_F(LocalOps, RenameFoldersAndFiles)
{
    WriteFile(folder + "/old/a.txt", "a");
    WriteFile(folder + "/f.qvj", "job");
    EXPECT_EQ(job->FileOperation(atRenameRemoteFolder, folder + "/new", folder + "/old", 0, false), orSuccess);
    EXPECT_EQ(ReadFile(folder + "/new/a.txt"), "a");
    EXPECT_EQ(job->FileOperation(atRenameRemoteFile, folder + "/g.qvj", folder + "/f.qvj", 0, false), orSuccess);
    EXPECT_EQ(ReadFile(folder + "/g.qvj"), "job");
    EXPECT_EQ(job->CurrentFileOperationPath(), folder + "/f.qvj");
    // An existing target is never replaced.
    WriteFile(folder + "/h.qvj", "other");
    EXPECT_EQ(job->FileOperation(atRenameRemoteFile, folder + "/h.qvj", folder + "/g.qvj", 0, true),
              orERROR_RemoteAccess);
    EXPECT_EQ(ReadFile(folder + "/h.qvj"), "other");
    EXPECT_EQ(ReadFile(folder + "/g.qvj"), "job");
    EXPECT_EQ(log(), (QStringList{"Renaming the directory: " + folder + "/old",
                                  "Renaming the file: " + folder + "/f.qvj",
                                  "Renaming the file: " + folder + "/g.qvj",
                                  "ERROR: " + SystemErrorMessage(EEXIST)}));
}

TEST_F(LocalOps, InternalFilesAreNotLoggedWhenTheOptionSaysSo)
{
    job->JobOptions.Logging.DontLogCopyingInternalFiles = true;
    const QString ext = AppState::JobFileExtension();
    QDir().mkpath(folder);
    for (const QString &name : {QStringLiteral("state.qvl"), QStringLiteral("Docs") + ext,
                               QStringLiteral("STATE.QVL"), QStringLiteral("data.txt")}) {
        WriteFile(src() + "/" + name, "x");
        EXPECT_EQ(job->FileOperation(atCopyFromLocalToRemoteFile, src() + "/" + name, folder + "/" + name, 0, true),
                  orSuccess);
        EXPECT_EQ(job->FileOperation(atCopyFromLocalToRemoteFileThroughTempFolder, src() + "/" + name,
                                     folder + "/" + name, 0, true),
                  orSuccess);
        EXPECT_EQ(job->FileOperation(atCopyFromRemoteToLocalFile, src() + "/" + name, folder + "/" + name, 0, true),
                  orSuccess);
        EXPECT_EQ(job->FileOperation(atRemoveRemoteFile, QString(), folder + "/" + name, 0, true), orSuccess);
    }
    // Letter case counts: only the exact extensions are internal.
    EXPECT_EQ(log(), (QStringList{"Copying the file: " + src() + "/STATE.QVL",
                                  "Copying the file: " + src() + "/STATE.QVL",
                                  "Copying the file: " + folder + "/STATE.QVL",
                                  "Removing the file: " + folder + "/STATE.QVL",
                                  "Copying the file: " + src() + "/data.txt",
                                  "Copying the file: " + src() + "/data.txt",
                                  "Copying the file: " + folder + "/data.txt",
                                  "Removing the file: " + folder + "/data.txt"}));
}

TEST_F(LocalOps, ALongPathIsShownCutAndUsedInFull)
{
    QString deep = folder;
    while (deep.size() < 400)
        deep += QStringLiteral("/abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(job->FileOperation(atCreateRemoteFolder, QString(), deep, 0, true), orSuccess);
    EXPECT_TRUE(QFileInfo(deep).isDir());
    EXPECT_EQ(job->CurrentFileOperationPath(), deep.left(256));
}

} // namespace
