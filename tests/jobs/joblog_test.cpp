// The run log, the saved log files with their trimming, and the history.
#include "jobtestutil.h"

#include "base/textfile.h"

#include <fstream>
#include <thread>

using namespace JobTestUtil;

namespace {

class JobLog : public JobTest {
protected:
    void SetUp() override
    {
        JobTest::SetUp();
        FixClock(m_now);
        job.OptionsToJobOptions();
    }
    QString LogFolder() const { return LogRoot() + QStringLiteral("/Job"); }
    QString Stamp(int i) const { return QStringLiteral("2024-01-%1 10;00;00").arg(i, 2, 10, QLatin1Char('0')); }

    const QDateTime m_now{QDate(2024, 5, 15), QTime(14, 3, 27)};
    TJob_FilesAndFolders job{QStringLiteral("Job")};
};

TEST_F(JobLog, LineFormatsAndCounts)
{
    const QString t = TimeToStr(m_now) + QStringLiteral(": ");
    job.AddToLog(QStringLiteral("Starting."));
    job.AddFileEventToLog(QStringLiteral("Copying the file:"), QStringLiteral("/home/u/a.txt"));
    job.AddErrorToLog(QStringLiteral("Access denied.\r\nTry again"));
    job.AddWarningToLog(QStringLiteral("Skipped"));
    job.AddErrorToLog(QStringLiteral("second"));
    job.AddRawLineToLog(QString());
    EXPECT_EQ(job.RunLogSnapshot(), (QStringList{t + QStringLiteral("Starting."),
                                                 t + QStringLiteral("Copying the file: /home/u/a.txt"),
                                                 t + QStringLiteral("ERROR: Access denied.Try again"),
                                                 t + QStringLiteral("WARNING: Skipped"),
                                                 t + QStringLiteral("ERROR: second"), QString()}));
    qint32 errors = 0, warnings = 0;
    job.RunLogCounts(errors, warnings);
    EXPECT_EQ(errors, 2);
    EXPECT_EQ(warnings, 1);
    job.ClearRunLog();
    EXPECT_TRUE(job.RunLogSnapshot().isEmpty());
    job.RunLogCounts(errors, warnings);
    EXPECT_EQ(errors + warnings, 0);
}

TEST_F(JobLog, TextsGoThroughTheJobsOwnTranslation)
{
    TLanguageOptions &lang = Options().Language;
    lang.Translations = {{QStringLiteral("English"), QStringLiteral("en"), QStringLiteral("ERROR:"),
                          QStringLiteral("Copying the file:")},
                         {QStringLiteral("Deutsch"), QStringLiteral("de"), QStringLiteral("FEHLER:"),
                          QStringLiteral("Kopiere die Datei:")}};
    lang.RebuildIndex();
    lang.LanguageOfInterface = QStringLiteral("de");
    lang.SelectLanguage();
    job.OptionsToJobOptions();
    // The snapshot is the job's own: a later change of the options does not reach it.
    Options().Language.iLanguage = 0;
    job.AddErrorToLog(QStringLiteral("x"));
    job.AddFileEventToLog(QStringLiteral("Copying the file:"), QStringLiteral("/a"));
    const QString t = TimeToStr(m_now) + QStringLiteral(": ");
    EXPECT_EQ(job.RunLogSnapshot(), (QStringList{t + QStringLiteral("FEHLER: x"), t + QStringLiteral("Kopiere die Datei: /a")}));
    AppState::ApplicationClosing = true;
    EXPECT_EQ(job.JobTranslate(QStringLiteral("ERROR:")), QStringLiteral("ERROR:"));
    AppState::ApplicationClosing = false;
}

TEST_F(JobLog, TheWindowReadsWhileTheWorkerWrites)
{
    constexpr int kLines = 5000;
    std::thread worker([this] {
        for (int i = 0; i < kLines; ++i) {
            if (i % 2)
                job.AddErrorToLog(QStringLiteral("e"));
            else
                job.AddToLog(QStringLiteral("line"));
            job.SetCurrentFileOperationPath(QStringLiteral("/path/%1").arg(i));
        }
    });
    qsizetype seen = 0;
    while (seen < kLines) {
        const QStringList snapshot = job.RunLogSnapshot();
        EXPECT_GE(snapshot.size(), seen); // never shrinks, never torn
        seen = snapshot.size();
        EXPECT_TRUE(job.CurrentFileOperationPath().isEmpty() || job.CurrentFileOperationPath().startsWith("/path/"));
        qint32 e = 0, w = 0;
        job.RunLogCounts(e, w);
        EXPECT_LE(e, kLines / 2);
    }
    worker.join();
    qint32 e = 0, w = 0;
    job.RunLogCounts(e, w);
    EXPECT_EQ(e, kLines / 2);
}

TEST_F(JobLog, SaveRunLogWritesTheFileAndRemembersTheStamp)
{
    const QString stamp = TJob::RunStamp(QDateTime(QDate(2024, 3, 9), QTime(7, 5, 1)));
    EXPECT_EQ(stamp, QStringLiteral("2024-03-09 07;05;01"));
    job.AddToLog(QStringLiteral("Größe"));
    // Without the log folder nothing is written.
    job.SaveRunLog(stamp);
    EXPECT_TRUE(job.LogList.isEmpty());
    ASSERT_TRUE(job.EnsureLogFolder());
    job.SaveRunLog(stamp);
    EXPECT_EQ(job.LogList, QStringList{stamp});
    EXPECT_EQ(TestEnv::ReadFile(LogFolder() + QLatin1Char('/') + stamp + QStringLiteral(".txt")),
              QByteArray("\xEF\xBB\xBF") + (TimeToStr(m_now) + QStringLiteral(": Größe")).toUtf8() + "\r\n");
    // A second run in the same second rewrites its file and is listed once.
    job.SaveRunLog(stamp);
    EXPECT_EQ(job.LogList, QStringList{stamp});
    EXPECT_TRUE(EventTexts().isEmpty());
}

TEST_F(JobLog, LogFolderThatCannotBeCreatedIsReported)
{
    TestEnv::WriteFile(Root() + QStringLiteral("/plainfile"), "x");
    Options().Logging.PathForLogFiles = Root() + QStringLiteral("/plainfile");
    job.OptionsToJobOptions();
    EXPECT_FALSE(job.EnsureLogFolder());
    EXPECT_EQ(EventTexts(), QStringList{QStringLiteral("Unable to create a folder for the log files: ") + Root() +
                                        QStringLiteral("/plainfile/Job")});
}

TEST_F(JobLog, OldLogsAreTrimmedToTheLimit)
{
    QDir().mkpath(LogFolder());
    for (int i = 1; i <= 25; ++i) {
        TestEnv::WriteFile(LogFolder() + QLatin1Char('/') + Stamp(i) + QStringLiteral(".txt"), "x");
        job.LogList.append(Stamp(i));
    }
    ASSERT_EQ(job.JobOptions.Logging.MaxNumberOfLogsForEachJob, 20);
    job.RemoveOldLogs();
    ASSERT_EQ(job.LogList.size(), 20);
    EXPECT_EQ(job.LogList.first(), Stamp(6));
    for (int i = 1; i <= 25; ++i)
        EXPECT_EQ(QFileInfo::exists(LogFolder() + QLatin1Char('/') + Stamp(i) + QStringLiteral(".txt")), i > 5) << i;

    // A log deleted by hand disappears from the list at the next trim.
    QFile::remove(LogFolder() + QLatin1Char('/') + Stamp(10) + QStringLiteral(".txt"));
    job.RemoveOldLogs();
    EXPECT_EQ(job.LogList.size(), 19);
    EXPECT_FALSE(job.LogList.contains(Stamp(10)));
    EXPECT_EQ(job.LogList.first(), Stamp(6));
    qint32 e = 0, w = 0;
    job.RunLogCounts(e, w);
    EXPECT_EQ(e, 0);
}

TEST_F(JobLog, ALogThatCannotBeRemovedIsAnErrorLineAndStays)
{
    QDir().mkpath(LogFolder() + QLatin1Char('/') + Stamp(1) + QStringLiteral(".txt/blocker"));
    TestEnv::WriteFile(LogFolder() + QLatin1Char('/') + Stamp(2) + QStringLiteral(".txt"), "x");
    job.LogList = {Stamp(1), Stamp(2)};
    job.JobOptions.Logging.MaxNumberOfLogsForEachJob = 1;
    job.RemoveOldLogs();
    EXPECT_EQ(job.LogList, (QStringList{Stamp(1), Stamp(2)}));
    const QStringList log = job.RunLogSnapshot();
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].contains(QStringLiteral(": ERROR: Unable to remove the old log files. "))) << log[0].toStdString();
    qint32 e = 0, w = 0;
    job.RunLogCounts(e, w);
    EXPECT_EQ(e, 1);
}

