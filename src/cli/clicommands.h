#pragma once
// The commands of quorvane-cli. Each takes the arguments after its word and
// returns the process's exit code; a UsageError thrown from one ends the
// program with exit code 64.
#include <QStringList>

namespace ExitCode {
inline constexpr int Ok = 0;
inline constexpr int Failed = 1;      // the command could not be done
inline constexpr int Warnings = 1;    // a run finished with warnings
inline constexpr int Errors = 2;      // a run finished with errors
inline constexpr int Cancelled = 3;   // a run was cancelled or could not connect
inline constexpr int Usage = 64;      // the command line is wrong
inline constexpr int Busy = 75;       // another process runs, restores or removes the job
} // namespace ExitCode

int RunListCommand(const QStringList &args);
int RunCreateCommand(const QStringList &args);
int RunBackupCommand(const QStringList &args);
int RunPointsCommand(const QStringList &args);
int RunRestoreCommand(const QStringList &args);
int RunRemoveCommand(const QStringList &args);
int RunLogCommand(const QStringList &args);
int RunSchedulerCommand(const QStringList &args);

// The whole program: the command word and its arguments (without the
// program's own path).
int RunCli(const QStringList &args);
// The text of --help.
QString CliHelpText();
