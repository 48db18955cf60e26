// The wizard's defaults, its texts and the mapping between its controls and
// the job's fields.
#include "gui/editing/fileswizard.h"

#include "options/options.h"
#include "base/datetime.h"
#include "gui/common/messagedialog.h"
#include "gui/editing/sourcetree.h"
#include "gui/tools/passwordset.h"
#include "jobs/jobkinds.h"
#include "platform/mountpoints.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>

namespace {
const QString kDefaultFilter = QStringLiteral("txt;doc;exe");
const QString kDefaultNoCompression =
    QStringLiteral("zip;rar;7z;cab;mp3;jpg;gif;ace;jar;gz;tar;chm;png;sit;sitx;rpm");

// Button order of the type page: full, mirror, incremental, differential.
const TBackupType kTypeOfButton[4] = {btFull, btSynchronization, btIncremental, btDifferential};

int buttonOfType(TBackupType type)
{
    for (int i = 0; i < 4; ++i)
        if (kTypeOfButton[i] == type)
            return i;
    return 0;
}

void selectByData(QComboBox *box, int value)
{
    const int at = box->findData(value);
    box->setCurrentIndex(at >= 0 ? at : 0);
}
} // namespace

void TfrmWizard_FilesBackup::fillDrives(const QString &select)
{
    cbLocalExtDrive->clear();
    QStringList drives = MountPoints::All();
    drives.removeDuplicates();
    drives.sort();
    if (!select.isEmpty() && !drives.contains(select))
        drives.append(select); // a folder outside the mount list stays choosable
    cbLocalExtDrive->addItems(drives);
    cbLocalExtDrive->setCurrentIndex(select.isEmpty() ? -1 : int(drives.indexOf(select)));
}

void TfrmWizard_FilesBackup::ClearControls()
{
    // page 0
    m_sourceTree->Model()->SetItems({});
    m_sourceTree->Collapse();
    cmbFilterExt->setCurrentIndex(ftNoFilters);
    edExtFilter->setText(kDefaultFilter);
    updateFilterControls();

    // page 1
    m_loadedDestination = dtLocalOrExternalDrive;
    m_destButtons[dtLocalOrExternalDrive]->setChecked(true);
    m_destCards->setCurrentIndex(dtLocalOrExternalDrive);
    fillDrives(QString());
    edLocalExtDiskSubfolder->setText(QStringLiteral("/"));
    edNetworkUsername->clear();
    strNetworkPassword.clear();
    setPasswordStatus(m_lbNetPasswordStatus, strNetworkPassword);
    edNetworkPath->clear();
    m_ftp = TFTPSettings{};
    cbFTPAccounts->clear();
    for (const TFTPAccount &a : Options().FTPAccounts)
        cbFTPAccounts->addItem(a.AccName, a.ID);
    cbFTPAccounts->setCurrentIndex(cbFTPAccounts->count() - 1);
    edFTPSubfolder->setText(QStringLiteral("/"));
    m_cloud = TCloudSettings{};
    cbCloudAccounts->setCurrentIndex(0);
    edCloudSubFolder->setText(QStringLiteral("/"));

    // page 2
    m_loadedBackupType = -1;
    m_typeButtons[0]->setChecked(true);
    RadioButton1->setChecked(true);
    sedFullBackupInterval->setValue(5);
    sedPercentage->setValue(50);
    sedNumberFullCopiesToKeep->setValue(10);
    CheckBox1->setChecked(false);

    // page 3
    chEnableZipCompression->setChecked(false);
    chProtectZipWithPassword->setChecked(false);
    strZipPassword.clear();
    setPasswordStatus(m_lbZipPasswordStatus, strZipPassword);
    cbEncryptionMethod->setCurrentIndex(0);
    cbCompressionLevel->setCurrentIndex(0);
    edNoCompressionExtensions->setText(kDefaultNoCompression);
    chCreateIndividualZipForEachItem->setChecked(false);

    // page 4
    SkipClickEvent = true;
    chDaysOfWeek->setChecked(false);
    chDaysOfMonth->setChecked(false);
    SkipClickEvent = false;
    for (int i = 0; i < clDaysOfWeek->count(); ++i)
        clDaysOfWeek->item(i)->setCheckState(Qt::Unchecked);
    for (int i = 0; i < clDaysOfMonth->count(); ++i)
        clDaysOfMonth->item(i)->setCheckState(Qt::Unchecked);
    lbTimeTable->clear();
    m_addTime = QTime(0, 0, 0);
    chRunJobAsSoonAsPossibleAfterAScheduledStartIsMissed->setChecked(true);
    chShutdownPCInTheEnd->setChecked(false);

    EditingJob = false;
    WarningShown = false;
    UpdateTypeOfBackupControls();
    updateCompressionControls();
    updateScheduleControls();
    showPage(cardWizard_Sources);
}

