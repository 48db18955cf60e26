#pragma once
// A private Samba server for integration tests: smbd on 127.0.0.1 and a
// port of its own, with its configuration, state and one share in a
// temporary folder, and one user with a password in a private password
// database.
//
//   SambaServer &smb = SambaServer::Shared();  // the test program's one server
//   ASSERT_TRUE(smb.start(&err));  // runs smbd (once) and waits until it answers
//   ... smb.uncPath(), smb.user(), smb.password(), smb.shareDir() ...
//   smb.stop();                    // ends smbd and every child at once
//   ASSERT_TRUE(smb.start(&err));  // again, on the same port and folder
//
// Every test of a program uses the shared server, so smbd starts once per
// test program (ctest runs such a program as one test); a test that stops
// it gets it started again by the next test's start(). smbd is started
// through ServerProcess: in a session of its own (it signals its whole
// process group when it stops, which would otherwise end the test runner),
// stopped by its process id, and killed when the test program ends in any
// way. Its port is held by a ReservedPort for the server's whole life, so a
// restart finds it free. Needs the `samba` package and root (the server
// switches to the logged-on user). A missing smbd makes start() fail with
// a message: tests must fail then, never skip.
//
// The constructor also gives libsmbclient in this process a private client
// configuration ($HOME/.smb/smb.conf; the test main points HOME at a
// throw-away folder), so the machine's /etc/samba/smb.conf plays no part.
#include "servers/reservedport.h"

#include <QString>
#include <QTemporaryDir>
#include <sys/types.h>

class SambaServer {
public:
    SambaServer();
    ~SambaServer();
    SambaServer(const SambaServer &) = delete;
    SambaServer &operator=(const SambaServer &) = delete;

    // The server of this test program, prepared on first use and stopped
    // when the program ends.
    static SambaServer &Shared();

    // Starts smbd and waits (up to 20 s) until the port accepts connections.
    bool start(QString *error = nullptr);
    // Kills smbd and its children at once (like a server that goes away) and
    // waits for it. Does nothing when it is not running.
    void stop();
    // smbd is running (a server that ended by itself is noticed here).
    bool running();

    int port() const { return m_port.port(); }
    // The share as a network destination: smb://127.0.0.1:<port>/backup
    QString uncPath() const;
    QString shareName() const { return QStringLiteral("backup"); }
    // A second share that admits anonymous (guest) sessions.
    QString guestUncPath() const;
    // A share that user() may not use (access denied after a good logon).
    QString restrictedUncPath() const;
    QString user() const { return m_user; }
    QString password() const { return m_password; }
    // The local folders behind the two shares.
    QString shareDir() const { return m_root.path() + QStringLiteral("/share"); }
    QString guestShareDir() const { return m_root.path() + QStringLiteral("/public"); }
    // smbd's output, for failure messages.
    QString log() const;

private:
    bool prepare(QString *error);

    QTemporaryDir m_root;
    ReservedPort m_port;
    QString m_user;
    QString m_password = QStringLiteral("Qv-secret-1");
    QString m_conf;
    bool m_prepared = false;
    QString m_prepareError;
    pid_t m_pid = -1;
};
