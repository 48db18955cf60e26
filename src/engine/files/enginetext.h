#pragma once
// Text helpers of the files-and-folders engine.
#include <QString>
#include <QStringList>

// Fills the "%s" places of a translated format with `values`, in order, and
// turns "%%" into "%" (the size rule's "exceeds %s%% of ..."). Inserted
// values are never scanned again.
QString FormatRunText(const QString &format, const QStringList &values);

// True when `path`, a relative path from a state list or a source scan,
// stays below any folder it is joined to: not empty, not absolute, and
// without empty, "." or ".." components or a NUL character.
bool IsSafeRelativePath(const QString &path);
