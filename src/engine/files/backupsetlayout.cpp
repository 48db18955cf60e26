#include "engine/files/backupsetlayout.h"

#include <QLocale>

namespace BackupSet {

QString TypeSuffix(TBackupType type)
{
    switch (type) {
    case btFull:
        return QStringLiteral("Full)");
    case btDifferential:
        return QStringLiteral("Differential)");
    case btSynchronization:
        return QStringLiteral("Syncronization)");
    case btIncremental:
    default:
        return QStringLiteral("Incremental)");
    }
}

std::optional<TBackupType> TypeOfMarker(const QString &line)
{
    for (TBackupType t : {btIncremental, btDifferential, btFull, btSynchronization}) {
        if (line == TypeSuffix(t))
            return t;
    }
    return std::nullopt;
}

bool NameIsOfType(const QString &name, TBackupType type)
{
    return name.endsWith(TypeSuffix(type));
}

QString ZipMarker(const TCompression &compression)
{
    if (!compression.Enabled)
        return QString();
    QString marker = compression.CreateIndividualZipForEachItem ? QStringLiteral("ZIPs") : QStringLiteral("ZIP");
    if (compression.ProtectWithPassword)
        marker += QLatin1Char(' ');
    return marker + QStringLiteral(", ");
}

QString RunFolderName(const QDateTime &stamp, const TCompression &compression, TBackupType runType)
{
    return QLocale::c().toString(stamp, QStringLiteral("yyyy-MM-dd hh;mm;ss")) + QStringLiteral(" (")
           + ZipMarker(compression) + TypeSuffix(runType);
}

ZipMode ZipModeOfName(const QString &name)
{
    if (name.contains(QLatin1String("(ZIPs,")) || name.contains(QLatin1String("(ZIPs ,")))
        return ZipMode::ZipPerFile;
    if (name.contains(QLatin1String("(ZIP,")) || name.contains(QLatin1String("(ZIP ,")))
        return ZipMode::OneArchive;
    return ZipMode::Plain;
}

bool NameNeedsPassword(const QString &name)
{
    return name.contains(QLatin1String("(ZIP ,")) || name.contains(QLatin1String("(ZIPs ,"));
}

QString DisplayName(const QString &folderName)
{
    QString shown = folderName;
    shown.replace(QLatin1Char(';'), QLatin1Char(':'));
    return shown;
}

} // namespace BackupSet
