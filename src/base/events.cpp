#include "base/events.h"

#include "base/datetime.h"

#include <QMutex>
#include <QMutexLocker>

namespace {
QMutex &queueMutex()
{
    static QMutex m;
    return m;
}
QStringList &queue()
{
    static QStringList q;
    return q;
}
} // namespace

void AddEvent(const QString &text)
{
    PendingEvents::Append(DateTimeToStr(Clock::Now()) + QStringLiteral(": ") + text);
}

namespace PendingEvents {
void Append(const QString &line)
{
    QMutexLocker lock(&queueMutex());
    queue().append(line);
}

QStringList TakeAll()
{
    QMutexLocker lock(&queueMutex());
    QStringList out;
    out.swap(queue());
    return out;
}
} // namespace PendingEvents
