#pragma once
// The five-page wizard in which a files-and-folders job is created or
// edited: sources, destination, backup type, compression and schedule.
// ClearControls prepares a new job, JobToControls shows an existing one,
// ControlsToJob writes the controls back. The window's result tag is 0
// (cancelled), 1 ("Save") or 2 ("Save && Run").
//
// FTP and cloud destinations are shown on their cards but cannot be chosen
// for a new job in this version: their cards are disabled with a note, and
// a job edited here keeps the FTP or cloud settings it had.
#include "jobs/jobtypes.h"

#include <QDialog>
#include <QStringList>
#include <QTime>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QToolButton;
class TJob_FilesAndFolders;
class TSourceTree;

class TfrmWizard_FilesBackup : public QDialog {
    Q_OBJECT
public:
    enum Page { cardWizard_Sources, cardWizard_Destination, cardWizard_BackupType, cardWizard_Compression,
                cardWizard_Scheduler, PageCount };

    explicit TfrmWizard_FilesBackup(QWidget *parent = nullptr);

    void ClearControls();
    void JobToControls(const TJob_FilesAndFolders &job);
    void ControlsToJob(TJob_FilesAndFolders &job) const;
    QString GetDuplicatedNamesOfFoldersOrFiles() const;
    void UpdateTypeOfBackupControls();

    bool EditingJob = false;
    bool WarningShown = false;

    int CurrentPage() const;
    void Next();
    void Back();
    // Shows a page without the checks of Next (previews).
    void ShowPage(int page) { showPage(page); }
    // "Save" (1) or "Save && Run" (2): checks the schedule and closes.
    void Save(int tag);

    // The source items as the tree yields them.
    QStringList SourceItems() const;
    void SetSourceItems(const QStringList &items);
    TSourceTree *SourceTree() const { return m_sourceTree; }

    // The passwords being edited (never shown in an edit box).
    QString NetworkPassword() const { return strNetworkPassword; }
    QString ZipPassword() const { return strZipPassword; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildSourcesPage(QWidget *page);
    void buildDestinationPage(QWidget *page);
    void buildBackupTypePage(QWidget *page);
    void buildCompressionPage(QWidget *page);
    void buildSchedulerPage(QWidget *page);
    void translateTexts();
    void showPage(int page);
    bool checkPage(int page);
    bool checkSources();
    bool checkDestination();
    bool checkCompression();
    void fillDrives(const QString &select);
    void updateFilterControls();
    void updateCompressionControls();
    void updateScheduleControls();
    void updateSourceCount();
    void backupTypeChosen(int id);
    void compressionToggled(bool on);
    void chooseLocalSubfolder();
    void chooseNetworkFolder();
    void addTime();
    void removeTime();
    void setPasswordStatus(QLabel *label, const QString &password);

    QString strNetworkPassword;
    QString strZipPassword;
    bool SkipClickEvent = false;
    TFTPSettings m_ftp;     // kept unchanged for an edited job
    TCloudSettings m_cloud; // likewise
    TDestinationType m_loadedDestination = dtLocalOrExternalDrive;
    int m_loadedBackupType = -1;
    QTime m_addTime; // the add-time dialog's last time

    QLabel *m_lbHeading;
    QStackedWidget *m_pages;
    QPushButton *btBack;
    QPushButton *btNext;
    QPushButton *btCancel;
    QToolButton *btDone;
    QAction *m_acSave;
    QAction *m_acSaveAndRun;

    // page 0
    TSourceTree *m_sourceTree;
    QLabel *Label21;
    QComboBox *cmbFilterExt;
    QLineEdit *edExtFilter;
    QLabel *m_lbFilter;

    // page 1
    QButtonGroup *bgDestination;
    QToolButton *m_destButtons[4];
    QStackedWidget *m_destCards;
    QLabel *m_destTitles[4];
    QComboBox *cbLocalExtDrive;
    QLabel *m_lbDisk, *m_lbLocalNote, *m_lbLocalSubfolder;
    QLabel *m_lbUdfWarning = nullptr; // shown while an optical drive is selected
    void updateOpticalWarning();
    QLineEdit *edLocalExtDiskSubfolder;
    QPushButton *m_btLocalChoose;
    QLabel *m_lbNetUser, *m_lbNetPassword, *m_lbNetPasswordStatus, *m_lbNetPath;
    QLineEdit *edNetworkUsername;
    QPushButton *m_btNetSetPassword;
    QLineEdit *edNetworkPath;
    QPushButton *m_btNetChoose;
    QLabel *m_lbFtpAccount, *m_lbFtpSubfolder, *m_lbFtpNote;
    QComboBox *cbFTPAccounts;
    QLineEdit *edFTPSubfolder;
    QWidget *m_ftpControls;
    QLabel *m_lbCloudService, *m_lbCloudSubfolder, *m_lbCloudNote;
    QComboBox *cbCloudAccounts;
    QLineEdit *edCloudSubFolder;
    QWidget *m_cloudControls;

    // page 2
    QButtonGroup *bgBackupType;
    QToolButton *m_typeButtons[4];
    QLabel *m_lbTypeName, *m_lbTypeExplanation, *m_lbPerformFull, *m_lbKeep, *m_lbPercent;
    QRadioButton *RadioButton1;
    QRadioButton *RadioButton2;
    QSpinBox *sedFullBackupInterval;
    QSpinBox *sedPercentage;
    QSpinBox *sedNumberFullCopiesToKeep;
    QCheckBox *CheckBox1;

    // page 3
    QCheckBox *chEnableZipCompression;
    QCheckBox *chProtectZipWithPassword;
    QPushButton *m_btZipSetPassword;
    QLabel *m_lbZipPasswordStatus, *m_lbEncryption, *m_lbLevel, *m_lbNoCompression;
    QComboBox *cbEncryptionMethod;
    QComboBox *cbCompressionLevel;
    QLineEdit *edNoCompressionExtensions;
    QCheckBox *chCreateIndividualZipForEachItem;

    // page 4
    QCheckBox *chDaysOfWeek;
    QCheckBox *chDaysOfMonth;
    QListWidget *clDaysOfWeek;
    QListWidget *clDaysOfMonth;
    QLabel *m_lbTimeTable;
    QListWidget *lbTimeTable;
    QPushButton *m_btAddTime;
    QPushButton *m_btRemoveTime;
    QCheckBox *chRunJobAsSoonAsPossibleAfterAScheduledStartIsMissed;
    QCheckBox *chShutdownPCInTheEnd;
};

// Runs the wizard on `job` (cleared first for a new job); on acceptance the
// job holds the settings. Returns the result tag.
int RunFilesWizard(TJob_FilesAndFolders &job, const QString &caption, bool clear, QWidget *parent = nullptr);
