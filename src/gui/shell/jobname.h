#pragma once
// The check of a job name typed for New Job, Rename and Duplicate.
#include <QString>

class JobsList;

enum class JobNameCheck { Valid, Empty, InvalidCharacters, Duplicate };

// `name` as typed: empty after trimming is ignored; any of < > : " / \ | ? *
// is refused; a name equal to an existing job's name without regard to
// letter case (both trimmed) is a duplicate.
JobNameCheck CheckJobName(const QString &name, const JobsList &jobs);

// The error text of a refused name (empty for Valid and Empty).
QString JobNameErrorText(JobNameCheck check, const QString &name);

// The nine characters no job name may hold, in the order the error shows them.
inline QString ForbiddenJobNameCharacters()
{
    return QStringLiteral("<>:\"/\\|?*");
}