TEST_F(JobLog, HistoryLinesAndTheirLimit)
{
    const QString stamp = DateTimeToStr(m_now) + QStringLiteral(": ");
    // Appending to an empty history starts a new dated line.
    job.AddEventtoBackupHistory(QStringLiteral("Target: full copy of the source."), true);
    EXPECT_EQ(job.BackupHistory, QStringList{stamp + QStringLiteral("Target: full copy of the source.")});
    job.BackupHistory.clear();
    job.AddEventtoBackupHistory(QStringLiteral("Starting the backup."), false);
    job.AddEventtoBackupHistory(QStringLiteral("Target: full copy of the source."), true);
    job.AddEventtoBackupHistory(QStringLiteral("Backup job is finished."), false);
    EXPECT_EQ(job.BackupHistory,
              (QStringList{stamp + QStringLiteral("Starting the backup. Target: full copy of the source."),
                           stamp + QStringLiteral("Backup job is finished.")}));

    struct Case {
        qint32 limit;
        qsizetype kept;
    };
    for (const Case c : {Case{3, 3}, Case{1, 1}, Case{0, 0}, Case{-4, 0}}) {
        job.BackupHistory.clear();
        job.JobOptions.Logging.MaxNumberOfLinesInHistory = c.limit;
        for (int i = 0; i < 5; ++i)
            job.AddEventtoBackupHistory(QString::number(i), false);
        ASSERT_EQ(job.BackupHistory.size(), c.kept) << c.limit;
        if (c.kept) {
            EXPECT_EQ(job.BackupHistory.last(), stamp + QStringLiteral("4")); // the newest stay
        }
    }
}

