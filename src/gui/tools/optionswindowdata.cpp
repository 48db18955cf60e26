// The options window's copy between the options record and its controls.
#include "gui/tools/optionswindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>

namespace {
// A stored index outside a combo box's items selects nothing; the window
// shows the first item then and stores it on OK.
void selectIndex(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : 0);
}
} // namespace

void TfrmOptions::OptionsToControls(const TOptions &options)
{
    const TGeneralOptions &g = options.General;
    m_chRunProgramAtLogon->setChecked(g.RunProgramAtLogon);
    m_chBlockSleepMode->setChecked(g.BlockSleepModeifJobIsScheduled);
    m_chProtectConfiguration->setChecked(g.ProtectConfigurationbyPassword);
    m_programPassword = g.strProtectConfiguration_Password;
    selectIndex(m_cbProcessPriority, g.ProcessPriority);
    m_edPathForTempFiles->setText(g.PathForTempFiles);

    const TLoggingOptions &lg = options.Logging;
    m_seMaxLogs->setValue(lg.MaxNumberOfLogsForEachJob);
    m_seMaxHistory->setValue(lg.MaxNumberOfLinesInHistory);
    m_seMaxEvents->setValue(lg.MaxNumberOfLinesInEventsLog);
    m_chDontLogCopyingInternalFiles->setChecked(lg.DontLogCopyingInternalFiles);
    m_edPathForLogFiles->setText(lg.PathForLogFiles);

    const TProcessingOptions &p = options.Processing;
    m_chRunOnlyOneJobAtATime->setChecked(p.RunOnlyOneJobAtATime);
    m_seRetryTimes->setValue(p.IfDestinationNotAvailable_Retry_Times);
    m_seWaitSec->setValue(p.IfDestinationNotAvailable_Wait_Sec);
    (p.IfDestinationNotAvailable_Then == 1 ? m_rbPauseTheJob : m_rbCancelTheJob)->setChecked(true);
    m_chRemovePreviousBackupIfCancelled->setChecked(p.RemovePreviousBackupIfCancelled);
    m_chPreventOtherAppsFromWriting->setChecked(p.PreventOtherAppsFromWritingDuringZipping);
    m_chDontUseBuffering->setChecked(p.DontUseBufferingForCopyOperations);
    m_chSkipHiddenSystemFiles->setChecked(p.SkipHiddenSystemFiles);
    m_chSkipLockedFiles->setChecked(p.SkipLockedFiles);

    m_meExcludedDirs->setPlainText(options.ExcludedDirs.join(QLatin1Char('\n')));

    const TEmailOptions &e = options.Email;
    m_chSendEmail->setChecked(e.SendEmailNotificationWhenFinishedBackup);
    m_chSendOnlyIfCancelled->setChecked(e.SendOnlyIfJobIscancelledDueToErrors);
    m_edRecipient->setText(e.RecipientEmail);
    m_edSMTPHost->setText(e.SMTPHost);
    m_edSMTPPort->setText(e.SMTPPort);
    m_edSMTPUsername->setText(e.Username);
    m_smtpPassword = e.Password;
    selectIndex(m_cbSecurity, e.Security);

    const TProxyOptions &x = options.Proxy;
    m_chProxyEnabled->setChecked(x.Enabled);
    selectIndex(m_cbProxyType, x.PrType);
    m_edProxyHost->setText(x.Host);
    m_edProxyPort->setText(x.Port);
    m_edProxyUsername->setText(x.Username);
    m_proxyPassword = x.Password;

    updatePasswordLabels();
    updateEnabling();
}

TEmailOptions TfrmOptions::EmailFromControls() const
{
    TEmailOptions e;
    e.SendEmailNotificationWhenFinishedBackup = m_chSendEmail->isChecked();
    e.SendOnlyIfJobIscancelledDueToErrors = m_chSendOnlyIfCancelled->isChecked();
    e.RecipientEmail = m_edRecipient->text().trimmed();
    e.SMTPHost = m_edSMTPHost->text().trimmed();
    e.SMTPPort = m_edSMTPPort->text().trimmed();
    e.Username = m_edSMTPUsername->text().trimmed();
    e.Password = m_smtpPassword;
    e.Security = m_cbSecurity->currentIndex();
    return e;
}

TProxyOptions TfrmOptions::ProxyFromControls() const
{
    TProxyOptions x;
    x.Enabled = m_chProxyEnabled->isChecked();
    x.PrType = m_cbProxyType->currentIndex();
    x.Host = m_edProxyHost->text().trimmed();
    x.Port = m_edProxyPort->text().trimmed();
    x.Username = m_edProxyUsername->text().trimmed();
    x.Password = m_proxyPassword;
    return x;
}

void TfrmOptions::ControlsToOptions(TOptions &options) const
{
    TGeneralOptions &g = options.General;
    g.RunProgramAtLogon = m_chRunProgramAtLogon->isChecked();
    g.BlockSleepModeifJobIsScheduled = m_chBlockSleepMode->isChecked();
    g.ProtectConfigurationbyPassword = m_chProtectConfiguration->isChecked();
    g.strProtectConfiguration_Password = m_programPassword;
    g.ProcessPriority = m_cbProcessPriority->currentIndex();
    g.PathForTempFiles = m_edPathForTempFiles->text();

    TLoggingOptions &lg = options.Logging;
    lg.MaxNumberOfLogsForEachJob = m_seMaxLogs->value();
    lg.MaxNumberOfLinesInHistory = m_seMaxHistory->value();
    lg.MaxNumberOfLinesInEventsLog = m_seMaxEvents->value();
    lg.DontLogCopyingInternalFiles = m_chDontLogCopyingInternalFiles->isChecked();
    lg.PathForLogFiles = m_edPathForLogFiles->text();

    TProcessingOptions &p = options.Processing;
    p.RunOnlyOneJobAtATime = m_chRunOnlyOneJobAtATime->isChecked();
    p.IfDestinationNotAvailable_Retry_Times = m_seRetryTimes->value();
    p.IfDestinationNotAvailable_Wait_Sec = m_seWaitSec->value();
    p.IfDestinationNotAvailable_Then = m_rbPauseTheJob->isChecked() ? 1 : 0;
    p.RemovePreviousBackupIfCancelled = m_chRemovePreviousBackupIfCancelled->isChecked();
    p.PreventOtherAppsFromWritingDuringZipping = m_chPreventOtherAppsFromWriting->isChecked();
    p.DontUseBufferingForCopyOperations = m_chDontUseBuffering->isChecked();
    p.SkipHiddenSystemFiles = m_chSkipHiddenSystemFiles->isChecked();
    p.SkipLockedFiles = m_chSkipLockedFiles->isChecked();

    // One folder per line; blanks around a line and empty lines are dropped.
    QStringList dirs;
    const QStringList lines = m_meExcludedDirs->toPlainText().split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QString dir = line.trimmed();
        if (!dir.isEmpty())
            dirs << dir;
    }
    options.ExcludedDirs = dirs;

    options.Email = EmailFromControls();
    options.Proxy = ProxyFromControls();
}
