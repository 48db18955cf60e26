// The jobs list file and the jobs it names.
#include "jobtestutil.h"

#include "base/textfile.h"
#include "jobs/jobslist.h"

using namespace JobTestUtil;

namespace {

class JobsListTest : public JobTest {
protected:
    QString ListPath() const { return DataDir() + QStringLiteral("/jobslist.qvl"); }
    QString JobFile(const QString &name) const { return DataDir() + QLatin1Char('/') + name + QStringLiteral(".qvd"); }

    template <typename Kind> void SaveJob(const QString &name)
    {
        Kind job(name);
        job.LastJobResult.ErrorsCount = 4;
        ASSERT_TRUE(job.SaveLocalJobFile(JobFile(name)));
    }
};

TEST_F(JobsListTest, LoadsKindsInOrderAndDropsMissingJobsAtTheNextSave)
{
    SaveJob<TJob_FilesAndFolders>(QStringLiteral("Docs"));
    SaveJob<TJob_DriveImage>(QStringLiteral("System image"));
    SaveJob<TJob_AppsData>(QStringLiteral("Mail"));
    WritePlain(JobFile(QStringLiteral("Broken")), QByteArray(3, '\0'));
    ASSERT_TRUE(WriteTextLines(ListPath(), {QStringLiteral("Mail"), QStringLiteral("Gone"), QStringLiteral("Docs"),
                                            QStringLiteral("Broken"), QStringLiteral("System image"),
                                            QStringLiteral("Docs"), QStringLiteral("../outside")}));
    JobsList list;
    ASSERT_TRUE(list.LoadJobsListAndJobs());
    ASSERT_EQ(list.Names(), (QStringList{QStringLiteral("Mail"), QStringLiteral("Docs"), QStringLiteral("System image")}));
    EXPECT_EQ(list.At(0)->Kind(), jkAppsData);
    EXPECT_EQ(list.At(1)->Kind(), jkFilesAndFolders);
    EXPECT_EQ(list.At(2)->Kind(), jkDriveImage);
    EXPECT_EQ(list.At(1)->LastJobResult.ErrorsCount, 4); // the local job file was loaded
    // The missing file is silent; the unreadable one is reported with its path.
    EXPECT_EQ(EventTexts(), QStringList{QStringLiteral("Error loading job \"%1\". Code: 1").arg(JobFile("Broken"))});

    ASSERT_TRUE(list.SaveJobsList());
    EXPECT_EQ(TestEnv::ReadFile(ListPath()),
              QByteArray("\xEF\xBB\xBF" "Mail\r\nDocs\r\nSystem image\r\n"));
}

TEST_F(JobsListTest, MissingListLoadsNothing)
{
    JobsList list;
    EXPECT_FALSE(list.LoadJobsListAndJobs());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(AppState::JobFileExtension() == QStringLiteral(".qvk"));
}

TEST_F(JobsListTest, LegacyListSwitchesTheJobFileExtension)
{
    SaveJob<TJob_FilesAndFolders>(QStringLiteral("Old"));
    ASSERT_TRUE(WriteTextLines(DataDir() + QStringLiteral("/jobs.qvl"), {QStringLiteral("Old")}));
    ASSERT_TRUE(WriteTextLines(ListPath(), {QStringLiteral("ignored")}));
    JobsList list;
    ASSERT_TRUE(list.LoadJobsListAndJobs());
    EXPECT_EQ(AppState::JobFileExtension(), QStringLiteral(".qvk"));
    EXPECT_EQ(list.Names(), QStringList{QStringLiteral("Old")});
    EXPECT_EQ(list.FilePath(), DataDir() + QStringLiteral("/jobs.qvl"));
    // The list is saved back where it was read from; a job's temporary copy of
    // its remote file follows the extension.
    list.At(0)->OptionsToJobOptions();
    EXPECT_TRUE(list.At(0)->TempJobFilePath().endsWith(QStringLiteral("/Old.qvk")));
    ASSERT_TRUE(list.SaveJobsList());
    EXPECT_EQ(TestEnv::ReadFile(DataDir() + QStringLiteral("/jobs.qvl")), QByteArray("\xEF\xBB\xBFOld\r\n"));
}

TEST_F(JobsListTest, RemoveDeletesTheJobFileAndSavesTheList)
{
    SaveJob<TJob_FilesAndFolders>(QStringLiteral("A"));
    SaveJob<TJob_FilesAndFolders>(QStringLiteral("B"));
    ASSERT_TRUE(WriteTextLines(ListPath(), {QStringLiteral("A"), QStringLiteral("B")}));
    JobsList list;
    ASSERT_TRUE(list.LoadJobsListAndJobs());
    ASSERT_TRUE(list.RemoveJob(0));
    EXPECT_FALSE(QFileInfo::exists(JobFile("A")));
    EXPECT_EQ(list.Names(), QStringList{QStringLiteral("B")});
    EXPECT_EQ(DecodeTextLines(TestEnv::ReadFile(ListPath())), QStringList{QStringLiteral("B")});
    EXPECT_EQ(EventTexts(), QStringList{QStringLiteral("Job is removed.")});

    // A job never saved has no file to delete and is removed all the same.
    list.Add(std::make_unique<TJob_DriveImage>(QStringLiteral("Unsaved")));
    ASSERT_TRUE(list.RemoveJob(1));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(EventTexts(), QStringList{QStringLiteral("Job is removed.")});
    EXPECT_FALSE(list.RemoveJob(5));

    // A running job is never destroyed under its worker.
    list.At(0)->JobStatus = jsRunning;
    EXPECT_FALSE(list.RemoveJob(0));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_TRUE(QFileInfo::exists(JobFile("B")));
    list.At(0)->JobStatus = jsNone;
}

TEST_F(JobsListTest, AJobFileThatCannotBeDeletedKeepsTheJob)
{
    JobsList list;
    list.Add(std::make_unique<TJob_FilesAndFolders>(QStringLiteral("Stuck")));
    QDir().mkpath(JobFile("Stuck") + QStringLiteral("/content")); // not removable as a file
    EXPECT_FALSE(list.RemoveJob(0));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(EventTexts(), QStringList{QStringLiteral("Error: unable to remove the file:") + JobFile("Stuck")});
}

TEST_F(JobsListTest, SaveFailureIsReportedWithThePath)
{
    JobsList list;
    list.Add(std::make_unique<TJob_FilesAndFolders>(QStringLiteral("A")));
    QDir().mkpath(ListPath() + QStringLiteral("/x")); // a folder in the list file's place
    EXPECT_FALSE(list.SaveJobsList());
    EXPECT_TRUE(EventTexts().isEmpty());
    EXPECT_FALSE(list.SaveJobsListOrReport());
    EXPECT_EQ(EventTexts(), QStringList{QStringLiteral("Error: unable to save the jobs list:") + ListPath()});
    EXPECT_EQ(list.Count(), 1); // the in-memory list is unchanged
}

TEST_F(JobsListTest, FindAddAndMove)
{
    JobsList list;
    for (const char *n : {"one", "two", "three"})
        list.Add(std::make_unique<TJob_FilesAndFolders>(QString::fromLatin1(n)));
    EXPECT_EQ(list.IndexOf(QStringLiteral("two")), 1);
    EXPECT_EQ(list.IndexOf(QStringLiteral("Two")), -1); // case-sensitive
    EXPECT_EQ(list.Find(QStringLiteral("three")), list.At(2));
    EXPECT_EQ(list.Find(QStringLiteral("none")), nullptr);

    struct Move {
        bool up;
        int index;
        bool moved;
        QStringList order;
    };
    const Move moves[] = {
        {true, 0, false, {"one", "two", "three"}},
        {false, 2, false, {"one", "two", "three"}},
        {true, 2, true, {"one", "three", "two"}},
        {false, 0, true, {"three", "one", "two"}},
        {false, 5, false, {"three", "one", "two"}},
        {true, -1, false, {"three", "one", "two"}},
    };
    for (const Move &m : moves) {
        EXPECT_EQ(m.up ? list.MoveUp(m.index) : list.MoveDown(m.index), m.moved);
        EXPECT_EQ(list.Names(), m.order);
    }
    std::unique_ptr<TJob> taken = list.Take(1);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->stJobName, QStringLiteral("one"));
    EXPECT_EQ(list.Count(), 2);
}

