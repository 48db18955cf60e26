// The wizard's navigation, the checks of each page and the enabling rules.
#include "gui/editing/fileswizard.h"

#include "options/options.h"
#include "base/paths.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalrun.h"
#include "gui/editing/addtime.h"
#include "gui/editing/folderpicker.h"
#include "gui/editing/listviewer.h"
#include "gui/editing/sourcetree.h"
#include "gui/editing/wizardchecks.h"
#include "jobs/destinationinsource.h"
#include "jobs/jobkinds.h"
#include "platform/mountpoints.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>

namespace {
void warn(const QString &text, QWidget *parent)
{
    ShowMessageDialog(text, mtWarning, mbOK, 0, parent);
}

// Checks an extension edit and puts the normalised text back.
bool validateExtensionEdit(QLineEdit *edit, QWidget *parent)
{
    QString text = edit->text();
    const QString problem = ValidateExtensionList(text);
    edit->setText(text);
    if (problem.isEmpty())
        return true;
    const QString howTo = Translate(QStringLiteral("Please specify extensions separated by ;")) + QStringLiteral("\r\n")
                          + Translate(QStringLiteral("Example:")) + QLatin1Char(' ') + QStringLiteral("txt;doc;exe");
    if (problem.startsWith(QStringLiteral("Characters")))
        warn(Translate(problem) + QStringLiteral("\r\n\r\n") + howTo, parent);
    else
        warn(howTo, parent);
    return false;
}

// The type page's button 1 is the mirror (synchronisation).
bool kTypeIsMirror(int buttonId)
{
    return buttonId == 1;
}

const char *const kHeadings[TfrmWizard_FilesBackup::PageCount] = {
    "What do you want to backup?", "Where to store your backup?", "Choose a backup type.",
    "Want to save storage space?", "When to start backup?"};
} // namespace

QStringList TfrmWizard_FilesBackup::SourceItems() const
{
    return m_sourceTree->Model()->Items();
}

void TfrmWizard_FilesBackup::SetSourceItems(const QStringList &items)
{
    m_sourceTree->Model()->SetItems(items);
}

QString TfrmWizard_FilesBackup::GetDuplicatedNamesOfFoldersOrFiles() const
{
    return ::GetDuplicatedNamesOfFoldersOrFiles(SourceItems());
}

void TfrmWizard_FilesBackup::showEvent(QShowEvent *event)
{
    translateTexts();
    QDialog::showEvent(event);
}

int TfrmWizard_FilesBackup::CurrentPage() const
{
    return m_pages->currentIndex();
}

void TfrmWizard_FilesBackup::showPage(int page)
{
    page = qBound(0, page, PageCount - 1);
    m_pages->setCurrentIndex(page);
    m_lbHeading->setText(Translate(QLatin1String(kHeadings[page])));
    btBack->setEnabled(page > 0);
    btNext->setEnabled(page < PageCount - 1);
    btDone->setEnabled(page == PageCount - 1);
}

void TfrmWizard_FilesBackup::Next()
{
    const int page = CurrentPage();
    if (page >= PageCount - 1 || !checkPage(page))
        return;
    showPage(page + 1);
}

void TfrmWizard_FilesBackup::Back()
{
    if (CurrentPage() > 0)
        showPage(CurrentPage() - 1);
}

bool TfrmWizard_FilesBackup::checkPage(int page)
{
    switch (page) {
    case cardWizard_Sources:
        return checkSources();
    case cardWizard_Destination:
        return checkDestination();
    case cardWizard_BackupType:
        if (kTypeIsMirror(bgBackupType->checkedId())) {
            chEnableZipCompression->setChecked(false);
            updateCompressionControls();
        }
        return true;
    case cardWizard_Compression:
        return checkCompression();
    default:
        return true;
    }
}

