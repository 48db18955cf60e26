#pragma once
// The texts of a job as the table view of the jobs list shows them.
#include <QString>

class TJob;

namespace CliTexts {
// "Files and Folders Backup", "Drive Image Backup", "Application Data Backup".
QString Kind(const TJob &job);
// "Ready", "Waiting", "Running", "Cancelling", "Paused".
QString Status(const TJob &job);
// "Cancelled on ...", "Finished with errors on ...", "Finished with warnings
// on ...", "Finished on ..." or "Never started".
QString LastResult(const TJob &job);
// The exit code of a finished run: 3 cancelled or not connected, 2 errors,
// 1 warnings, 0 clean.
int RunExitCode(const TJob &job);
} // namespace CliTexts
