#pragma once
// Sparse writing: a writer that cannot ask its source where the holes are
// (a network share, an archive) leaves every aligned block of this size
// that holds only zeros unwritten, so the file system allocates nothing
// for it and the file reads back the same.
#include <QtGlobal>

#include <functional>

constexpr qsizetype kHoleBlockSize = 4096;

// Hands each run of `data` (which goes to `offset` of a file) that is not
// made of whole aligned blocks of zeros to `write(offset, data, size)`, in
// order; the runs of zero blocks in between are left out. False as soon as
// `write` returns false.
bool ForEachDataRun(qint64 offset, const char *data, qint64 size,
                    const std::function<bool(qint64 offset, const char *data, qint64 size)> &write);
