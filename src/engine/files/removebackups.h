#pragma once
class TJob_FilesAndFolders;

// Deletes the job's backups at the destination: the remote job file, then
// (only when that worked) the set's folder with everything in it. Runs on
// the calling thread. True when both were deleted; a failed connection is
// reported as an event. Refused (false) while the job has an active run.
bool Remove(TJob_FilesAndFolders &job);
