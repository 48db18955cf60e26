// The per-job lock against real processes (flock(1) as the other holder
// and as the witness).
#include "platform/joblock.h"
#include "support/lockholder.h"
#include "support/testenv.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {
class JobLockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int runs = 0;
        m_folder = TestEnv::Root() + QStringLiteral("/joblock%1").arg(++runs);
        ASSERT_TRUE(QDir().mkpath(m_folder));
    }

    QString LockFile(const QString &job = QStringLiteral("Docs")) const
    {
        return JobLock::LockFilePath(m_folder, job);
    }
    bool FreeForOthers(const QString &job = QStringLiteral("Docs")) const
    {
        return ForeignLockHolder::IsFree(LockFile(job));
    }

    QString m_folder;
};
} // namespace

TEST_F(JobLockTest, HeldLockKeepsOtherProcessesOutAndGoesWithItsFile)
{
    JobLock lock = JobLock::Acquire(m_folder, QStringLiteral("Docs"));
    ASSERT_TRUE(lock.IsHeld()) << lock.errorString().toStdString();
    EXPECT_TRUE(QFileInfo::exists(LockFile()));
    EXPECT_FALSE(QFileInfo(LockFile()).permissions()
                 & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther))
        << "the lock file is the user's only";
    EXPECT_FALSE(FreeForOthers());
    EXPECT_TRUE(FreeForOthers(QStringLiteral("Other"))) << "each job has a lock of its own";
    lock.Release();
    EXPECT_FALSE(lock.IsHeld());
    EXPECT_FALSE(QFileInfo::exists(LockFile())) << "no lock file stays behind";
    EXPECT_TRUE(FreeForOthers());
}

TEST_F(JobLockTest, HoldsInOneProcessAreSharedUntilTheLastGoes)
{
    JobLock first = JobLock::Acquire(m_folder, QStringLiteral("Docs"));
    ASSERT_TRUE(first.IsHeld());
    JobLock second = JobLock::Acquire(m_folder, QStringLiteral("Docs"));
    EXPECT_TRUE(second.IsHeld()) << "this process holds it already";
    JobLock copy = first;
    JobLock moved = std::move(second);
    EXPECT_FALSE(second.IsHeld());
    first.Release();
    moved.Release();
    EXPECT_TRUE(copy.IsHeld());
    EXPECT_FALSE(FreeForOthers()) << "one hold is left";
    copy = JobLock();
    EXPECT_TRUE(FreeForOthers());
    EXPECT_TRUE(JobLock::Acquire(m_folder, QStringLiteral("Docs")).IsHeld());
}

TEST_F(JobLockTest, LockOfAnotherProcessIsSeenAndGoesWhenItIsKilled)
{
    ForeignLockHolder holder;
    ASSERT_TRUE(holder.Hold(LockFile()));

    const JobLock refused = JobLock::Acquire(m_folder, QStringLiteral("Docs"));
    EXPECT_EQ(refused.status(), JobLock::Status::HeldByAnotherProcess);
    EXPECT_FALSE(refused.IsHeld());

    holder.Kill(); // SIGKILL: nothing of the holder gets to clean up
    EXPECT_TRUE(QFileInfo::exists(LockFile())) << "the killed holder left its file";
    const JobLock taken = JobLock::Acquire(m_folder, QStringLiteral("Docs"));
    EXPECT_TRUE(taken.IsHeld()) << "a lock left behind by a killed process is no lock";
    EXPECT_FALSE(FreeForOthers());
}

struct BadLockCase {
    const char *what;
    const char *folder; // below the test's folder
    const char *job;
};

class JobLockFailure : public JobLockTest, public ::testing::WithParamInterface<BadLockCase> {};

TEST_P(JobLockFailure, IsAnErrorNotAHold)
{
    const JobLock lock = JobLock::Acquire(m_folder + QLatin1String(GetParam().folder), QLatin1String(GetParam().job));
    EXPECT_EQ(lock.status(), JobLock::Status::Failed) << GetParam().what;
    EXPECT_FALSE(lock.errorString().isEmpty());
    EXPECT_TRUE(QDir(m_folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty())
        << "nothing is created outside the data folder";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JobLockFailure,
    ::testing::Values(BadLockCase{"missing folder", "/missing", "Docs"}, BadLockCase{"name with a slash", "", "../Docs"},
                      BadLockCase{"empty name", "", ""}, BadLockCase{"dot dot", "", ".."}),
    [](const ::testing::TestParamInfo<BadLockCase> &info) { return TestEnv::CaseName(info.param.what); });
