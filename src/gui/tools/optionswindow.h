#pragma once
// The options window: six pages over the options record, password fields
// changed through the set-password dialog, the enabling rules and the checks
// of its OK button (optionschecks.h). Created once and reused: every show
// translates its texts and starts on the requested page (the first one
// unless Execute asks for another).
#include "options/options.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

class TfrmOptions : public QDialog {
    Q_OBJECT
public:
    // The pages in their order.
    enum Page { pgGeneral = 0, pgLogging, pgBackup, pgExclusions, pgReportDelivery, pgProxy, PageCount };

    explicit TfrmOptions(QWidget *parent = nullptr);

    // Fills the controls from `options` (passwords are kept in the window and
    // shown as "Password is set" / "Password is not set").
    void OptionsToControls(const TOptions &options);
    // Copies the controls into `options`; the fields the window does not show
    // (language, FTP accounts) stay as they are.
    void ControlsToOptions(TOptions &options) const;

    // OptionsToControls, the window modally on `startPage`, and on OK
    // ControlsToOptions. Returns whether OK closed it.
    bool Execute(TOptions &options, Page startPage = pgGeneral);

    // The e-mail and proxy settings as the window holds them now ("Send Test"
    // uses these, not the saved options).
    TEmailOptions EmailFromControls() const;
    TProxyOptions ProxyFromControls() const;

    // "Send Test" sends a test message with the window's values. Until a
    // handler is installed the button stays disabled with a tooltip saying so.
    using SendTestHandler = std::function<void(TfrmOptions &window)>;
    static void SetSendTestHandler(SendTestHandler handler);

    // The English name of a page as the tab shows it ("Filters" for the
    // exclusions page), and a file-name friendly key ("General", "Exclusions",
    // "ReportDelivery", ...).
    static QString PageTitle(Page page);
    static QString PageKey(Page page);

    QTabWidget *pcOptions() const { return m_pages; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildGeneralPage();
    void buildLoggingPage();
    void buildBackupPage();
    void buildExclusionsPage();
    void buildReportDeliveryPage();
    void buildProxyPage();
    void translateTexts();
    void updateEnabling();
    void updatePasswordLabels();
    void changePassword(QString &password);
    void browseFolder(QLineEdit *edit);
    void addExcludedFolder();
    void tryAccept();

    QTabWidget *m_pages;
    Page m_startPage = pgGeneral;
    QString m_programPassword;
    QString m_smtpPassword;
    QString m_proxyPassword;

    // General
    QCheckBox *m_chRunProgramAtLogon;
    QCheckBox *m_chBlockSleepMode;
    QCheckBox *m_chProtectConfiguration;
    QPushButton *m_btSetPassword;
    QLabel *m_lbPasswordStatus;
    QLabel *m_lbProcessPriority;
    QComboBox *m_cbProcessPriority;
    QLabel *m_lbPathForTempFiles;
    QLineEdit *m_edPathForTempFiles;
    // Logging
    QLabel *m_lbMaxLogs;
    QSpinBox *m_seMaxLogs;
    QLabel *m_lbMaxHistory;
    QSpinBox *m_seMaxHistory;
    QLabel *m_lbMaxEvents;
    QSpinBox *m_seMaxEvents;
    QCheckBox *m_chDontLogCopyingInternalFiles;
    QLabel *m_lbPathForLogFiles;
    QLineEdit *m_edPathForLogFiles;
    // Backup
    QCheckBox *m_chRunOnlyOneJobAtATime;
    QLabel *m_lbDestinationNotAvailable;
    QLabel *m_lbRetryTimes;
    QSpinBox *m_seRetryTimes;
    QLabel *m_lbWaitSec;
    QSpinBox *m_seWaitSec;
    QLabel *m_lbThen;
    QRadioButton *m_rbCancelTheJob;
    QRadioButton *m_rbPauseTheJob;
    QCheckBox *m_chRemovePreviousBackupIfCancelled;
    QCheckBox *m_chPreventOtherAppsFromWriting;
    QCheckBox *m_chDontUseBuffering;
    QCheckBox *m_chSkipHiddenSystemFiles;
    QCheckBox *m_chSkipLockedFiles;
    // Exclusions
    QLabel *m_lbExcludedDirs;
    QPlainTextEdit *m_meExcludedDirs;
    QPushButton *m_btAddExcludedDir;
    // Report Delivery
    QCheckBox *m_chSendEmail;
    QCheckBox *m_chSendOnlyIfCancelled;
    QLabel *m_lbRecipient;
    QLineEdit *m_edRecipient;
    QLabel *m_lbSMTPHost;
    QLineEdit *m_edSMTPHost;
    QLabel *m_lbSMTPPort;
    QLineEdit *m_edSMTPPort;
    QLabel *m_lbSMTPUsername;
    QLineEdit *m_edSMTPUsername;
    QLabel *m_lbSMTPPassword;
    QLabel *m_lbSMTPPasswordStatus;
    QPushButton *m_btSetSMTPPassword;
    QLabel *m_lbSecurity;
    QComboBox *m_cbSecurity;
    QPushButton *m_btSendTest;
    // Proxy
    QCheckBox *m_chProxyEnabled;
    QLabel *m_lbProxyType;
    QComboBox *m_cbProxyType;
    QLabel *m_lbProxyHost;
    QLineEdit *m_edProxyHost;
    QLabel *m_lbProxyPort;
    QLineEdit *m_edProxyPort;
    QLabel *m_lbProxyUsername;
    QLineEdit *m_edProxyUsername;
    QLabel *m_lbProxyPassword;
    QLabel *m_lbProxyPasswordStatus;
    QPushButton *m_btSetProxyPassword;
    // Buttons
    QPushButton *m_btOK;
    QPushButton *m_btCancel;
};
