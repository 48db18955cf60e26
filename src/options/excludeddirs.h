#pragma once
// The default excluded folders, shipped as "excluded-directories.txt".
#include <QString>
#include <QStringList>

// A line that begins with "%NAME%" where the environment variable NAME has a
// non-empty value: the first "%NAME%" (any letter case) becomes the value and
// the whole line is lower-cased. Any other line is returned unchanged.
QString ExpandExcludedDirLine(const QString &line);

// The lines of the file at `path`, expanded; blank lines are dropped. A
// missing file gives an empty list; a file that cannot be read adds an event.
QStringList LoadExcludedDirs(const QString &path);

// LoadExcludedDirs of the shipped "excluded-directories.txt".
QStringList DefaultExcludedDirs();
