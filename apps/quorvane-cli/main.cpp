// quorvane-cli: the scriptable front end of Quorvane.
#include "cli/clicommands.h"
#include "platform/allocator.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    ConfigureAllocator();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvane-cli"));
    return RunCli(app.arguments().mid(1));
}
