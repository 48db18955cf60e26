#include "base/appstate.h"

#include <QMutex>

namespace AppState {
std::atomic<bool> ApplicationClosing{false};
std::atomic<bool> CommandLineRun{false};

namespace {
QMutex extMutex;
QString jobFileExt = QStringLiteral(".qvj");
} // namespace

QString JobFileExtension()
{
    QMutexLocker lock(&extMutex);
    return jobFileExt;
}

void SetJobFileExtension(const QString &ext)
{
    QMutexLocker lock(&extMutex);
    jobFileExt = ext;
}
} // namespace AppState
