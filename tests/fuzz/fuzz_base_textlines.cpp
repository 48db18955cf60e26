// Fuzzes the reader of the program's text lists: the state lists of a
// backup set (the copied files, the created folders, the removed ones, the
// start flag), which a restore downloads from the destination, and the jobs
// list. Whatever the bytes, the lines read are written by both writers
// (whole and piece by piece) to the same bytes, which read back to the same
// lines.
#include "base/textfile.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = DecodeTextLines(input);
    for (const QString &line : lines) {
        if (line.contains(QLatin1Char('\n')))
            std::abort();
    }
    const QByteArray encoded = EncodeTextLines(lines);
    QBuffer streamed;
    if (!streamed.open(QIODevice::WriteOnly) || !WriteTextLines(streamed, lines) || streamed.data() != encoded)
        std::abort();
    if (DecodeTextLines(encoded) != lines)
        std::abort();
    return 0;
}
