#pragma once
// The editing windows filled from a job without running anything, for the
// screenshot tool (tests/screenshots): the log viewer on the job's latest
// run log, and the restore-point window listing the points of a backup set
// on a local destination (read from its remote job file, read-only).
#include <memory>

class QWidget;
class TJob;
class TJob_FilesAndFolders;
class TfrmLog;
class TfrmRestoreList;

// Nothing when the job has no saved log.
std::unique_ptr<TfrmLog> LogViewerPreview(TJob &job, QWidget *parent);
// Nothing when the destination is not local or its job file cannot be read.
std::unique_ptr<TfrmRestoreList> RestoreListPreview(const TJob_FilesAndFolders &job, QWidget *parent);
