#include "gui/tools/optionswindow.h"

#include "gui/common/messagedialog.h"
#include "gui/common/modalrun.h"
#include "gui/tools/optionschecks.h"
#include "gui/tools/passwordset.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
TfrmOptions::SendTestHandler &sendTestHandler()
{
    static TfrmOptions::SendTestHandler handler;
    return handler;
}

template <typename T>
T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QSpinBox *spin(QWidget *parent, const char *name, int maximum)
{
    auto *s = named(new QSpinBox(parent), name);
    s->setRange(0, maximum);
    s->setMaximumWidth(140);
    return s;
}

// A port field: digits only (an empty field is allowed; it is stored as text).
QLineEdit *portEdit(QWidget *parent, const char *name)
{
    auto *e = named(new QLineEdit(parent), name);
    e->setValidator(new QIntValidator(0, 65535, e));
    e->setMaximumWidth(90);
    return e;
}

// A password row: the status label and the button that changes it.
QWidget *passwordRow(QWidget *parent, QLabel *status, QPushButton *button)
{
    auto *row = new QWidget(parent);
    auto *l = new QHBoxLayout(row);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(status, 1);
    l->addWidget(button);
    return row;
}

// A folder row: the edit and its browse button.
QWidget *folderRow(QWidget *parent, QLineEdit *edit, QPushButton *browse)
{
    auto *row = new QWidget(parent);
    auto *l = new QHBoxLayout(row);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(edit, 1);
    l->addWidget(browse);
    return row;
}
} // namespace

void TfrmOptions::SetSendTestHandler(SendTestHandler handler)
{
    sendTestHandler() = std::move(handler);
}

QString TfrmOptions::PageTitle(Page page)
{
    switch (page) {
    case pgGeneral: return QStringLiteral("General");
    case pgLogging: return QStringLiteral("Logging");
    case pgBackup: return QStringLiteral("Backup");
    case pgExclusions: return QStringLiteral("Filters");
    case pgReportDelivery: return QStringLiteral("Report Delivery");
    case pgProxy: return QStringLiteral("Proxy");
    case PageCount: break;
    }
    return QString();
}

QString TfrmOptions::PageKey(Page page)
{
    switch (page) {
    case pgGeneral: return QStringLiteral("General");
    case pgLogging: return QStringLiteral("Logging");
    case pgBackup: return QStringLiteral("Backup");
    case pgExclusions: return QStringLiteral("Exclusions");
    case pgReportDelivery: return QStringLiteral("ReportDelivery");
    case pgProxy: return QStringLiteral("Proxy");
    case PageCount: break;
    }
    return QString();
}

