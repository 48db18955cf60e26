#pragma once
// Reading the command line of quorvane-cli: the command word, its
// positional arguments and its options ("--name value" or "--name=value").
// Every mistake is a UsageError with a message for the user (exit code 64).
#include "base/errors.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

class UsageError : public QvError {
public:
    using QvError::QvError;
};

class ArgReader {
public:
    explicit ArgReader(QStringList args) : m_args(std::move(args)) {}

    bool AtEnd() const { return m_pos >= m_args.size(); }
    // The next argument is an option ("--x"); a lone "--" ends the options.
    bool NextIsOption() const;
    // Takes the next option's name (without "--"); its inline value ("--x=v")
    // is kept for TakeValue.
    QString TakeOption();
    // The value of the option just taken: the inline value or the next argument.
    QString TakeValue(const QString &option);
    // The option just taken had a value written inline although it takes none.
    void RefuseInlineValue(const QString &option);
    // Takes a positional argument.
    QString TakePositional();

private:
    QStringList m_args;
    qsizetype m_pos = 0;
    QString m_inline;
    bool m_hasInline = false;
    bool m_optionsEnded = false;
};

// An option's value as a whole number in [min, max]; UsageError otherwise.
int ParseNumber(const QString &option, const QString &value, int min, int max);
// A password option's value, or the environment variable's when the option
// was not given ("" when neither).
QString PasswordFrom(const QString &given, bool wasGiven, const char *environmentVariable);

// The arguments of a simple command: positionals, options with a value and
// flags. Unknown options, repeated options, missing values and too many
// positionals are UsageErrors naming the command.
struct CommandArgs {
    QStringList Positionals;
    QHash<QString, QString> Values;
    QSet<QString> Flags;
    bool Has(const QString &option) const { return Values.contains(option) || Flags.contains(option); }
};
CommandArgs ParseCommandArgs(const QString &command, const QStringList &args, const QStringList &valueOptions,
                             const QStringList &flagOptions, int maxPositionals);
// The one job name a command needs; UsageError when it is missing.
QString RequireJobName(const QString &command, const CommandArgs &args);
