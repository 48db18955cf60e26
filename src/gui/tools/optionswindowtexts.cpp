// The options window's texts, set through Translate each time it is shown.
#include "gui/tools/optionswindow.h"

#include "base/appstate.h"
#include "gui/common/messagedialog.h"
#include "jobs/jobtext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

void TfrmOptions::translateTexts()
{
    setWindowTitle(TranslatedCaption(QStringLiteral("Options")));
    m_pages->setTabText(pgGeneral, Translate(QStringLiteral("General")));
    m_pages->setTabText(pgLogging, Translate(QStringLiteral("Logging")));
    m_pages->setTabText(pgBackup, Translate(QStringLiteral("Backup")));
    m_pages->setTabText(pgExclusions, Translate(QStringLiteral("Filters")));
    m_pages->setTabText(pgReportDelivery, Translate(QStringLiteral("Report Delivery")));
    m_pages->setTabText(pgProxy, Translate(QStringLiteral("Proxy")));

    // General
    m_chRunProgramAtLogon->setText(Translate(QStringLiteral("Run the program when I log on")));
    m_chBlockSleepMode->setText(
        Translate(QStringLiteral("Do not let the computer sleep when a job is scheduled within a day")));
    m_chProtectConfiguration->setText(
        Translate(QStringLiteral("Protect configuration from unwanted changes with a password")));
    m_btSetPassword->setText(Translate(QStringLiteral("Set Password")));
    m_lbProcessPriority->setText(Translate(QStringLiteral("Process priority:")));
    m_cbProcessPriority->setItemText(0, Translate(QStringLiteral("Idle")));
    m_cbProcessPriority->setItemText(1, Translate(QStringLiteral("Normal")));
    m_cbProcessPriority->setItemText(2, Translate(QStringLiteral("High")));
    m_cbProcessPriority->setItemText(3, Translate(QStringLiteral("Real-time")));
    m_lbPathForTempFiles->setText(Translate(QStringLiteral("Folder for temporary files:")));

    // Logging
    m_lbMaxLogs->setText(Translate(QStringLiteral("Number of log files kept for each job:")));
    m_lbMaxHistory->setText(Translate(QStringLiteral("Number of lines in the history of each job:")));
    m_lbMaxEvents->setText(Translate(QStringLiteral("Number of lines in the Events list:")));
    const QString stateExt = AppState::StateFileExtension().mid(1);
    m_chDontLogCopyingInternalFiles->setText(
        FillPercentS(Translate(QStringLiteral("Do not log copying of the internal database files (*%s, *.%s)")),
                     {AppState::JobFileExtension(), stateExt}));
    m_lbPathForLogFiles->setText(Translate(QStringLiteral("Folder for log files:")));

    // Backup
    m_chRunOnlyOneJobAtATime->setText(Translate(QStringLiteral("Run only one job at a time")));
    m_lbDestinationNotAvailable->setText(Translate(QStringLiteral("If the destination is not available:")));
    m_lbRetryTimes->setText(Translate(QStringLiteral("Number of retries:")));
    m_lbWaitSec->setText(Translate(QStringLiteral("Seconds between retries:")));
    m_lbThen->setText(Translate(QStringLiteral("Then:")));
    m_rbCancelTheJob->setText(Translate(QStringLiteral("Cancel the job")));
    m_rbPauseTheJob->setText(Translate(QStringLiteral("Pause the job and wait for your action")));
    m_chRemovePreviousBackupIfCancelled->setText(
        Translate(QStringLiteral("Remove the previous backup if it was cancelled")));
    m_chPreventOtherAppsFromWriting->setText(
        Translate(QStringLiteral("Prevent other programs from writing to the files while they are zipped")));
    m_chDontUseBuffering->setText(Translate(QStringLiteral("Do not use buffering for copy operations")));
    m_chSkipHiddenSystemFiles->setText(Translate(QStringLiteral("Skip hidden and system files")));
    m_chSkipLockedFiles->setText(Translate(QStringLiteral("Skip locked files")));

    // Filters
    m_lbExcludedDirs->setText(Translate(QStringLiteral("Folders that are never backed up (one per line):")));
    m_btAddExcludedDir->setText(Translate(QStringLiteral("Add...")));

    // Report Delivery
    m_chSendEmail->setText(Translate(QStringLiteral("Send e-mail notification when a backup job is finished")));
    m_chSendOnlyIfCancelled->setText(Translate(QStringLiteral("Send only if the job is cancelled due to errors")));
    m_lbRecipient->setText(Translate(QStringLiteral("Recipient e-mail:")));
    m_lbSMTPHost->setText(Translate(QStringLiteral("SMTP server:")));
    m_lbSMTPPort->setText(Translate(QStringLiteral("Port:")));
    m_lbSMTPUsername->setText(Translate(QStringLiteral("Username:")));
    m_lbSMTPPassword->setText(Translate(QStringLiteral("Password:")));
    m_btSetSMTPPassword->setText(Translate(QStringLiteral("Set Password")));
    m_lbSecurity->setText(Translate(QStringLiteral("Security:")));
    m_cbSecurity->setItemText(0, Translate(QStringLiteral("None")));
    m_btSendTest->setText(Translate(QStringLiteral("Send Test")));

    // Proxy
    m_chProxyEnabled->setText(Translate(QStringLiteral("Enabled")));
    m_lbProxyType->setText(Translate(QStringLiteral("Type:")));
    m_lbProxyHost->setText(Translate(QStringLiteral("Host:")));
    m_lbProxyPort->setText(Translate(QStringLiteral("Port:")));
    m_lbProxyUsername->setText(Translate(QStringLiteral("Username:")));
    m_lbProxyPassword->setText(Translate(QStringLiteral("Password:")));
    m_btSetProxyPassword->setText(Translate(QStringLiteral("Set Password")));

    m_btOK->setText(Translate(QStringLiteral("OK")));
    m_btCancel->setText(Translate(QStringLiteral("Cancel")));
    updatePasswordLabels();
}
