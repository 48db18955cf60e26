#include "options/optionscodec.h"

#include "base/binarycodec.h"

namespace {
// The smallest encoding of one FTP account: four empty strings (their
// counts), the ID, the port and the two flags.
constexpr qint64 kMinAccountBytes = 4 * 4 + 4 + 4 + 1 + 1;

void writeAccount(BinaryWriter &w, const TFTPAccount &a)
{
    w.writeString(a.AccName);
    w.writeInt32(a.ID);
    w.writeString(a.Host);
    w.writeString(a.Username);
    w.writeString(a.Password);
    w.writeInt32(a.Port);
    w.writeBool(a.PassiveMode);
    w.writeBool(a.FTPS);
}

void readAccount(BinaryReader &r, TFTPAccount &a)
{
    a.AccName = r.readString();
    a.ID = r.readInt32();
    a.Host = r.readString();
    a.Username = r.readString();
    a.Password = r.readString();
    a.Port = r.readInt32();
    a.PassiveMode = r.readBool();
    a.FTPS = r.readBool();
}
} // namespace

namespace OptionsCodec {

QByteArray Encode(const TOptions &o)
{
    BinaryWriter w;
    w.writeInt32(kCurrentVersion);
    w.writeString(o.Language.LanguageOfInterface);
    w.writeBool(o.General.RunProgramAtLogon);
    w.writeBool(o.General.ProtectConfigurationbyPassword);
    w.writeBool(o.General.BlockSleepModeifJobIsScheduled);
    w.writeString(o.General.strProtectConfiguration_Password);
    w.writeInt32(o.General.ProcessPriority);
    w.writeString(o.General.PathForTempFiles);
    w.writeInt32(o.Logging.MaxNumberOfLogsForEachJob);
    w.writeInt32(o.Logging.MaxNumberOfLinesInHistory);
    w.writeInt32(o.Logging.MaxNumberOfLinesInEventsLog);
    w.writeBool(o.Logging.DontLogCopyingInternalFiles);
    w.writeString(o.Logging.PathForLogFiles);
    w.writeBool(o.Processing.RunOnlyOneJobAtATime);
    w.writeInt32(o.Processing.IfDestinationNotAvailable_Retry_Times);
    w.writeInt32(o.Processing.IfDestinationNotAvailable_Wait_Sec);
    w.writeInt32(o.Processing.IfDestinationNotAvailable_Then);
    w.writeBool(o.Processing.RemovePreviousBackupIfCancelled);
    w.writeBool(o.Processing.PreventOtherAppsFromWritingDuringZipping);
    w.writeBool(o.Processing.DontUseBufferingForCopyOperations);
    w.writeBool(o.Processing.SkipHiddenSystemFiles);
    w.writeBool(o.Processing.SkipLockedFiles);
    w.writeStringList(o.ExcludedDirs);
    w.writeBool(o.Email.SendEmailNotificationWhenFinishedBackup);
    w.writeBool(o.Email.SendOnlyIfJobIscancelledDueToErrors);
    w.writeString(o.Email.RecipientEmail);
    w.writeString(o.Email.SMTPHost);
    w.writeString(o.Email.SMTPPort);
    w.writeString(o.Email.Username);
    w.writeString(o.Email.Password);
    w.writeInt32(o.Email.Security);
    w.writeInt32(o.Proxy.PrType);
    w.writeBool(o.Proxy.Enabled);
    w.writeString(o.Proxy.Host);
    w.writeString(o.Proxy.Port);
    w.writeString(o.Proxy.Username);
    w.writeString(o.Proxy.Password);
    w.writeInt32(o.LastFTPAccountID);
    w.writeInt32(static_cast<qint32>(o.FTPAccounts.size()));
    for (const TFTPAccount &a : o.FTPAccounts)
        writeAccount(w, a);
    return w.data();
}

void Decode(const QByteArray &plain, TOptions &o)
{
    BinaryReader r(plain);
    const qint32 version = r.readInt32();
    // A newer program may have inserted fields anywhere: reading its file
    // as if it were ours would fill the options with shifted values.
    if (version < kOldestVersion || version > kCurrentVersion)
        throw DecodeError(QStringLiteral("Unknown options format version %1").arg(version));

    o.Language.LanguageOfInterface = r.readString();
    o.General.RunProgramAtLogon = r.readBool();
    o.General.ProtectConfigurationbyPassword = r.readBool();
    o.General.BlockSleepModeifJobIsScheduled = version >= 8 ? r.readBool() : true;
    o.General.strProtectConfiguration_Password = r.readString();
    o.General.ProcessPriority = r.readInt32();
    o.General.PathForTempFiles = r.readString();
    o.Logging.MaxNumberOfLogsForEachJob = r.readInt32();
    o.Logging.MaxNumberOfLinesInHistory = r.readInt32();
    o.Logging.MaxNumberOfLinesInEventsLog = r.readInt32();
    o.Logging.DontLogCopyingInternalFiles = r.readBool();
    o.Logging.PathForLogFiles = r.readString();
    o.Processing.RunOnlyOneJobAtATime = r.readBool();
    o.Processing.IfDestinationNotAvailable_Retry_Times = r.readInt32();
    o.Processing.IfDestinationNotAvailable_Wait_Sec = r.readInt32();
    o.Processing.IfDestinationNotAvailable_Then = version >= 6 ? r.readInt32() : 0;
    o.Processing.RemovePreviousBackupIfCancelled = version >= 7 ? r.readBool() : true;
    o.Processing.PreventOtherAppsFromWritingDuringZipping = r.readBool();
    o.Processing.DontUseBufferingForCopyOperations = r.readBool();
    o.Processing.SkipHiddenSystemFiles = r.readBool();
    o.Processing.SkipLockedFiles = version >= 3 ? r.readBool() : false;
    if (version >= 5)
        o.ExcludedDirs = r.readStringList();
    else
        o.ExcludedDirs.clear();
    o.Email.SendEmailNotificationWhenFinishedBackup = r.readBool();
    o.Email.SendOnlyIfJobIscancelledDueToErrors = r.readBool();
    o.Email.RecipientEmail = r.readString();
    o.Email.SMTPHost = r.readString();
    o.Email.SMTPPort = r.readString();
    o.Email.Username = r.readString();
    o.Email.Password = r.readString();
    o.Email.Security = r.readInt32();
    const qint32 prType = r.readInt32();
    if (version >= 4) {
        o.Proxy.PrType = prType;
        o.Proxy.Enabled = r.readBool();
    } else {
        // Older files store 0 for "no proxy" and otherwise the type plus one.
        o.Proxy.Enabled = prType > 0;
        o.Proxy.PrType = prType > 0 ? prType - 1 : prType;
    }
    o.Proxy.Host = r.readString();
    o.Proxy.Port = r.readString();
    o.Proxy.Username = r.readString();
    o.Proxy.Password = r.readString();
    o.LastFTPAccountID = r.readInt32();

    const qint32 count = r.readInt32();
    if (count < 0 || qint64(count) * kMinAccountBytes > r.remaining())
        throw DecodeError(QStringLiteral("Invalid number of FTP accounts %1 (%2 bytes left)").arg(count).arg(r.remaining()));
    o.FTPAccounts.clear();
    o.FTPAccounts.reserve(count);
    for (qint32 i = 0; i < count; ++i) {
        // Only whole accounts are kept when the content ends early.
        TFTPAccount a;
        readAccount(r, a);
        o.FTPAccounts.append(a);
    }
}

} // namespace OptionsCodec
