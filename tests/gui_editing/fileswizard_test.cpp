// The files-backup wizard driven page by page as a user does: defaults,
// the checks of each page and their messages, and the job it writes, which
// the engine then backs up.
#include "editingtestutil.h"
#include "enginetestutil.h"

#include "gui/common/messagedialog.h"
#include "gui/common/modalscript.h"
#include "gui/editing/fileswizard.h"
#include "gui/editing/sourcetree.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QToolButton>

using namespace EngineTest;

namespace {

class FilesWizardTest : public ::testing::Test, public EngineFixture {
public:
    FilesWizardTest() : EngineFixture(Destination::Local) {}

protected:
    void SetUp() override
    {
        SetUpEngine();
        wizard = std::make_unique<TfrmWizard_FilesBackup>();
        wizard->show();
    }
    void TearDown() override
    {
        wizard.reset();
        TearDownEngine();
    }

    template <typename T>
    T *W(const char *name)
    {
        return Child<T>(*wizard, name);
    }
    // Next, expecting one message box with this text (or none).
    void NextExpecting(const QString &message)
    {
        ModalScript script;
        if (!message.isEmpty())
            script.Answer(mrOk);
        const int before = wizard->CurrentPage();
        W<QPushButton>("btNext")->click();
        if (message.isEmpty()) {
            EXPECT_TRUE(script.Seen().isEmpty()) << script.Messages().join('|').toStdString();
            EXPECT_EQ(wizard->CurrentPage(), before + 1);
        } else {
            ASSERT_EQ(script.Seen().size(), 1);
            EXPECT_EQ(script.Seen()[0].Text, message);
        }
    }
    void ChooseLocalFolder(const QString &folder)
    {
        ModalScript script;
        script.Then([&](QDialog &d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Choose a subfolder"));
            return AnswerFileDialog(d, folder);
        });
        W<QPushButton>("btLocalChoose")->click();
        EXPECT_EQ(script.Pending(), 0);
    }
    void SetZipPassword(const QString &password)
    {
        ModalScript script;
        script.Then([&](QDialog &d) {
            Child<QLineEdit>(d, "edPassword")->setText(password);
            Child<QLineEdit>(d, "edConfirmPassword")->setText(password);
            ModalScript::Press(d, QStringLiteral("btOK"));
            return d.result();
        });
        W<QPushButton>("btZipSetPassword")->click();
    }
    void AddTime(const QTime &time, const QString &expectedMessage = QString())
    {
        ModalScript script;
        script.Then([&](QDialog &d) {
            Child<QTimeEdit>(d, "DateTimePicker1")->setTime(time);
            ModalScript::Press(d, QStringLiteral("btOK"));
            return d.result();
        });
        if (!expectedMessage.isEmpty())
            script.Answer(mrOk);
        W<QPushButton>("btAddTime")->click();
        EXPECT_EQ(script.Pending(), 0);
        if (!expectedMessage.isEmpty()) {
            ASSERT_EQ(script.Seen().size(), 2);
            EXPECT_EQ(script.Seen()[1].Text, expectedMessage);
        }
    }
    QStringList TimeTable()
    {
        QStringList out;
        auto *list = W<QListWidget>("lbTimeTable");
        for (int i = 0; i < list->count(); ++i)
            out.append(list->item(i)->text());
        return out;
    }