TfrmOptions::TfrmOptions(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmOptions"));
    m_pages = named(new QTabWidget(this), "pcOptions");
    buildGeneralPage();
    buildLoggingPage();
    buildBackupPage();
    buildExclusionsPage();
    buildReportDeliveryPage();
    buildProxyPage();

    auto *buttons = new QDialogButtonBox(this);
    m_btOK = named(buttons->addButton(QString(), QDialogButtonBox::AcceptRole), "btOK");
    m_btOK->setDefault(true);
    m_btCancel = named(buttons->addButton(QString(), QDialogButtonBox::RejectRole), "btCancel");
    connect(m_btOK, &QPushButton::clicked, this, &TfrmOptions::tryAccept);
    connect(m_btCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addWidget(buttons);
    resize(620, 460);
    updateEnabling();
}

void TfrmOptions::buildGeneralPage()
{
    auto *page = named(new QWidget(m_pages), "tsGeneral");
    m_chRunProgramAtLogon = named(new QCheckBox(page), "chRunProgramAtLogon");
    m_chBlockSleepMode = named(new QCheckBox(page), "chBlockSleepModeifJobIsScheduled");
    m_chProtectConfiguration = named(new QCheckBox(page), "chProtectConfigurationbyPassword");
    m_btSetPassword = named(new QPushButton(page), "btSetPassword");
    m_lbPasswordStatus = named(new QLabel(page), "lbPasswordStatus");
    m_lbProcessPriority = new QLabel(page);
    m_cbProcessPriority = named(new QComboBox(page), "cbProcessPriority");
    for (int i = 0; i < 4; ++i)
        m_cbProcessPriority->addItem(QString());
    m_lbProcessPriority->setBuddy(m_cbProcessPriority);
    m_lbPathForTempFiles = new QLabel(page);
    m_edPathForTempFiles = named(new QLineEdit(page), "edPathForTempFiles");
    m_lbPathForTempFiles->setBuddy(m_edPathForTempFiles);
    auto *browse = named(new QPushButton(QStringLiteral("..."), page), "btBrowseTempFiles");
    connect(browse, &QPushButton::clicked, this, [this] { browseFolder(m_edPathForTempFiles); });
    connect(m_chProtectConfiguration, &QCheckBox::toggled, this, &TfrmOptions::updateEnabling);
    connect(m_btSetPassword, &QPushButton::clicked, this, [this] { changePassword(m_programPassword); });

    auto *l = new QVBoxLayout(page);
    l->addWidget(m_chRunProgramAtLogon);
    l->addWidget(m_chBlockSleepMode);
    l->addWidget(m_chProtectConfiguration);
    auto *pw = passwordRow(page, m_lbPasswordStatus, m_btSetPassword);
    pw->setContentsMargins(24, 0, 0, 0);
    l->addWidget(pw);
    auto *form = new QFormLayout;
    form->addRow(m_lbProcessPriority, m_cbProcessPriority);
    form->addRow(m_lbPathForTempFiles, folderRow(page, m_edPathForTempFiles, browse));
    l->addSpacing(8);
    l->addLayout(form);
    l->addStretch(1);
    m_pages->addTab(page, QString());
}

void TfrmOptions::buildLoggingPage()
{
    auto *page = named(new QWidget(m_pages), "tsLogging");
    m_lbMaxLogs = new QLabel(page);
    m_seMaxLogs = spin(page, "seMaxNumberOfLogsForEachJob", 100000);
    m_lbMaxHistory = new QLabel(page);
    m_seMaxHistory = spin(page, "seMaxNumberOfLinesInHistory", 10000000);
    m_lbMaxEvents = new QLabel(page);
    m_seMaxEvents = spin(page, "seMaxNumberOfLinesInEventsLog", 1000000);
    m_chDontLogCopyingInternalFiles = named(new QCheckBox(page), "chDontLogCopyingInternalFiles");
    m_lbPathForLogFiles = new QLabel(page);
    m_edPathForLogFiles = named(new QLineEdit(page), "edPathForLogFiles");
    m_lbPathForLogFiles->setBuddy(m_edPathForLogFiles);
    auto *browse = named(new QPushButton(QStringLiteral("..."), page), "btBrowseLogFiles");
    connect(browse, &QPushButton::clicked, this, [this] { browseFolder(m_edPathForLogFiles); });

    auto *form = new QFormLayout;
    form->addRow(m_lbMaxLogs, m_seMaxLogs);
    form->addRow(m_lbMaxHistory, m_seMaxHistory);
    form->addRow(m_lbMaxEvents, m_seMaxEvents);
    auto *l = new QVBoxLayout(page);
    l->addLayout(form);
    l->addWidget(m_chDontLogCopyingInternalFiles);
    l->addSpacing(8);
    l->addWidget(m_lbPathForLogFiles);
    l->addWidget(folderRow(page, m_edPathForLogFiles, browse));
    l->addStretch(1);
    m_pages->addTab(page, QString());
}

void TfrmOptions::buildBackupPage()
{
    auto *page = named(new QWidget(m_pages), "tsBackup");
    m_chRunOnlyOneJobAtATime = named(new QCheckBox(page), "chRunOnlyOneJobAtATime");
    m_lbDestinationNotAvailable = new QLabel(page);
    m_lbRetryTimes = new QLabel(page);
    m_seRetryTimes = spin(page, "seIfDestinationNotAvailable_Retry_Times", 10000);
    m_lbWaitSec = new QLabel(page);
    m_seWaitSec = spin(page, "seIfDestinationNotAvailable_Wait_Sec", 86400);
    m_lbThen = new QLabel(page);
    m_rbCancelTheJob = named(new QRadioButton(page), "rbCancelTheJob");
    m_rbPauseTheJob = named(new QRadioButton(page), "rbPauseTheJob");
    auto *group = new QButtonGroup(page);
    group->addButton(m_rbCancelTheJob);
    group->addButton(m_rbPauseTheJob);
    m_chRemovePreviousBackupIfCancelled = named(new QCheckBox(page), "chRemovePreviousBackupIfCancelled");
    m_chPreventOtherAppsFromWriting = named(new QCheckBox(page), "chPreventOtherAppsFromWritingDuringZipping");
    m_chDontUseBuffering = named(new QCheckBox(page), "chDontUseBufferingForCopyOperations");
    m_chSkipHiddenSystemFiles = named(new QCheckBox(page), "chSkipHiddenSystemFiles");
    m_chSkipLockedFiles = named(new QCheckBox(page), "chSkipLockedFiles");

    auto *l = new QVBoxLayout(page);
    l->addWidget(m_chRunOnlyOneJobAtATime);
    l->addSpacing(8);
    l->addWidget(m_lbDestinationNotAvailable);
    auto *grid = new QGridLayout;
    grid->setContentsMargins(24, 0, 0, 0);
    grid->addWidget(m_lbRetryTimes, 0, 0);
    grid->addWidget(m_seRetryTimes, 0, 1);
    grid->addWidget(m_lbWaitSec, 1, 0);
    grid->addWidget(m_seWaitSec, 1, 1);
    grid->addWidget(m_lbThen, 2, 0);
    grid->addWidget(m_rbCancelTheJob, 2, 1);
    grid->addWidget(m_rbPauseTheJob, 3, 1);
    grid->setColumnStretch(2, 1);
    l->addLayout(grid);
    l->addSpacing(8);
    l->addWidget(m_chRemovePreviousBackupIfCancelled);
    l->addWidget(m_chPreventOtherAppsFromWriting);
    l->addWidget(m_chDontUseBuffering);
    l->addWidget(m_chSkipHiddenSystemFiles);
    l->addWidget(m_chSkipLockedFiles);
    l->addStretch(1);
    m_pages->addTab(page, QString());
}

void TfrmOptions::buildExclusionsPage()
{
    auto *page = named(new QWidget(m_pages), "tsExclusions");
    m_lbExcludedDirs = new QLabel(page);
    m_lbExcludedDirs->setWordWrap(true);
    m_meExcludedDirs = named(new QPlainTextEdit(page), "meExcludedDirs");
    m_meExcludedDirs->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_lbExcludedDirs->setBuddy(m_meExcludedDirs);
    m_btAddExcludedDir = named(new QPushButton(page), "btAddExcludedDir");
    connect(m_btAddExcludedDir, &QPushButton::clicked, this, &TfrmOptions::addExcludedFolder);

    auto *l = new QVBoxLayout(page);
    l->addWidget(m_lbExcludedDirs);
    l->addWidget(m_meExcludedDirs, 1);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_btAddExcludedDir);
    l->addLayout(row);
    m_pages->addTab(page, QString());
}

