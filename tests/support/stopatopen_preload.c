/*
 * Preloaded into a program under test (LD_PRELOAD) to hold it at a known
 * point of its work: the first time the process opens a file whose path
 * contains QV_STOP_AT_OPEN, it stops itself with SIGSTOP before the open
 * goes through. The test sees the stop in /proc and continues the process
 * with SIGCONT when it has done what it meant to do meanwhile.
 *
 * Signalling from outside after a line of output races with the program:
 * a short run may be over before the signal lands on a busy machine. A
 * stop from inside cannot come too late.
 */
#undef _FORTIFY_SOURCE
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <string.h>
#include <stdlib.h>

static int stopped;

static void stop_if_watched(const char *path)
{
    const char *watched = getenv("QV_STOP_AT_OPEN");
    if (!path || !watched || !*watched || !strstr(path, watched))
        return;
    if (__atomic_exchange_n(&stopped, 1, __ATOMIC_SEQ_CST))
        return;
    raise(SIGSTOP);
}

static mode_t mode_of(int flags, va_list args)
{
    return (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(args, int) : 0;
}

#define FORWARD_OPEN(name)                                                                                             \
    int name(const char *path, int flags, ...)                                                                         \
    {                                                                                                                  \
        static int (*next)(const char *, int, ...);                                                                    \
        va_list args;                                                                                                  \
        va_start(args, flags);                                                                                         \
        const mode_t mode = mode_of(flags, args);                                                                      \
        va_end(args);                                                                                                  \
        if (!next)                                                                                                     \
            next = (int (*)(const char *, int, ...))dlsym(RTLD_NEXT, #name);                                           \
        stop_if_watched(path);                                                                                         \
        return next(path, flags, mode);                                                                                \
    }

#define FORWARD_OPENAT(name)                                                                                           \
    int name(int dir, const char *path, int flags, ...)                                                                \
    {                                                                                                                  \
        static int (*next)(int, const char *, int, ...);                                                               \
        va_list args;                                                                                                  \
        va_start(args, flags);                                                                                         \
        const mode_t mode = mode_of(flags, args);                                                                      \
        va_end(args);                                                                                                  \
        if (!next)                                                                                                     \
            next = (int (*)(int, const char *, int, ...))dlsym(RTLD_NEXT, #name);                                      \
        stop_if_watched(path);                                                                                         \
        return next(dir, path, flags, mode);                                                                           \
    }

FORWARD_OPEN(open)
FORWARD_OPEN(open64)
FORWARD_OPENAT(openat)
FORWARD_OPENAT(openat64)
