// What a job's card and table row say, and in which colour, for each state
// of the job.
#include "shelltestfixture.h"

#include "base/datetime.h"
#include "gui/shell/jobpresentation.h"
#include "gui/shell/jobslistdelegate.h"

#include <QFontMetrics>
#include <QApplication>

namespace {
struct CardCase {
    const char *name;
    std::function<void(TJob &)> setUp;
    QString text;      // the result text ("%d" stands for the end date)
    QColor color;      // invalid: normal
    QString countLink;
    bool progress;
    CardLink link1;
    CardLink link2;
    QString tableStatus;
    QString tableResult; // "%d" stands for the end date
    QColor tableResultColor;
};

const QString kEnd = QStringLiteral("%d");

class CardTexts : public ShellTest {};
} // namespace

TEST_F(CardTexts, EachStateShowsItsTextsColoursAndLinks)
{
    const QColor none;
    const std::vector<CardCase> cases = {
        {"never started", [](TJob &) {}, QStringLiteral("Never started"), none, QString(), false, CardLink::Backup,
         CardLink::Restore, QStringLiteral("Ready"), QStringLiteral("Never started"), none},
        {"cancelled", [](TJob &j) { SetLastRun(j, true, 0, 0); }, QStringLiteral("Cancelled on %d"),
         ListColors::Red(), QString(), false, CardLink::Backup, CardLink::Restore, QStringLiteral("Ready"),
         QStringLiteral("Cancelled on %d"), ListColors::Red()},
        {"cancelled with errors", [](TJob &j) { SetLastRun(j, true, 2, 1); }, QStringLiteral("Cancelled on %d"),
         ListColors::Red(), QStringLiteral("Errors: 2"), false, CardLink::Backup, CardLink::Restore,
         QStringLiteral("Ready"), QStringLiteral("Cancelled on %d"), ListColors::Red()},
        {"errors", [](TJob &j) { SetLastRun(j, false, 3, 2); }, QStringLiteral("Finished on %d"),
         ListColors::Orange(), QStringLiteral("Errors: 3"), false, CardLink::Backup, CardLink::Restore,
         QStringLiteral("Ready"), QStringLiteral("Finished with errors on %d"), ListColors::Orange()},
        {"warnings", [](TJob &j) { SetLastRun(j, false, 0, 4); }, QStringLiteral("Finished on %d"),
         ListColors::Orange(), QStringLiteral("Warnings: 4"), false, CardLink::Backup, CardLink::Restore,
         QStringLiteral("Ready"), QStringLiteral("Finished with warnings on %d"), ListColors::Orange()},
        {"clean", [](TJob &j) { SetLastRun(j, false, 0, 0); }, QStringLiteral("Finished on %d"), ListColors::Green(),
         QString(), false, CardLink::Backup, CardLink::Restore, QStringLiteral("Ready"),
         QStringLiteral("Finished on %d"), ListColors::Green()},
        {"waiting", [](TJob &j) { SetStatus(j, jsWaiting); }, QStringLiteral("Waiting"), none, QString(), false,
         CardLink::Pause, CardLink::Cancel, QStringLiteral("Waiting"), QString(), none},
        {"running", [](TJob &j) { SetStatus(j, jsRunning); }, QString(), none, QString(), true, CardLink::Pause,
         CardLink::Cancel, QStringLiteral("Running"), QString(), none},
        {"paused", [](TJob &j) { SetStatus(j, jsPaused); }, QStringLiteral("Paused"), none, QString(), false,
         CardLink::Resume, CardLink::Cancel, QStringLiteral("Paused"), QString(), none},
        {"cancelling", [](TJob &j) { SetStatus(j, jsCancelling); }, QStringLiteral("Cancelling"), ListColors::Red(),
         QString(), false, CardLink::None, CardLink::None, QStringLiteral("Cancelling"), QString(), none},
        {"running, cannot pause",
         [](TJob &j) {
             SetStatus(j, jsRunning);
             j.CanPause = false;
         },
         QString(), none, QString(), true, CardLink::None, CardLink::Cancel, QStringLiteral("Running"), QString(), none},
    };
    for (const CardCase &c : cases) {
        SCOPED_TRACE(c.name);
        TJob_FilesAndFolders job(QStringLiteral("Job"));
        c.setUp(job);
        const QString date = DateTimeToStr(DoubleToDateTime(job.LastJobResult.EndTime));
        const CardResult r = CardResultFor(job);
        EXPECT_EQ(r.Text.toStdString(), QString(c.text).replace(kEnd, date).toStdString());
        EXPECT_EQ(r.Color, c.color);
        EXPECT_EQ(r.CountLink, c.countLink);
        EXPECT_EQ(r.ShowProgress, c.progress);
        const CardLinks links = CardLinksFor(job);
        EXPECT_EQ(links.Link1, c.link1);
        EXPECT_EQ(links.Link2, c.link2);
        EXPECT_EQ(HasErrorsOrWarnings(job), !c.countLink.isEmpty());
        const TableCell status = TableCellFor(job, colStatus);
        EXPECT_EQ(status.Text, c.tableStatus);
        EXPECT_EQ(status.Color, c.tableStatus == QStringLiteral("Ready") ? none : ListColors::Navy());
        const TableCell result = TableCellFor(job, colLastResult);
        EXPECT_EQ(result.Text, QString(c.tableResult).replace(kEnd, date));
        EXPECT_EQ(result.Color, c.tableResultColor);
    }
}

