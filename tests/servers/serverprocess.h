#pragma once
// Starts the processes of the test servers so that they never outlive the
// test program: each child runs in a session of its own (setsid, so that a
// server that signals its process group cannot reach the test runner) and
// gets SIGKILL when the test program ends, however it ends
// (prctl(PR_SET_PDEATHSIG)), a crash included.
//
// The kernel sends that signal when the thread that forked the child ends,
// not the process. A test may start a server from a short-lived thread (a
// server that comes back in the middle of a transfer), so every child is
// forked by one thread of the launcher that lives until the program exits.
//
//   QString error;
//   const pid_t pid = ServerProcess::Start({"/usr/sbin/smbd", "-F"}, logPath, &error);
//   ...
//   ServerProcess::Kill(pid);   // the child and its process group, then reaped
#include <QByteArray>
#include <QList>
#include <QString>
#include <sys/types.h>

namespace ServerProcess {

// Runs `argv` (argv[0] is the program's path) with standard input from
// /dev/null and standard output and error appended to `outputPath`.
// Returns the child's process id, or -1 with `error` when it cannot fork.
// A program that cannot be executed ends at once with exit code 127.
pid_t Start(const QList<QByteArray> &argv, const QByteArray &outputPath, QString *error);

// Kills the child's process group (the child leads it) and the child with
// SIGKILL and waits for the child. Nothing happens for pid <= 0.
void Kill(pid_t pid);

// True while the child runs; reaps it (and kills what it left in its
// process group) once it has ended by itself.
bool Running(pid_t pid);

} // namespace ServerProcess
