// Fuzzes the binary reader: the input is both the program (each step reads
// a one-byte opcode) and the data. Every value read must write back to
// exactly the bytes it was read from; a short or absurd field must throw
// DecodeError and nothing else.
#include "base/binarycodec.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    BinaryReader r(input);
    try {
        while (!r.atEnd()) {
            const quint8 op = r.readByte() % 7;
            const qint64 start = r.position();
            BinaryWriter w;
            switch (op) {
            case 0: w.writeInt32(r.readInt32()); break;
            case 1: w.writeInt64(r.readInt64()); break;
            case 2: w.writeByte(r.readByte()); break;
            case 3: w.writeDouble(r.readDouble()); break;
            case 4: w.writeString(r.readString()); break;
            case 5: w.writeStringList(r.readStringList()); break;
            case 6: {
                const qint64 n = r.readByte();
                r.skip(n);
                continue;
            }
            }
            if (w.data() != input.mid(start, r.position() - start))
                std::abort();
        }
    } catch (const DecodeError &) {
    }
    return 0;
}
