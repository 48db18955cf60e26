#pragma once
// The rule for a local destination that lies inside a folder the job backs
// up: every run would copy its own backups again, deeper each time, until
// the paths grow too long. The wizard and "quorvane-cli create" warn about
// it (the job stays valid), and the scan leaves the backup set out.
#include <QString>
#include <QStringList>

#include <optional>

// The folder a folder source item names ("/data/*" -> "/data", "/*" -> "/"),
// or an empty string when `item` is not a folder item.
QString FolderOfSourceItem(const QString &item);

// Where the local path `inner` lies inside the local folder `outer`: its path
// relative to `outer` (empty when both name the same folder), or nothing
// when it lies elsewhere. Both are made absolute and clean, and the part of
// each that exists is compared with its links resolved, so that a link on
// the way (a home folder reached through one) neither hides the nesting nor
// invents one. Names are compared exactly, as the file system does.
std::optional<QString> PathInsideFolder(const QString &outer, const QString &inner);

// The first folder item of `sourceItems` whose folder holds the local
// folder `destination` or is that folder; empty when none does.
QString SourceItemHoldingFolder(const QStringList &sourceItems, const QString &destination);