void TfrmWizard_FilesBackup::JobToControls(const TJob_FilesAndFolders &job)
{
    ClearControls();
    const TSpecificSettings &s = job.Settings;
    m_sourceTree->Model()->SetItems(s.Sources.List);
    m_sourceTree->RevealItems();
    cmbFilterExt->setCurrentIndex(qBound(0, int(s.Sources.FilterType), 2));
    if (s.Sources.FilterType != ftNoFilters)
        edExtFilter->setText(s.Sources.Extensions);
    updateFilterControls();

    const TDestinationSettings &d = job.DestinationSettings;
    m_loadedDestination = d.DestinationType;
    const int dest = qBound(0, int(d.DestinationType), 3);
    m_destButtons[dest]->setChecked(true);
    m_destCards->setCurrentIndex(dest);
    fillDrives(d.LocalOrExternalDrive.Disk);
    edLocalExtDiskSubfolder->setText(d.LocalOrExternalDrive.Subfolder);
    edNetworkUsername->setText(d.Network.Username);
    strNetworkPassword = d.Network.Password;
    setPasswordStatus(m_lbNetPasswordStatus, strNetworkPassword);
    edNetworkPath->setText(d.Network.UNCPath);
    m_ftp = d.FTP;
    cbFTPAccounts->setCurrentIndex(cbFTPAccounts->findData(d.FTP.AccountID));
    edFTPSubfolder->setText(d.FTP.Subfolder);
    m_cloud = d.Cloud;
    cbCloudAccounts->setCurrentIndex(qMax(0, cbCloudAccounts->findText(d.Cloud.ServiceName)));
    edCloudSubFolder->setText(d.Cloud.Subfolder);

    const TBackupSettings &b = s.Backup;
    m_loadedBackupType = buttonOfType(b.BackupType);
    m_typeButtons[m_loadedBackupType]->setChecked(true);
    RadioButton1->setChecked(b.PerformFullBackup_Condition == bcEveryCopies);
    RadioButton2->setChecked(b.PerformFullBackup_Condition != bcEveryCopies);
    sedFullBackupInterval->setValue(b.PerformFullBackup_EveryCopies);
    sedPercentage->setValue(b.PerformFullBackup_SumExceedsPercentOfFullBackup);
    sedNumberFullCopiesToKeep->setValue(b.NumberFullCopiesToKeep);
    CheckBox1->setChecked(b.RemoveOldBackupsBeforeStartingNewBackup);

    const TCompression &c = s.Compression;
    chEnableZipCompression->setChecked(c.Enabled);
    chProtectZipWithPassword->setChecked(c.ProtectWithPassword);
    strZipPassword = c.Password;
    setPasswordStatus(m_lbZipPasswordStatus, strZipPassword);
    selectByData(cbEncryptionMethod, c.EncryptionMethod);
    selectByData(cbCompressionLevel, c.CompressionLevel);
    edNoCompressionExtensions->setText(c.NoCompressionExtensions);
    chCreateIndividualZipForEachItem->setChecked(c.CreateIndividualZipForEachItem);

    const TSchedulingSettings &t = job.SchedulingSettings;
    SkipClickEvent = true;
    chDaysOfWeek->setChecked(t.SchedulingType == stDaysOfWeek);
    chDaysOfMonth->setChecked(t.SchedulingType == stDaysOfMonth);
    SkipClickEvent = false;
    for (int i = 0; i < 7; ++i)
        clDaysOfWeek->item(i)->setCheckState(t.DaysOfWeek[size_t(i + 1)] ? Qt::Checked : Qt::Unchecked);
    for (int i = 0; i < 31; ++i)
        clDaysOfMonth->item(i)->setCheckState(t.DaysOfMonth[size_t(i + 1)] ? Qt::Checked : Qt::Unchecked);
    lbTimeTable->addItems(t.TimeTable);
    chRunJobAsSoonAsPossibleAfterAScheduledStartIsMissed->setChecked(
        t.RunJobAsSoonAsPossibleAfterAScheduledStartIsMissed);
    chShutdownPCInTheEnd->setChecked(t.ShutdownPCInTheEnd);

    UpdateTypeOfBackupControls();
    updateCompressionControls();
    updateScheduleControls();
    showPage(cardWizard_Sources);
}