void TfrmOptions::buildReportDeliveryPage()
{
    auto *page = named(new QWidget(m_pages), "tsReportDelivery");
    m_chSendEmail = named(new QCheckBox(page), "chSendEmailNotificationWhenFinishedBackup");
    m_chSendOnlyIfCancelled = named(new QCheckBox(page), "chSendOnlyIfJobIscancelledDueToErrors");
    m_lbRecipient = new QLabel(page);
    m_edRecipient = named(new QLineEdit(page), "edRecipientEmail");
    m_lbSMTPHost = new QLabel(page);
    m_edSMTPHost = named(new QLineEdit(page), "edSMTPHost");
    m_lbSMTPPort = new QLabel(page);
    m_edSMTPPort = portEdit(page, "edSMTPPort");
    m_lbSMTPUsername = new QLabel(page);
    m_edSMTPUsername = named(new QLineEdit(page), "edSMTPUsername");
    m_lbSMTPPassword = new QLabel(page);
    m_lbSMTPPasswordStatus = named(new QLabel(page), "lbSMTPPasswordStatus");
    m_btSetSMTPPassword = named(new QPushButton(page), "btSetSMTPPassword");
    m_lbSecurity = new QLabel(page);
    m_cbSecurity = named(new QComboBox(page), "cbSecurity");
    m_cbSecurity->addItems({QString(), QStringLiteral("SSL"), QStringLiteral("TLS")});
    m_btSendTest = named(new QPushButton(page), "btSendTest");
    m_lbRecipient->setBuddy(m_edRecipient);
    m_lbSMTPHost->setBuddy(m_edSMTPHost);
    m_lbSMTPPort->setBuddy(m_edSMTPPort);
    m_lbSMTPUsername->setBuddy(m_edSMTPUsername);
    m_lbSecurity->setBuddy(m_cbSecurity);
    connect(m_chSendEmail, &QCheckBox::toggled, this, &TfrmOptions::updateEnabling);
    connect(m_btSetSMTPPassword, &QPushButton::clicked, this, [this] { changePassword(m_smtpPassword); });
    connect(m_btSendTest, &QPushButton::clicked, this, [this] {
        if (sendTestHandler())
            sendTestHandler()(*this);
    });

    auto *l = new QVBoxLayout(page);
    l->addWidget(m_chSendEmail);
    l->addWidget(m_chSendOnlyIfCancelled);
    auto *form = new QFormLayout;
    form->addRow(m_lbRecipient, m_edRecipient);
    form->addRow(m_lbSMTPHost, m_edSMTPHost);
    form->addRow(m_lbSMTPPort, m_edSMTPPort);
    form->addRow(m_lbSMTPUsername, m_edSMTPUsername);
    form->addRow(m_lbSMTPPassword, passwordRow(page, m_lbSMTPPasswordStatus, m_btSetSMTPPassword));
    form->addRow(m_lbSecurity, m_cbSecurity);
    l->addLayout(form);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_btSendTest);
    l->addLayout(row);
    l->addStretch(1);
    m_pages->addTab(page, QString());
}