bool TfrmWizard_FilesBackup::checkSources()
{
    const QStringList items = SourceItems();
    if (items.isEmpty()) {
        warn(Translate(QStringLiteral("Please add one or more sources to the list")), this);
        return false;
    }
    if (cmbFilterExt->currentIndex() != ftNoFilters && !validateExtensionEdit(edExtFilter, this))
        return false;
    const QString pair = GetDuplicatedNamesOfFoldersOrFiles();
    if (!pair.isEmpty()) {
        ShowErrorDialog(Translate(QStringLiteral("Among the items there are files or folders having the same name, "
                                                 "therefore they could be overwritten by each other and you could have "
                                                 "incorrect backups."))
                            + QStringLiteral("\r\n\r\n") + Translate(QStringLiteral("Example:")) + QStringLiteral("\r\n")
                            + pair,
                        this);
        ShowSourceList(items, this);
        return false;
    }
    if (items.contains(QStringLiteral("/*"))) {
        // The whole system disk: a files backup cannot bring the system back.
        QString disk = Translate(QStringLiteral("You have selected the whole disk C: for backup."));
        disk.replace(QStringLiteral("C:"), QStringLiteral("/"));
        warn(disk + QStringLiteral("\r\n\r\n")
                 + Translate(QStringLiteral("Please note that only the files and folders will be copied. You will not be "
                                            "able to restore the entire operating system from this backup."))
                 + QStringLiteral("\r\n")
                 + Translate(QStringLiteral("If you want to make an exact copy of the operating system with all "
                                            "settings, files and applications, exit the Wizard."))
                 + QStringLiteral("\r\n")
                 + Translate(QStringLiteral("Then create a new backup job of type \"Drive Image Backup\".")),
             this);
    }
    return true;
}

bool TfrmWizard_FilesBackup::checkDestination()
{
    switch (bgDestination->checkedId()) {
    case dtLocalOrExternalDrive: {
        if (cbLocalExtDrive->currentIndex() < 0 || cbLocalExtDrive->currentText().isEmpty()) {
            warn(Translate(QStringLiteral("Please choose a disk")), this);
            return false;
        }
        QString sub = edLocalExtDiskSubfolder->text();
        if (sub.startsWith(QLatin1Char('/')))
            sub.remove(0, 1);
        const QString path = sub.isEmpty() ? cbLocalExtDrive->currentText()
                                           : JoinPath(cbLocalExtDrive->currentText(), sub);
        if (!QFileInfo(path).isDir())
            warn(Translate(QStringLiteral("The directory does not exist:")) + QStringLiteral("\r\n") + path, this);
        // Allowed: the runs leave their own set out of the scan.
        if (!SourceItemHoldingFolder(SourceItems(), path).isEmpty())
            warn(Translate(QStringLiteral("The destination is inside the source and is left out of the backup:"))
                     + QStringLiteral("\r\n") + path,
                 this);
        return true;
    }
    case dtNetwork:
        if (edNetworkPath->text().trimmed().size() <= 1) {
            warn(Translate(QStringLiteral("Please choose correct UNC-path")), this);
            return false;
        }
        return true;
    case dtFTP:
        // An edited job keeps its FTP settings; a new one cannot choose FTP yet.
        if (m_loadedDestination == dtFTP && m_ftp.AccountID >= 0)
            return true;
        warn(Translate(QStringLiteral("FTP destinations cannot be chosen in this version of the program yet.")), this);
        return false;
    case dtCloud:
        if (m_loadedDestination == dtCloud && !m_cloud.ServiceName.isEmpty())
            return true;
        warn(Translate(QStringLiteral("Cloud destinations cannot be chosen in this version of the program yet.")),
             this);
        return false;
    default:
        return false;
    }
}

bool TfrmWizard_FilesBackup::checkCompression()
{
    if (!chEnableZipCompression->isChecked())
        return true;
    if (chProtectZipWithPassword->isChecked() && strZipPassword.isEmpty()) {
        ShowErrorDialog(Translate(QStringLiteral("Password is not set")), this);
        return false;
    }
    if (!edNoCompressionExtensions->text().trimmed().isEmpty() && !validateExtensionEdit(edNoCompressionExtensions, this))
        return false;
    return true;
}

