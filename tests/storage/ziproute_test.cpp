// The three ZIP operations of the storage primitive, with an archive writer
// double: results from the failure mark, the entry name, the one-file
// archive built in the temporary folder, uploaded with ".zip" and deleted.
#include "storagetestutil.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace StorageTest;

namespace {

class ZipOps : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(dest());
        job = MakeJob(QStringLiteral("Docs"), root.path() + QStringLiteral("/tmp"));
        UseLocalFolder(*job, dest());
        job->ConnectToStorage(folder);
        QDir().mkpath(folder);
        job->ClearRunLog();
        archiver = std::make_shared<FakeArchiver>();
        job->Archiver = archiver;
        WriteFile(src("a.txt"), "a");
    }
    void TearDown() override { job->DisconnectFromStorage(); }
    QString dest() const { return root.path() + QStringLiteral("/dest"); }
    QString src(const QString &n) const { return root.path() + QStringLiteral("/src/") + n; }
    QString tempFolder() const { return root.path() + QStringLiteral("/tmp/Docs"); }
    QStringList log() const { return Untimed(job->RunLogSnapshot()); }

    QTemporaryDir root;
    std::unique_ptr<TJob_FilesAndFolders> job;
    std::shared_ptr<FakeArchiver> archiver;
    QString folder;
};

TEST_F(ZipOps, AddToZipSetsTheEntryNameAndReadsTheFailureMark)
{
    EXPECT_EQ(job->FileOperation(atAddToZip, src("a.txt"), "dir/a.txt", 5, true), orSuccess);
    EXPECT_EQ(job->stFileNameToAddToZip, "dir/a.txt");
    EXPECT_EQ(job->CurrentFileOperationPath(), src("a.txt"));

    WriteFile(src("bad.txt"), "b");
    archiver->failFor << src("bad.txt");
    EXPECT_EQ(job->FileOperation(atAddToZip, src("bad.txt"), "bad.txt", 5, true), orERROR_LocalAccess);
    EXPECT_FALSE(archiver->Failed()) << "the mark is cleared afterwards";
    EXPECT_EQ(job->FileOperation(atAddToZip, src("a.txt"), "again.txt", 5, true), orSuccess);

    EXPECT_EQ(archiver->calls, (QStringList{"file " + src("a.txt") + " as dir/a.txt",
                                            "file " + src("bad.txt") + " as bad.txt",
                                            "file " + src("a.txt") + " as again.txt"}));
    // The writer's failure handler logs the file's error; the frame adds
    // nothing, and never retries.
    EXPECT_EQ(log(), (QStringList{"Adding to the archive: " + src("a.txt"), "Adding to the archive: " + src("bad.txt"),
                                  "Adding to the archive: " + src("a.txt")}));
}

TEST_F(ZipOps, AddToZipOfAMissingFile)
{
    EXPECT_EQ(job->FileOperation(atAddToZip, src("gone"), "gone", 5, true), orERROR_LocalAccess);
    EXPECT_TRUE(archiver->calls.isEmpty());
    EXPECT_EQ(log(), (QStringList{"Adding to the archive: " + src("gone"), "ERROR: The file does not exist."}));
    EXPECT_EQ(job->LastJobResult.ErrorsCount, 1);
}

TEST_F(ZipOps, CreateFolderInZipClearsTheEntryName)
{
    job->stFileNameToAddToZip = "left over";
    EXPECT_EQ(job->FileOperation(atCreateFolderInZip, QString(), "empty/dir", 0, true), orSuccess);
    EXPECT_TRUE(job->stFileNameToAddToZip.isEmpty());
    archiver->failFor << "broken";
    EXPECT_EQ(job->FileOperation(atCreateFolderInZip, QString(), "broken", 0, true), orERROR_LocalAccess);
    EXPECT_EQ(archiver->calls, (QStringList{"folder empty/dir", "folder broken"}));
    EXPECT_EQ(log(), (QStringList{"Creating the directory in the archive: empty/dir",
                                  "Creating the directory in the archive: broken"}));
    EXPECT_EQ(job->CurrentFileOperationPath(), "broken");
}

TEST_F(ZipOps, ArchiveFaultsAreLoggedAsLocalErrors)
{
    archiver->throwOnAdd = true;
    EXPECT_EQ(job->FileOperation(atAddToZip, src("a.txt"), "a.txt", 5, true), orERROR_LocalAccess);
    EXPECT_EQ(log().last(), "ERROR: The archive cannot be written.");
    job->Archiver.reset();
    EXPECT_EQ(job->FileOperation(atAddToZip, src("a.txt"), "a.txt", 5, true), orERROR_LocalAccess);
    EXPECT_EQ(job->LastJobResult.ErrorsCount, 2);
}

TEST_F(ZipOps, OneFileArchiveIsBuiltInTempUploadedAndDeleted)
{
    EXPECT_EQ(job->FileOperation(atMakeZipInTempFolderAndCopyToRemote, src("a.txt"), folder + "/sub/a.txt", 0, true),
              orERROR_RemoteAccess)
        << "the destination folder does not exist yet";
    QDir().mkpath(folder + "/sub");
    job->ClearRunLog();
    EXPECT_EQ(job->FileOperation(atMakeZipInTempFolderAndCopyToRemote, src("a.txt"), folder + "/sub/a.txt", 0, true),
              orSuccess);
    EXPECT_EQ(ReadFile(folder + "/sub/a.txt.zip"), archiver->archiveContent);
    EXPECT_FALSE(Exists(folder + "/sub/a.txt"));
    EXPECT_EQ(archiver->calls.last(), "single " + tempFolder() + "/a.txt.zip " + src("a.txt") + " as a.txt");
    EXPECT_TRUE(Entries(tempFolder()).isEmpty()) << "the temporary archive is deleted";
    EXPECT_EQ(log(), (QStringList{"Archiving the file: " + src("a.txt"),
                                  "Copying the file: " + tempFolder() + "/a.txt.zip"}));
    EXPECT_EQ(job->CurrentFileOperationPath(), src("a.txt"));
}

TEST_F(ZipOps, FailedOneFileArchiveIsDeletedAndNothingUploaded)
{
    archiver->failFor << src("a.txt");
    EXPECT_EQ(job->FileOperation(atMakeZipInTempFolderAndCopyToRemote, src("a.txt"), folder + "/a.txt", 5, true),
              orERROR_LocalAccess);
    EXPECT_FALSE(archiver->Failed());
    EXPECT_TRUE(Entries(tempFolder()).isEmpty());
    EXPECT_TRUE(Entries(folder).isEmpty());
    EXPECT_EQ(log(), QStringList{"Archiving the file: " + src("a.txt")});

    job->ClearRunLog();
    EXPECT_EQ(job->FileOperation(atMakeZipInTempFolderAndCopyToRemote, src("gone"), folder + "/gone", 5, true),
              orERROR_LocalAccess);
    EXPECT_EQ(log(), (QStringList{"Archiving the file: " + src("gone"), "ERROR: The file does not exist."}));
}

} // namespace
