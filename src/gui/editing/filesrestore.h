#pragma once
// The windowed restore of a files-and-folders job: the output-folder picker,
// the restore-point window (with its loading panel while the list is read),
// the ZIP password query, then the engine's restore worker.
class QWidget;
class TJob_FilesAndFolders;

enum class RestoreStart { Started, Refused, Failed, Cancelled };

// Runs the interactive half on the main thread and starts the worker.
// Refused: the job is busy; Failed: the points could not be read (the
// error was shown); Cancelled: the user stopped before the worker started.
RestoreStart RestoreFilesJob(TJob_FilesAndFolders &job, QWidget *parent = nullptr);