void TfrmWizard_FilesBackup::Save(int tag)
{
    if (CurrentPage() != PageCount - 1)
        return;
    QListWidget *days = chDaysOfWeek->isChecked() ? clDaysOfWeek : chDaysOfMonth->isChecked() ? clDaysOfMonth : nullptr;
    if (days) {
        bool any = false;
        for (int i = 0; i < days->count(); ++i)
            any = any || days->item(i)->checkState() == Qt::Checked;
        if (!any) {
            warn(Translate(QStringLiteral("Please specify at least one day.")), this);
            return;
        }
        if (lbTimeTable->count() == 0) {
            warn(Translate(QStringLiteral("Please add at least one record to the timetable.")), this);
            return;
        }
    }
    done(tag == 2 ? 2 : 1);
}

void TfrmWizard_FilesBackup::updateFilterControls()
{
    edExtFilter->setEnabled(cmbFilterExt->currentIndex() != ftNoFilters);
}

void TfrmWizard_FilesBackup::updateSourceCount()
{
    Label21->setText(QStringLiteral("<a href=\"list\">") + Translate(QStringLiteral("View as list")).toHtmlEscaped()
                     + QStringLiteral(" (") + QString::number(SourceItems().size()) + QStringLiteral(")</a>"));
}

void TfrmWizard_FilesBackup::UpdateTypeOfBackupControls()
{
    const int id = bgBackupType->checkedId();
    const char *name = "Full";
    const char *explanation = "The full backup will create in destination a folder with all source files and folders.";
    bool conditions = false;
    bool keep = true;
    switch (id) {
    case 1:
        name = "Mirror";
        explanation = "The Mirror will keep in destination an exact copy of the source files.";
        keep = false;
        break;
    case 2:
        name = "Incremental";
        explanation = "The incremental backup will create in destination a folder containing all new and modified "
                      "files since the last backup.";
        conditions = true;
        RadioButton1->setText(Translate(QStringLiteral("If the following number of incremental copies is done:")));
        RadioButton2->setText(Translate(
            QStringLiteral("If the size of all increments exceeds the following percentage of the full backup:")));
        break;
    case 3:
        name = "Differential";
        explanation = "The differential backup will create in destination a folder containing all new and modified "
                      "files since the last full backup.";
        conditions = true;
        RadioButton1->setText(Translate(QStringLiteral("If the following number of differential copies is done:")));
        RadioButton2->setText(Translate(
            QStringLiteral("If the size of differential copy exceeds the following percentage of the full backup:")));
        break;
    default:
        break;
    }
    m_lbTypeName->setText(Translate(QLatin1String(name)));
    m_lbTypeExplanation->setText(Translate(QLatin1String(explanation)));
    m_lbTypeName->setToolTip(Translate(QLatin1String(explanation)));
    m_lbPerformFull->setEnabled(conditions);
    RadioButton1->setEnabled(conditions);
    RadioButton2->setEnabled(conditions);
    sedFullBackupInterval->setEnabled(conditions && RadioButton1->isChecked());
    sedPercentage->setEnabled(conditions && RadioButton2->isChecked());
    m_lbPercent->setEnabled(sedPercentage->isEnabled());
    m_lbKeep->setEnabled(keep);
    sedNumberFullCopiesToKeep->setEnabled(keep);
    CheckBox1->setEnabled(keep);
}

void TfrmWizard_FilesBackup::backupTypeChosen(int id)
{
    if (EditingJob && !WarningShown && id != m_loadedBackupType) {
        WarningShown = true;
        warn(Translate(QStringLiteral("Changing the backup type will cause the deletion of all backup files.")), this);
    }
    UpdateTypeOfBackupControls();
}

void TfrmWizard_FilesBackup::compressionToggled(bool on)
{
    if (on && kTypeIsMirror(bgBackupType->checkedId())) {
        const int answer = ShowMessageDialog(
            Translate(QStringLiteral("Compression is not supported for Mirror type. Alternatively you can switch to "
                                     "Full backup, and set the option to keep only one backup in destination."))
                + QStringLiteral("\r\n") + Translate(QStringLiteral("Do you want to set these options automatically?")),
            mtConfirmation, mbYesNo, 0, this);
        if (answer == mrYes) {
            showPage(cardWizard_BackupType);
            m_typeButtons[0]->setChecked(true);
            backupTypeChosen(0);
            sedNumberFullCopiesToKeep->setValue(1);
        } else {
            chEnableZipCompression->setChecked(false);
        }
    }
    updateCompressionControls();
}

