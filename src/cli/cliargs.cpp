#include "cli/cliargs.h"

bool ArgReader::NextIsOption() const
{
    if (AtEnd() || m_optionsEnded)
        return false;
    const QString &a = m_args[m_pos];
    return a.startsWith(QLatin1String("--")) && a.size() > 2;
}

QString ArgReader::TakeOption()
{
    QString a = m_args[m_pos++].mid(2);
    const qsizetype eq = a.indexOf(QLatin1Char('='));
    m_hasInline = eq >= 0;
    m_inline = m_hasInline ? a.mid(eq + 1) : QString();
    return m_hasInline ? a.left(eq) : a;
}

QString ArgReader::TakeValue(const QString &option)
{
    if (m_hasInline) {
        m_hasInline = false;
        return m_inline;
    }
    if (AtEnd())
        throw UsageError(QStringLiteral("The option --%1 needs a value.").arg(option));
    return m_args[m_pos++];
}

void ArgReader::RefuseInlineValue(const QString &option)
{
    if (m_hasInline)
        throw UsageError(QStringLiteral("The option --%1 takes no value.").arg(option));
}

QString ArgReader::TakePositional()
{
    if (!m_optionsEnded && !AtEnd() && m_args[m_pos] == QLatin1String("--")) {
        m_optionsEnded = true;
        ++m_pos;
    }
    if (AtEnd())
        return QString();
    return m_args[m_pos++];
}

int ParseNumber(const QString &option, const QString &value, int min, int max)
{
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    if (!ok || n < min || n > max)
        throw UsageError(QStringLiteral("The option --%1 needs a whole number from %2 to %3, not \"%4\".")
                             .arg(option)
                             .arg(min)
                             .arg(max)
                             .arg(value));
    return n;
}

QString PasswordFrom(const QString &given, bool wasGiven, const char *environmentVariable)
{
    if (wasGiven)
        return given;
    return qEnvironmentVariable(environmentVariable);
}

CommandArgs ParseCommandArgs(const QString &command, const QStringList &args, const QStringList &valueOptions,
                             const QStringList &flagOptions, int maxPositionals)
{
    CommandArgs out;
    ArgReader r(args);
    while (!r.AtEnd()) {
        if (!r.NextIsOption()) {
            const QString p = r.TakePositional();
            if (r.AtEnd() && p.isNull())
                break;
            if (out.Positionals.size() >= maxPositionals)
                throw UsageError(QStringLiteral("Unexpected argument \"%1\" for \"%2\" (a job name with blanks needs "
                                                "quotes).").arg(p, command));
            out.Positionals.append(p);
            continue;
        }
        const QString opt = r.TakeOption();
        if (out.Has(opt))
            throw UsageError(QStringLiteral("The option --%1 is given twice.").arg(opt));
        if (valueOptions.contains(opt)) {
            out.Values.insert(opt, r.TakeValue(opt));
        } else if (flagOptions.contains(opt)) {
            r.RefuseInlineValue(opt);
            out.Flags.insert(opt);
        } else {
            throw UsageError(QStringLiteral("Unknown option --%1 for \"%2\" (see quorvane-cli --help).").arg(opt, command));
        }
    }
    return out;
}

QString RequireJobName(const QString &command, const CommandArgs &args)
{
    if (args.Positionals.isEmpty() || args.Positionals.first().isEmpty())
        throw UsageError(QStringLiteral("\"%1\" needs the name of a job: quorvane-cli %1 NAME").arg(command));
    return args.Positionals.first();
}
