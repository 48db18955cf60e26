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

// The options file: DataFolder + "/options.qvo".
QString OptionsFilePath();

// Whether setting the defaults writes the log-on entry. Only the windowed
// program does (Write); the command-line front end leaves the entry as it
// finds it (Leave), whichever program it starts.
enum class LogonEntry { Write, Leave };

// Sets every option to its default: the system's language code, run at log-on
// (with Write: true only when the autostart entry could be written; with
// Leave: whether the entry exists), the temporary folder "<temp>/QuorvaneTmp",
// the log folder "<Documents>/Quorvane", the excluded folders of the shipped
// "excluded-directories.txt", and the defaults of the record for everything
// else. The FTP accounts and LastFTPAccountID are kept.
void SetDefaultOptions(TOptions &options, LogonEntry logon = LogonEntry::Write);

// Reads the options file at `path` into `options`. Returns false when the file
// is missing (no event) or cannot be used: the event "Error loading options.
// Code: 2" when it cannot be opened, "Error loading options. Code: 1" when its
// content cannot be read or parsed. Fields read before a failure keep their
// values; the caller then applies SetDefaultOptions.
bool LoadOptions(TOptions &options, const QString &path);

// LoadOptions, then SetDefaultOptions when it failed. Returns whether the file
// was loaded.
bool LoadOptionsOrDefaults(TOptions &options, const QString &path, LogonEntry logon);

// Writes the options (format version 8) atomically to `path`. A new file is
// readable by its owner only, because it holds passwords. Returns false on
// failure, with `error` set when given. A file that LoadOptions found
// damaged ("Code: 1") is first renamed aside (KeepDamagedFileAside) with the
// event "The damaged file is kept as:" and the new path; when it cannot be
// renamed nothing is written.
bool SaveOptions(const TOptions &options, const QString &path, QString *error = nullptr);

// The index of the last account with this ID, or -1.
int FindFTPAccountIndex(const QVector<TFTPAccount> &accounts, qint32 id);
inline int FindFTPAccountIndex(const TOptions &options, qint32 id)
{
    return FindFTPAccountIndex(options.FTPAccounts, id);
}
// Appends `account` with the next ID (LastFTPAccountID + 1, which becomes the
// new LastFTPAccountID) and returns its index.
int AddFTPAccount(TOptions &options, TFTPAccount account);
