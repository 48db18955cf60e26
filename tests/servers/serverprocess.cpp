#include "servers/serverprocess.h"

#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// The one thread that forks the servers. It is never joined: it lives as
// long as the process, and with it the parent-death signal stays armed.
class Launcher {
public:
    static Launcher &Instance()
    {
        // Leaked on purpose: destroying it at exit would end the thread
        // before the servers that static objects stop in their destructors.
        static Launcher *launcher = new Launcher;
        return *launcher;
    }

    pid_t Run(const std::function<pid_t()> &task)
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return !m_task; });
        m_task = task;
        m_done = false;
        m_wake.notify_all();
        m_finished.wait(lock, [this] { return m_done; });
        m_task = nullptr;
        m_idle.notify_all();
        return m_result;
    }

private:
    Launcher()
    {
        std::thread([this] { loop(); }).detach();
    }

    void loop()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_task && !m_done; });
            m_result = m_task();
            m_done = true;
            m_finished.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_finished;
    std::condition_variable m_idle;
    std::function<pid_t()> m_task;
    bool m_done = false;
    pid_t m_result = -1;
};

// Runs in the forked child: only async-signal-safe calls until execv.
[[noreturn]] void ExecChild(char *const argv[], const char *output, pid_t parent)
{
    setsid();
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The parent may have ended before the signal was armed.
    if (getppid() != parent)
        _exit(126);
    const int fd = ::open(output, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd >= 0) {
        dup2(fd, 1);
        dup2(fd, 2);
        ::close(fd);
    }
    const int devnull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (devnull >= 0) {
        dup2(devnull, 0);
        ::close(devnull);
    }
    execv(argv[0], argv);
    _exit(127);
}

} // namespace

namespace ServerProcess {

pid_t Start(const QList<QByteArray> &argv, const QByteArray &outputPath, QString *error)
{
    if (argv.isEmpty()) {
        if (error)
            *error = QStringLiteral("no program to start");
        return -1;
    }
    // Everything the child needs is prepared before the fork.
    std::vector<char *> args;
    for (const QByteArray &a : argv)
        args.push_back(const_cast<char *>(a.constData()));
    args.push_back(nullptr);
    const pid_t parent = getpid();
    int forkError = 0;
    const pid_t pid = Launcher::Instance().Run([&]() -> pid_t {
        const pid_t child = fork();
        if (child == 0)
            ExecChild(args.data(), outputPath.constData(), parent);
        if (child < 0)
            forkError = errno;
        return child;
    });
    if (pid < 0 && error)
        *error = QStringLiteral("fork failed: %1").arg(QString::fromLocal8Bit(strerror(forkError)));
    return pid;
}

void Kill(pid_t pid)
{
    if (pid <= 0)
        return;
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

bool Running(pid_t pid)
{
    if (pid <= 0)
        return false;
    int status = 0;
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == 0)
        return true;
    if (r == pid)
        ::kill(-pid, SIGKILL); // children left behind
    return false;
}

} // namespace ServerProcess
