#include "shelltestfixture.h"

#include "base/appstate.h"
#include "base/datetime.h"
#include "base/events.h"
#include "base/translation.h"
#include "gui/shell/jobslistmodel.h"
#include "platform/folders.h"
#include "support/testenv.h"

#include <QDir>
#include <QSettings>

void ShellTest::SetUp()
{
    const QString name = QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name())
                             .replace(QLatin1Char('/'), QLatin1Char('_'));
    static int runs = 0;
    m_private = TestEnv::Root() + QStringLiteral("/s%1-").arg(++runs) + name;
    for (const char *var : {"XDG_CONFIG_HOME", "TMPDIR", "XDG_DOCUMENTS_DIR"}) {
        m_savedEnv[var] = qgetenv(var);
        const QString dir = m_private + QLatin1Char('/') + QString::fromLatin1(var).toLower();
        QDir().mkpath(dir);
        qputenv(var, QFile::encodeName(dir));
    }
    QDir().mkpath(Folders::DataFolder());
    AppState::SetJobFileExtension(QStringLiteral(".qvj"));
    AppState::ApplicationClosing = false;
    AppState::CommandLineRun = false;
    Options() = TOptions();
    Options().Logging.PathForLogFiles = m_private + QStringLiteral("/logs");
    Options().General.PathForTempFiles = m_private + QStringLiteral("/temp");
    QDir().mkpath(Options().Logging.PathForLogFiles);
    QDir().mkpath(Options().General.PathForTempFiles);
    // The shipped table, English selected.
    LoadTranslationFile(TestEnv::SourceDir() + QStringLiteral("/data/transl.dt"), Options().Language);
    PendingEvents::TakeAll();
    QSettings(QStringLiteral("Quorvane"), QStringLiteral("Quorvane")).clear();
    Clock::SetOverride([this] { return m_now; });
    core = std::make_unique<ApplicationCore>(rec.Services());
}

void ShellTest::TearDown()
{
    window.reset();
    for (const auto &job : core->Jobs().Jobs())
        job->JobStatus = jsNone;
    core.reset();
    Clock::SetOverride({});
    AppState::ApplicationClosing = false;
    AppState::CommandLineRun = false;
    Options() = TOptions();
    for (const auto &[var, value] : m_savedEnv)
        qputenv(var, value);
}

TfrmMainQuorvane &ShellTest::Window()
{
    if (!window) {
        window = std::make_unique<TfrmMainQuorvane>(*core);
        window->SetFirstShowHandler([] {});
    }
    return *window;
}

TJob_FilesAndFolders &ShellTest::AddJob(const QString &name)
{
    auto &job = static_cast<TJob_FilesAndFolders &>(*core->Jobs().Add(std::make_unique<TJob_FilesAndFolders>(name)));
    job.DestinationSettings.LocalOrExternalDrive.Disk = m_private + QStringLiteral("/dest");
    job.SetDerivedFields();
    if (window)
        window->RefreshFromCore();
    return job;
}

TJob_FilesAndFolders &ShellTest::AddScheduledJob(const QString &name, const QStringList &times)
{
    TJob_FilesAndFolders &job = AddJob(name);
    job.SchedulingSettings.SchedulingType = stDaysOfWeek;
    for (int d = 1; d <= 7; ++d)
        job.SchedulingSettings.DaysOfWeek[d] = true;
    job.SchedulingSettings.TimeTable = times;
    job.SchedulingSettings.LastModificationDateTime =
        DateTimeToDouble(QDateTime(QDate(2024, 5, 1), QTime(9, 0)));
    return job;
}

void ShellTest::SetLastRun(TJob &job, bool cancelled, int errors, int warnings)
{
    job.JobStatus = jsNone;
    job.ClearRunLog();
    for (int i = 0; i < errors; ++i)
        job.AddErrorToLog(QStringLiteral("failed"));
    for (int i = 0; i < warnings; ++i)
        job.AddWarningToLog(QStringLiteral("careful"));
    job.LastJobResult.StartTime = DateTimeToDouble(QDateTime(QDate(2024, 5, 14), QTime(22, 0)));
    job.LastJobResult.EndTime = DateTimeToDouble(QDateTime(QDate(2024, 5, 14), QTime(22, 5, 30)));
    job.LastJobResult.Cancelled = cancelled;
}

void ShellTest::SetStatus(TJob &job, TJobStatus status)
{
    job.JobStatus = status;
}

QStringList ShellTest::VisibleNames()
{
    QStringList names;
    JobsListModel *model = Window().JobsModel();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->IsVisible(row) && !Window().JobsView()->isRowHidden(row, QModelIndex()))
            names << model->JobAt(row)->stJobName;
    }
    return names;
}

void ShellTest::At(const QString &when)
{
    m_now = QDateTime::fromString(when, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    ASSERT_TRUE(m_now.isValid());
}
