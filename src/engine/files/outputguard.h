#pragma once
// Keeps a restore inside the output folder the user chose. A relative path
// from a state list is accepted only when it is a plain relative path (no
// absolute path, no "." or ".." components) and no folder on its way below
// the output folder is a symbolic link, which could lead anywhere.
#include "engine/files/pathindex.h"

#include <QString>

class OutputFolderGuard {
public:
    explicit OutputFolderGuard(const QString &outputFolder) : m_root(outputFolder) {}

    // `relative` may be written or removed below the output folder. With
    // `includeLast` the last component is checked too (a folder that is
    // created, entered or removed); without it only the folders above it
    // (a file, which is replaced or unlinked itself, never followed).
    bool Allows(const QString &relative, bool includeLast);

private:
    QString m_root;
    PathSet m_realFolders; // relative folders already seen to be real folders
};
