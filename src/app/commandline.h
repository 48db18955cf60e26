#pragma once
// The words of the program's command line. A word is recognised when an
// argument equals it after a leading "-", "--" or "/", in any letter case.
// Arguments are counted from the start of the command line, words included:
// "backup NAME" means the word anywhere and the job name as second argument.
#include <QString>
#include <QStringList>

struct CommandLine {
    bool Backup = false;
    bool Restore = false;
    bool Remove = false;
    bool Admin = false;
    bool Hide = false;
    QString FirstArgument;
    QString SecondArgument;

    // One of backup, restore, remove or admin: the instance may run beside
    // another one and counts as already elevated.
    bool IsCommandLineRun() const { return Backup || Restore || Remove || Admin; }

    // `arguments` without the program's own path.
    static CommandLine Parse(const QStringList &arguments);
    // True when `argument` is `word` after a leading "-", "--" or "/".
    static bool IsWord(const QString &argument, const QString &word);
};

// The first argument names a job file: its extension equals the program's
// job file extension exactly (letter case included).
bool IsJobFilePath(const QString &path);
