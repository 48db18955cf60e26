#pragma once
// Text helpers of the files-and-folders engine.
#include "jobs/jobtext.h"

#include <QString>
#include <QStringList>

// True when `path`, a relative path from a state list or a source scan,
// stays below any folder it is joined to: not empty, not absolute, and
// without empty, "." or ".." components or a NUL character.
bool IsSafeRelativePath(const QString &path);

class TJob;

// The final texts of a run: the event pattern and the history line.
struct RunOutcomeTexts {
    QString pattern;
    QString history;
};
// The texts for how `job`'s run went by its log counts: with errors, with
// warnings, or clean.
RunOutcomeTexts ByRunOutcome(const TJob &job, RunOutcomeTexts withErrors, RunOutcomeTexts withWarnings,
                             RunOutcomeTexts clean);
