#pragma once
// Follows a job's run in the foreground: a progress line on standard error
// (files, bytes, the current file), the run's events as they come, Ctrl-C
// as a clean cancel, a run that waits for its destination resumed once the
// destination answers again (cli/reconnectwait.h), and the computer kept
// awake meanwhile.
#include <QString>

class CliContext;
class TJob;

// Waits until the job's worker has ended. Returns the last event line the
// run produced (its summary).
QString FollowRun(CliContext &context, TJob &job);

// The progress line of a running job.
QString ProgressLine(const TJob &job);
