#include "gui/editing/logscan.h"

#include "options/options.h"

LogMarkers LogMarkers::Current()
{
    return {Translate(QStringLiteral("ERROR:")), Translate(QStringLiteral("WARNING:"))};
}

LogLineKind ClassifyLogLine(const QString &line, const LogMarkers &markers)
{
    if (!markers.error.isEmpty() && line.contains(markers.error, Qt::CaseSensitive))
        return LogLineKind::Error;
    if (!markers.warning.isEmpty() && line.contains(markers.warning, Qt::CaseSensitive))
        return LogLineKind::Warning;
    return LogLineKind::Plain;
}

LogLineCounts CountLogLines(const QStringList &lines, const LogMarkers &markers)
{
    LogLineCounts counts;
    for (const QString &line : lines) {
        switch (ClassifyLogLine(line, markers)) {
        case LogLineKind::Error:
            ++counts.errors;
            break;
        case LogLineKind::Warning:
            ++counts.warnings;
            break;
        case LogLineKind::Plain:
            break;
        }
    }
    return counts;
}

int FindNextLogLine(const QStringList &lines, int current, LogLineKind kind, const LogMarkers &markers)
{
    const int n = int(lines.size());
    if (n == 0)
        return -1;
    current = qBound(-1, current, n - 1);
    for (int step = 1; step <= n; ++step) {
        const int i = (current + step) % n;
        if (ClassifyLogLine(lines.at(i), markers) == kind)
            return i;
    }
    return -1;
}

int FindPreviousLogLine(const QStringList &lines, int current, LogLineKind kind, const LogMarkers &markers)
{
    const int n = int(lines.size());
    if (n == 0)
        return -1;
    current = qBound(0, current, n);
    for (int step = 1; step <= n; ++step) {
        const int i = ((current - step) % n + n) % n;
        if (ClassifyLogLine(lines.at(i), markers) == kind)
            return i;
    }
    return -1;
}
