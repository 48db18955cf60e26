#pragma once
// Helpers for run-log lines: "<time>: <text>" with the time of day in the
// user's long time format.
#include <QDateTime>
#include <QString>

// The time of day of `when` in the long time format, ": ", then the text.
QString FormatLogLine(const QDateTime &when, const QString &text);
// The same at the current time.
QString TimedLine(const QString &text);
// Removes every CR LF pair from a message so that it stays on one log line;
// a lone CR or LF left over becomes a blank, for the same reason.
QString RemoveLineBreaks(const QString &message);
