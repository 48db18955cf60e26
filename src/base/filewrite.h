#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

// Writes `data` to `path` atomically: a temporary file beside the target is
// written, flushed to disk and renamed over the target, so a crash or a full
// disk never leaves a half-written file behind. Returns false with `error`.
bool WriteFileAtomically(const QString &path, const QByteArray &data, QString *error = nullptr);
// The same with the content written by `write` (false when it fails), so
// that a large file can be written a piece at a time.
bool WriteFileAtomically(const QString &path, const std::function<bool(QIODevice &)> &write,
                         QString *error = nullptr);
