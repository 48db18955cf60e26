#pragma once
// The plain content of the options file (inside its ScrambledFile).
#include "options/options.h"

#include <QByteArray>

namespace OptionsCodec {
// The format version the writer uses.
inline constexpr qint32 kCurrentVersion = 8;
// The oldest and newest versions the reader accepts.
inline constexpr qint32 kOldestVersion = 1;

// All fields of the current version, in order.
QByteArray Encode(const TOptions &options);

// Reads the fields of any accepted version into `options`, field by field, so
// that the fields read before a failure keep their values. Throws
// DecodeError on truncated, malformed or unknown content. Bytes after the
// last field are ignored.
void Decode(const QByteArray &plain, TOptions &options);
} // namespace OptionsCodec
