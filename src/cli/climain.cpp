#include "base/version.h"
#include "cli/cliargs.h"
#include "cli/clicommands.h"
#include "cli/clioutput.h"

#include <QHash>
#include <functional>

int RunCli(const QStringList &args)
{
    if (args.isEmpty()) {
        CliOut::Err(QStringLiteral("Missing command. Usage: quorvane-cli COMMAND [ARGUMENTS]; see quorvane-cli --help."));
        return ExitCode::Usage;
    }
    const QString command = args.first();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        CliOut::Out(CliHelpText());
        return ExitCode::Ok;
    }
    if (command == QLatin1String("--version")) {
        CliOut::Out(QStringLiteral("quorvane-cli %1.%2.%3").arg(QV_VERSION_MAJOR).arg(QV_VERSION_MINOR).arg(QV_VERSION_PATCH));
        return ExitCode::Ok;
    }
    static const QHash<QString, std::function<int(const QStringList &)>> commands = {
        {QStringLiteral("list"), RunListCommand},       {QStringLiteral("create"), RunCreateCommand},
        {QStringLiteral("backup"), RunBackupCommand},   {QStringLiteral("points"), RunPointsCommand},
        {QStringLiteral("restore"), RunRestoreCommand}, {QStringLiteral("remove"), RunRemoveCommand},
        {QStringLiteral("log"), RunLogCommand},         {QStringLiteral("run"), RunSchedulerCommand},
    };
    const auto it = commands.find(command);
    if (it == commands.end()) {
        CliOut::Err(QStringLiteral("Unknown command \"%1\"; see quorvane-cli --help.").arg(command));
        return ExitCode::Usage;
    }
    try {
        return it.value()(args.mid(1));
    } catch (const UsageError &e) {
        CliOut::Err(e.message());
        return ExitCode::Usage;
    } catch (const QvError &e) {
        CliOut::Err(e.message());
        return ExitCode::Failed;
    }
}
