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
        {"lone\nfeed", "lone feed"},
        {"lone\rreturn", "lone return"},
        {"\r\n", ""},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(RemoveLineBreaks(in), out) << in.toStdString();
}

TEST(RunLog, LineFormat)
{
    const QDateTime t(QDate(2023, 3, 15), QTime(9, 5, 7));
    EXPECT_EQ(FormatLogLine(t, QStringLiteral("ERROR: x")), TimeToStr(t) + QStringLiteral(": ERROR: x"));
}
} // namespace
