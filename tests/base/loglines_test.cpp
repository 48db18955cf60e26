#include "base/loglines.h"
#include "base/textfile.h"

#include <gtest/gtest.h>

namespace {
// The log is kept as the bytes of its file: what goes in must come out line
// for line, and the bytes must be what the text-file writer gives.
TEST(LogLines, HoldsTheLinesAsTheirFile)
{
    const QString feff(QChar(0xFEFF));
    const QStringList lines{QStringLiteral("10:00:01: Copying the file: /home/u/a.txt"), QString(),
                            feff + QStringLiteral("name beginning with a mark"), QStringLiteral("Grüße ✓"),
                            QStringLiteral("-----------------------------")};
    LogLines log;
    EXPECT_TRUE(log.IsEmpty());
    EXPECT_EQ(log.FileContent(), EncodeTextLines({}));
    for (const QString &line : lines)
        log.Append(line);
    ASSERT_EQ(log.Size(), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        EXPECT_EQ(log.At(i), lines[i]) << i;
    EXPECT_EQ(log.ToStringList(), lines);
    EXPECT_EQ(log.FileContent(), EncodeTextLines(lines));

    log.Clear();
    EXPECT_TRUE(log.IsEmpty());
    EXPECT_EQ(log.FileContent(), EncodeTextLines({}));
    log.Append(QStringLiteral("after"));
    EXPECT_EQ(log.ToStringList(), QStringList{QStringLiteral("after")});
}
} // namespace
