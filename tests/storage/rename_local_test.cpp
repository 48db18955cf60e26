// The destination part of renaming a job (ChangeName) on a local folder.
#include "base/appstate.h"
#include "storagetestutil.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace StorageTest;

namespace {

TEST(RenameLocal, AJobThatHasRunRenamesItsFolderAndJobFile)
{
    QTemporaryDir root;
    const QString dest = root.path() + "/dest";
    const QString ext = AppState::JobFileExtension();
    WriteFile(dest + "/Old/run1/a.txt", "a");
    WriteFile(dest + "/Old" + ext, "job file");
    auto job = MakeJob("Old", root.path() + "/tmp");
    UseLocalFolder(*job, dest);
    job->LastJobResult.EndTime = 45000.5;
    ASSERT_TRUE(job->ChangeName("New"));
    EXPECT_EQ(job->stJobName, "New");
    EXPECT_EQ(ReadFile(dest + "/New/run1/a.txt"), "a");
    EXPECT_EQ(ReadFile(dest + "/New" + ext), "job file");
    EXPECT_FALSE(Exists(dest + "/Old"));
    EXPECT_FALSE(Exists(dest + "/Old" + ext));
    EXPECT_EQ(job->JobStatus.load(), jsNone);
}

TEST(RenameLocal, AnUnreachableDestinationKeepsTheName)
{
    QTemporaryDir root;
    auto job = MakeJob("Old", root.path() + "/tmp");
    UseLocalFolder(*job, root.path() + "/unplugged-drive");
    job->LastJobResult.EndTime = 45000.5;
    EXPECT_FALSE(job->ChangeName("New"));
    EXPECT_EQ(job->stJobName, "Old");
    EXPECT_EQ(job->JobStatus.load(), jsNone);
}

TEST(RenameLocal, AnExistingFolderOfTheNewNameIsNotOverwritten)
{
    QTemporaryDir root;
    const QString dest = root.path() + "/dest";
    const QString ext = AppState::JobFileExtension();
    WriteFile(dest + "/Old/a.txt", "old");
    WriteFile(dest + "/Old" + ext, "job file");
    WriteFile(dest + "/New/b.txt", "someone else's");
    auto job = MakeJob("Old", root.path() + "/tmp");
    UseLocalFolder(*job, dest);
    job->LastJobResult.EndTime = 45000.5;
    EXPECT_FALSE(job->ChangeName("New"));
    EXPECT_EQ(job->stJobName, "Old");
    EXPECT_EQ(ReadFile(dest + "/Old/a.txt"), "old");
    EXPECT_EQ(ReadFile(dest + "/New/b.txt"), "someone else's");
}

} // namespace
