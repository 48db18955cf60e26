#include "app/commandline.h"

#include "base/appstate.h"
#include "base/paths.h"

bool CommandLine::IsWord(const QString &argument, const QString &word)
{
    QStringView rest(argument);
    if (rest.startsWith(QLatin1String("--")))
        rest = rest.mid(2);
    else if (rest.startsWith(QLatin1Char('-')) || rest.startsWith(QLatin1Char('/')))
        rest = rest.mid(1);
    else
        return false;
    return rest.compare(word, Qt::CaseInsensitive) == 0;
}

CommandLine CommandLine::Parse(const QStringList &arguments)
{
    CommandLine cl;
    for (const QString &a : arguments) {
        cl.Backup = cl.Backup || IsWord(a, QStringLiteral("backup"));
        cl.Restore = cl.Restore || IsWord(a, QStringLiteral("restore"));
        cl.Remove = cl.Remove || IsWord(a, QStringLiteral("remove"));
        cl.Admin = cl.Admin || IsWord(a, QStringLiteral("admin"));
        cl.Hide = cl.Hide || IsWord(a, QStringLiteral("hide"));
    }
    cl.FirstArgument = arguments.value(0);
    cl.SecondArgument = arguments.value(1);
    return cl;
}

bool IsJobFilePath(const QString &path)
{
    return !path.isEmpty() && PathExtension(path) == AppState::JobFileExtension();
}
