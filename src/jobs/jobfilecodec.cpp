#include "jobs/jobfilecodec.h"

#include "base/errors.h"
#include "base/paths.h"

namespace JobFileCodec {

void WriteHeader(BinaryWriter &w, qint32 version, TJobKind kind)
{
    w.writeInt32(version);
    if (version > 3)
        w.writeInt32(kind);
}

Header ReadHeader(BinaryReader &r)
{
    Header h;
    h.version = r.readInt32();
    h.kind = h.version > 3 ? static_cast<TJobKind>(r.readInt32()) : jkFilesAndFolders;
    return h;
}

Header ReadHeaderOfKind(BinaryReader &r, TJobKind expected)
{
    const Header h = ReadHeader(r);
    // Files from before the kind field carry no kind; every loader accepts them.
    if (h.version > 3 && h.kind != expected)
        throw DecodeError(QStringLiteral("The file holds a job of kind %1, not %2").arg(h.kind).arg(expected));
    return h;
}

void WriteResultBlock(BinaryWriter &w, const TJobResult &result, const QStringList &logList,
                      const QStringList &history)
{
    w.writeDateTime(result.StartTime);
    w.writeDateTime(result.EndTime);
    w.writeBool(result.Cancelled);
    w.writeInt32(result.ErrorsCount);
    w.writeInt32(result.WarningsCount);
    w.writeStringList(logList);
    w.writeStringList(history);
}

void ReadResultBlock(BinaryReader &r, qint32 version, TJobResult &result, QStringList &logList,
                     QStringList &history)
{
    result.StartTime = r.readDateTime();
    result.EndTime = r.readDateTime();
    result.Cancelled = r.readBool();
    if (version < 3) {
        r.skip(2);
        result.ErrorsCount = 1;
        result.WarningsCount = 1;
    } else {
        result.ErrorsCount = r.readInt32();
        result.WarningsCount = r.readInt32();
    }
    logList = r.readStringList();
    history = r.readStringList();
}

void WriteDestinationBlock(BinaryWriter &w, const TDestinationSettings &d)
{
    w.writeEnum(d.DestinationType);
    w.writeString(d.LocalOrExternalDrive.Disk);
    w.writeString(d.LocalOrExternalDrive.Subfolder);
    w.writeString(d.Network.Username);
    w.writeString(d.Network.Password);
    w.writeString(d.Network.UNCPath);
    w.writeInt32(d.FTP.AccountID);
    w.writeString(d.FTP.Subfolder);
    w.writeString(d.Cloud.ServiceName);
    w.writeString(d.Cloud.Subfolder);
}

void WriteRemoteDestinationBlock(BinaryWriter &w, const TDestinationSettings &d)
{
    TDestinationSettings withoutSecret = d;
    withoutSecret.Network.Password.clear();
    WriteDestinationBlock(w, withoutSecret);
}

void ReadDestinationBlock(BinaryReader &r, TDestinationSettings &d)
{
    d.DestinationType = r.readEnum<TDestinationType>();
    d.LocalOrExternalDrive.Disk = r.readString();
    d.LocalOrExternalDrive.Subfolder = r.readString();
    d.Network.Username = r.readString();
    d.Network.Password = r.readString();
    d.Network.UNCPath = r.readString();
    d.FTP.AccountID = r.readInt32();
    d.FTP.Subfolder = r.readString();
    d.Cloud.ServiceName = r.readString();
    d.Cloud.Subfolder = r.readString();
}

bool ReadDestinationBlockKeepingActual(BinaryReader &r, TDestinationSettings &d)
{
    TDestinationSettings stored;
    ReadDestinationBlock(r, stored);

    bool changed = stored.DestinationType != d.DestinationType;
    const TDestinationType actual = d.DestinationType;
    // Take the stored settings of the other kinds; compare those of the actual one.
    auto keepOrTake = [&](TDestinationType kind, auto &field, const auto &storedField) {
        if (kind == actual)
            changed = changed || field != storedField;
        else
            field = storedField;
    };
    keepOrTake(dtLocalOrExternalDrive, d.LocalOrExternalDrive.Disk, stored.LocalOrExternalDrive.Disk);
    keepOrTake(dtLocalOrExternalDrive, d.LocalOrExternalDrive.Subfolder, stored.LocalOrExternalDrive.Subfolder);
    keepOrTake(dtNetwork, d.Network.Username, stored.Network.Username);
    if (actual != dtNetwork)
        d.Network.Password = stored.Network.Password;
    keepOrTake(dtNetwork, d.Network.UNCPath, stored.Network.UNCPath);
    keepOrTake(dtFTP, d.FTP.Subfolder, stored.FTP.Subfolder);
    keepOrTake(dtCloud, d.Cloud.ServiceName, stored.Cloud.ServiceName);
    keepOrTake(dtCloud, d.Cloud.Subfolder, stored.Cloud.Subfolder);
    // The FTP account of the file belongs to the computer that wrote it.
    return changed;
}

void WriteSchedulingBlock(BinaryWriter &w, const TSchedulingSettings &s)
{
    w.writeEnum(s.SchedulingType);
    for (int i = 1; i <= 7; ++i)
        w.writeBool(s.DaysOfWeek[i]);
    for (int i = 1; i <= 31; ++i)
        w.writeBool(s.DaysOfMonth[i]);
    w.writeStringList(s.TimeTable);
    w.writeDateTime(s.LastModificationDateTime);
    w.writeBool(s.RunJobAsSoonAsPossibleAfterAScheduledStartIsMissed);
    w.writeBool(s.ShutdownPCInTheEnd);
}

void ReadSchedulingBlock(BinaryReader &r, TSchedulingSettings &s, bool disable)
{
    const TSchedulingType type = r.readEnum<TSchedulingType>();
    s.SchedulingType = disable ? stDisabled : type;
    for (int i = 1; i <= 7; ++i)
        s.DaysOfWeek[i] = r.readBool();
    for (int i = 1; i <= 31; ++i)
        s.DaysOfMonth[i] = r.readBool();
    s.TimeTable = r.readStringList();
    s.LastModificationDateTime = r.readDateTime();
    s.RunJobAsSoonAsPossibleAfterAScheduledStartIsMissed = r.readBool();
    s.ShutdownPCInTheEnd = r.readBool();
}

QString UpgradeLegacySourceItem(const QString &item)
{
    if (item.endsWith(QLatin1Char('*')) || !PathExtension(item).isEmpty())
        return item;
    if (item.endsWith(QLatin1Char('/')))
        return item + QLatin1Char('*');
    return item + QStringLiteral("/*");
}

void UpgradeLegacySourceItems(QStringList &items)
{
    for (QString &item : items)
        item = UpgradeLegacySourceItem(item);
}

} // namespace JobFileCodec