void TfrmOptions::buildProxyPage()
{
    auto *page = named(new QWidget(m_pages), "tsProxy");
    m_chProxyEnabled = named(new QCheckBox(page), "chProxyEnabled");
    m_lbProxyType = new QLabel(page);
    m_cbProxyType = named(new QComboBox(page), "cbProxyType");
    m_cbProxyType->addItems({QStringLiteral("HTTP"), QStringLiteral("SOCKS 4"), QStringLiteral("SOCKS 5")});
    m_lbProxyHost = new QLabel(page);
    m_edProxyHost = named(new QLineEdit(page), "edProxyHost");
    m_lbProxyPort = new QLabel(page);
    m_edProxyPort = portEdit(page, "edProxyPort");
    m_lbProxyUsername = new QLabel(page);
    m_edProxyUsername = named(new QLineEdit(page), "edProxyUsername");
    m_lbProxyPassword = new QLabel(page);
    m_lbProxyPasswordStatus = named(new QLabel(page), "lbProxyPasswordStatus");
    m_btSetProxyPassword = named(new QPushButton(page), "btSetProxyPassword");
    m_lbProxyType->setBuddy(m_cbProxyType);
    m_lbProxyHost->setBuddy(m_edProxyHost);
    m_lbProxyPort->setBuddy(m_edProxyPort);
    m_lbProxyUsername->setBuddy(m_edProxyUsername);
    connect(m_chProxyEnabled, &QCheckBox::toggled, this, &TfrmOptions::updateEnabling);
    connect(m_btSetProxyPassword, &QPushButton::clicked, this, [this] { changePassword(m_proxyPassword); });

    auto *l = new QVBoxLayout(page);
    l->addWidget(m_chProxyEnabled);
    auto *form = new QFormLayout;
    form->addRow(m_lbProxyType, m_cbProxyType);
    form->addRow(m_lbProxyHost, m_edProxyHost);
    form->addRow(m_lbProxyPort, m_edProxyPort);
    form->addRow(m_lbProxyUsername, m_edProxyUsername);
    form->addRow(m_lbProxyPassword, passwordRow(page, m_lbProxyPasswordStatus, m_btSetProxyPassword));
    l->addLayout(form);
    l->addStretch(1);
    m_pages->addTab(page, QString());
}

