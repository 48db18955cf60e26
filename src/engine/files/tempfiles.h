#pragma once
// The state lists the run writes into the job's temporary folder only to
// upload them. They are deleted with the folder at the end of the run, so
// they are written plainly, without the flush to disk of the program's
// stored files; the upload puts them in place at the destination atomically.
#include <QString>
#include <QStringList>

// A state list: UTF-8 with a byte-order mark, every line ended by CR LF,
// written a piece at a time. Any file name is a line (the line encoding of
// textfile.h: an ordinary name as its UTF-8, line breaks and bytes that are
// not UTF-8 escaped), read back by ReadTextLines. Replaces a file there;
// false with `error` set.
bool WriteTempStateList(const QString &path, const QStringList &lines, QString *error);
