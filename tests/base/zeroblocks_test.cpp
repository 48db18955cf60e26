// The runs a sparse writer writes: everything but whole aligned blocks of
// zeros, at the file offsets of the data.
#include "base/zeroblocks.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <gtest/gtest.h>

namespace {

using Runs = QList<QPair<qint64, qint64>>; // offset, size

Runs RunsOf(qint64 offset, const QByteArray &data)
{
    Runs runs;
    EXPECT_TRUE(ForEachDataRun(offset, data.constData(), data.size(), [&](qint64 at, const char *run, qint64 size) {
        EXPECT_EQ(run, data.constData() + (at - offset));
        runs.append({at, size});
        return true;
    }));
    return runs;
}

TEST(ZeroBlocks, OnlyWholeAlignedZeroBlocksAreLeftOut)
{
    const QByteArray block(kHoleBlockSize, '\0');
    const QByteArray x(10, 'x');
    const struct {
        const char *name;
        qint64 offset;
        QByteArray data;
        Runs expected;
    } cases[] = {
        {"data", 0, QByteArray(10000, 'd'), {{0, 10000}}},
        {"zero blocks", 0, block + block + block, {}},
        {"zeros across a block boundary", 100, block, {{100, 4096}}},
        {"data, zero blocks, data", 0, QByteArray(4096, 'd') + block + block + x, {{0, 4096}, {12288, 10}}},
        {"a zero tail shorter than a block", 0, block + QByteArray(5, '\0'), {{4096, 5}}},
        {"unaligned start, then an aligned zero block", 4000, QByteArray(96, 'd') + block + x,
         {{4000, 96}, {8192, 10}}},
        {"one zero byte in data", 0, x + QByteArray(1, '\0') + x, {{0, 21}}},
        {"nothing", 0, QByteArray(), {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RunsOf(c.offset, c.data), c.expected);
    }
}

TEST(ZeroBlocks, StopsAtTheFirstFailedWrite)
{
    const QByteArray data = QByteArray(100, 'd') + QByteArray(kHoleBlockSize * 2, '\0') + QByteArray(100, 'e');
    int calls = 0;
    EXPECT_FALSE(ForEachDataRun(0, data.constData(), data.size(), [&](qint64, const char *, qint64) {
        ++calls;
        return false;
    }));
    EXPECT_EQ(calls, 1);
}

} // namespace
