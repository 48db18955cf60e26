#include "jobs/jobtext.h"

#include "app/options/options.h"

QString FillPercentS(const QString &format, const QStringList &values)
{
    QString out;
    out.reserve(format.size() + 32);
    qsizetype next = 0;
    qsizetype from = 0;
    while (true) {
        const qsizetype at = format.indexOf(QLatin1String("%s"), from);
        if (at < 0 || next >= values.size()) {
            out += QStringView(format).mid(from);
            break;
        }
        out += QStringView(format).mid(from, at - from);
        out += values[next++];
        from = at + 2;
    }
    return out;
}

bool IsUsableEntryName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    return !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

QString OperationVerb(TFileOperationType type)
{
    switch (type) {
    case atCopyFromLocalToRemoteFile:
    case atCopyFromLocalToRemoteFileThroughTempFolder:
    case atCopyFromRemoteToLocalFile:
        return Translate(QStringLiteral("Copying"));
    case atRemoveRemoteFile:
    case atRemoveRemoteEmptyFolder:
    case atRemoveRemoteNotEmptyFolder:
        return Translate(QStringLiteral("Removing"));
    case atCreateRemoteFolder:
        return Translate(QStringLiteral("Creating"));
    case atRenameRemoteFolder:
    case atRenameRemoteFile:
        return Translate(QStringLiteral("Renaming"));
    case atAddToZip:
    case atCreateFolderInZip:
    case atMakeZipInTempFolderAndCopyToRemote:
        return Translate(QStringLiteral("Compressing"));
    case atNone_WaitingForReconnection:
    case atNone:
    default:
        return QString();
    }
}
