#include "jobs/jobtext.h"

#include "options/options.h"

QString FillPercentS(const QString &format, const QStringList &values)
{
    QString out;
    out.reserve(format.size() + 32);
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == QLatin1Char('%') && i + 1 < format.size()) {
            const QChar n = format[i + 1];
            if (n == QLatin1Char('%')) {
                out += QLatin1Char('%');
                ++i;
                continue;
            }
            if (n == QLatin1Char('s') && next < values.size()) {
                out += values[next++];
                ++i;
                continue;
            }
        }
        out += c;
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
