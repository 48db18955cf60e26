// Process starts in ThreadSanitizer builds (-DQV_SANITIZE_THREAD=ON) only;
// every other build compiles this file to nothing.
//
// QProcess starts a child the vfork way: Qt calls clone() with CLONE_VM |
// CLONE_VFORK, so the child runs in the parent's memory until it execs.
// ThreadSanitizer's clone() interceptor (GCC 12) treats every clone as a
// fork: the child runs the runtime's after-fork code, which in shared memory
// rewrites the parent thread's state, and the parent then undoes its own
// before-fork step a second time. The thread that started a process is left
// with its interceptors switched off for good: the threads it starts later
// and the locks it takes no longer order anything, and every later access
// to data shared with those threads is reported as a race.
//
// The runtime's own vfork() interceptor turns vfork into fork for the same
// reason. This does the same for a vfork-style clone: without CLONE_VM and
// CLONE_VFORK the child gets a copy of the memory, and the interceptor's
// fork handling is right again. Qt's child code works either way (it uses
// fork itself where pidfds are missing) and reports a failed exec through a
// pipe, not through shared memory. Every other clone passes unchanged.
//
// The executable's definition takes precedence over the runtime's
// interceptor for calls from Qt, and the call goes on to the interceptor,
// the next definition after the executable. CMake links this file into every
// executable of a ThreadSanitizer build by asking for the anchor below
// (-Wl,--undefined=qv_tsan_process_start): asking for clone itself would be
// answered by the runtime library before the platform library is searched.
#if defined(__SANITIZE_THREAD__)

#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <sched.h>
#include <sys/types.h>

extern "C" {
extern const int qv_tsan_process_start;
const int qv_tsan_process_start = 1;
}

extern "C" int clone(int (*fn)(void *), void *stack, int flags, void *arg, ...)
{
    // The three optional arguments are read whether or not the caller passed
    // them, as glibc's own clone does; they are used only when the flags say so.
    va_list rest;
    va_start(rest, arg);
    pid_t *parentTid = va_arg(rest, pid_t *);
    void *tls = va_arg(rest, void *);
    pid_t *childTid = va_arg(rest, pid_t *);
    va_end(rest);

    using Clone = int (*)(int (*)(void *), void *, int, void *, ...);
    static const Clone next = reinterpret_cast<Clone>(dlsym(RTLD_NEXT, "clone"));
    if (!next) {
        errno = ENOSYS; // the caller reports a process that could not start
        return -1;
    }
    if ((flags & CLONE_VM) && (flags & CLONE_VFORK))
        flags &= ~(CLONE_VM | CLONE_VFORK);
    return next(fn, stack, flags, arg, parentTid, tls, childTid);
}

#endif
