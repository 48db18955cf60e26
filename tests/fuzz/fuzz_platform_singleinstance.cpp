// Fuzzes the decoder of the hand-over messages a second start sends to the
// running instance. The input is what arrived on the socket. Messages are
// taken from its front one after another, as the receiver would: each
// decoded message encodes again to exactly the bytes it came from, a
// message cut short only asks for more bytes, and a refusal or a wait
// leaves the buffer as it was.
#include "platform/singleinstance.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace SingleInstance;
    QByteArray buffer(reinterpret_cast<const char *>(data), qsizetype(size));
    for (;;) {
        const QByteArray before = buffer;
        MessageType type = MessageType::Show;
        QString payload;
        const int result = DecodeMessage(buffer, type, payload);
        if (result != 1) {
            if (buffer != before || result < -1)
                std::abort();
            break;
        }
        const qsizetype used = before.size() - buffer.size();
        if (used <= 0 || buffer != before.mid(used) || EncodeMessage(type, payload) != before.left(used))
            std::abort();
        QByteArray cut = before.left(used - 1);
        MessageType cutType = MessageType::Show;
        QString cutPayload;
        if (DecodeMessage(cut, cutType, cutPayload) != 0)
            std::abort();
    }
    return 0;
}
