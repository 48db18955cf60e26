#pragma once
// The e-mail report at the end of a backup run. The run decides whether the
// options ask for a report; the notification subsystem installs the sender
// that composes and sends it. Until a sender is installed no report goes out.
#include <QString>
#include <functional>

class TJob;

// Sends the report of `job`'s run with `resultText` (the run's final line).
// Called on the run's worker thread; it may block while it sends.
using RunReportSender = std::function<void(TJob &job, const QString &resultText)>;

// Installs (or, with an empty function, removes) the sender. Set it before
// runs start; it is read by every worker.
void SetRunReportSender(RunReportSender sender);

// The end of a run that reached the destination: a report when the options
// ask for one, and, with "only if cancelled", only for a cancelled run.
void SendRunReportIfWanted(TJob &job, const QString &resultText, bool cancelled);
// A run that could not connect: a report whenever reports are on.
void SendConnectionFailureReport(TJob &job, const QString &resultText);