bool TfrmOptions::Execute(TOptions &options, Page startPage)
{
    OptionsToControls(options);
    m_startPage = startPage;
    const int result = ExecModal(*this);
    m_startPage = pgGeneral;
    if (result != QDialog::Accepted)
        return false;
    ControlsToOptions(options);
    return true;
}

void TfrmOptions::showEvent(QShowEvent *event)
{
    translateTexts();
    updateEnabling();
    // A window restored by the window system stays on its page.
    if (!event->spontaneous())
        m_pages->setCurrentIndex(m_startPage);
    QDialog::showEvent(event);
}

void TfrmOptions::updateEnabling()
{
    const bool protect = m_chProtectConfiguration->isChecked();
    m_btSetPassword->setEnabled(protect);
    m_lbPasswordStatus->setEnabled(protect);

    const bool email = m_chSendEmail->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{
             m_chSendOnlyIfCancelled, m_lbRecipient, m_edRecipient, m_lbSMTPHost, m_edSMTPHost, m_lbSMTPPort,
             m_edSMTPPort, m_lbSMTPUsername, m_edSMTPUsername, m_lbSMTPPassword, m_lbSMTPPasswordStatus,
             m_btSetSMTPPassword, m_lbSecurity, m_cbSecurity})
        w->setEnabled(email);
    // Sending a test message comes with the e-mail report; until that is
    // installed the button says why it is disabled.
    const bool canSend = static_cast<bool>(sendTestHandler());
    m_btSendTest->setEnabled(email && canSend);
    m_btSendTest->setToolTip(
        canSend ? QString() : Translate(QStringLiteral("The e-mail report is not available in this version yet.")));

    const bool proxy = m_chProxyEnabled->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{m_lbProxyType, m_cbProxyType, m_lbProxyHost, m_edProxyHost,
                                                       m_lbProxyPort, m_edProxyPort, m_lbProxyUsername,
                                                       m_edProxyUsername, m_lbProxyPassword, m_lbProxyPasswordStatus,
                                                       m_btSetProxyPassword})
        w->setEnabled(proxy);
}

void TfrmOptions::updatePasswordLabels()
{
    m_lbPasswordStatus->setText(TfrmPassword::StatusText(m_programPassword));
    m_lbSMTPPasswordStatus->setText(TfrmPassword::StatusText(m_smtpPassword));
    m_lbProxyPasswordStatus->setText(TfrmPassword::StatusText(m_proxyPassword));
}

void TfrmOptions::changePassword(QString &password)
{
    TfrmPassword::ChangePassword(password, this);
    updatePasswordLabels();
}

void TfrmOptions::browseFolder(QLineEdit *edit)
{
    QFileDialog dialog(this, Translate(QStringLiteral("Choose a folder")), edit->text());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (ExecModal(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        edit->setText(dialog.selectedFiles().constFirst());
}

void TfrmOptions::addExcludedFolder()
{
    QFileDialog dialog(this, Translate(QStringLiteral("Choose a folder")));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString text = m_meExcludedDirs->toPlainText();
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    m_meExcludedDirs->setPlainText(text + dialog.selectedFiles().constFirst());
}

void TfrmOptions::tryAccept()
{
    OptionsCheckInput input;
    input.ProtectConfigurationbyPassword = m_chProtectConfiguration->isChecked();
    input.ProgramPassword = m_programPassword;
    input.PathForTempFiles = m_edPathForTempFiles->text();
    input.PathForLogFiles = m_edPathForLogFiles->text();
    const OptionsCheckResult result = CheckOptionsForOk(input);
    if (result.PathForTempFiles != input.PathForTempFiles)
        m_edPathForTempFiles->setText(result.PathForTempFiles);
    if (!result.Ok) {
        ShowMessageDialog(result.Message, mtError, mbOK, 0, this);
        return;
    }
    accept();
}