void TfrmWizard_FilesBackup::updateCompressionControls()
{
    const bool zip = chEnableZipCompression->isChecked();
    const bool password = zip && chProtectZipWithPassword->isChecked();
    chProtectZipWithPassword->setEnabled(zip);
    m_btZipSetPassword->setEnabled(password);
    m_lbZipPasswordStatus->setEnabled(password);
    m_lbEncryption->setEnabled(password);
    cbEncryptionMethod->setEnabled(password);
    m_lbLevel->setEnabled(zip);
    cbCompressionLevel->setEnabled(zip);
    m_lbNoCompression->setEnabled(zip);
    edNoCompressionExtensions->setEnabled(zip);
    chCreateIndividualZipForEachItem->setEnabled(zip);
}

void TfrmWizard_FilesBackup::updateScheduleControls()
{
    const bool week = chDaysOfWeek->isChecked();
    const bool month = chDaysOfMonth->isChecked();
    const bool any = week || month;
    clDaysOfWeek->setEnabled(week);
    clDaysOfMonth->setEnabled(month);
    m_lbTimeTable->setEnabled(any);
    lbTimeTable->setEnabled(any);
    m_btAddTime->setEnabled(any);
    m_btRemoveTime->setEnabled(any);
    chRunJobAsSoonAsPossibleAfterAScheduledStartIsMissed->setEnabled(any);
    chShutdownPCInTheEnd->setEnabled(any);
}

void TfrmWizard_FilesBackup::addTime()
{
    TfrmAddTime dialog(this);
    dialog.SetTime(m_addTime);
    dialog.adjustSize();
    // Right-aligned under the button.
    const QPoint below = m_btAddTime->mapToGlobal(QPoint(m_btAddTime->width(), m_btAddTime->height()));
    dialog.move(below.x() - dialog.width(), below.y());
    if (ExecModal(dialog) != 1)
        return;
    m_addTime = dialog.Time();
    QStringList times;
    for (int i = 0; i < lbTimeTable->count(); ++i)
        times.append(lbTimeTable->item(i)->text());
    if (!InsertTimeSorted(times, m_addTime.toString(QStringLiteral("HH:mm:ss")))) {
        warn(Translate(QStringLiteral("Record already exists")), this);
        return;
    }
    lbTimeTable->clear();
    lbTimeTable->addItems(times);
}

void TfrmWizard_FilesBackup::removeTime()
{
    delete lbTimeTable->takeItem(lbTimeTable->currentRow());
}

void TfrmWizard_FilesBackup::chooseLocalSubfolder()
{
    QString folder;
    const QString start = cbLocalExtDrive->currentText();
    if (!ChooseFolder(QStringLiteral("Choose a subfolder"), start, folder, this))
        return;
    // The mount point is found on the link-free path; the subfolder is taken
    // relative to it on that same path.
    const QString real = QFileInfo(folder).canonicalFilePath().isEmpty() ? folder
                                                                          : QFileInfo(folder).canonicalFilePath();
    const QString mount = MountPoints::Of(real);
    fillDrives(mount);
    const QString relative = QDir(mount).relativeFilePath(real);
    edLocalExtDiskSubfolder->setText(relative == QStringLiteral(".") ? QStringLiteral("/")
                                                                     : QLatin1Char('/') + relative);
}

void TfrmWizard_FilesBackup::chooseNetworkFolder()
{
    QString folder;
    if (ChooseFolder(QStringLiteral("Choose a Network folder"), edNetworkPath->text(), folder, this))
        edNetworkPath->setText(folder);
}

int RunFilesWizard(TJob_FilesAndFolders &job, const QString &caption, bool clear, QWidget *parent)
{
    TfrmWizard_FilesBackup wizard(parent);
    if (clear) {
        wizard.ClearControls();
    } else {
        wizard.JobToControls(job);
        wizard.EditingJob = true;
    }
    wizard.setWindowTitle(caption);
    const int result = ExecModal(wizard);
    if (result != 1 && result != 2)
        return 0;
    wizard.ControlsToJob(job);
    return result;
}