void TfrmWizard_FilesBackup::ControlsToJob(TJob_FilesAndFolders &job) const
{
    TSpecificSettings &s = job.Settings;
    s.Sources.List = SourceItems();
    s.Sources.FilterType = static_cast<TFilterType>(qBound(0, cmbFilterExt->currentIndex(), 2));
    s.Sources.Extensions = edExtFilter->text();

    TDestinationSettings &d = job.DestinationSettings;
    d.DestinationType = static_cast<TDestinationType>(qBound(0, bgDestination->checkedId(), 3));
    d.LocalOrExternalDrive.Disk = cbLocalExtDrive->currentText();
    d.LocalOrExternalDrive.Subfolder = edLocalExtDiskSubfolder->text();
    d.Network.Username = edNetworkUsername->text();
    d.Network.Password = strNetworkPassword;
    d.Network.UNCPath = edNetworkPath->text();
    // FTP and cloud settings cannot be edited here yet: kept as they were.
    d.FTP = m_ftp;
    d.Cloud = m_cloud;

    TBackupSettings &b = s.Backup;
    b.BackupType = kTypeOfButton[qBound(0, bgBackupType->checkedId(), 3)];
    b.PerformFullBackup_Condition = RadioButton1->isChecked() ? bcEveryCopies : bcSumExceedsPercentOfFullBackup;
    b.PerformFullBackup_EveryCopies = sedFullBackupInterval->value();
    b.PerformFullBackup_SumExceedsPercentOfFullBackup = sedPercentage->value();
    b.NumberFullCopiesToKeep = sedNumberFullCopiesToKeep->value();
    b.RemoveOldBackupsBeforeStartingNewBackup = CheckBox1->isChecked();

    TCompression &c = s.Compression;
    c.Enabled = chEnableZipCompression->isChecked();
    c.ProtectWithPassword = chProtectZipWithPassword->isChecked();
    c.Password = strZipPassword;
    c.EncryptionMethod = quint8(cbEncryptionMethod->currentData().toInt());
    c.CompressionLevel = quint8(cbCompressionLevel->currentData().toInt());
    c.NoCompressionExtensions = edNoCompressionExtensions->text();
    c.CreateIndividualZipForEachItem = chCreateIndividualZipForEachItem->isChecked();

    TSchedulingSettings &t = job.SchedulingSettings;
    t.SchedulingType = chDaysOfWeek->isChecked() ? stDaysOfWeek : chDaysOfMonth->isChecked() ? stDaysOfMonth : stDisabled;
    for (int i = 0; i < 7; ++i)
        t.DaysOfWeek[size_t(i + 1)] = clDaysOfWeek->item(i)->checkState() == Qt::Checked;
    for (int i = 0; i < 31; ++i)
        t.DaysOfMonth[size_t(i + 1)] = clDaysOfMonth->item(i)->checkState() == Qt::Checked;
    t.TimeTable.clear();
    for (int i = 0; i < lbTimeTable->count(); ++i)
        t.TimeTable.append(lbTimeTable->item(i)->text());
    t.RunJobAsSoonAsPossibleAfterAScheduledStartIsMissed =
        chRunJobAsSoonAsPossibleAfterAScheduledStartIsMissed->isChecked();
    t.ShutdownPCInTheEnd = chShutdownPCInTheEnd->isChecked();
    t.LastModificationDateTime = Clock::NowAsDouble();
    job.SetDerivedFields();
}

void TfrmWizard_FilesBackup::setPasswordStatus(QLabel *label, const QString &password)
{
    label->setText(TfrmPassword::StatusText(password));
}

