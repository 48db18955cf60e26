// The wizard's construction: pages, controls and their connections.
#include "gui/editing/fileswizard.h"

#include "gui/editing/listviewer.h"
#include "gui/editing/sourcetree.h"
#include "gui/tools/passwordset.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
template <typename T>
T *named(T *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QListWidget *checkList(QWidget *parent, const char *name, int count)
{
    auto *list = named(new QListWidget(parent), name);
    for (int i = 0; i < count; ++i) {
        auto *item = new QListWidgetItem(list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    return list;
}
} // namespace

TfrmWizard_FilesBackup::TfrmWizard_FilesBackup(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmWizard_FilesBackup"));
    resize(720, 520);
    m_lbHeading = named(new QLabel(this), "lbHeading");
    QFont headingFont = m_lbHeading->font();
    headingFont.setPointSize(headingFont.pointSize() + 4);
    headingFont.setBold(true);
    m_lbHeading->setFont(headingFont);

    m_pages = named(new QStackedWidget(this), "pcWizard");
    const char *pageNames[PageCount] = {"cardWizard_Sources", "cardWizard_Destination", "cardWizard_BackupType",
                                        "cardWizard_Compression", "cardWizard_Scheduler"};
    QWidget *pages[PageCount];
    for (int i = 0; i < PageCount; ++i) {
        pages[i] = named(new QWidget(m_pages), pageNames[i]);
        m_pages->addWidget(pages[i]);
    }
    buildSourcesPage(pages[0]);
    buildDestinationPage(pages[1]);
    buildBackupTypePage(pages[2]);
    buildCompressionPage(pages[3]);
    buildSchedulerPage(pages[4]);

    btBack = named(new QPushButton(this), "btBack");
    btNext = named(new QPushButton(this), "btNext");
    btCancel = named(new QPushButton(this), "btCancel");
    btDone = named(new QToolButton(this), "btDone");
    btDone->setPopupMode(QToolButton::MenuButtonPopup);
    btDone->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto *menu = new QMenu(btDone);
    m_acSave = menu->addAction(QString());
    m_acSave->setObjectName(QStringLiteral("acSave"));
    m_acSaveAndRun = menu->addAction(QString());
    m_acSaveAndRun->setObjectName(QStringLiteral("acSaveAndRun"));
    btDone->setMenu(menu);
    for (QPushButton *b : {btBack, btNext, btCancel})
        b->setAutoDefault(false);
    connect(btBack, &QPushButton::clicked, this, &TfrmWizard_FilesBackup::Back);
    connect(btNext, &QPushButton::clicked, this, &TfrmWizard_FilesBackup::Next);
    connect(btCancel, &QPushButton::clicked, this, [this] { done(0); });
    connect(btDone, &QToolButton::clicked, this, [this] { Save(1); });
    connect(m_acSave, &QAction::triggered, this, [this] { Save(1); });
    connect(m_acSaveAndRun, &QAction::triggered, this, [this] { Save(2); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btBack);
    buttons->addWidget(btNext);
    buttons->addWidget(btDone);
    buttons->addWidget(btCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lbHeading);
    layout->addWidget(m_pages, 1);
    layout->addLayout(buttons);

    ClearControls();
}

void TfrmWizard_FilesBackup::buildSourcesPage(QWidget *page)
{
    m_sourceTree = new TSourceTree(page);
    Label21 = named(new QLabel(page), "Label21");
    Label21->setTextFormat(Qt::RichText);
    Label21->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    m_lbFilter = new QLabel(page);
    cmbFilterExt = named(new QComboBox(page), "cmbFilterExt");
    cmbFilterExt->addItems({QString(), QString(), QString()});
    edExtFilter = named(new QLineEdit(page), "edExtFilter");
    connect(cmbFilterExt, &QComboBox::currentIndexChanged, this, [this] { updateFilterControls(); });
    connect(m_sourceTree->Model(), &TCheckableFileSystemModel::ItemsChanged, this,
            [this] { updateSourceCount(); });
    connect(Label21, &QLabel::linkActivated, this, [this] {
        ShowSourceList(SourceItems(), this);
    });

    auto *filter = new QHBoxLayout;
    filter->addWidget(cmbFilterExt);
    filter->addWidget(edExtFilter, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(m_sourceTree, 1);
    layout->addWidget(Label21);
    layout->addLayout(filter);
}

void TfrmWizard_FilesBackup::buildDestinationPage(QWidget *page)
{
    bgDestination = new QButtonGroup(page);
    auto *row = new QHBoxLayout;
    const char *names[4] = {"btDestLocal", "btDestNetwork", "btDestFTP", "btDestCloud"};
    for (int i = 0; i < 4; ++i) {
        m_destButtons[i] = named(new QToolButton(page), names[i]);
        m_destButtons[i]->setCheckable(true);
        m_destButtons[i]->setToolButtonStyle(Qt::ToolButtonTextOnly);
        m_destButtons[i]->setMinimumSize(120, 40);
        bgDestination->addButton(m_destButtons[i], i);
        row->addWidget(m_destButtons[i]);
    }
    row->addStretch(1);
    m_destCards = named(new QStackedWidget(page), "pcDestination");
    connect(bgDestination, &QButtonGroup::idClicked, m_destCards, &QStackedWidget::setCurrentIndex);

    QWidget *cards[4];
    for (int i = 0; i < 4; ++i) {
        cards[i] = new QWidget(m_destCards);
        m_destCards->addWidget(cards[i]);
        m_destTitles[i] = new QLabel(cards[i]);
        QFont f = m_destTitles[i]->font();
        f.setBold(true);
        m_destTitles[i]->setFont(f);
    }

    // Local or external disk.
    {
        auto *g = new QGridLayout(cards[0]);
        m_lbDisk = new QLabel(cards[0]);
        cbLocalExtDrive = named(new QComboBox(cards[0]), "cbLocalExtDrive");
        m_lbLocalNote = new QLabel(cards[0]);
        m_lbUdfWarning = named(new QLabel(cards[0]), "lbUdfWarning");
        m_lbUdfWarning->setStyleSheet(QStringLiteral("color: #c00000;"));
        m_lbUdfWarning->setWordWrap(true);
        m_lbUdfWarning->hide();
        connect(cbLocalExtDrive, &QComboBox::currentIndexChanged, this, &TfrmWizard_FilesBackup::updateOpticalWarning);
        m_lbLocalSubfolder = new QLabel(cards[0]);
        edLocalExtDiskSubfolder = named(new QLineEdit(cards[0]), "edLocalExtDiskSubfolder");
        m_btLocalChoose = named(new QPushButton(cards[0]), "btLocalChoose");
        connect(m_btLocalChoose, &QPushButton::clicked, this, &TfrmWizard_FilesBackup::chooseLocalSubfolder);
        g->addWidget(m_destTitles[0], 0, 0, 1, 3);
        g->addWidget(m_lbDisk, 1, 0);
        g->addWidget(cbLocalExtDrive, 1, 1, 1, 2);
        g->addWidget(m_lbLocalNote, 2, 1, 1, 2);
        g->addWidget(m_lbLocalSubfolder, 3, 0);
        g->addWidget(edLocalExtDiskSubfolder, 3, 1);
        g->addWidget(m_btLocalChoose, 3, 2);
        g->addWidget(m_lbUdfWarning, 4, 1, 1, 2);
        g->setRowStretch(5, 1);
        g->setColumnStretch(1, 1);
    }
    // Network.
    {
        auto *g = new QGridLayout(cards[1]);
        m_lbNetUser = new QLabel(cards[1]);
        edNetworkUsername = named(new QLineEdit(cards[1]), "edNetworkUsername");
        m_lbNetPassword = new QLabel(cards[1]);
        m_btNetSetPassword = named(new QPushButton(cards[1]), "btNetworkSetPassword");
        m_lbNetPasswordStatus = named(new QLabel(cards[1]), "lbNetworkPasswordStatus");
        m_lbNetPath = new QLabel(cards[1]);
        edNetworkPath = named(new QLineEdit(cards[1]), "edNetworkPath");
        m_btNetChoose = named(new QPushButton(cards[1]), "btNetworkChoose");
        connect(m_btNetChoose, &QPushButton::clicked, this, &TfrmWizard_FilesBackup::chooseNetworkFolder);
        connect(m_btNetSetPassword, &QPushButton::clicked, this, [this] {
            TfrmPassword::ChangePassword(strNetworkPassword, this);
            setPasswordStatus(m_lbNetPasswordStatus, strNetworkPassword);
        });
        g->addWidget(m_destTitles[1], 0, 0, 1, 3);
        g->addWidget(m_lbNetUser, 1, 0);
        g->addWidget(edNetworkUsername, 1, 1, 1, 2);
        g->addWidget(m_lbNetPassword, 2, 0);
        g->addWidget(m_btNetSetPassword, 2, 1);
        g->addWidget(m_lbNetPasswordStatus, 2, 2);
        g->addWidget(m_lbNetPath, 3, 0);
        g->addWidget(edNetworkPath, 3, 1);
        g->addWidget(m_btNetChoose, 3, 2);
        g->setRowStretch(4, 1);
        g->setColumnStretch(1, 1);
    }
    // FTP and cloud: shown, not yet choosable.
    {
        auto *v = new QVBoxLayout(cards[2]);
        m_ftpControls = new QWidget(cards[2]);
        auto *g = new QGridLayout(m_ftpControls);
        m_lbFtpAccount = new QLabel(m_ftpControls);
        cbFTPAccounts = named(new QComboBox(m_ftpControls), "cbFTPAccounts");
        m_lbFtpSubfolder = new QLabel(m_ftpControls);
        edFTPSubfolder = named(new QLineEdit(m_ftpControls), "edFTPSubfolder");
        g->addWidget(m_lbFtpAccount, 0, 0);
        g->addWidget(cbFTPAccounts, 0, 1);
        g->addWidget(m_lbFtpSubfolder, 1, 0);
        g->addWidget(edFTPSubfolder, 1, 1);
        m_ftpControls->setEnabled(false);
        m_lbFtpNote = named(new QLabel(cards[2]), "lbFTPNote");
        m_lbFtpNote->setWordWrap(true);
        v->addWidget(m_destTitles[2]);
        v->addWidget(m_lbFtpNote);
        v->addWidget(m_ftpControls);
        v->addStretch(1);
    }
    {
        auto *v = new QVBoxLayout(cards[3]);
        m_cloudControls = new QWidget(cards[3]);
        auto *g = new QGridLayout(m_cloudControls);
        m_lbCloudService = new QLabel(m_cloudControls);
        cbCloudAccounts = named(new QComboBox(m_cloudControls), "cbCloudAccounts");
        cbCloudAccounts->addItems({QStringLiteral("DropBox"), QStringLiteral("Google Drive"), QStringLiteral("One Drive")});
        m_lbCloudSubfolder = new QLabel(m_cloudControls);
        edCloudSubFolder = named(new QLineEdit(m_cloudControls), "edCloudSubFolder");
        g->addWidget(m_lbCloudService, 0, 0);
        g->addWidget(cbCloudAccounts, 0, 1);
        g->addWidget(m_lbCloudSubfolder, 1, 0);
        g->addWidget(edCloudSubFolder, 1, 1);
        m_cloudControls->setEnabled(false);
        m_lbCloudNote = named(new QLabel(cards[3]), "lbCloudNote");
        m_lbCloudNote->setWordWrap(true);
        v->addWidget(m_destTitles[3]);
        v->addWidget(m_lbCloudNote);
        v->addWidget(m_cloudControls);
        v->addStretch(1);
    }

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(row);
    layout->addWidget(m_destCards, 1);
}

void TfrmWizard_FilesBackup::buildBackupTypePage(QWidget *page)
{
    bgBackupType = new QButtonGroup(page);
    auto *row = new QHBoxLayout;
    const char *names[4] = {"btTypeFull", "btTypeMirror", "btTypeIncremental", "btTypeDifferential"};
    for (int i = 0; i < 4; ++i) {
        m_typeButtons[i] = named(new QToolButton(page), names[i]);
        m_typeButtons[i]->setCheckable(true);
        m_typeButtons[i]->setToolButtonStyle(Qt::ToolButtonTextOnly);
        m_typeButtons[i]->setMinimumSize(120, 40);
        bgBackupType->addButton(m_typeButtons[i], i);
        row->addWidget(m_typeButtons[i]);
    }
    row->addStretch(1);
    connect(bgBackupType, &QButtonGroup::idClicked, this, &TfrmWizard_FilesBackup::backupTypeChosen);

    m_lbTypeName = named(new QLabel(page), "lbTypeName");
    QFont f = m_lbTypeName->font();
    f.setBold(true);
    m_lbTypeName->setFont(f);
    m_lbTypeExplanation = named(new QLabel(page), "lbTypeExplanation");
    m_lbTypeExplanation->setWordWrap(true);
    m_lbPerformFull = new QLabel(page);
    RadioButton1 = named(new QRadioButton(page), "RadioButton1");
    RadioButton2 = named(new QRadioButton(page), "RadioButton2");
    sedFullBackupInterval = named(new QSpinBox(page), "sedFullBackupInterval");
    sedFullBackupInterval->setRange(1, 9999);
    sedPercentage = named(new QSpinBox(page), "sedPercentage");
    sedPercentage->setRange(1, 9999);
    m_lbPercent = new QLabel(QStringLiteral("%"), page);
    m_lbKeep = new QLabel(page);
    sedNumberFullCopiesToKeep = named(new QSpinBox(page), "sedNumberFullCopiesToKeep");
    sedNumberFullCopiesToKeep->setRange(1, 9999);
    CheckBox1 = named(new QCheckBox(page), "CheckBox1");
    connect(RadioButton1, &QRadioButton::toggled, this, [this] { UpdateTypeOfBackupControls(); });

    auto *g = new QGridLayout;
    g->addWidget(m_lbPerformFull, 0, 0, 1, 3);
    g->addWidget(RadioButton1, 1, 0);
    g->addWidget(sedFullBackupInterval, 1, 1);
    g->addWidget(RadioButton2, 2, 0);
    g->addWidget(sedPercentage, 2, 1);
    g->addWidget(m_lbPercent, 2, 2);
    g->addWidget(m_lbKeep, 3, 0);
    g->addWidget(sedNumberFullCopiesToKeep, 3, 1);
    g->addWidget(CheckBox1, 4, 0, 1, 3);
    g->setColumnStretch(3, 1);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(row);
    layout->addWidget(m_lbTypeName);
    layout->addWidget(m_lbTypeExplanation);
    layout->addLayout(g);
    layout->addStretch(1);
}

void TfrmWizard_FilesBackup::buildCompressionPage(QWidget *page)
{
    chEnableZipCompression = named(new QCheckBox(page), "chEnableZipCompression");
    chProtectZipWithPassword = named(new QCheckBox(page), "chProtectZipWithPassword");
    m_btZipSetPassword = named(new QPushButton(page), "btZipSetPassword");
    m_lbZipPasswordStatus = named(new QLabel(page), "lbZipPasswordStatus");
    m_lbEncryption = new QLabel(page);
    cbEncryptionMethod = named(new QComboBox(page), "cbEncryptionMethod");
    m_lbLevel = new QLabel(page);
    cbCompressionLevel = named(new QComboBox(page), "cbCompressionLevel");
    m_lbNoCompression = new QLabel(page);
    edNoCompressionExtensions = named(new QLineEdit(page), "edNoCompressionExtensions");
    chCreateIndividualZipForEachItem = named(new QCheckBox(page), "chCreateIndividualZipForEachItem");
    // The lists show their items in this order; each item carries the value
    // stored in the job, which the archive writer receives unchanged.
    for (int value : {1, 2, 3, 0})
        cbEncryptionMethod->addItem(QString(), value);
    for (int value : {1, 3, 0, 2})
        cbCompressionLevel->addItem(QString(), value);

    connect(chEnableZipCompression, &QCheckBox::clicked, this, &TfrmWizard_FilesBackup::compressionToggled);
    connect(chProtectZipWithPassword, &QCheckBox::toggled, this, [this] { updateCompressionControls(); });
    connect(m_btZipSetPassword, &QPushButton::clicked, this, [this] {
        TfrmPassword::ChangePassword(strZipPassword, this);
        setPasswordStatus(m_lbZipPasswordStatus, strZipPassword);
    });

    auto *g = new QGridLayout(page);
    g->addWidget(chEnableZipCompression, 0, 0, 1, 3);
    g->addWidget(chProtectZipWithPassword, 1, 0);
    g->addWidget(m_btZipSetPassword, 1, 1);
    g->addWidget(m_lbZipPasswordStatus, 1, 2);
    g->addWidget(m_lbEncryption, 2, 0);
    g->addWidget(cbEncryptionMethod, 2, 1, 1, 2);
    g->addWidget(m_lbLevel, 3, 0);
    g->addWidget(cbCompressionLevel, 3, 1, 1, 2);
    g->addWidget(m_lbNoCompression, 4, 0);
    g->addWidget(edNoCompressionExtensions, 4, 1, 1, 2);
    g->addWidget(chCreateIndividualZipForEachItem, 5, 0, 1, 3);
    g->setRowStretch(6, 1);
    g->setColumnStretch(2, 1);
}

void TfrmWizard_FilesBackup::buildSchedulerPage(QWidget *page)
{
    chDaysOfWeek = named(new QCheckBox(page), "chDaysOfWeek");
    chDaysOfMonth = named(new QCheckBox(page), "chDaysOfMonth");
    clDaysOfWeek = checkList(page, "clDaysOfWeek", 7);
    clDaysOfMonth = checkList(page, "clDaysOfMonth", 31);
    for (int i = 0; i < 31; ++i)
        clDaysOfMonth->item(i)->setText(QString::number(i + 1));
    m_lbTimeTable = new QLabel(page);
    lbTimeTable = named(new QListWidget(page), "lbTimeTable");
    m_btAddTime = named(new QPushButton(QStringLiteral("+"), page), "btAddTime");
    m_btRemoveTime = named(new QPushButton(QStringLiteral("-"), page), "btRemoveTime");
    chRunJobAsSoonAsPossibleAfterAScheduledStartIsMissed =
        named(new QCheckBox(page), "chRunJobAsSoonAsPossibleAfterAScheduledStartIsMissed");
    chShutdownPCInTheEnd = named(new QCheckBox(page), "chShutdownPCInTheEnd");

    // The two kinds of days exclude each other.
    connect(chDaysOfWeek, &QCheckBox::toggled, this, [this](bool on) {
        if (SkipClickEvent)
            return;
        SkipClickEvent = true;
        if (on)
            chDaysOfMonth->setChecked(false);
        SkipClickEvent = false;
        updateScheduleControls();
    });
    connect(chDaysOfMonth, &QCheckBox::toggled, this, [this](bool on) {
        if (SkipClickEvent)
            return;
        SkipClickEvent = true;
        if (on)
            chDaysOfWeek->setChecked(false);
        SkipClickEvent = false;
        updateScheduleControls();
    });
    connect(m_btAddTime, &QPushButton::clicked, this, &TfrmWizard_FilesBackup::addTime);
    connect(m_btRemoveTime, &QPushButton::clicked, this, &TfrmWizard_FilesBackup::removeTime);

    auto *times = new QVBoxLayout;
    times->addWidget(m_lbTimeTable);
    times->addWidget(lbTimeTable, 1);
    auto *timeButtons = new QHBoxLayout;
    timeButtons->addWidget(m_btAddTime);
    timeButtons->addWidget(m_btRemoveTime);
    timeButtons->addStretch(1);
    times->addLayout(timeButtons);

    auto *g = new QGridLayout;
    g->addWidget(chDaysOfWeek, 0, 0);
    g->addWidget(chDaysOfMonth, 0, 1);
    g->addWidget(clDaysOfWeek, 1, 0);
    g->addWidget(clDaysOfMonth, 1, 1);
    g->addLayout(times, 0, 2, 2, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(g, 1);
    layout->addWidget(chRunJobAsSoonAsPossibleAfterAScheduledStartIsMissed);
    layout->addWidget(chShutdownPCInTheEnd);
}
