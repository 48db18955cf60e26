#include "gui/editing/wizardchecks.h"

#include <QFileInfo>

namespace {
const QString kExample = QStringLiteral("txt;doc;exe");
}

QString ValidateExtensionList(QString &text)
{
    QString t = text;
    t.remove(QLatin1Char(' '));
    t = t.toLower();
    if (t.startsWith(QLatin1Char(';')))
        t.remove(0, 1);
    if (t.endsWith(QLatin1Char(';')))
        t.chop(1);
    text = t;
    if (t.isEmpty())
        return QStringLiteral("Please specify extensions separated by ;");
    for (const QChar c : {QLatin1Char('*'), QLatin1Char('.'), QLatin1Char(','), QLatin1Char('\\'), QLatin1Char('/')})
        if (t.contains(c))
            return QStringLiteral("Characters * . , \\ / are not allowed.");
    return QString();
}

bool IsFolderItem(const QString &item)
{
    return item.endsWith(QStringLiteral("/*"));
}

QString SourceItemPath(const QString &item)
{
    if (!IsFolderItem(item))
        return item;
    const QString path = item.left(item.size() - 2);
    return path.isEmpty() ? QStringLiteral("/") : path;
}

QString GetDuplicatedNamesOfFoldersOrFiles(const QStringList &items)
{
    QStringList folderNames, folderPaths, fileNames, filePaths;
    for (const QString &item : items) {
        const bool folder = IsFolderItem(item);
        const QString path = SourceItemPath(item);
        const QString name = path == QStringLiteral("/") ? QString() : QFileInfo(path).fileName();
        if (name.isEmpty())
            continue; // the root folder has no name of its own
        QStringList &names = folder ? folderNames : fileNames;
        QStringList &paths = folder ? folderPaths : filePaths;
        for (int i = 0; i < names.size(); ++i)
            if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
                return path + QStringLiteral("\r\n") + paths.at(i);
        names.append(name);
        paths.append(path);
    }
    return QString();
}

bool InsertTimeSorted(QStringList &timeTable, const QString &time)
{
    if (timeTable.contains(time))
        return false;
    int at = 0;
    while (at < timeTable.size() && timeTable.at(at) < time)
        ++at;
    timeTable.insert(at, time);
    return true;
}