struct DamagedListCase {
    const char *name;
    QByteArray content; // empty: a folder stands in the list file's place
    const char *fault;
};

class DamagedJobsList : public JobsListTest, public ::testing::WithParamInterface<DamagedListCase> {};

TEST_P(DamagedJobsList, IsReportedWithWhatToDoAndKeptAsideBeforeANewList)
{
    const DamagedListCase &c = GetParam();
    SaveJob<TJob_FilesAndFolders>(QStringLiteral("Docs"));
    if (c.content.isEmpty())
        QDir().mkpath(ListPath() + QStringLiteral("/x"));
    else
        TestEnv::WriteFile(ListPath(), c.content);

    JobsList list;
    EXPECT_FALSE(list.LoadJobsListAndJobs());
    EXPECT_EQ(list.Count(), 0);
    const QString expected = QStringLiteral("Error: unable to read the jobs list: ") + ListPath() + QStringLiteral(" (") +
                             QLatin1String(c.fault) +
                             QStringLiteral("). Restore it from a copy, or repair it: it holds one job name per line, "
                                            "and each job's settings are kept in the job file of that name beside it.");
    EXPECT_EQ(list.ListDamage(), expected);
    EXPECT_EQ(EventTexts(), QStringList{expected});

    // A change of the list writes a new one, the damaged one kept beside it.
    list.Add(std::make_unique<TJob_FilesAndFolders>(QStringLiteral("New")));
    ASSERT_TRUE(list.SaveJobsList());
    const QString aside = ListPath() + QStringLiteral(".damaged");
    EXPECT_EQ(EventTexts(), QStringList{QStringLiteral("The damaged file is kept as: ") + aside});
    if (c.content.isEmpty())
        EXPECT_TRUE(QFileInfo(aside + QStringLiteral("/x")).isDir());
    else
        EXPECT_EQ(TestEnv::ReadFile(aside), c.content);
    EXPECT_EQ(ReadTextLines(ListPath()), QStringList{QStringLiteral("New")});
    ASSERT_TRUE(list.SaveJobsList());
    EXPECT_TRUE(EventTexts().isEmpty()) << "kept aside once";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedJobsList,
    ::testing::Values(DamagedListCase{"NotUtf8", QByteArray("\xEF\xBB\xBF" "Docs\r\n\xC3\x28zz\r\n"), "line 2 is not UTF-8 text"},
                      DamagedListCase{"NulBytes", QByteArray(64, '\0'), "line 1 holds a NUL byte"},
                      DamagedListCase{"CutInsideACharacter", QByteArray("Docs\r\nGr\xC3"), "line 2 is not UTF-8 text"},
                      DamagedListCase{"AFolderInItsPlace", QByteArray(), "file to open is a directory"}),
    [](const ::testing::TestParamInfo<DamagedListCase> &info) { return std::string(info.param.name); });

TEST_F(JobsListTest, ListWithoutFaultsIsNoDamage)
{
    SaveJob<TJob_FilesAndFolders>(QStringLiteral("Grüße"));
    TestEnv::WriteFile(ListPath(), QByteArray("\xEF\xBB\xBF" "Gr\xC3\xBC\xC3\x9F" "e\r\n\r\nGone\n"));
    JobsList list;
    ASSERT_TRUE(list.LoadJobsListAndJobs());
    EXPECT_EQ(list.Names(), QStringList{QStringLiteral("Grüße")});
    EXPECT_TRUE(list.ListDamage().isEmpty());
    ASSERT_TRUE(list.SaveJobsList());
    EXPECT_FALSE(QFileInfo::exists(ListPath() + QStringLiteral(".damaged")));
}

} // namespace

