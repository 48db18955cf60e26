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
// read, or whose content `parse` rejects (any QvError), adds "... Code: 1".
bool LoadLocalJobFileContent(const TJob &job, const QString &path,
                             const std::function<void(const QByteArray &)> &parse);

// Writes `plain` to `path` atomically; on failure adds "Unable to save the
// settings. Please check the possibility to write to the file: <path>".
bool SaveLocalJobFileContent(const TJob &job, const QString &path, const QByteArray &plain);

// Reads a remote job file (a working copy on local disk) into `plain`.
// Returns false when the file does not exist; throws QvError when it exists
// but cannot be opened or read.
bool ReadRemoteJobFileContent(const QString &path, QByteArray &plain);
// The same, read a piece at a time while `parse` reads the fields.
bool ReadRemoteJobFileDecoded(const QString &path, const std::function<void(BinaryReader &)> &parse);

// Writes a remote job file atomically; reports nothing (the upload that
// follows tells the caller).
bool WriteRemoteJobFileContent(const QString &path, const QByteArray &plain);
