#include "base/loglines.h"
#include "base/textfile.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {
QByteArray Written(const LogLines &log)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    EXPECT_TRUE(log.WriteTo(out));
    return out.data();
}

// What goes in must come out line for line, and the saved text must be what
// the text-file writer gives: for a short log kept in memory and for a long
// one whose older lines were moved out to a file.
TEST(LogLines, HoldsTheLinesAsTheirFile)
{
    const QString feff(QChar(0xFEFF));
    const QStringList shortLog{QStringLiteral("10:00:01: Copying the file: /home/u/a.txt"), QString(),
                               feff + QStringLiteral("name beginning with a mark"), QStringLiteral("Grüße ✓"),
                               QStringLiteral("-----------------------------")};
    QStringList longLog;
    for (int i = 0; longLog.size() < 30000; ++i)
        longLog.append(i % 1000 == 0 ? shortLog[i / 1000 % shortLog.size()]
                                     : QStringLiteral("10:00:%1: Copying the file: /home/u/é/f%2.bin").arg(i % 60).arg(i));
    for (const QStringList &lines : {QStringList(), shortLog, longLog}) {
        SCOPED_TRACE(lines.size());
        LogLines log;
        for (const QString &line : lines)
            log.Append(line);
        ASSERT_EQ(log.Size(), lines.size());
        EXPECT_EQ(log.IsEmpty(), lines.isEmpty());
        for (qsizetype i : {qsizetype(0), lines.size() / 2, lines.size() - 1}) {
            if (i >= 0 && i < lines.size()) {
                EXPECT_EQ(log.At(i), lines[i]) << i;
            }
        }
        EXPECT_EQ(log.ToStringList(), lines);
        EXPECT_EQ(Written(log), EncodeTextLines(lines));

        log.Clear();
        EXPECT_TRUE(log.IsEmpty());
        EXPECT_EQ(Written(log), EncodeTextLines({}));
        log.Append(QStringLiteral("after"));
        EXPECT_EQ(log.ToStringList(), QStringList{QStringLiteral("after")});
    }
    EXPECT_GT(EncodeTextLines(longLog).size(), 4 * LogLines::kTailBytes);
}

// A file name with a line feed stays on its line, and one with a terminal
// command or a byte that is not UTF-8 shows it as an escape, in memory and
// in the saved file.
TEST(LogLines, FileNamesNeverBringControlCharacters)
{
    LogLines log;
    log.Append(QStringLiteral("10:00:01: Copying the file: /src/line\nfeed\r.txt"));
    log.Append(QStringLiteral("10:00:02: Copying the file: /src/\x1B]0;title\x07") + QChar(0xDCE9));
    const QStringList shown{QStringLiteral("10:00:01: Copying the file: /src/line\\nfeed\\r.txt"),
                            QStringLiteral("10:00:02: Copying the file: /src/\\x1B]0;title\\x07\\xE9")};
    EXPECT_EQ(log.ToStringList(), shown);
    EXPECT_EQ(Written(log), EncodeTextLines(shown));
}
} // namespace
