#pragma once
// Files the run writes into the job's temporary folder only to upload them
// (the state lists, the start flag, the working copy of the remote job
// file). They are deleted with the folder at the end of the run, so they are
// written plainly, without the flush to disk of the program's stored files;
// the upload puts them in place at the destination atomically.
#include <QByteArray>
#include <QString>
#include <QStringList>

// Writes `data` to `path`, replacing a file there. False with `error` set.
bool WriteTempFile(const QString &path, const QByteArray &data, QString *error);
// A state list: UTF-8 with a byte-order mark, every line ended by CR LF.
bool WriteTempStateList(const QString &path, const QStringList &lines, QString *error);
