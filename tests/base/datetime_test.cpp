#include "base/datetime.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
struct Known {
    double value;
    QDateTime dateTime;
};

const QDateTime dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

TEST(DateTime, KnownValuesBothWays)
{
    const Known cases[] = {
        {0.0, dt(1899, 12, 30)},
        {1.0, dt(1899, 12, 31)},
        {2.25, dt(1900, 1, 1, 6)},
        {45000.5, dt(2023, 3, 15, 12)},
        {36526.75, dt(2000, 1, 1, 18)},
        // Before the epoch the whole part counts days back and the fraction
        // still is the time of day.
        {-1.0, dt(1899, 12, 29)},
        {-1.25, dt(1899, 12, 29, 6)},
        {-2.5, dt(1899, 12, 28, 12)},
    };
    for (const Known &c : cases) {
        EXPECT_EQ(DoubleToDateTime(c.value), c.dateTime) << c.value;
        EXPECT_DOUBLE_EQ(DateTimeToDouble(c.dateTime), c.value) << c.value;
    }
}

TEST(DateTime, SecondsSurviveTheRoundTrip)
{
    const QDateTime t = dt(2024, 2, 29, 23, 59, 59);
    EXPECT_EQ(DoubleToDateTime(DateTimeToDouble(t)), t);
    // A fraction that rounds up to a whole day moves to the next midnight.
    EXPECT_EQ(DoubleToDateTime(45000.9999999999), dt(2023, 3, 16));
}

TEST(DateTime, NonFiniteAndHugeValuesDoNotCrash)
{
    EXPECT_TRUE(DoubleToDateTime(std::nan("")).isValid());
    EXPECT_TRUE(DoubleToDateTime(INFINITY).isValid());
    EXPECT_TRUE(DoubleToDateTime(1e300).isValid());
    EXPECT_TRUE(DoubleToDateTime(-1e300).isValid());
}

TEST(DateTime, ClockOverride)
{
    const QDateTime fixed = dt(2023, 3, 15, 12);
    Clock::SetOverride([fixed] { return fixed; });
    EXPECT_EQ(Clock::Now(), fixed);
    EXPECT_DOUBLE_EQ(Clock::NowAsDouble(), 45000.5);
    Clock::SetOverride({});
    EXPECT_GT(Clock::Now().date().year(), 2000);
}

TEST(DateTime, TextFormatsUseTheLongTimeFormat)
{
    const QDateTime t = dt(2023, 3, 15, 7, 8, 9);
    EXPECT_EQ(TimeToStr(t), QLocale::system().toString(t.time(), LongTimeFormat()));
    EXPECT_FALSE(LongTimeFormat().contains(QLatin1Char('t')));
    EXPECT_TRUE(DateTimeToStr(t).endsWith(TimeToStr(t)));
}
} // namespace
