#pragma once
// The windows the main window opens for a job but does not own: the job
// kind chooser and the wizards, the open-job dialog, the restore windows,
// the log viewer and the two client tools. They belong to the editing
// windows; the main window asks Available() first and, for a window that
// is not part of this build, explains that instead of opening anything.
#include "jobs/jobtypes.h"

#include <QString>
#include <memory>

class QWidget;
class TJob;

class JobWindows {
public:
    enum Window { wJobKindChooser, wWizard, wOpenJob, wRestore, wLogViewer, wFtpClient, wCloudClient };

    // Inline, so that implementations in the libraries the shell links
    // need nothing from the shell's own objects.
    virtual ~JobWindows() = default;

    virtual bool Available(Window window) const = 0;
    // The job kind chooser: 0 when cancelled, else a TJobKind.
    virtual int ChooseJobKind(QWidget *parent) = 0;
    // The kind's wizard on `job`, captioned `caption` (already translated):
    // cleared first for a new job, else showing the job's settings. On
    // acceptance the job holds the settings. Returns a TWindowResult
    // (0 cancelled, 1 accepted, 2 "Save && Run").
    virtual int RunWizard(TJob &job, const QString &caption, bool clear, QWidget *parent) = 0;
    // The open-job dialog with its default path: the job it made, or nothing.
    virtual std::unique_ptr<TJob> OpenJob(const QString &defaultPath, QWidget *parent) = 0;
    // The kind's restore of an idle job.
    virtual void Restore(TJob &job, QWidget *parent) = 0;
    // The log viewer on a file: a run log, or (runLog false) a history.
    virtual void ShowLog(const QString &path, bool runLog, QWidget *parent) = 0;
    virtual void ShowFtpClient(QWidget *parent) = 0;
    virtual void ShowCloudClient(QWidget *parent) = 0;
};

// The windows of this build: none of them is available yet.
std::unique_ptr<JobWindows> CreateUnavailableJobWindows();

// The information text for a window that is not part of this build.
QString WindowNotAvailableText(JobWindows::Window window);
