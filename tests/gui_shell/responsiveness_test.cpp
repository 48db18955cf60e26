// The window stays responsive while a job copies a large file: the worker
// reports its progress without waiting for the window, and the window's
// event loop goes on serving timers and repaints during the copy.
#include "app/applicationcore.h"
#include "app/coreservices.h"
#include "app/jobrunner.h"
#include "options/options.h"
#include "base/appstate.h"
#include "base/datetime.h"
#include "base/events.h"
#include "engine/files/jobworker.h"
#include "gui/shell/jobslistmodel.h"
#include "gui/shell/mainwindow.h"
#include "jobs/jobkinds.h"
#include "platform/folders.h"
#include "support/testenv.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
// Large enough for many progress steps of the copy routine.
constexpr qint64 kFileSize = qint64(512) << 20;

class Responsiveness : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        Folders::SetDataFolderOverride(m_dir.filePath(QStringLiteral("data")));
        for (const char *d : {"data", "logs", "temp", "src", "dest"})
            QDir().mkpath(m_dir.filePath(QLatin1String(d)));
        AppState::SetJobFileExtension(QStringLiteral(".qvj"));
        AppState::ApplicationClosing = false;
        AppState::CommandLineRun = false;
        Options() = TOptions();
        Options().Logging.PathForLogFiles = m_dir.filePath(QStringLiteral("logs"));
        Options().General.PathForTempFiles = m_dir.filePath(QStringLiteral("temp"));
        PendingEvents::TakeAll();
    }
    void TearDown() override
    {
        Folders::SetDataFolderOverride(QString());
        Options() = TOptions();
    }
    QString Path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/qvresp-XXXXXX")};
};
} // namespace

TEST_F(Responsiveness, WindowKeepsServingItsEventsWhileAJobCopiesALargeFile)
{
    // A large source file, all data: the copy routine skips the holes of a
    // sparse one, which would take no time at all.
    {
        QFile big(Path("src") + QStringLiteral("/large.bin"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        const QByteArray block(1 << 20, 'q');
        for (qint64 written = 0; written < kFileSize; written += block.size())
            ASSERT_EQ(big.write(block), block.size());
    }

    CoreServices services;
    services.Runner = CreateEngineJobRunner(); // the real files engine
    ApplicationCore core(services);
    auto &job = static_cast<TJob_FilesAndFolders &>(
        *core.Jobs().Add(std::make_unique<TJob_FilesAndFolders>(QStringLiteral("Large"))));
    job.Settings.Sources.List = {Path("src") + QStringLiteral("/*")};
    job.Settings.Backup.BackupType = btFull;
    job.DestinationSettings.DestinationType = dtLocalOrExternalDrive;
    job.DestinationSettings.LocalOrExternalDrive.Disk = Path("dest");
    job.DestinationSettings.LocalOrExternalDrive.Subfolder = QStringLiteral("/");
    job.SetDerivedFields();

    TfrmMainQuorvane window(core);
    window.SetFirstShowHandler([] {});
    window.show();

    // What the window's event loop did while the job ran.
    int timerTicksWhileRunning = 0;
    int repaintsMidCopy = 0;
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (job.JobStatus.load() == jsRunning)
            ++timerTicksWhileRunning;
    });
    QObject::connect(window.JobsModel(), &JobsListModel::JobsRepaintRequested, [&] {
        const int percent = job.CurrentFileOperationProgress.load();
        if (job.JobStatus.load() == jsRunning && job.CurrentFileOperationType.load() == atCopyFromLocalToRemoteFile &&
            percent > 0 && percent < 100)
            ++repaintsMidCopy;
    });
    timer.start();

    window.SelectRow(0);
    window.ActionBackup->trigger();
    ASSERT_EQ(job.JobStatus.load(), jsWaiting);
    core.tick(); // starts the worker
    ASSERT_TRUE(QTest::qWaitFor([&] { return job.JobStatus.load() == jsNone && !JobWorker::IsRunning(job); },
                                600000));
    timer.stop();

    EXPECT_FALSE(job.LastJobResult.Cancelled) << job.RunLogSnapshot().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(job.LastJobResult.ErrorsCount, 0);
    // The copy arrived.
    bool copied = false;
    QDirIterator it(Path("dest"), {QStringLiteral("large.bin")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        copied = QFileInfo(it.next()).size() == kFileSize || copied;
    EXPECT_TRUE(copied);
    // The window repainted from the worker's progress in the middle of the
    // copy, and its own timer kept firing meanwhile.
    EXPECT_GT(repaintsMidCopy, 0);
    EXPECT_GT(timerTicksWhileRunning, 0);
    EXPECT_GT(window.JobsModel()->ServedRepaints(), 0);
}
