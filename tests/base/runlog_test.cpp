#include "base/datetime.h"
#include "base/runlog.h"

#include <gtest/gtest.h>

namespace {
TEST(RunLog, RemoveLineBreaks)
{
    const std::pair<QString, QString> cases[] = {
        {"plain", "plain"},
        {"first\r\nsecond", "firstsecond"},
        {"a\r\n\r\nb", "ab"},
        // A lone line break comes from a file name: it is shown, not lost.
        {"lone\nfeed", "lone\\nfeed"},
        {"lone\rreturn", "lone\\rreturn"},
        {"\r\n", ""},
        {"ends with a line break\n", "ends with a line break"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(RemoveLineBreaks(in), out) << in.toStdString();
}

TEST(RunLog, VisibleTextEscapesControlsAndUndecodableBytes)
{
    const struct {
        QString in;
        QString shown;
        QString laidOut; // with line feeds and tabs kept
    } cases[] = {
        {"plain Grüße ✓", "plain Grüße ✓", "plain Grüße ✓"},
        {"a\nb\rc\td", "a\\nb\\rc\\td", "a\nb\\rc\td"},
        {"red\x1B[31m bell\x07", "red\\x1B[31m bell\\x07", "red\\x1B[31m bell\\x07"},
        {QStringLiteral("del\u007F c1\u009B"), "del\\x7F c1\\x9B", "del\\x7F c1\\x9B"},
        {QStringLiteral("caf") + QChar(0xDCE9), "caf\\xE9", "caf\\xE9"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(VisibleText(c.in), c.shown) << c.in.toStdString();
        EXPECT_EQ(VisibleText(c.in, true), c.laidOut) << c.in.toStdString();
    }
}

TEST(RunLog, LineFormat)
{
    const QDateTime t(QDate(2023, 3, 15), QTime(9, 5, 7));
    EXPECT_EQ(FormatLogLine(t, QStringLiteral("ERROR: x")), TimeToStr(t) + QStringLiteral(": ERROR: x"));
}
} // namespace
