#include "base/bytesize.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {
// The expected text with '.' replaced by the system locale's decimal point.
QString localised(const char *text)
{
    return QString::fromLatin1(text).replace(QLatin1Char('.'), QLocale::system().decimalPoint());
}

TEST(ByteSize, Table)
{
    const std::pair<qint64, const char *> cases[] = {
        {0, "0 KB"},
        {500, "0.49 KB"},
        {1024, "1 KB"},
        {1536, "1.5 KB"},
        {1048576, "1024 KB"},
        {1048577, "1 MB"},
        {5368709120LL, "5 GB"},
        {1073741824LL * 1024 * 3 / 2, "1.5 TB"},
        {std::numeric_limits<qint64>::max(), "8 EB"},
    };
    for (const auto &[bytes, text] : cases)
        EXPECT_EQ(FormatByteSize(bytes), localised(text)) << bytes;
}
} // namespace
