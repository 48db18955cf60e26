#pragma once
// Date-times as the stored files hold them: a double counting days since
// 1899-12-30 in local time, the fraction being the time of day. Also the
// process clock, which tests can replace to run time-driven rules at once.
#include <QDateTime>
#include <QString>
#include <functional>

double DateTimeToDouble(const QDateTime &dt);
// 0 and other values before the epoch convert like the stored format says:
// the whole part counts days (negative before the epoch), the absolute value
// of the fraction is the time of day.
QDateTime DoubleToDateTime(double d);

namespace Clock {
// The current local date-time; the override, when set, is used instead.
QDateTime Now();
double NowAsDouble();
// Only for tests; not thread-safe against concurrent Now() calls, so set it
// before any worker starts. Pass an empty function to go back to the system clock.
void SetOverride(std::function<QDateTime()> now);
} // namespace Clock

// The user's long time format (the locale's long time format without the
// time-zone part), e.g. "HH:mm:ss".
QString LongTimeFormat();
// The user's short date format, e.g. "dd/MM/yyyy".
QString ShortDateFormat();
// The time of day in the user's long time format.
QString TimeToStr(const QDateTime &dt);
// The user's short date and long time format, separated by a blank.
QString DateTimeToStr(const QDateTime &dt);
