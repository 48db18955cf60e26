// A test program that starts a server the way the fixtures do and then
// waits to be killed: it starts `sleep` through ServerProcess and prints
// the child's process id (serverprocess_test.cpp kills this program and
// watches the child end with it).
#include "servers/serverprocess.h"

#include <QString>

#include <cstdio>
#include <unistd.h>

int main()
{
    QString error;
    const pid_t pid = ServerProcess::Start({"/bin/sleep", "600"}, "/dev/null", &error);
    if (pid < 0) {
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("%d\n", int(pid));
    std::fflush(stdout);
    for (;;)
        pause();
}
