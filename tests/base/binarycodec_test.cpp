#include "base/binarycodec.h"

#include <QtEndian>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

namespace {
enum TSample : quint8 { smZero, smOne, smTwo };

// One record holding every type of the encoding.
struct Record {
    qint32 i32;
    qint64 i64;
    quint8 byte;
    bool flag;
    double real;
    QString text;
    QStringList list;
    TSample kind;

    void write(BinaryWriter &w) const
    {
        w.writeInt32(i32);
        w.writeInt64(i64);
        w.writeByte(byte);
        w.writeBool(flag);
        w.writeDouble(real);
        w.writeString(text);
        w.writeStringList(list);
        w.writeEnum(kind);
    }
    static Record read(BinaryReader &r)
    {
        Record x;
        x.i32 = r.readInt32();
        x.i64 = r.readInt64();
        x.byte = r.readByte();
        x.flag = r.readBool();
        x.real = r.readDouble();
        x.text = r.readString();
        x.list = r.readStringList();
        x.kind = r.readEnum<TSample>();
        return x;
    }
};

Record sample()
{
    return {-123456789, Q_INT64_C(-0x123456789ABCDEF), 0xFE, true, 45000.5,
            QStringLiteral("Grüße, 日本 \U0001F600"), {QString(), QStringLiteral("a"), QStringLiteral("path/to/dir")}, smTwo};
}

TEST(BinaryCodec, KnownLayout)
{
    BinaryWriter w;
    w.writeInt32(0x01020304);
    w.writeBool(true);
    w.writeString(QStringLiteral("Ab"));
    w.writeStringList({QString()});
    w.writeEnum(smTwo);
    const QByteArray expected = QByteArray::fromHex("04030201" "01" "02000000" "4100" "6200" "01000000" "00000000" "02000000");
    EXPECT_EQ(w.data().toHex(), expected.toHex());
}

TEST(BinaryCodec, EveryTypeRoundTrips)
{
    const Record in = sample();
    BinaryWriter w;
    in.write(w);
    BinaryReader r(w.data());
    const Record out = Record::read(r);
    EXPECT_TRUE(r.atEnd());
    EXPECT_EQ(out.i32, in.i32);
    EXPECT_EQ(out.i64, in.i64);
    EXPECT_EQ(out.byte, in.byte);
    EXPECT_EQ(out.flag, in.flag);
    EXPECT_EQ(out.real, in.real);
    EXPECT_EQ(out.text, in.text);
    EXPECT_EQ(out.list, in.list);
    EXPECT_EQ(out.kind, in.kind);
}

TEST(BinaryCodec, ExtremeValuesRoundTrip)
{
    BinaryWriter w;
    w.writeInt32(std::numeric_limits<qint32>::min());
    w.writeInt32(std::numeric_limits<qint32>::max());
    w.writeInt64(std::numeric_limits<qint64>::min());
    w.writeInt64(std::numeric_limits<qint64>::max());
    w.writeDouble(-0.0);
    w.writeDouble(std::numeric_limits<double>::infinity());
    w.writeDouble(std::numeric_limits<double>::quiet_NaN());
    BinaryReader r(w.data());
    EXPECT_EQ(r.readInt32(), std::numeric_limits<qint32>::min());
    EXPECT_EQ(r.readInt32(), std::numeric_limits<qint32>::max());
    EXPECT_EQ(r.readInt64(), std::numeric_limits<qint64>::min());
    EXPECT_EQ(r.readInt64(), std::numeric_limits<qint64>::max());
    const double negZero = r.readDouble();
    EXPECT_TRUE(negZero == 0.0 && std::signbit(negZero));
    EXPECT_TRUE(std::isinf(r.readDouble()));
    EXPECT_TRUE(std::isnan(r.readDouble()));
}

TEST(BinaryCodec, EmptyStringAndListAreBareCounts)
{
    BinaryWriter w;
    w.writeString(QString());
    w.writeStringList({});
    EXPECT_EQ(w.data(), QByteArray(8, '\0'));
    BinaryReader r(w.data());
    EXPECT_TRUE(r.readString().isEmpty());
    EXPECT_TRUE(r.readStringList().isEmpty());
    EXPECT_TRUE(r.atEnd());
}

TEST(BinaryCodec, BooleanIsAnyNonZeroByte)
{
    BinaryReader r(QByteArray::fromHex("000102ff"));
    EXPECT_FALSE(r.readBool());
    EXPECT_TRUE(r.readBool());
    EXPECT_TRUE(r.readBool());
    EXPECT_TRUE(r.readBool());
}

TEST(BinaryCodec, EnumKeepsLowByte)
{
    BinaryReader r(QByteArray::fromHex("01010000"));
    EXPECT_EQ(static_cast<int>(r.readEnum<TSample>()), 1);
}

TEST(BinaryCodec, TruncationAtEveryOffsetThrows)
{
    BinaryWriter w;
    sample().write(w);
    const QByteArray full = w.data();
    for (qsizetype len = 0; len < full.size(); ++len) {
        BinaryReader r(full.left(len));
        EXPECT_THROW(Record::read(r), DecodeError) << "length " << len;
    }
}

TEST(BinaryCodec, FailedStringReadLeavesPositionAtItsCount)
{
    BinaryReader r(QByteArray::fromHex("0500000041004200"));
    EXPECT_THROW(r.readString(), DecodeError);
    EXPECT_EQ(r.position(), 0);
}

TEST(BinaryCodec, AbsurdCountsAreRejectedBeforeAllocating)
{
    struct Case {
        const char *name;
        QByteArray data;
        bool list;
    };
    const Case cases[] = {
        {"string of max count", QByteArray::fromHex("ffffff7f41004200"), false},
        {"string of count just over the data", QByteArray::fromHex("0300000041004200"), false},
        {"negative string count", QByteArray::fromHex("ffffffff"), false},
        {"list of max count", QByteArray::fromHex("ffffff7f00000000"), true},
        {"list of negative count", QByteArray::fromHex("00000080"), true},
        {"list whose strings cannot fit", QByteArray::fromHex("0300000000000000" "00000000"), true},
    };
    for (const Case &c : cases) {
        BinaryReader r(c.data);
        if (c.list) {
            EXPECT_THROW(r.readStringList(), DecodeError) << c.name;
            BinaryReader s(c.data);
            EXPECT_THROW(s.skipStringList(), DecodeError) << c.name;
        } else {
            EXPECT_THROW(r.readString(), DecodeError) << c.name;
        }
    }
}

TEST(BinaryCodec, SkippedListLeavesTheReaderOnTheNextField)
{
    BinaryWriter w;
    w.writeStringList({QStringLiteral("a"), QString(), QStringLiteral("long \u00e9 entry")});
    w.writeInt32(77);
    BinaryReader r(w.data());
    r.skipStringList();
    EXPECT_EQ(r.readInt32(), 77);
    EXPECT_TRUE(r.atEnd());

    // A string inside the list longer than the data left.
    BinaryReader cut(QByteArray::fromHex("01000000" "05000000" "4100"));
    EXPECT_THROW(cut.skipStringList(), DecodeError);
}

// A reader with a source fetches the input piece by piece as the fields
// need it; it must read what the whole-input reader reads, skip across
// pieces, and fail the same way where the input is cut.
TEST(BinaryCodec, ReaderWithSourceReadsWhatTheWholeReaderReads)
{
    QStringList list;
    for (int i = 0; i < 30000; ++i)
        list.append(QStringLiteral("folder/file %1 \u00e9").arg(i));
    BinaryWriter w;
    w.writeInt32(7);
    w.writeStringList(list);
    w.writeString(QString(3 * BinaryReader::kPieceBytes, QLatin1Char('y'))); // larger than a piece
    w.writeStringList(list);
    w.writeInt64(-5);
    const QByteArray data = w.data();

    int fetches = 0;
    const auto source = [&](qint64 size) {
        return BinaryReader(size, [&, at = qint64(0)](char *into, qsizetype n) mutable {
            std::memcpy(into, data.constData() + at, size_t(n));
            at += n;
            ++fetches;
        });
    };
    BinaryReader r = source(data.size());
    EXPECT_EQ(r.readInt32(), 7);
    EXPECT_EQ(r.readStringList(), list);
    EXPECT_EQ(r.readString().size(), 3 * BinaryReader::kPieceBytes);
    r.skipStringList();
    EXPECT_EQ(r.readInt64(), -5);
    EXPECT_TRUE(r.atEnd());
    EXPECT_GT(fetches, 20);

    BinaryReader cut = source(data.size() - 3);
    EXPECT_EQ(cut.readInt32(), 7);
    cut.skipStringList();
    cut.readString();
    cut.skipStringList();
    EXPECT_THROW(cut.readInt64(), DecodeError);

    BinaryReader failing(100, [](char *, qsizetype) { throw QvError(QStringLiteral("unreadable")); });
    EXPECT_THROW(failing.readInt32(), QvError);
}

// A writer with a sink hands its bytes over in pieces; joined they must be
// exactly what the collecting writer holds, and a refused piece fails the end.
TEST(BinaryCodec, WriterWithSinkGivesTheSameBytesInPieces)
{
    QStringList list;
    for (int i = 0; i < 40000; ++i)
        list.append(QStringLiteral("folder/file %1 \u00e9").arg(i));
    const auto encode = [&](BinaryWriter &w) {
        w.writeInt32(1);
        w.writeStringList(list);
        w.writeString(QString(BinaryWriter::kPieceBytes, QLatin1Char('x'))); // one string larger than a piece
        w.writeInt64(-2);
        w.writeBool(true);
    };
    BinaryWriter whole;
    encode(whole);

    QByteArray joined;
    int pieces = 0;
    BinaryWriter streamed([&](QByteArray &piece) {
        joined += piece;
        ++pieces;
        return true;
    });
    encode(streamed);
    EXPECT_TRUE(streamed.finish());
    EXPECT_EQ(joined, whole.data());
    EXPECT_GT(pieces, 10);

    int calls = 0;
    BinaryWriter refused([&](QByteArray &) { return ++calls < 3; });
    encode(refused);
    EXPECT_FALSE(refused.finish());
}

TEST(BinaryCodec, SkipChecksBounds)
{
    BinaryReader r(QByteArray(4, 'x'));
    r.skip(3);
    EXPECT_EQ(r.remaining(), 1);
    EXPECT_THROW(r.skip(2), DecodeError);
    EXPECT_THROW(r.skip(-1), DecodeError);
}

TEST(BinaryCodec, ReadStringListIntoAppends)
{
    BinaryWriter w;
    w.writeStringList({QStringLiteral("b"), QStringLiteral("c")});
    BinaryReader r(w.data());
    QStringList list{QStringLiteral("a")};
    r.readStringListInto(list);
    EXPECT_EQ(list, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
}

// Stored strings are UTF-16 code units, not necessarily valid Unicode: an
// unpaired surrogate must survive a read and a write byte for byte.
TEST(BinaryCodec, OddUtf16IsKeptByteExact)
{
    const QByteArray stored = QByteArray::fromHex("05000000" "00d8" "4100" "00dc" "3dd8" "0000");
    BinaryReader r(stored);
    const QString s = r.readString();
    ASSERT_EQ(s.size(), 5);
    EXPECT_EQ(s[0].unicode(), 0xD800);
    EXPECT_EQ(s[2].unicode(), 0xDC00);
    EXPECT_EQ(s[4].unicode(), 0x0000);
    BinaryWriter w;
    w.writeString(s);
    EXPECT_EQ(w.data().toHex(), stored.toHex());
}
} // namespace
