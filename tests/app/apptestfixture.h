#pragma once
// A core with recorders in place of its services and a clock the test sets.
#include "app/applicationcore.h"
#include "options/options.h"
#include "apptestdoubles.h"
#include "base/appstate.h"
#include "base/datetime.h"
#include "base/events.h"
#include "jobs/jobkinds.h"

#include "support/testenv.h"

#include <QDateTime>
#include <QDir>
#include <gtest/gtest.h>
#include <map>
#include <memory>

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Every test gets folders of its own, also when several run in one process.
        const QString name = QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name())
                                 .replace(QLatin1Char('/'), QLatin1Char('_'));
        static int runs = 0;
        m_private = TestEnv::Root() + QStringLiteral("/t%1-").arg(++runs) + name;
        for (const char *var : {"XDG_CONFIG_HOME", "TMPDIR", "XDG_DOCUMENTS_DIR"}) {
            m_savedEnv[var] = qgetenv(var);
            const QString dir = m_private + QLatin1Char('/') + QString::fromLatin1(var).toLower();
            QDir().mkpath(dir);
            qputenv(var, QFile::encodeName(dir));
        }
        AppState::SetJobFileExtension(QStringLiteral(".qvj"));
        AppState::ApplicationClosing = false;
        AppState::CommandLineRun = false;
        Options() = TOptions();
        PendingEvents::TakeAll();
        Clock::SetOverride([this] { return m_now; });
        core = std::make_unique<ApplicationCore>(rec.Services());
    }

    void TearDown() override
    {
        // The recorder's "runs" have no worker: end them so that the core
        // destroys its jobs.
        for (const auto &job : core->Jobs().Jobs())
            job->JobStatus = jsNone;
        core.reset();
        Clock::SetOverride({});
        AppState::ApplicationClosing = false;
        AppState::CommandLineRun = false;
        AppState::SetJobFileExtension(QStringLiteral(".qvj"));
        for (const auto &[var, value] : m_savedEnv)
            qputenv(var, value);
    }

    // This test's own folder (below it: the configuration, temporary and
    // Documents folders the program sees).
    const QString &PrivateFolder() const { return m_private; }

    // "2024-05-15 10:00:03" (a Wednesday), optionally with milliseconds.
    void At(const QString &when)
    {
        m_now = QDateTime::fromString(when, when.size() > 19 ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                                             : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        ASSERT_TRUE(m_now.isValid()) << when.toStdString();
    }
    static double D(const QString &when)
    {
        return DateTimeToDouble(QDateTime::fromString(when, QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    }

    template <typename Kind = TJob_FilesAndFolders> Kind &AddJob(const QString &name)
    {
        return static_cast<Kind &>(*core->Jobs().Add(std::make_unique<Kind>(name)));
    }
    // A job scheduled every day of the week at `times`, changed long before.
    template <typename Kind = TJob_FilesAndFolders>
    Kind &AddScheduledJob(const QString &name, const QStringList &times)
    {
        Kind &job = AddJob<Kind>(name);
        job.SchedulingSettings.SchedulingType = stDaysOfWeek;
        for (int d = 1; d <= 7; ++d)
            job.SchedulingSettings.DaysOfWeek[d] = true;
        job.SchedulingSettings.TimeTable = times;
        job.SchedulingSettings.LastModificationDateTime = D(QStringLiteral("2024-05-01 09:00:00"));
        return job;
    }

    Recorders rec;
    std::unique_ptr<ApplicationCore> core;

private:
    QString m_private;
    std::map<const char *, QByteArray> m_savedEnv;
    QDateTime m_now = QDateTime(QDate(2024, 5, 15), QTime(9, 0));
};
