// The two schedule queries the scheduler tick and the filter tree ask.
#include "jobs/job.h"

#include "base/datetime.h"

#include <QDate>
#include <QVector>
#include <optional>

namespace {
constexpr qint64 kMsPerDay = 86400000;

QVector<qint64> parseTimeTable(const QStringList &table)
{
    QVector<qint64> times;
    times.reserve(table.size());
    for (const QString &entry : table) {
        if (auto t = TimeOfDayMs(entry))
            times.append(*t);
    }
    return times;
}

bool isScheduledDay(const TSchedulingSettings &s, const QDate &day)
{
    switch (s.SchedulingType) {
    case stDaysOfWeek:
        return s.DaysOfWeek[day.dayOfWeek()]; // Monday = 1 ... Sunday = 7
    case stDaysOfMonth:
        return s.DaysOfMonth[day.day()];
    default:
        return false;
    }
}
} // namespace

std::optional<qint64> TimeOfDayMs(const QString &entry)
{
    if (entry.size() < 8)
        return std::nullopt;
    bool okH = false, okM = false, okS = false;
    const int h = entry.mid(0, 2).toInt(&okH);
    const int m = entry.mid(3, 2).toInt(&okM);
    const int s = entry.mid(6, 2).toInt(&okS);
    if (!okH || !okM || !okS || h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59)
        return std::nullopt;
    return (qint64(h) * 3600 + m * 60 + s) * 1000;
}

double TJob::GetDateTimeOfNearestPastTask() const
{
    const TSchedulingType type = SchedulingSettings.SchedulingType;
    // A type no release defines (a damaged file keeps its stored byte) never
    // produces a start.
    if (type != stDisabled && type != stDaysOfWeek && type != stDaysOfMonth)
        return 0;
    const QVector<qint64> times = parseTimeTable(SchedulingSettings.TimeTable);
    if (times.isEmpty())
        return 0;
    const QDateTime now = Clock::Now();
    const double nowD = DateTimeToDouble(now);
    const bool everyDay = type == stDisabled; // the disabled type skips no day
    for (int d = 0; d <= 100; ++d) {
        const QDate day = now.date().addDays(-d);
        if (!everyDay && !isScheduledDay(SchedulingSettings, day))
            continue;
        // Midnight of that day as a stored date-time: the whole days since the
        // epoch (computed from the date, so a zone that skips midnight cannot shift it).
        const double midnight = double(QDate(1899, 12, 30).daysTo(day));
        for (qsizetype i = times.size() - 1; i >= 0; --i) {
            const double moment = midnight + double(times[i]) / double(kMsPerDay);
            if (moment < nowD)
                return moment;
        }
    }
    return 0;
}

bool TJob::IsScheduledXDaysFromNow(int DaysCount) const
{
    if (SchedulingSettings.SchedulingType != stDaysOfWeek && SchedulingSettings.SchedulingType != stDaysOfMonth)
        return false;
    const QDateTime now = Clock::Now();
    const QDate today = now.date();
    if (isScheduledDay(SchedulingSettings, today)) {
        const qint64 nowMs = now.time().msecsSinceStartOfDay();
        for (qint64 t : parseTimeTable(SchedulingSettings.TimeTable)) {
            if (t > nowMs)
                return true;
        }
    }
    for (int d = 1; d <= DaysCount; ++d) {
        if (isScheduledDay(SchedulingSettings, today.addDays(d)))
            return true;
    }
    return false;
}