TEST_F(JobLog, JobFoldersStayInsideTheirRoots)
{
    EXPECT_EQ(job.LogFolderPath(), LogRoot() + QStringLiteral("/Job"));
    EXPECT_EQ(job.TempFolderPath(), TempRoot() + QStringLiteral("/Job"));
    EXPECT_EQ(job.TempJobFilePath(), TempRoot() + QStringLiteral("/Job.qvj"));
    EXPECT_EQ(job.LocalJobFilePath(), DataDir() + QStringLiteral("/Job.qvd"));
    for (const char *name : {"", ".", ".."}) {
        TJob_FilesAndFolders odd{QString::fromLatin1(name)};
        odd.OptionsToJobOptions();
        EXPECT_TRUE(odd.LogFolderPath().isEmpty()) << name;
        EXPECT_TRUE(odd.TempFolderPath().isEmpty()) << name;
        EXPECT_TRUE(odd.TempJobFilePath().isEmpty()) << name;
    }
    job.JobOptions.General.PathForTempFiles.clear();
    EXPECT_TRUE(job.TempFolderPath().isEmpty());
}

TEST_F(JobLog, DeleteTempFilesRemovesOnlyTheJobsOwnTemporaryFiles)
{
    TestEnv::WriteFile(TempRoot() + QStringLiteral("/Job/sub/deep/a.bin"), "x");
    TestEnv::WriteFile(TempRoot() + QStringLiteral("/Job.qvj"), "x");
    TestEnv::WriteFile(TempRoot() + QStringLiteral("/Other/b.bin"), "x");
    TestEnv::WriteFile(Root() + QStringLiteral("/outside/keep.txt"), "x");
    QFile::link(Root() + QStringLiteral("/outside"), TempRoot() + QStringLiteral("/Job/sub/link"));
    // A staged copy under a name that is not UTF-8, as a run that ended early leaves it.
    std::ofstream((TempRoot() + QStringLiteral("/Job/sub/")).toStdString() + "caf\xE9.txt.zip") << "x";
    job.DeleteTempFiles();
    EXPECT_FALSE(QFileInfo::exists(TempRoot() + QStringLiteral("/Job")));
    EXPECT_FALSE(QFileInfo::exists(TempRoot() + QStringLiteral("/Job.qvj")));
    EXPECT_TRUE(QFileInfo::exists(TempRoot() + QStringLiteral("/Other/b.bin")));
    EXPECT_TRUE(QFileInfo::exists(Root() + QStringLiteral("/outside/keep.txt")));

    // Without a temporary root nothing is touched (never the working folder).
    TJob_FilesAndFolders dots{QStringLiteral("..")};
    dots.OptionsToJobOptions();
    dots.DeleteTempFiles();
    EXPECT_TRUE(QFileInfo::exists(TempRoot() + QStringLiteral("/Other/b.bin")));
    job.JobOptions.General.PathForTempFiles.clear();
    job.DeleteTempFiles();
    EXPECT_TRUE(QFileInfo::exists(TempRoot()));
}

} // namespace
