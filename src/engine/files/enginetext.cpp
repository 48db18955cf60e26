#include "engine/files/enginetext.h"

#include "jobs/job.h"

#include <QStringView>

bool IsSafeRelativePath(const QString &path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QChar(0)))
        return false;
    for (QStringView part : QStringView(path).split(QLatin1Char('/'))) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    }
    return true;
}

RunOutcomeTexts ByRunOutcome(const TJob &job, RunOutcomeTexts withErrors, RunOutcomeTexts withWarnings,
                             RunOutcomeTexts clean)
{
    qint32 errors = 0, warnings = 0;
    job.RunLogCounts(errors, warnings);
    return errors >= 1 ? withErrors : warnings >= 1 ? withWarnings : clean;
}
