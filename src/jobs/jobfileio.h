#pragma once
// Reading and writing job files on disk, shared by the three job kinds. The
// kinds build and parse the plain content; these functions move it through
// the scrambled container and report failures the way the program does.
#include <QByteArray>
#include <QString>
#include <functional>

class BinaryReader;
class TJob;

// Reads the local job file at `path` and passes its plain content to
// `parse`. A missing file returns false silently; a file that cannot be
// opened adds "Error loading job \"<name>\". Code: 2"; a file that cannot be
// read, or whose content `parse` rejects (any QvError), adds "... Code: 1"
// and marks the job's file as damaged (TJob::LocalJobFileDamaged).
bool LoadLocalJobFileContent(TJob &job, const QString &path, const std::function<void(const QByteArray &)> &parse);

// Writes `plain` to `path` atomically; on failure adds "Unable to save the
// settings. Please check the possibility to write to the file: <path>".
// When the job's file was found damaged at load, that file is first renamed
// aside (KeepDamagedFileAside) with the event "The damaged file is kept as:"
// and the new path; when it cannot be renamed, nothing is written (the
// event "Unable to keep the damaged file aside:" with the path and reason,
// then the save failure).
bool SaveLocalJobFileContent(TJob &job, const QString &path, const QByteArray &plain);

// Reads a remote job file (a working copy on local disk) and passes its
// plain content to `parse`. Returns false when the file does not exist;
// throws QvError when it exists but cannot be opened or read, and when
// `parse` rejects it (DecodeError), with a message that names the file, the
// fault and what the user can do.
bool ReadRemoteJobFileContent(const QString &path, const std::function<void(const QByteArray &)> &parse);
// The same, read a piece at a time while `parse` reads the fields.
bool ReadRemoteJobFileDecoded(const QString &path, const std::function<void(BinaryReader &)> &parse);

// Writes a remote job file atomically; reports nothing (the upload that
// follows tells the caller).
bool WriteRemoteJobFileContent(const QString &path, const QByteArray &plain);
