#pragma once
// The global options record. One process-wide instance (Options()) lives on
// the main thread; every job works on its own deep copy (its JobOptions).
#include "base/translation.h"

#include <QString>
#include <QStringList>
#include <QVector>

struct TFTPAccount {
    qint32 ID = 0;
    QString AccName;
    QString Host;
    qint32 Port = 21;
    QString Username;
    QString Password;
    bool PassiveMode = true;
    bool FTPS = false;

    bool operator==(const TFTPAccount &) const = default;
};

struct TGeneralOptions {
    bool RunProgramAtLogon = false;
    bool BlockSleepModeifJobIsScheduled = true;
    bool ProtectConfigurationbyPassword = false;
    QString strProtectConfiguration_Password;
    qint32 ProcessPriority = 1; // 0 idle, 1 normal, 2 high, 3 real-time
    QString PathForTempFiles;

    bool operator==(const TGeneralOptions &) const = default;
};

struct TLoggingOptions {
    qint32 MaxNumberOfLogsForEachJob = 20;
    qint32 MaxNumberOfLinesInHistory = 500;
    qint32 MaxNumberOfLinesInEventsLog = 50;
    bool DontLogCopyingInternalFiles = false;
    QString PathForLogFiles;

    bool operator==(const TLoggingOptions &) const = default;
};

struct TProcessingOptions {
    bool RunOnlyOneJobAtATime = false;
    qint32 IfDestinationNotAvailable_Retry_Times = 5;
    qint32 IfDestinationNotAvailable_Wait_Sec = 60;
    qint32 IfDestinationNotAvailable_Then = 0; // 0 cancel the job, 1 pause it
    bool PreventOtherAppsFromWritingDuringZipping = false;
    bool RemovePreviousBackupIfCancelled = true;
    bool DontUseBufferingForCopyOperations = false;
    bool SkipHiddenSystemFiles = false;
    bool SkipLockedFiles = false;

    bool operator==(const TProcessingOptions &) const = default;
};

struct TEmailOptions {
    bool SendEmailNotificationWhenFinishedBackup = false;
    bool SendOnlyIfJobIscancelledDueToErrors = false;
    QString RecipientEmail;
    QString SMTPHost;
    QString SMTPPort; // stored as text
    QString Username;
    QString Password;
    qint32 Security = 0; // 0 none, 1 SSL, 2 TLS

    bool operator==(const TEmailOptions &) const = default;
};

struct TProxyOptions {
    bool Enabled = false;
    qint32 PrType = 0; // 0 HTTP, 1 SOCKS 4, 2 SOCKS 5
    QString Host;
    QString Port; // stored as text, converted when used
    QString Username;
    QString Password;

    bool operator==(const TProxyOptions &) const = default;
};

struct TOptions {
    TLanguageOptions Language;
    TGeneralOptions General;
    TLoggingOptions Logging;
    TProcessingOptions Processing;
    QStringList ExcludedDirs;
    TEmailOptions Email;
    QVector<TFTPAccount> FTPAccounts;
    TProxyOptions Proxy;
    // Beside the record in the options file: the highest FTP account ID given out.
    qint32 LastFTPAccountID = 0;
};

// The process-wide options record (main thread only).
TOptions &Options();

// Translates through the global table; returns the text unchanged while
// the program is quitting.
QString Translate(const QString &text);
