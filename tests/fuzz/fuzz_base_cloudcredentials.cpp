// Fuzzes the reader of the cloud credentials file's content. Whatever the
// bytes, it reads eight strings or reports that the content is malformed;
// eight strings that it accepts write back to exactly the bytes they were
// read from (anything after them is ignored).
#include "base/binarycodec.h"
#include "base/cloudcredentials.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray plain(reinterpret_cast<const char *>(data), qsizetype(size));
    TCloudCredentials credentials;
    if (!ParseCloudCredentials(plain, credentials))
        return 0;
    BinaryWriter w;
    for (const QString &s : credentials.Strings)
        w.writeString(s);
    if (w.data() != plain.left(w.data().size()))
        std::abort();
    return 0;
}
