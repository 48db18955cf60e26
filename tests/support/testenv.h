#pragma once
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <string>

namespace TestEnv {
// The process's private root (HOME, XDG_CONFIG_HOME and TMPDIR live below it).
QString Root();
// The source tree and the folder of the built executables and shipped data.
QString SourceDir();
QString BinDir();
// Writes / reads a whole file; fails the test on error.
void WriteFile(const QString &path, const QByteArray &data);
QByteArray ReadFile(const QString &path);
// A test name made of a case's description: "a new file" -> "ANewFile".
std::string CaseName(const char *what);
} // namespace TestEnv
