// Renaming a job: its local records, and its backups when it has run.
#include "jobtestutil.h"

using namespace JobTestUtil;

namespace {

class JobRename : public JobTest {
protected:
    QString JobFile(const QString &name) const { return DataDir() + QLatin1Char('/') + name + QStringLiteral(".qvd"); }
    QString LogFolder(const QString &name) const { return LogRoot() + QLatin1Char('/') + name; }
};

TEST_F(JobRename, NeverRunJobRenamesItsLocalRecords)
{
    TJob_FilesAndFolders job(QStringLiteral("Old"));
    FillFilesAndFolders(job);
    job.LastJobResult.EndTime = 0;
    job.OptionsToJobOptions();
    ASSERT_TRUE(job.SaveLocalJobFile(job.LocalJobFilePath()));
    const QByteArray saved = TestEnv::ReadFile(JobFile("Old"));
    TestEnv::WriteFile(JobFile("New"), "stale file of a job removed long ago");
    TestEnv::WriteFile(LogFolder("Old") + QStringLiteral("/2024-01-02 03;04;05.txt"), "log");

    ASSERT_TRUE(job.ChangeName(QStringLiteral("New")));
    EXPECT_EQ(job.stJobName, QStringLiteral("New"));
    EXPECT_FALSE(QFileInfo::exists(JobFile("Old")));
    EXPECT_EQ(TestEnv::ReadFile(JobFile("New")), saved); // the stale file was replaced
    EXPECT_FALSE(QFileInfo::exists(LogFolder("Old")));
    EXPECT_TRUE(QFileInfo::exists(LogFolder("New") + QStringLiteral("/2024-01-02 03;04;05.txt")));
    EXPECT_EQ(job.JobStatus.load(), jsNone);
    EXPECT_TRUE(EventTexts().isEmpty());
}

TEST_F(JobRename, AJobNeverSavedTakesTheNameAndAStaleFileGoes)
{
    TJob_DriveImage job(QStringLiteral("Fresh"));
    job.OptionsToJobOptions();
    TestEnv::WriteFile(JobFile("Renamed"), "stale");
    ASSERT_TRUE(job.ChangeName(QStringLiteral("Renamed")));
    EXPECT_EQ(job.stJobName, QStringLiteral("Renamed"));
    EXPECT_FALSE(QFileInfo::exists(JobFile("Renamed")));
    EXPECT_TRUE(EventTexts().isEmpty());
}

TEST_F(JobRename, SameNameDoesNothing)
{
    TJob_FilesAndFolders job(QStringLiteral("Same"));
    ASSERT_TRUE(job.SaveLocalJobFile(job.LocalJobFilePath()));
    ASSERT_TRUE(job.ChangeName(QStringLiteral("Same")));
    EXPECT_TRUE(QFileInfo::exists(JobFile("Same")));
}

TEST_F(JobRename, FailedLocalRenameKeepsNameAndLogs)
{
    TJob_FilesAndFolders job(QStringLiteral("Old"));
    job.OptionsToJobOptions();
    ASSERT_TRUE(job.SaveLocalJobFile(job.LocalJobFilePath()));
    TestEnv::WriteFile(LogFolder("Old") + QStringLiteral("/a.txt"), "log");
    QDir().mkpath(JobFile("New") + QStringLiteral("/busy")); // cannot be replaced
    EXPECT_FALSE(job.ChangeName(QStringLiteral("New")));
    EXPECT_EQ(job.stJobName, QStringLiteral("Old"));
    EXPECT_TRUE(QFileInfo::exists(JobFile("Old")));
    EXPECT_TRUE(QFileInfo::exists(LogFolder("Old") + QStringLiteral("/a.txt")));
    EXPECT_EQ(EventTexts(), QStringList{QStringLiteral("Unable to rename the file \"Old.qvd\" to \"New.qvd\" in directory: ") +
                                        DataDir()});
}

// A job that has run renames its backup folder and remote job file on the
// destination first (here a local folder).
class JobRenameAtDestination : public JobRename {
protected:
    QString Dest() const { return Root() + QStringLiteral("/dest"); }
    void Prepare(TJob &job)
    {
        job.DestinationSettings.DestinationType = dtLocalOrExternalDrive;
        job.DestinationSettings.LocalOrExternalDrive.Disk = Dest();
        job.DestinationSettings.LocalOrExternalDrive.Subfolder = QStringLiteral("/");
        job.LastJobResult.EndTime = 45000.5;
        job.OptionsToJobOptions();
        ASSERT_TRUE(job.SaveLocalJobFile(job.LocalJobFilePath()));
    }
};

TEST_F(JobRenameAtDestination, BackupsAreRenamedWithTheJob)
{
    TJob_FilesAndFolders job(QStringLiteral("Old"));
    Prepare(job);
    TestEnv::WriteFile(Dest() + QStringLiteral("/Old/2024-01-02 03;04;05/a.txt"), "backup");
    TestEnv::WriteFile(Dest() + QStringLiteral("/Old.qvj"), "remote job file");
    ASSERT_TRUE(job.ChangeName(QStringLiteral("New")));
    EXPECT_EQ(job.stJobName, QStringLiteral("New"));
    EXPECT_TRUE(QFileInfo::exists(Dest() + QStringLiteral("/New/2024-01-02 03;04;05/a.txt")));
    EXPECT_TRUE(QFileInfo::exists(Dest() + QStringLiteral("/New.qvj")));
    EXPECT_FALSE(QFileInfo::exists(Dest() + QStringLiteral("/Old")));
    EXPECT_TRUE(QFileInfo::exists(JobFile("New")));
    EXPECT_EQ(job.JobStatus.load(), jsNone);
    EXPECT_EQ(job.JobOperation.load(), joRename);
}

TEST_F(JobRenameAtDestination, UnreachableDestinationRenamesNothing)
{
    TJob_FilesAndFolders job(QStringLiteral("Old"));
    Prepare(job); // Dest() was never created
    EXPECT_FALSE(job.ChangeName(QStringLiteral("New")));
    EXPECT_EQ(job.stJobName, QStringLiteral("Old"));
    EXPECT_TRUE(QFileInfo::exists(JobFile("Old")));
    EXPECT_EQ(job.JobStatus.load(), jsNone);
    const QStringList events = EventTexts();
    ASSERT_EQ(events.size(), 1);
    EXPECT_TRUE(events[0].startsWith(QStringLiteral("ERROR: "))) << events[0].toStdString();
}

TEST_F(JobRenameAtDestination, MissingRemoteJobFileUndoesTheFolderRename)
{
    TJob_FilesAndFolders job(QStringLiteral("Old"));
    Prepare(job);
    TestEnv::WriteFile(Dest() + QStringLiteral("/Old/run/a.txt"), "backup"); // but no Old.qvj
    EXPECT_FALSE(job.ChangeName(QStringLiteral("New")));
    EXPECT_EQ(job.stJobName, QStringLiteral("Old"));
    EXPECT_TRUE(QFileInfo::exists(Dest() + QStringLiteral("/Old/run/a.txt")));
    EXPECT_FALSE(QFileInfo::exists(Dest() + QStringLiteral("/New")));
    EXPECT_TRUE(QFileInfo::exists(JobFile("Old")));
}

} // namespace