    std::unique_ptr<TfrmWizard_FilesBackup> wizard;
};

TEST_F(FilesWizardTest, ANewJobStartsWithTheDefaults)
{
    EXPECT_EQ(wizard->CurrentPage(), 0);
    EXPECT_FALSE(W<QPushButton>("btBack")->isEnabled());
    EXPECT_TRUE(W<QPushButton>("btNext")->isEnabled());
    EXPECT_FALSE(W<QToolButton>("btDone")->isEnabled());
    EXPECT_EQ(W<QLabel>("lbHeading")->text(), QStringLiteral("What do you want to backup?"));
    EXPECT_TRUE(wizard->SourceItems().isEmpty());
    EXPECT_EQ(W<QComboBox>("cmbFilterExt")->currentText(), QStringLiteral("No filters"));
    EXPECT_EQ(W<QLineEdit>("edExtFilter")->text(), QStringLiteral("txt;doc;exe"));
    EXPECT_FALSE(W<QLineEdit>("edExtFilter")->isEnabled());
    EXPECT_EQ(W<QLineEdit>("edLocalExtDiskSubfolder")->text(), QStringLiteral("/"));
    EXPECT_EQ(W<QLabel>("lbNetworkPasswordStatus")->text(), QStringLiteral("Password is not set"));
    EXPECT_TRUE(W<QToolButton>("btTypeFull")->isChecked());
    EXPECT_TRUE(W<QRadioButton>("RadioButton1")->isChecked());
    EXPECT_EQ(W<QSpinBox>("sedFullBackupInterval")->value(), 5);
    EXPECT_EQ(W<QSpinBox>("sedPercentage")->value(), 50);
    EXPECT_FALSE(W<QSpinBox>("sedPercentage")->isEnabled());
    EXPECT_EQ(W<QSpinBox>("sedNumberFullCopiesToKeep")->value(), 10);
    EXPECT_FALSE(W<QCheckBox>("chEnableZipCompression")->isChecked());
    EXPECT_EQ(W<QLineEdit>("edNoCompressionExtensions")->text(),
              QStringLiteral("zip;rar;7z;cab;mp3;jpg;gif;ace;jar;gz;tar;chm;png;sit;sitx;rpm"));
    EXPECT_TRUE(W<QCheckBox>("chRunJobAsSoonAsPossibleAfterAScheduledStartIsMissed")->isChecked());
    EXPECT_FALSE(W<QCheckBox>("chRunJobAsSoonAsPossibleAfterAScheduledStartIsMissed")->isEnabled());
    EXPECT_FALSE(W<QCheckBox>("chShutdownPCInTheEnd")->isEnabled());
    // FTP and cloud are shown, with their note, but cannot be used yet.
    EXPECT_FALSE(W<QLabel>("lbFTPNote")->text().isEmpty());
    EXPECT_FALSE(W<QComboBox>("cbFTPAccounts")->isEnabled());
    EXPECT_FALSE(W<QComboBox>("cbCloudAccounts")->isEnabled());
}

TEST_F(FilesWizardTest, TheUdfWarningFollowsTheSelectedDrive)
{
    // No optical disc is mounted here: choosing the root hides the warning
    // again; the mount classification itself is tested in the platform tests.
    auto *drive = W<QComboBox>("cbLocalExtDrive");
    auto *warning = W<QLabel>("lbUdfWarning");
    EXPECT_TRUE(warning->isHidden());
    warning->show();
    ASSERT_FALSE(warning->isHidden());
    drive->setCurrentIndex(-1);
    drive->setCurrentIndex(drive->findText(QStringLiteral("/")));
    EXPECT_TRUE(warning->isHidden());
    EXPECT_EQ(warning->text(), QStringLiteral("Warning!  You have to format your CD/DVD in UDF format before to run backup."));
}

TEST_F(FilesWizardTest, ANewJobIsMadePageByPageAndTheEngineBacksItUp)
{
    Write("Data/a.txt", "alpha");
    Write("Data/sub/b.txt", "beta");
    Write("Other/Data/c.txt", "gamma");

    // Page 0: sources and filter.
    NextExpecting(QStringLiteral("Please add one or more sources to the list"));
    wizard->SourceTree()->Model()->SetChecked(Src() + "/Data", true);
    wizard->SourceTree()->Model()->SetChecked(Src() + "/Other/Data", true);
    EXPECT_EQ(W<QLabel>("Label21")->text().contains(QStringLiteral("View as list (2)")), true);
    {
        ModalScript script;
        script.Answer(mrOk).Then([](QDialog &d) {
            EXPECT_EQ(QString::fromLatin1(d.metaObject()->className()), QStringLiteral("TfrmListViewer"));
            return 1;
        });
        W<QPushButton>("btNext")->click();
        ASSERT_EQ(script.Seen().size(), 2);
        EXPECT_TRUE(script.Seen()[0].Text.startsWith(QStringLiteral("Among the items there are files or folders")));
        EXPECT_TRUE(script.Seen()[0].Text.endsWith(Src() + "/Other/Data\r\n" + Src() + "/Data"));
        EXPECT_EQ(wizard->CurrentPage(), 0);
    }
    wizard->SourceTree()->Model()->SetChecked(Src() + "/Other/Data", false);
    W<QComboBox>("cmbFilterExt")->setCurrentIndex(ftExclude);
    EXPECT_TRUE(W<QLineEdit>("edExtFilter")->isEnabled());
    W<QLineEdit>("edExtFilter")->setText(QStringLiteral("*.tmp"));
    NextExpecting(QStringLiteral("Characters * . , \\ / are not allowed.\r\n\r\nPlease specify extensions separated by "
                                 ";\r\nExample: txt;doc;exe"));
    W<QLineEdit>("edExtFilter")->setText(QStringLiteral(" TMP; Bak ;"));
    NextExpecting(QString());
    EXPECT_EQ(W<QLineEdit>("edExtFilter")->text(), QStringLiteral("tmp;bak"));

    // Page 1: the local destination; a missing folder only warns.
    EXPECT_EQ(W<QLabel>("lbHeading")->text(), QStringLiteral("Where to store your backup?"));
    W<QComboBox>("cbLocalExtDrive")->setCurrentIndex(-1);
    NextExpecting(QStringLiteral("Please choose a disk"));
    ChooseLocalFolder(LocalDest());
    const QString disk = W<QComboBox>("cbLocalExtDrive")->currentText();
    const QString sub = W<QLineEdit>("edLocalExtDiskSubfolder")->text();
    EXPECT_EQ(QDir::cleanPath(disk + "/" + sub), LocalDest());
    NextExpecting(QString());
    W<QPushButton>("btBack")->click();
    W<QLineEdit>("edLocalExtDiskSubfolder")->setText(sub + "/missing");
    {
        ModalScript script;
        script.Answer(mrOk);
        W<QPushButton>("btNext")->click();
        ASSERT_EQ(script.Seen().size(), 1);
        EXPECT_TRUE(script.Seen()[0].Text.startsWith(QStringLiteral("The directory does not exist:\r\n")));
        EXPECT_EQ(wizard->CurrentPage(), 2);
    }
    W<QPushButton>("btBack")->click();
    W<QLineEdit>("edLocalExtDiskSubfolder")->setText(sub);
    NextExpecting(QString());

    // Page 2: incremental with its own labels.
    W<QToolButton>("btTypeIncremental")->click();
    EXPECT_EQ(W<QLabel>("lbTypeName")->text(), QStringLiteral("Incremental"));
    EXPECT_EQ(W<QRadioButton>("RadioButton1")->text(),
              QStringLiteral("If the following number of incremental copies is done:"));
    EXPECT_TRUE(W<QSpinBox>("sedFullBackupInterval")->isEnabled());
    W<QSpinBox>("sedFullBackupInterval")->setValue(3);
    NextExpecting(QString());

    // Page 3: a password is needed once protection is on.
    W<QCheckBox>("chEnableZipCompression")->click();
    W<QCheckBox>("chProtectZipWithPassword")->click();
    EXPECT_TRUE(W<QComboBox>("cbEncryptionMethod")->isEnabled());
    {
        ModalScript script;
        script.Answer(mrOk);
        W<QPushButton>("btNext")->click();
        ASSERT_EQ(script.Seen().size(), 1);
        EXPECT_EQ(script.Seen()[0].Caption.trimmed(), QStringLiteral("Error"));
        EXPECT_EQ(script.Seen()[0].Text, QStringLiteral("Password is not set"));
    }
    SetZipPassword(QStringLiteral("zip secret"));
    EXPECT_EQ(W<QLabel>("lbZipPasswordStatus")->text(), QStringLiteral("Password is set"));
    W<QComboBox>("cbEncryptionMethod")->setCurrentIndex(2); // "AES 256 Encryption"
    W<QComboBox>("cbCompressionLevel")->setCurrentIndex(3); // "Normal"
    NextExpecting(QString());

    // Page 4: the schedule's checks, then "Save && Run".
    EXPECT_TRUE(W<QToolButton>("btDone")->isEnabled());
    W<QCheckBox>("chDaysOfWeek")->click();
    EXPECT_TRUE(W<QListWidget>("clDaysOfWeek")->isEnabled());
    W<QCheckBox>("chDaysOfMonth")->click();
    EXPECT_FALSE(W<QCheckBox>("chDaysOfWeek")->isChecked());
    EXPECT_FALSE(W<QListWidget>("clDaysOfWeek")->isEnabled());
    W<QCheckBox>("chDaysOfWeek")->click();
    {
        ModalScript script;
        script.Answer(mrOk);
        W<QToolButton>("btDone")->click();
        ASSERT_EQ(script.Seen().size(), 1);
        EXPECT_EQ(script.Seen()[0].Text, QStringLiteral("Please specify at least one day."));
    }
    W<QListWidget>("clDaysOfWeek")->item(0)->setCheckState(Qt::Checked); // Monday
    {
        ModalScript script;
        script.Answer(mrOk);
        W<QToolButton>("btDone")->click();
        ASSERT_EQ(script.Seen().size(), 1);
        EXPECT_EQ(script.Seen()[0].Text, QStringLiteral("Please add at least one record to the timetable."));
    }
    AddTime(QTime(18, 0));
    AddTime(QTime(8, 0));
    AddTime(QTime(12, 0));
    EXPECT_EQ(TimeTable(), QStringList({"08:00:00", "12:00:00", "18:00:00"}));
    AddTime(QTime(8, 0), QStringLiteral("Record already exists"));
    EXPECT_EQ(TimeTable().size(), 3);

    QAction *saveAndRun = wizard->findChild<QAction *>(QStringLiteral("acSaveAndRun"));
    ASSERT_NE(saveAndRun, nullptr);
    saveAndRun->trigger();
    EXPECT_EQ(wizard->result(), 2);

    TJob_FilesAndFolders &job = Job();
    job.DestinationSettings = {};
    wizard->ControlsToJob(job);
    EXPECT_EQ(job.Settings.Sources.List, QStringList({Src() + "/Data/*"}));
    EXPECT_EQ(job.Settings.Sources.FilterType, ftExclude);
    EXPECT_EQ(job.Settings.Sources.Extensions, QStringLiteral("tmp;bak"));
    EXPECT_EQ(job.DestinationSettings.DestinationType, dtLocalOrExternalDrive);
    EXPECT_EQ(job.Settings.Backup.BackupType, btIncremental);
    EXPECT_EQ(job.Settings.Backup.PerformFullBackup_EveryCopies, 3);
    EXPECT_TRUE(job.NewSubfolderIsCreatedForEachBackup);
    EXPECT_TRUE(job.Settings.Compression.Enabled);
    EXPECT_TRUE(job.Settings.Compression.ProtectWithPassword);
    EXPECT_EQ(job.Settings.Compression.Password, QStringLiteral("zip secret"));
    EXPECT_EQ(job.Settings.Compression.EncryptionMethod, 3); // AES 256
    EXPECT_EQ(job.Settings.Compression.CompressionLevel, 2); // normal
    EXPECT_EQ(job.SchedulingSettings.SchedulingType, stDaysOfWeek);
    EXPECT_TRUE(job.SchedulingSettings.DaysOfWeek[1]);
    EXPECT_FALSE(job.SchedulingSettings.DaysOfWeek[2]);
    EXPECT_EQ(job.SchedulingSettings.TimeTable, QStringList({"08:00:00", "12:00:00", "18:00:00"}));
    EXPECT_EQ(job.SchedulingSettings.LastModificationDateTime, DateTimeToDouble(Stamp()));

    // The job the wizard wrote backs up, encrypted, where it was told to.
    RunBackup();
    EXPECT_EQ(Errors(), 0) << Log().join('\n').toStdString();
    ASSERT_EQ(RunFolders().size(), 1);
    EXPECT_TRUE(RunFolders()[0].contains(QStringLiteral("(ZIP , Full)"))) << RunFolders()[0].toStdString();
    EXPECT_TRUE(QFileInfo::exists(RunDir(0) + "/data.zip"));
}

TEST_F(FilesWizardTest, ADestinationInsideASourceOnlyWarns)
{
    Write("Data/a.txt", "alpha");
    MakeDir("Data/backups");
    MakeDir("Elsewhere");
    wizard->SourceTree()->Model()->SetChecked(Src() + "/Data", true);
    NextExpecting(QString());
    for (const bool inside : {true, false}) {
        SCOPED_TRACE(inside ? "inside" : "beside");
        ChooseLocalFolder(Src() + (inside ? "/Data/backups" : "/Elsewhere"));
        if (!inside) {
            NextExpecting(QString());
            continue;
        }
        ModalScript script;
        script.Answer(mrOk);
        W<QPushButton>("btNext")->click();
        ASSERT_EQ(script.Seen().size(), 1);
        EXPECT_EQ(script.Seen()[0].Text, "The destination is inside the source and is left out of the backup:\r\n"
                                             + Src() + "/Data/backups");
        EXPECT_EQ(wizard->CurrentPage(), 2);
        W<QPushButton>("btBack")->click();
    }
}

TEST_F(FilesWizardTest, CompressionOfAMirrorOffersAFullBackupWithOneCopy)
{
    Write("Data/a.txt", "alpha");
    wizard->SetSourceItems({Folder("Data")});
    NextExpecting(QString());
    ChooseLocalFolder(LocalDest());
    NextExpecting(QString());
    W<QToolButton>("btTypeMirror")->click();
    EXPECT_FALSE(W<QSpinBox>("sedNumberFullCopiesToKeep")->isEnabled());
    EXPECT_FALSE(W<QRadioButton>("RadioButton1")->isEnabled());
    NextExpecting(QString());

    // No: compression stays off.
    {
        ModalScript script;
        script.Answer(mrNo);
        W<QCheckBox>("chEnableZipCompression")->click();
        ASSERT_EQ(script.Seen().size(), 1);
        EXPECT_TRUE(script.Seen()[0].Text.startsWith(QStringLiteral("Compression is not supported for Mirror type.")));
        EXPECT_FALSE(W<QCheckBox>("chEnableZipCompression")->isChecked());
        EXPECT_EQ(wizard->CurrentPage(), 3);
    }
    // Yes: full backup with one copy, compression on, back on the type page.
    {
        ModalScript script;
        script.Answer(mrYes);
        W<QCheckBox>("chEnableZipCompression")->click();
        EXPECT_TRUE(W<QCheckBox>("chEnableZipCompression")->isChecked());
        EXPECT_EQ(wizard->CurrentPage(), 2);
        EXPECT_TRUE(W<QToolButton>("btTypeFull")->isChecked());
        EXPECT_EQ(W<QSpinBox>("sedNumberFullCopiesToKeep")->value(), 1);
    }
    // Choosing the mirror again and going on switches compression off.
    W<QToolButton>("btTypeMirror")->click();
    NextExpecting(QString());
    EXPECT_FALSE(W<QCheckBox>("chEnableZipCompression")->isChecked());
}

TEST_F(FilesWizardTest, AnEditedJobComesBackUnchangedAndWarnsOnceAboutTheType)
{
    Write("Data/a.txt", "alpha");
    Write("notes.txt", "n");
    TJob_FilesAndFolders &job = Job();
    job.Settings.Sources.List = {Folder("Data"), File("notes.txt"), Folder("Vanished")};
    job.Settings.Sources.FilterType = ftIncludeOnly;
    job.Settings.Sources.Extensions = QStringLiteral("txt;md");
    job.Settings.Backup.BackupType = btDifferential;
    job.Settings.Backup.PerformFullBackup_Condition = bcSumExceedsPercentOfFullBackup;
    job.Settings.Backup.PerformFullBackup_SumExceedsPercentOfFullBackup = 70;
    job.Settings.Backup.NumberFullCopiesToKeep = 4;
    job.Settings.Backup.RemoveOldBackupsBeforeStartingNewBackup = true;
    job.Settings.Compression.Enabled = true;
    job.Settings.Compression.EncryptionMethod = 0;
    job.Settings.Compression.CompressionLevel = 3;
    job.Settings.Compression.NoCompressionExtensions = QStringLiteral("zip;jpg");
    job.Settings.Compression.CreateIndividualZipForEachItem = true;
    job.SchedulingSettings.SchedulingType = stDaysOfMonth;
    job.SchedulingSettings.DaysOfMonth[15] = true;
    job.SchedulingSettings.TimeTable = {"06:30:00"};
    job.SchedulingSettings.ShutdownPCInTheEnd = true;

    wizard->JobToControls(job);
    wizard->EditingJob = true;
    EXPECT_EQ(wizard->CurrentPage(), 0);
    EXPECT_FALSE(W<QToolButton>("btDone")->isEnabled());
    EXPECT_TRUE(W<QToolButton>("btTypeDifferential")->isChecked());
    EXPECT_TRUE(W<QSpinBox>("sedPercentage")->isEnabled());
    EXPECT_FALSE(W<QSpinBox>("sedFullBackupInterval")->isEnabled());

    TJob_FilesAndFolders copy(QStringLiteral("Copy"));
    copy.DestinationSettings = TDestinationSettings{};
    wizard->ControlsToJob(copy);
    TSpecificSettings expected = job.Settings;
    expected.Sources.List.removeLast(); // the vanished folder is dropped
    EXPECT_EQ(copy.Settings, expected);
    EXPECT_EQ(copy.DestinationSettings, job.DestinationSettings);
    TSchedulingSettings schedule = job.SchedulingSettings;
    schedule.LastModificationDateTime = copy.SchedulingSettings.LastModificationDateTime;
    EXPECT_EQ(copy.SchedulingSettings, schedule);

    // The first change of type warns, the second does not.
    ModalScript script;
    script.Answer(mrOk);
    W<QToolButton>("btTypeFull")->click();
    W<QToolButton>("btTypeIncremental")->click();
    ASSERT_EQ(script.Seen().size(), 1);
    EXPECT_EQ(script.Seen()[0].Text, QStringLiteral("Changing the backup type will cause the deletion of all backup files."));
}

TEST_F(FilesWizardTest, FtpAndCloudCannotBeChosenForANewJobAndNetworkNeedsAPath)
{
    Write("Data/a.txt", "alpha");
    wizard->SetSourceItems({Folder("Data")});
    NextExpecting(QString());
    W<QToolButton>("btDestFTP")->click();
    NextExpecting(QStringLiteral("FTP destinations cannot be chosen in this version of the program yet."));
    W<QToolButton>("btDestCloud")->click();
    NextExpecting(QStringLiteral("Cloud destinations cannot be chosen in this version of the program yet."));
    W<QToolButton>("btDestNetwork")->click();
    W<QLineEdit>("edNetworkPath")->setText(QStringLiteral("/"));
    NextExpecting(QStringLiteral("Please choose correct UNC-path"));
    W<QLineEdit>("edNetworkPath")->setText(QStringLiteral("//server/share"));
    NextExpecting(QString());
}

TEST_F(FilesWizardTest, CancelGivesTheTagZeroAndLeavesTheJobAlone)
{
    TJob_FilesAndFolders &job = Job();
    const TSpecificSettings before = job.Settings;
    ModalScript script;
    script.Then([](QDialog &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral(" Properties - Job"));
        ModalScript::Press(d, QStringLiteral("btCancel"));
        return d.result();
    });
    EXPECT_EQ(RunFilesWizard(job, QStringLiteral(" Properties - Job"), false), 0);
    EXPECT_EQ(job.Settings, before);
}

} // namespace