void TfrmWizard_FilesBackup::translateTexts()
{
    const auto T = [](const char *text) { return Translate(QString::fromUtf8(text)); };
    const char *destinations[4] = {"Local or External Disk", "Network", "FTP", "Cloud"};
    for (int i = 0; i < 4; ++i) {
        m_destTitles[i]->setText(QStringLiteral("  ") + T(destinations[i]));
        m_destButtons[i]->setText(T(destinations[i]));
        m_destButtons[i]->setToolTip(T(destinations[i]));
    }
    cmbFilterExt->setItemText(0, T("No filters"));
    cmbFilterExt->setItemText(1, T("Include only extensions:"));
    cmbFilterExt->setItemText(2, T("Exclude extensions:"));
    updateSourceCount();

    m_lbDisk->setText(T("Disk:"));
    m_lbLocalNote->setText(T("Local or external HDD, Flash drive, DVD/Blue-ray etc."));
    m_lbUdfWarning->setText(T("Warning!  You have to format your CD/DVD in UDF format before to run backup."));
    m_lbLocalSubfolder->setText(T("Subfolder:"));
    m_btLocalChoose->setText(T("Choose..."));
    m_lbNetUser->setText(T("Username:"));
    m_lbNetPassword->setText(T("Password:"));
    m_btNetSetPassword->setText(T("Set Password") + QStringLiteral("..."));
    m_lbNetPath->setText(T("UNC - path:"));
    m_btNetChoose->setText(T("Choose..."));
    setPasswordStatus(m_lbNetPasswordStatus, strNetworkPassword);
    m_lbFtpAccount->setText(T("Account:"));
    m_lbFtpSubfolder->setText(T("Subfolder:"));
    m_lbFtpNote->setText(T("FTP destinations cannot be chosen in this version of the program yet."));
    m_lbCloudService->setText(T("Service:"));
    m_lbCloudSubfolder->setText(T("Subfolder:"));
    m_lbCloudNote->setText(T("Cloud destinations cannot be chosen in this version of the program yet."));

    const char *types[4] = {"Full", "Mirror", "Incremental", "Differential"};
    for (int i = 0; i < 4; ++i) {
        m_typeButtons[i]->setText(T(types[i]));
        m_typeButtons[i]->setToolTip(T(types[i]));
    }
    m_lbPerformFull->setText(T("Perform a full backup in this case:"));
    m_lbKeep->setText(T("Keep the following number of full copies:"));
    CheckBox1->setText(T("Remove old copies BEFORE starting a new backup"));
    UpdateTypeOfBackupControls();

    chEnableZipCompression->setText(T("Enable ZIP compression"));
    chProtectZipWithPassword->setText(T("Protect ZIP files with password"));
    m_btZipSetPassword->setText(T("Set Password") + QStringLiteral("..."));
    setPasswordStatus(m_lbZipPasswordStatus, strZipPassword);
    m_lbEncryption->setText(T("Encryption Method:"));
    m_lbLevel->setText(T("Compression Level:"));
    m_lbNoCompression->setText(T("Do not compress files of type:"));
    chCreateIndividualZipForEachItem->setText(T("Create individual ZIP file for each item") + QLatin1Char(' ')
                                              + T("(Recommended if you backup a large amount of data)"));
    const char *methods[4] = {"AES 128 Encryption", "AES 192 Encryption", "AES 256 Encryption",
                              "Pkzip Classic Encryption"};
    const char *levels[4] = {"Fastest", "Max", "None", "Normal"};
    for (int i = 0; i < 4; ++i) {
        cbEncryptionMethod->setItemText(i, T(methods[i]));
        cbCompressionLevel->setItemText(i, T(levels[i]));
    }

    chDaysOfWeek->setText(T("Days of the week:"));
    const char *days[7] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
    for (int i = 0; i < 7; ++i)
        clDaysOfWeek->item(i)->setText(T(days[i]));
    chDaysOfMonth->setText(T("Days of the month:"));
    m_lbTimeTable->setText(T("Timetable:"));
    chRunJobAsSoonAsPossibleAfterAScheduledStartIsMissed->setText(
        T("Run job as soon as possible after a scheduled start is missed"));
    chShutdownPCInTheEnd->setText(T("Shut down PC in the end"));

    btBack->setText(T("Back"));
    btNext->setText(T("Next"));
    btDone->setText(T("Save"));
    btCancel->setText(T("Cancel"));
    m_acSave->setText(T("Save"));
    m_acSaveAndRun->setText(T("Save && Run"));
    showPage(CurrentPage());
}

void TfrmWizard_FilesBackup::updateOpticalWarning()
{
    const QString drive = cbLocalExtDrive->currentText();
    m_lbUdfWarning->setVisible(!drive.isEmpty() && MountPoints::IsOpticalDrive(drive));
}
