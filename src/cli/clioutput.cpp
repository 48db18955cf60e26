#include "cli/clioutput.h"

#include "base/runlog.h"
#include "platform/terminal.h"

#include <cstdio>

namespace {
bool g_progressShown = false;

void write(FILE *stream, const QString &line)
{
    // Lines can carry file names (log lines, events, restore points): their
    // control characters never reach the terminal as commands.
    const QByteArray bytes = VisibleText(line, true).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}
} // namespace

namespace CliOut {
void Out(const QString &line)
{
    ClearProgress();
    write(stdout, line);
}

void Err(const QString &line)
{
    ClearProgress();
    write(stderr, line);
}

void ClearProgress()
{
    if (!g_progressShown)
        return;
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
    g_progressShown = false;
}

void Progress(const QString &line)
{
    if (!Terminal::StderrIsTerminal())
        return;
    const int width = qMax(20, Terminal::Columns() - 1);
    QString shown = VisibleText(line);
    if (shown.size() > width)
        shown = shown.left(width - 3) + QStringLiteral("...");
    const QByteArray bytes = "\r\x1b[K" + shown.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
    g_progressShown = true;
}

QString EventText(const QString &eventLine)
{
    // "<date> <time>: text"; the time's own colons are followed by digits.
    const qsizetype sep = eventLine.indexOf(QStringLiteral(": "));
    return sep < 0 ? eventLine : eventLine.mid(sep + 2);
}
} // namespace CliOut
