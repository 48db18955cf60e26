#pragma once
#include <QByteArray>
#include <QString>

// Writes `data` to `path` atomically: a temporary file beside the target is
// written, flushed to disk and renamed over the target, so a crash or a full
// disk never leaves a half-written file behind. Returns false with `error`.
bool WriteFileAtomically(const QString &path, const QByteArray &data, QString *error = nullptr);
