#pragma once
// Small text helpers of the job layer.
#include "jobs/jobtypes.h"

#include <QString>
#include <QStringList>

// Fills the "%s" places of a (translated) format string with `values`, in
// order, and turns "%%" into "%" (the size rule's "exceeds %s%% of ...").
// Places without a value stay as they are; extra values are ignored;
// inserted values are never scanned again.
QString FillPercentS(const QString &format, const QStringList &values);

// True when `name` can name a folder or file of its own: not empty, not "."
// or "..", and without a separator or NUL.
bool IsUsableEntryName(const QString &name);

// The translated verb shown for the current file operation of a run
// ("Copying", "Removing", ...); empty when no operation is running.
QString OperationVerb(TFileOperationType type);
