// The local and remote job files of the three kinds in every format version
// their readers take, as committed golden files: each loads with the fields
// of its version, and the writers reproduce the files of the current
// versions byte for byte.
#include "goldentest.h"

#include "jobs/jobkinds.h"

#include <vector>

using namespace GoldenTest;

namespace {

struct JobFileCase {
    TJobKind kind;
    int version;
    bool remote;
};

std::string CaseName(const JobFileCase &c)
{
    const QString file = Golden::JobFileName(c.kind, c.version, c.remote);
    return file.left(file.indexOf(QLatin1Char('.'))).replace(QLatin1Char('-'), QLatin1Char('_')).toStdString()
           + (c.remote ? "_remote" : "_local");
}

void PrintTo(const JobFileCase &c, std::ostream *os)
{
    *os << (c.remote ? "remote/" : "local/") << Golden::JobFileName(c.kind, c.version, c.remote).toStdString();
}

QString CaseFile(const JobFileCase &c)
{
    return GoldenPath((c.remote ? QStringLiteral("remote/") : QStringLiteral("local/"))
                      + Golden::JobFileName(c.kind, c.version, c.remote));
}

std::vector<JobFileCase> OlderAndCurrentFiles()
{
    std::vector<JobFileCase> cases;
    for (int v = 1; v <= 5; ++v) {
        cases.push_back({jkFilesAndFolders, v, false});
        cases.push_back({jkFilesAndFolders, v, true});
    }
    for (int v : {2, 3, 4}) {
        cases.push_back({jkDriveImage, v, false});
        cases.push_back({jkAppsData, v, false});
    }
    for (int v : {1, 3, 4})
        cases.push_back({jkDriveImage, v, true});
    for (int v : {3, 4})
        cases.push_back({jkAppsData, v, true});
    return cases;
}

std::vector<JobFileCase> CurrentFiles()
{
    std::vector<JobFileCase> cases;
    for (TJobKind kind : {jkFilesAndFolders, jkDriveImage, jkAppsData}) {
        cases.push_back({kind, Golden::CurrentVersion(kind), false});
        cases.push_back({kind, Golden::CurrentVersion(kind), true});
    }
    return cases;
}

void ExpectSameState(const TBackupSetState &a, const TBackupSetState &e)
{
    EXPECT_EQ(a.MainBackupList, e.MainBackupList);
    EXPECT_EQ(a.PreviousLocalFilesList, e.PreviousLocalFilesList);
    EXPECT_EQ(a.PreviousLocalFilesTimeList, e.PreviousLocalFilesTimeList);
    EXPECT_EQ(a.PreviousLocalDirsList, e.PreviousLocalDirsList);
    EXPECT_EQ(a.SizeOfLastFullBackup, e.SizeOfLastFullBackup);
    EXPECT_EQ(a.SizeOfAllIncrementsOrLastDifferentialCopy, e.SizeOfAllIncrementsOrLastDifferentialCopy);
}

class JobFileGolden : public GoldenFiles, public ::testing::WithParamInterface<JobFileCase> {};

TEST_P(JobFileGolden, LoadsEveryFieldOfItsVersion)
{
    const JobFileCase c = GetParam();
    const QString path = CaseFile(c);
    const std::unique_ptr<TJob> expected = Golden::JobAsReadFrom(c.kind, c.version, c.remote);
    std::unique_ptr<TJob> job = CreateJobOfKind(c.kind, expected->stJobName);
    if (!c.remote) {
        // A file without the kind field is a files-and-folders job.
        EXPECT_EQ(ReadJobKind(path), c.version > 3 ? c.kind : jkFilesAndFolders);
        ASSERT_TRUE(job->LoadLocalJobFile(path));
    } else {
        // Found where it was written: the destination is already the stored one.
        job->DestinationSettings = Golden::RemoteJob(c.kind)->DestinationSettings;
        bool changed = true;
        if (auto *files = qobject_cast<TJob_FilesAndFolders *>(job.get())) {
            TBackupSetState state;
            ASSERT_TRUE(files->LoadRemoteJobFile(path, true, state, &changed));
            ExpectSameState(state, Golden::State());
        } else if (auto *image = qobject_cast<TJob_DriveImage *>(job.get())) {
            ASSERT_TRUE(image->LoadRemoteJobFile(path, true, &changed));
        } else if (auto *apps = qobject_cast<TJob_AppsData *>(job.get())) {
            ASSERT_TRUE(apps->LoadRemoteJobFile(path, true, &changed));
        }
        EXPECT_FALSE(changed);
    }
    ExpectSameJob(*job, *expected);
}

INSTANTIATE_TEST_SUITE_P(Files, JobFileGolden, ::testing::ValuesIn(OlderAndCurrentFiles()),
                         [](const auto &i) { return CaseName(i.param); });

class CurrentJobFileGolden : public GoldenFiles, public ::testing::WithParamInterface<JobFileCase> {};

TEST_P(CurrentJobFileGolden, WriterReproducesTheFile)
{
    const JobFileCase c = GetParam();
    const QString path = Dir() + QStringLiteral("/written") + (c.remote ? QStringLiteral(".qvj") : QStringLiteral(".qvd"));
    if (!c.remote) {
        ASSERT_TRUE(Golden::Job(c.kind)->SaveLocalJobFile(path));
    } else {
        const std::unique_ptr<TJob> job = Golden::RemoteJob(c.kind);
        bool saved = false;
        if (auto *files = qobject_cast<TJob_FilesAndFolders *>(job.get()))
            saved = files->SaveRemoteJobFile(path, Golden::State());
        else if (auto *image = qobject_cast<TJob_DriveImage *>(job.get()))
            saved = image->SaveRemoteJobFile(path);
        else if (auto *apps = qobject_cast<TJob_AppsData *>(job.get()))
            saved = apps->SaveRemoteJobFile(path, Golden::Catalogue());
        ASSERT_TRUE(saved);
    }
    ExpectSameBytes(Bytes(path), Bytes(CaseFile(c)));
}

INSTANTIATE_TEST_SUITE_P(Files, CurrentJobFileGolden, ::testing::ValuesIn(CurrentFiles()),
                         [](const auto &i) { return CaseName(i.param); });

} // namespace
