#pragma once
// The folders the program lives in, on this platform.
#include <QString>

namespace Folders {
// The user's configuration folder: $XDG_CONFIG_HOME, default ~/.config.
QString ConfigHome();
// $XDG_CONFIG_HOME/Quorvane (default ~/.config/Quorvane): options, jobs list,
// local job files, refresh tokens. Not created here.
QString DataFolder();
// The user's Documents folder (XDG_DOCUMENTS_DIR, else ~/Documents).
QString DocumentsFolder();
// The system temporary folder (TMPDIR, else /tmp).
QString TempFolder();
// The folder of the running executable.
QString ExecutableFolder();
// A file that ships beside the program: the executable's folder, then
// ../share/quorvane next to it. Returns the first existing path, or the
// path in the executable's folder when neither exists.
QString ShippedFile(const QString &name);
// Restricts an existing folder of the user to its owner (mode 0700) when
// group or others have any access to it: the data folder holds the options
// and job files, which may hold passwords. False with `error` when it
// cannot be done (the folder is missing or belongs to someone else).
bool RestrictToOwner(const QString &folder, QString *error = nullptr);
// Only for tests and tools: use this folder instead of the real data folder.
void SetDataFolderOverride(const QString &path);
} // namespace Folders
