// Fuzzes the readers of the local job files of the three kinds. The first
// byte picks the kind, the rest is the plain content of the file. Whatever
// the bytes, a reader either fills the job or throws DecodeError; what it
// accepts must be written back in a form that reads to the same bytes again.
#include "base/errors.h"
#include "jobs/jobkinds.h"

#include <cstdint>
#include <cstdlib>

namespace {
template <typename Kind> void roundTrip(const QByteArray &plain)
{
    Kind first(QStringLiteral("fuzz"));
    try {
        first.ParseLocalContent(plain);
    } catch (const DecodeError &) {
        return;
    }
    const QByteArray written = first.EncodeLocalContent();
    Kind second(QStringLiteral("fuzz"));
    try {
        second.ParseLocalContent(written);
    } catch (const DecodeError &) {
        std::abort(); // our own output must always be readable
    }
    if (second.EncodeLocalContent() != written)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray plain(reinterpret_cast<const char *>(data) + 1, static_cast<qsizetype>(size - 1));
    try {
        ParseJobKind(plain);
    } catch (const DecodeError &) {
    }
    switch (data[0] % 3) {
    case 0:
        roundTrip<TJob_FilesAndFolders>(plain);
        break;
    case 1:
        roundTrip<TJob_DriveImage>(plain);
        break;
    default:
        roundTrip<TJob_AppsData>(plain);
        break;
    }
    return 0;
}