TEST_F(CardTexts, RunningJobShowsItsProgressAndOperation)
{
    TJob_FilesAndFolders job(QStringLiteral("Job"));
    job.JobStatus = jsRunning;
    job.CurrentFileOperationProgress = 42;
    job.CurrentFileOperationType = atCopyFromLocalToRemoteFile;
    job.SetCurrentFileOperationPath(QStringLiteral("/home/user/Documents/report.odt"));
    EXPECT_EQ(CardResultFor(job).Percent, 42);
    CardSecondLine line = CardSecondLineFor(job);
    EXPECT_EQ(line.Prefix, QStringLiteral("Copying "));
    EXPECT_EQ(line.Path, QStringLiteral("/home/user/Documents/report.odt"));
    EXPECT_FALSE(line.Warning);

    const struct {
        TFileOperationType type;
        const char *verb;
    } verbs[] = {{atCopyFromLocalToRemoteFileThroughTempFolder, "Copying"},
                 {atCopyFromRemoteToLocalFile, "Copying"},
                 {atRemoveRemoteFile, "Removing"},
                 {atRemoveRemoteEmptyFolder, "Removing"},
                 {atRemoveRemoteNotEmptyFolder, "Removing"},
                 {atCreateRemoteFolder, "Creating"},
                 {atRenameRemoteFolder, "Renaming"},
                 {atRenameRemoteFile, "Renaming"},
                 {atAddToZip, "Compressing"},
                 {atCreateFolderInZip, "Compressing"},
                 {atMakeZipInTempFolderAndCopyToRemote, "Compressing"},
                 {atNone, ""}};
    for (const auto &v : verbs)
        EXPECT_EQ(OperationVerb(v.type), QLatin1String(v.verb)) << v.verb;

    // No operation: the path without a verb.
    job.CurrentFileOperationType = atNone;
    line = CardSecondLineFor(job);
    EXPECT_EQ(line.Prefix, QString());
    EXPECT_EQ(line.Path, QStringLiteral("/home/user/Documents/report.odt"));

    // Waiting for the storage device: a red hint and no path, also while paused.
    job.JobStatus = jsPaused;
    job.CurrentFileOperationType = atNone_WaitingForReconnection;
    line = CardSecondLineFor(job);
    EXPECT_EQ(line.Prefix, QStringLiteral("Make sure the storage device is connected. Then resume the job."));
    EXPECT_TRUE(line.Path.isEmpty());
    EXPECT_TRUE(line.Warning);
}

