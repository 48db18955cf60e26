#pragma once
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace TestEnv {
// The process's private root (HOME, XDG_CONFIG_HOME and TMPDIR live below it).
QString Root();
// The source tree and the folder of the built executables and shipped data.
QString SourceDir();
QString BinDir();
// Writes / reads a whole file; fails the test on error.
void WriteFile(const QString &path, const QByteArray &data);
QByteArray ReadFile(const QString &path);
} // namespace TestEnv
