#pragma once
// The values inside the golden files of tests/fixtures/golden: one record of
// each stored format with a distinct, non-default value in every stored
// field (so that two fields read in the wrong order never give the right
// result), and how a reader of each older version fills them. The golden
// writer (goldenwriter.cpp) wrote the files from these values; the golden
// tests read the files and compare them with these values.
#include "options/options.h"
#include "base/cloudcredentials.h"
#include "jobs/jobkinds.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace Golden {

// The folder of the golden files below the source tree.
inline constexpr const char *kFolder = "tests/fixtures/golden";

// --- options (options.qvo) ---

inline constexpr int kOptionsVersion = 8;
TOptions Options();
// The options as the reader fills them from a file of `version` that a
// release of that version wrote with Options(): the fields the version
// lacks get the reader's documented defaults.
TOptions OptionsAsReadFrom(int version);

// --- job files ---

// The jobs of the three kinds as their current local job files hold them.
std::unique_ptr<TJob_FilesAndFolders> FilesJob();
std::unique_ptr<TJob_DriveImage> DriveImageJob();
std::unique_ptr<TJob_AppsData> AppsDataJob();
std::unique_ptr<TJob> Job(TJobKind kind);
// The current format version of a kind's job files.
int CurrentVersion(TJobKind kind);
// The file name of a job file of `kind` and `version`: "filesandfolders-v5.qvd"
// (local) or ".qvj" (remote).
QString JobFileName(TJobKind kind, int version, bool remote);

// The job as its remote job file stores it: the job with empty passwords
// (remote files carry no passwords).
std::unique_ptr<TJob> RemoteJob(TJobKind kind);
// The backup-set state in the files-and-folders remote file.
TBackupSetState State();
// The application catalogue the application-data remote file was written
// with: AppsDataJob().AppNames without one name, and one entry more.
QList<TAppData> Catalogue();

// The job as a reader fills a fresh job of `kind` from the local (or, with
// `remote`, the remote) job file of `version`: the fields older versions
// lack get their documented values, and a remote file disables the
// schedule and leaves the destination the caller set.
std::unique_ptr<TJob> JobAsReadFrom(TJobKind kind, int version, bool remote);
// The application-data catalogue entries the remote file carries.
QList<TAppData> RemoteAppsData();

// The source items as a version 1 file stored them (folders without "*").
QStringList LegacySourceItems();
QStringList LegacyDriveItems();

// --- the jobs list (jobslist.qvl) ---

// The job names in list order; each names a job of the kind at the same
// place in JobsListKinds().
QStringList JobsListNames();
QList<TJobKind> JobsListKinds();

// --- the state lists of a run folder (_rf.qvl and the others) ---

struct StateList {
    const char *file; // its name in the run folder
    QStringList lines;
};
QList<StateList> StateLists();

// --- the cloud credentials (mcs.dt) ---

TCloudCredentials CloudCredentials();

} // namespace Golden
