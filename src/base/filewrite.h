#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

// Who may read a file the program writes. A new file is always created
// readable and writable by its owner only (0600), and so is the temporary
// file of every write, so that no other user can open it while it is being
// written; a file that already exists keeps its permissions (the user may
// have widened them), unless it may hold passwords (OwnerOnly), which makes
// it 0600 in any case.
enum class FileAccess { KeepExisting, OwnerOnly };

// Writes `data` to `path` atomically: a temporary file beside the target is
// written, flushed to disk and renamed over the target, so a crash or a full
// disk never leaves a half-written file behind. Returns false with `error`.
bool WriteFileAtomically(const QString &path, const QByteArray &data, QString *error = nullptr,
                         FileAccess access = FileAccess::KeepExisting);
// The same with the content written by `write` (false when it fails), so
// that a large file can be written a piece at a time.
bool WriteFileAtomically(const QString &path, const std::function<bool(QIODevice &)> &write,
                         QString *error = nullptr, FileAccess access = FileAccess::KeepExisting);
