#pragma once
// A test server on a loopback port: started through ServerProcess (its own
// session, killed with the test program), ready once its port accepts a
// connection, killed when the object goes.
//
//   ReservedPort port;
//   LoopbackServer proxy;
//   ASSERT_TRUE(proxy.Start({"/usr/bin/microsocks", "-i", "127.0.0.1", "-p", QByteArray::number(port.port())},
//                           port.port(), logPath)) << proxy.Error().toStdString();
#include <QByteArray>
#include <QList>
#include <QString>
#include <sys/types.h>

class LoopbackServer {
public:
    LoopbackServer() = default;
    ~LoopbackServer() { Stop(); }
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    // Starts `argv` (argv[0] a path, or a name looked up in PATH and the sbin
    // folders) with its output in `logPath`, and waits until 127.0.0.1:`port`
    // accepts connections. False with Error() (the log's tail included) when
    // the program is missing, ends early or does not answer in time.
    bool Start(QList<QByteArray> argv, int port, const QString &logPath);
    void Stop();
    bool Running() const;
    QString Error() const { return m_error; }

    // Whether something accepts connections on 127.0.0.1:`port`.
    static bool PortAnswers(int port);
    // The full path of program `name`, or empty.
    static QString FindProgram(const QString &name);

private:
    pid_t m_pid = -1;
    QString m_error;
};
