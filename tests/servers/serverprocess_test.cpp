// The lifetime rules of the test servers' processes: a server outlives the
// thread that started it but not the test program, runs in a session of its
// own, and its port stays reserved while it is stopped.
#include "servers/reservedport.h"
#include "servers/serverprocess.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

namespace {

// Waits (at most `timeoutMs`) for the process to end, by its pidfd; true
// when it ended. A child of another process can be watched this way too.
bool EndsWithin(pid_t pid, int timeoutMs)
{
    const int fd = int(syscall(SYS_pidfd_open, pid, 0));
    if (fd < 0)
        return errno == ESRCH; // already gone
    pollfd p{fd, POLLIN, 0};
    const int ready = poll(&p, 1, timeoutMs);
    ::close(fd);
    return ready == 1;
}

// The process runs `program` (its command line starts with it).
bool RunsProgram(pid_t pid, const char *program)
{
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    return cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().startsWith(QByteArray(program) + '\0');
}

TEST(ServerProcess, OutlivesTheThreadThatStartedIt)
{
    pid_t pid = -1;
    pid_t thread = 0;
    QString error;
    std::thread([&] {
        thread = gettid();
        pid = ServerProcess::Start({"/bin/sleep", "600"}, "/dev/null", &error);
        // The child arms its parent-death signal before it runs the program.
        while (pid > 0 && !RunsProgram(pid, "/bin/sleep"))
            std::this_thread::yield();
    }).join();
    ASSERT_GT(pid, 0) << error.toStdString();
    EXPECT_EQ(getsid(pid), pid) << "a session of its own";
    // The kernel sends a parent-death signal while the parent thread exits,
    // before the thread's entry leaves /proc; once it has left, a signal
    // tied to that thread would have sealed the child's end already.
    const QString entry = QStringLiteral("/proc/self/task/%1").arg(thread);
    while (QFileInfo::exists(entry))
        std::this_thread::yield();
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "the server died with its starting thread";
}

TEST(ServerProcess, EndsWithTheTestProgramThatStartedIt)
{
    QProcess helper;
    helper.start(QCoreApplication::applicationDirPath() + QStringLiteral("/qv_serverprocess_helper"), {});
    ASSERT_TRUE(helper.waitForStarted(10000)) << helper.errorString().toStdString();
    ASSERT_TRUE(helper.waitForReadyRead(10000)) << helper.readAllStandardError().toStdString();
    bool ok = false;
    const pid_t server = pid_t(helper.readLine().trimmed().toInt(&ok));
    ASSERT_TRUE(ok && server > 0);
    ASSERT_FALSE(EndsWithin(server, 0));
    // A test program that crashes or is killed takes its servers along.
    helper.kill();
    ASSERT_TRUE(helper.waitForFinished(10000));
    EXPECT_TRUE(EndsWithin(server, 10000)) << "the server outlived its test program";
}

int BindLoopback(int port, bool reuseAddress)
{
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (reuseAddress)
        ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(quint16(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
        ::close(s);
        return -1;
    }
    return s;
}

TEST(ReservedPort, IsTakenByNobodyElseButAServerThatReusesAddresses)
{
    ReservedPort reserved;
    ASSERT_GT(reserved.port(), 0);
    EXPECT_EQ(BindLoopback(reserved.port(), false), -1) << "an ordinary socket got the reserved port";
    // smbd sets SO_REUSEADDR: it binds and listens on the port, again after a restart.
    for (int start = 0; start < 2; ++start) {
        const int server = BindLoopback(reserved.port(), true);
        ASSERT_GE(server, 0) << strerror(errno);
        EXPECT_EQ(::listen(server, 4), 0) << strerror(errno);
        ::close(server);
    }
}

} // namespace