TEST_F(CardTexts, IdleJobShowsWhereItBacksUpTo)
{
    TJob_FilesAndFolders job(QStringLiteral("Job"));
    auto &d = job.DestinationSettings;
    d.DestinationType = dtLocalOrExternalDrive;
    d.LocalOrExternalDrive.Disk = QStringLiteral("/mnt/backup/");
    d.LocalOrExternalDrive.Subfolder = QStringLiteral("/Docs");
    EXPECT_EQ(CardSecondLineFor(job).Prefix, QStringLiteral("Backup to drive: /mnt/backup/Docs"));
    EXPECT_EQ(StorageText(job), QStringLiteral("Drive"));

    d.DestinationType = dtNetwork;
    d.Network.UNCPath = QStringLiteral("//server/share/dir");
    EXPECT_EQ(DestinationText(job), QStringLiteral("Backup to network: //server/share/dir"));
    EXPECT_EQ(StorageText(job), QStringLiteral("Network"));

    d.DestinationType = dtCloud;
    d.Cloud.ServiceName = QStringLiteral("DropBox");
    d.Cloud.Subfolder = QStringLiteral("/backups");
    EXPECT_EQ(DestinationText(job), QStringLiteral("Backup to cloud (DropBox): /backups"));
    EXPECT_EQ(StorageText(job), QStringLiteral("Cloud"));

    d.DestinationType = dtFTP;
    d.FTP.Subfolder = QStringLiteral("/site");
    TFTPAccount account;
    account.AccName = QStringLiteral("Home server");
    d.FTP.AccountID = Options().FTPAccounts[AddFTPAccount(Options(), account)].ID;
    EXPECT_EQ(DestinationText(job), QStringLiteral("Backup to FTP (Home server): /site"));
    EXPECT_EQ(StorageText(job), QStringLiteral("FTP"));
    // The account was deleted: the line stays empty.
    Options().FTPAccounts.clear();
    EXPECT_EQ(DestinationText(job), QString());

    // A waiting or cancelling job still shows its destination.
    job.JobStatus = jsWaiting;
    d.DestinationType = dtNetwork;
    EXPECT_EQ(CardSecondLineFor(job).Prefix, QStringLiteral("Backup to network: //server/share/dir"));
}

TEST_F(CardTexts, KindsHaveTheirTypeTexts)
{
    EXPECT_EQ(JobKindText(TJob_FilesAndFolders(QStringLiteral("a"))), QStringLiteral("Files and Folders Backup"));
    EXPECT_EQ(JobKindText(TJob_DriveImage(QStringLiteral("b"))), QStringLiteral("Drive Image Backup"));
    EXPECT_EQ(JobKindText(TJob_AppsData(QStringLiteral("c"))), QStringLiteral("Application Data Backup"));
    TJob_FilesAndFolders job(QStringLiteral("Daily"));
    EXPECT_EQ(TableCellFor(job, colTitle).Text, QStringLiteral("Daily"));
    const QStringList titles{QStringLiteral("Title"), QStringLiteral("Type"), QStringLiteral("Storage"),
                             QStringLiteral("Status"), QStringLiteral("Last Result")};
    for (int c = 0; c < colCount; ++c)
        EXPECT_EQ(ColumnTitle(c), titles[c]);
}

TEST(ShortenPath, KeepsTheFileNameAndDropsLeadingFolders)
{
    const QFontMetrics fm(QApplication::font());
    const QString path = QStringLiteral("/home/user/Documents/projects/2024/report-final.odt");
    // Room enough: unchanged.
    EXPECT_EQ(ShortenPathToWidth(path, fm, fm.horizontalAdvance(path)), path);
    // Room for the last two folders and the name.
    const QString tail = QStringLiteral(".../projects/2024/report-final.odt");
    EXPECT_EQ(ShortenPathToWidth(path, fm, fm.horizontalAdvance(tail)), tail);
    // Room for the name only.
    const QString nameOnly = QStringLiteral(".../report-final.odt");
    EXPECT_EQ(ShortenPathToWidth(path, fm, fm.horizontalAdvance(nameOnly)), nameOnly);
    // Less than that: the name itself is cut at its end, never its start.
    const QString tiny = ShortenPathToWidth(path, fm, fm.horizontalAdvance(QStringLiteral(".../report")));
    EXPECT_TRUE(tiny.startsWith(QStringLiteral(".../rep"))) << tiny.toStdString();
    EXPECT_LE(fm.horizontalAdvance(tiny), fm.horizontalAdvance(QStringLiteral(".../report")));
}
