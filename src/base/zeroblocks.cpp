#include "base/zeroblocks.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsAllZero(const char *data, qint64 size)
{
    // The first byte, then the rest against itself shifted by one: equal
    // only when every byte equals the first.
    return size <= 0 || (data[0] == 0 && std::memcmp(data, data + 1, size_t(size - 1)) == 0);
}

// The piece of data[done, size) up to the next block boundary of the file,
// and whether it is a whole block of zeros.
qint64 Piece(qint64 offset, const char *data, qint64 size, qint64 done, bool *zero)
{
    const qint64 at = offset + done;
    const qint64 piece = std::min(size - done, kHoleBlockSize - at % kHoleBlockSize);
    *zero = piece == kHoleBlockSize && IsAllZero(data + done, piece);
    return piece;
}

} // namespace

bool ForEachDataRun(qint64 offset, const char *data, qint64 size,
                    const std::function<bool(qint64 offset, const char *data, qint64 size)> &write)
{
    qint64 done = 0;
    while (done < size) {
        bool zero = false;
        qint64 run = Piece(offset, data, size, done, &zero);
        // The following pieces of the same kind join the run.
        while (done + run < size) {
            bool nextZero = false;
            const qint64 next = Piece(offset, data, size, done + run, &nextZero);
            if (nextZero != zero)
                break;
            run += next;
        }
        if (!zero && !write(offset + done, data + done, run))
            return false;
        done += run;
    }
    return true;
}
