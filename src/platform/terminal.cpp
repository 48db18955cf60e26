#include "platform/terminal.h"

#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace Terminal {
bool StderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

int Columns()
{
    struct winsize ws {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0)
        return ws.ws_col;
    bool ok = false;
    const int env = qEnvironmentVariableIntValue("COLUMNS", &ok);
    return ok && env > 0 ? env : 80;
}
} // namespace Terminal

namespace {
int g_pipe[2] = {-1, -1};
std::atomic<bool> g_installed{false};
struct sigaction g_oldInt {};
struct sigaction g_oldTerm {};

void onSignal(int)
{
    // Only async-signal-safe calls here: one byte into the pipe.
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}
} // namespace

InterruptWatcher::InterruptWatcher(QObject *parent) : QObject(parent)
{
    if (g_installed.exchange(true))
        return; // another watcher is in place
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_installed = false;
        qWarning("Interrupt watcher: cannot create its pipe");
        return;
    }
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &sa, &g_oldInt);
    ::sigaction(SIGTERM, &sa, &g_oldTerm);
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &InterruptWatcher::onReadable);
    m_active = true;
}

InterruptWatcher::~InterruptWatcher()
{
    if (!m_active)
        return;
    ::sigaction(SIGINT, &g_oldInt, nullptr);
    ::sigaction(SIGTERM, &g_oldTerm, nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
    g_installed = false;
}

void InterruptWatcher::onReadable()
{
    char buf[64];
    while (::read(g_pipe[0], buf, sizeof buf) > 0) {
    }
    ++m_count;
    Q_EMIT Interrupted();
}
