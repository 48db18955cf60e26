#pragma once
// What every command of quorvane-cli starts from: the application core over
// the same data folder, options and jobs as the windowed program.
#include "app/applicationcore.h"
#include "platform/joblock.h"
#include "platform/singleinstance.h"

#include <QString>

class TJob;
class TJob_FilesAndFolders;

class CliContext {
public:
    CliContext();
    ~CliContext();

    // Brings the core up (data folder, options, translations, folders,
    // jobs); the events that report failures are printed. False when the
    // program cannot work: the data folder cannot be created, or the jobs
    // list is damaged (its event names the file and what the user can do).
    bool Start();
    ApplicationCore &Core() { return m_core; }

    // The job of exactly this name (letter case included); UsageError when
    // there is none.
    TJob &Job(const QString &name);
    // The same for a command that only works on files-and-folders jobs;
    // `refusal` is set instead when the job is of another kind.
    TJob_FilesAndFolders *FilesJob(const QString &name, QString *refusal);

    // Takes the single-instance lock for a change of the jobs list, so that
    // a running program (which keeps the list in memory and would write it
    // back without this change) is not running meanwhile. False with a
    // message when another instance holds it.
    bool LockJobsList(QString *message);

    // Takes the job's lock for a run, a restore or a removal
    // (app/jobrunlock.h) into `lock`. Returns ExitCode::Ok when it is held;
    // otherwise the reason is printed and the exit code to end with is
    // returned: ExitCode::Busy while another process works on the job.
    int LockJob(const TJob &job, JobLock &lock);

    // Prints the queued event lines on standard error (they also reach the
    // core's Events list); returns the last one.
    QString PrintEvents();

private:
    QString m_lastEvent;
    ApplicationCore m_core;
    InstanceLock m_lock;
};
