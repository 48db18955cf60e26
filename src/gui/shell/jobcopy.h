#pragma once
// Copies of a job's settings: Duplicate makes a new job of the same kind
// with the selected job's settings, Properties takes the settings a wizard
// edited on a copy back into the job.
#include <QString>
#include <memory>

class TJob;

// The destination, the schedule and the kind's own settings of `from` into
// `to` (both of the same kind); the derived fields follow. The name, the
// run state, the last result, the history and the logs stay `to`'s.
void TakeJobSettings(TJob &to, const TJob &from);

// A new job of `source`'s kind named `name`, with its settings.
std::unique_ptr<TJob> DuplicateJob(const TJob &source, const QString &name);
