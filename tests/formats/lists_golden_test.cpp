// The text lists (the jobs list, its legacy name, the state lists of a run
// folder) and the cloud credentials file as committed golden files: each
// reads as its lines or strings, and the writers reproduce the files of the
// current format byte for byte.
#include "goldentest.h"
#include "support/testnames.h"

#include "base/binarycodec.h"
#include "base/cloudcredentials.h"
#include "base/scrambledfile.h"
#include "base/textfile.h"
#include "engine/files/tempfiles.h"
#include "jobs/jobslist.h"

using namespace GoldenTest;

namespace Golden {
void PrintTo(const StateList &l, std::ostream *os)
{
    *os << l.file << ": " << TestNames::Quoted(l.lines);
}
} // namespace Golden

namespace {

QString ListFile(const QString &name)
{
    return GoldenPath(QStringLiteral("lists/") + name);
}

// The current local job files of the list's jobs, under their names.
void PutJobFiles(const QString &dataFolder)
{
    const QStringList names = Golden::JobsListNames();
    for (qsizetype i = 0; i < names.size(); ++i) {
        const TJobKind kind = Golden::JobsListKinds().at(i);
        const QString golden = GoldenPath(QStringLiteral("local/") + Golden::JobFileName(kind, Golden::CurrentVersion(kind), false));
        ASSERT_TRUE(QFile::copy(golden, dataFolder + QLatin1Char('/') + names[i] + QStringLiteral(".qvd"))) << golden.toStdString();
    }
}

void ExpectTheListsJobs(const JobsList &list)
{
    ASSERT_EQ(list.Names(), Golden::JobsListNames());
    for (int i = 0; i < list.Count(); ++i) {
        SCOPED_TRACE(i);
        const TJobKind kind = Golden::JobsListKinds().at(i);
        ExpectSameJob(*list.At(i), *Golden::JobAsReadFrom(kind, Golden::CurrentVersion(kind), false));
    }
}

TEST_F(GoldenFiles, JobsListLoadsItsJobsInOrder)
{
    ASSERT_TRUE(QFile::copy(ListFile(JobsList::kFileName), Dir() + QLatin1Char('/') + JobsList::kFileName));
    PutJobFiles(Dir());
    JobsList list;
    ASSERT_TRUE(list.LoadJobsListAndJobs());
    EXPECT_EQ(AppState::JobFileExtension(), QStringLiteral(".qvj"));
    ExpectTheListsJobs(list);
}

TEST_F(GoldenFiles, LegacyJobsListWithoutMarkAndWithBareLineFeedsLoadsTheSameJobs)
{
    ASSERT_TRUE(QFile::copy(ListFile(JobsList::kLegacyFileName), Dir() + QLatin1Char('/') + JobsList::kLegacyFileName));
    PutJobFiles(Dir());
    JobsList list;
    ASSERT_TRUE(list.LoadJobsListAndJobs());
    EXPECT_EQ(AppState::JobFileExtension(), JobsList::kLegacyJobFileExtension);
    ExpectTheListsJobs(list);
}

TEST_F(GoldenFiles, JobsListWriterReproducesTheFile)
{
    JobsList list;
    const QStringList names = Golden::JobsListNames();
    for (qsizetype i = 0; i < names.size(); ++i)
        list.Add(CreateJobOfKind(Golden::JobsListKinds().at(i), names[i]));
    ASSERT_TRUE(list.SaveJobsList());
    ExpectSameBytes(Bytes(list.FilePath()), Bytes(ListFile(JobsList::kFileName)));
}

class StateListGolden : public GoldenFiles, public ::testing::WithParamInterface<Golden::StateList> {};

TEST_P(StateListGolden, ReadsAsItsLinesAndTheWriterReproducesIt)
{
    const Golden::StateList &l = GetParam();
    const QString golden = ListFile(QLatin1String(l.file));
    EXPECT_EQ(ReadTextLines(golden), l.lines);
    const QString written = Dir() + QLatin1Char('/') + QLatin1String(l.file);
    QString error;
    ASSERT_TRUE(WriteTempStateList(written, l.lines, &error)) << error.toStdString();
    ExpectSameBytes(Bytes(written), Bytes(golden));
}

INSTANTIATE_TEST_SUITE_P(Lists, StateListGolden, ::testing::ValuesIn(Golden::StateLists()),
                         [](const auto &i) { return TestNames::Words(i.param.file); });

TEST_F(GoldenFiles, StateListWithoutMarkAndWithBareLineFeedsReadsTheSameLines)
{
    EXPECT_EQ(ReadTextLines(ListFile(QStringLiteral("_rf-lf.qvl"))), Golden::StateLists().first().lines);
}

TEST_F(GoldenFiles, CloudCredentialsReadAsTheirEightStrings)
{
    QByteArray plain;
    ASSERT_EQ(ScrambledFile::Read(GoldenPath(QStringLiteral("credentials/mcs.dt")), plain), ScrambledFile::ReadStatus::Ok);
    TCloudCredentials credentials;
    ASSERT_TRUE(ParseCloudCredentials(plain, credentials));
    const TCloudCredentials expected = Golden::CloudCredentials();
    for (size_t i = 0; i < expected.Strings.size(); ++i)
        EXPECT_EQ(credentials.Strings[i], expected.Strings[i]) << "string " << i;
    EXPECT_EQ(credentials.DropboxClientId(), QStringLiteral("dropbox-client-id"));
    EXPECT_EQ(credentials.OneDriveClientId(), QStringLiteral("onedrive-client-id"));
}

} // namespace
