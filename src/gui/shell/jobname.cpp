#include "gui/shell/jobname.h"

#include "options/options.h"
#include "jobs/jobslist.h"
#include "jobs/jobtext.h"

JobNameCheck CheckJobName(const QString &name, const JobsList &jobs)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return JobNameCheck::Empty;
    for (const QChar c : ForbiddenJobNameCharacters()) {
        if (trimmed.contains(c))
            return JobNameCheck::InvalidCharacters;
    }
    for (const auto &job : jobs.Jobs()) {
        if (job->stJobName.trimmed().compare(trimmed, Qt::CaseInsensitive) == 0)
            return JobNameCheck::Duplicate;
    }
    return JobNameCheck::Valid;
}

QString JobNameErrorText(JobNameCheck check, const QString &name)
{
    switch (check) {
    case JobNameCheck::InvalidCharacters:
        return Translate(QStringLiteral("The following symbols are not allowed in the title:")) +
               QStringLiteral("\n\n") + ForbiddenJobNameCharacters();
    case JobNameCheck::Duplicate:
        return FillPercentS(Translate(QStringLiteral("Job \"%s\" already exists. Please specify another name.")),
                            {name.trimmed()});
    case JobNameCheck::Valid:
    case JobNameCheck::Empty:
    default:
        return QString();
    }
}
