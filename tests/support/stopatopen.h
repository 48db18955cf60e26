#pragma once
// Holds a program under test at its first open of a chosen file (see
// stopatopen_preload.c): the environment that arms it, and the wait until
// the process has stopped there.
#include <QString>
#include <QStringList>

namespace StopAtOpen {
// Environment entries ("NAME=value") that make the started program stop
// itself when it first opens a path containing `pathPart`.
QStringList Environment(const QString &pathPart);
// Whether process `pid` is stopped right now.
bool IsStopped(qint64 pid);
// Waits until process `pid` is stopped; false when it ended or did not
// stop within minutes.
bool WaitUntilStopped(qint64 pid);
} // namespace StopAtOpen
