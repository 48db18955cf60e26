#include "base/runlog.h"

#include "base/datetime.h"

QString FormatLogLine(const QDateTime &when, const QString &text)
{
    return TimeToStr(when) + QStringLiteral(": ") + text;
}

QString TimedLine(const QString &text)
{
    return FormatLogLine(Clock::Now(), text);
}

QString RemoveLineBreaks(const QString &message)
{
    QString s = message;
    s.remove(QStringLiteral("\r\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}
