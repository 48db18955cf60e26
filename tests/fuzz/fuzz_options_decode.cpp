// Fuzzes the reader of the options file's content. Whatever the bytes, the
// reader either fills the record or throws DecodeError; what it accepts must
// survive a write and a second read unchanged.
#include "options/optionscodec.h"
#include "base/errors.h"

#include <cstdint>
#include <cstdlib>

namespace {
bool sameStoredFields(const TOptions &a, const TOptions &b)
{
    return a.Language.LanguageOfInterface == b.Language.LanguageOfInterface && a.General == b.General &&
        a.Logging == b.Logging && a.Processing == b.Processing && a.ExcludedDirs == b.ExcludedDirs &&
        a.Email == b.Email && a.Proxy == b.Proxy && a.LastFTPAccountID == b.LastFTPAccountID &&
        a.FTPAccounts == b.FTPAccounts;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray plain(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    TOptions first;
    try {
        OptionsCodec::Decode(plain, first);
    } catch (const DecodeError &) {
        return 0;
    }
    const QByteArray written = OptionsCodec::Encode(first);
    TOptions second;
    try {
        OptionsCodec::Decode(written, second);
    } catch (const DecodeError &) {
        std::abort(); // our own output must always be readable
    }
    if (!sameStoredFields(first, second) || OptionsCodec::Encode(second) != written)
        std::abort();
    return 0;
}
