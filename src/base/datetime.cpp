#include "base/datetime.h"

#include <QLocale>
#include <QMutex>
#include <algorithm>
#include <cmath>

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;

std::function<QDateTime()> &overrideFn()
{
    static std::function<QDateTime()> fn;
    return fn;
}

// Removes the time-zone letters ('t' outside quotes) and the blanks they leave.
QString withoutTimeZone(const QString &format)
{
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    return out.simplified();
}
} // namespace

double DateTimeToDouble(const QDateTime &dt)
{
    const QDateTime local = dt.toLocalTime();
    const double days = static_cast<double>(kEpoch.daysTo(local.date()));
    const double frac = local.time().msecsSinceStartOfDay() / kMsPerDay;
    // Before the epoch the fraction still counts forward from midnight.
    return days >= 0 ? days + frac : days - frac;
}

QDateTime DoubleToDateTime(double d)
{
    if (!std::isfinite(d))
        return QDateTime(kEpoch, QTime(0, 0));
    // Clamp to a range QDate handles well (about ±27 000 years).
    d = std::clamp(d, -1.0e7, 1.0e7);
    double whole;
    double frac = std::modf(d, &whole);
    qint64 ms = std::llround(std::fabs(frac) * kMsPerDay);
    qint64 days = static_cast<qint64>(whole);
    if (ms >= static_cast<qint64>(kMsPerDay)) {
        ms -= static_cast<qint64>(kMsPerDay);
        days += (d >= 0 ? 1 : -1);
    }
    return QDateTime(kEpoch.addDays(days), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

namespace Clock {
QDateTime Now()
{
    const auto &fn = overrideFn();
    return fn ? fn() : QDateTime::currentDateTime();
}

double NowAsDouble()
{
    return DateTimeToDouble(Now());
}

void SetOverride(std::function<QDateTime()> now)
{
    overrideFn() = std::move(now);
}
} // namespace Clock

QString LongTimeFormat()
{
    static const QString fmt = [] {
        QString f = withoutTimeZone(QLocale::system().timeFormat(QLocale::LongFormat));
        return f.isEmpty() ? QStringLiteral("HH:mm:ss") : f;
    }();
    return fmt;
}

QString ShortDateFormat()
{
    static const QString fmt = [] {
        QString f = QLocale::system().dateFormat(QLocale::ShortFormat);
        return f.isEmpty() ? QStringLiteral("yyyy-MM-dd") : f;
    }();
    return fmt;
}

QString TimeToStr(const QDateTime &dt)
{
    return QLocale::system().toString(dt.time(), LongTimeFormat());
}

QString DateTimeToStr(const QDateTime &dt)
{
    const QLocale loc = QLocale::system();
    return loc.toString(dt.date(), ShortDateFormat()) + QLatin1Char(' ') + loc.toString(dt.time(), LongTimeFormat());
}
