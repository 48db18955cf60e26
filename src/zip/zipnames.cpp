#include "zip/zipnames.h"

#include <QStringList>

namespace ZipNames {

QString NormalizeForWriting(const QString &name, bool folder)
{
    QStringList kept;
    for (const QString &part : name.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String(".."))
            return QString();
        kept.append(part);
    }
    if (kept.isEmpty() || name.contains(QChar(0)))
        return QString();
    QString out = kept.join(QLatin1Char('/'));
    if (folder)
        out += QLatin1Char('/');
    return out;
}

QString SafeRelativePath(const QString &entryName, QString *reason)
{
    auto refuse = [&](const QString &why) {
        if (reason)
            *reason = why;
        return QString();
    };
    if (entryName.contains(QChar(0)))
        return refuse(QStringLiteral("The name contains a NUL character"));
    if (entryName.startsWith(QLatin1Char('/')) || entryName.startsWith(QLatin1Char('\\')))
        return refuse(QStringLiteral("The name is an absolute path"));
    if (entryName.size() >= 2 && entryName.at(1) == QLatin1Char(':'))
        return refuse(QStringLiteral("The name contains a drive"));
    QStringList kept;
    // Backslashes count as separators for the check: an archive made on
    // another system may use them, and "..\" must not slip through.
    QString unified = entryName;
    unified.replace(QLatin1Char('\\'), QLatin1Char('/'));
    for (const QString &part : unified.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".."))
            return refuse(QStringLiteral("The name leads out of the output folder"));
    }
    for (const QString &part : entryName.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        kept.append(part);
    }
    if (kept.isEmpty())
        return refuse(QStringLiteral("The name is empty"));
    return kept.join(QLatin1Char('/'));
}

} // namespace ZipNames

ExtensionMatcher::ExtensionMatcher(const QString &list)
{
    for (QString item : list.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        item = item.trimmed();
        if (item.startsWith(QLatin1String("*.")))
            item.remove(0, 2);
        else if (item.startsWith(QLatin1Char('.')))
            item.remove(0, 1);
        if (item.isEmpty())
            continue;
        QRegularExpression re(QRegularExpression::wildcardToRegularExpression(QStringLiteral("*.") + item),
                              QRegularExpression::CaseInsensitiveOption);
        if (re.isValid())
            m_masks.append(re);
    }
}

bool ExtensionMatcher::matches(const QString &fileName) const
{
    const QString name = fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
    for (const QRegularExpression &re : m_masks) {
        if (re.match(name).hasMatch())
            return true;
    }
    return false;
}
