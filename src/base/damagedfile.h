#pragma once
// A stored file of the program that was found damaged is never overwritten
// by its next save: the damaged file is renamed aside first, so that what
// it still holds can be recovered by hand.
#include <QString>

// Renames `path` to `path` + ".damaged", or, when that name is taken, to
// `path` + ".2.damaged", ".3.damaged" and so on, never replacing an earlier
// damaged copy. Returns the new path. Returns an empty string when there is
// nothing at `path` (`error` stays empty) or when the rename fails (`error`
// says why).
QString KeepDamagedFileAside(const QString &path, QString *error = nullptr);
