#pragma once
// The job that "quorvane-cli create" makes, read from its options and
// checked the way the job wizard checks its pages.
#include "cli/cliargs.h"
#include "jobs/jobkinds.h"

#include <QString>
#include <QStringList>

// Reads the arguments of "create" into a new job. UsageError for every
// mistake: no name, no source, no destination, a source that does not exist,
// two sources of one name, an option that does not fit the backup type, a
// bad extension list, day list or time. `warnings` receives what the wizard
// only warns about (a destination folder that does not exist yet).
std::unique_ptr<TJob_FilesAndFolders> JobFromCreateArguments(const QStringList &args, QStringList *warnings);

// The wizard's check of an extension list: blanks removed, lower case, one
// leading and one trailing ";" dropped; UsageError when it is empty or holds
// "*", ".", ",", "\" or "/".
QString NormaliseExtensionList(const QString &option, const QString &text);

// The nine characters a job name may not hold, as the error lists them.
inline const QString kForbiddenNameCharacters = QStringLiteral("<>:\"/\\|?*");
// The error for a job name that cannot be used, or "" when it can.
QString JobNameError(const QString &name);

// A local destination folder as the wizard stores it: the mount point that
// holds it as the disk, the rest (with a leading "/") as the subfolder.
void SetLocalDestination(TDestinationSettings &destination, const QString &folder);
