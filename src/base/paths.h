#pragma once
// Path helpers of the engine. Local and network paths use the host
// separator '/'; FTP and cloud paths use '/' as well.
#include <QString>

// Joins two path parts: an empty part yields the other; a rooted second part
// (beginning with the separator) is returned alone; otherwise exactly one
// separator stands between them. A NUL character in either part throws
// QvError("Invalid characters in path").
QString JoinPath(const QString &first, const QString &second);

// Long paths need no prefix on this platform; every file-system call still
// goes through here so that the rule lives in one place.
inline QString ToLongPath(const QString &path) { return path; }

// The parent of a remote ("/"-separated) path: its text up to the last
// slash, or "/" when that would be empty.
QString RemoteParentPath(const QString &path);

// The parent folder of a local path (text up to the last separator, without
// it; "/" for a top-level entry; empty when there is no separator).
QString LocalParentPath(const QString &path);

// The last component of a path of either kind.
QString PathFileName(const QString &path);

// The extension with its dot (".txt"), or empty.
QString PathExtension(const QString &path);

// True when the path contains characters that no file name may hold.
bool HasInvalidPathCharacters(const QString &path);
