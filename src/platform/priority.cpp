#include "platform/priority.h"

#include <QDir>

#include <cerrno>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

namespace ProcessPriority {
std::optional<int> NiceValueFor(int priorityClass)
{
    switch (priorityClass) {
    case 0: return 19;
    case 1: return 0;
    case 2: return -5;
    case 3: return -10;
    default: return std::nullopt;
    }
}

bool Apply(int priorityClass, QString *error)
{
    const std::optional<int> nice = NiceValueFor(priorityClass);
    if (!nice)
        return true;
    // Every task of the process; the calling thread's own entry is among them.
    QStringList tasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (tasks.isEmpty())
        tasks.append(QString::number(::gettid()));
    bool ok = true;
    for (const QString &task : tasks) {
        bool isNumber = false;
        const id_t tid = id_t(task.toUInt(&isNumber));
        if (!isNumber)
            continue;
        if (::setpriority(PRIO_PROCESS, tid, *nice) != 0) {
            if (errno == ESRCH) // the thread ended meanwhile
                continue;
            if (ok && error)
                *error = QString::fromLocal8Bit(std::strerror(errno));
            ok = false;
        }
    }
    return ok;
}

int CurrentNiceValue()
{
    errno = 0;
    return ::getpriority(PRIO_PROCESS, id_t(::gettid()));
}
} // namespace ProcessPriority
