// quorvane-cli: the scriptable front end of Quorvane.
#include "cli/clicommands.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvane-cli"));
    return RunCli(app.arguments().mid(1));
}
