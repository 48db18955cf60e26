#include "servers/testca.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {
bool Run(const QStringList &args, const QString &folder, QString *error)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral("openssl"), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        *error = QStringLiteral("openssl %1 failed: %2%3")
                     .arg(args.join(QLatin1Char(' ')), p.errorString(), QString::fromLocal8Bit(p.readAllStandardError()));
        return false;
    }
    return true;
}
} // namespace

bool TestCa::Create(const QString &folder, QString *error)
{
    m_folder = folder;
    QDir().mkpath(folder);
    const QString ext = folder + QStringLiteral("/server.ext");
    QFile f(ext);
    if (!f.open(QIODevice::WriteOnly)) {
        *error = f.errorString();
        return false;
    }
    f.write("subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\n"
            "keyUsage=digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\n");
    f.close();
    const QString days = QStringLiteral("3650");
    return Run({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem", "-days", days,
                "-subj", "/CN=Quorvane Test CA", "-addext", "basicConstraints=critical,CA:TRUE", "-addext",
                "keyUsage=critical,keyCertSign,cRLSign"},
               folder, error)
           && Run({"req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr", "-subj",
                   "/CN=127.0.0.1"},
                  folder, error)
           && Run({"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial", "-out",
                   "server.pem", "-days", days, "-extfile", "server.ext"},
                  folder, error)
           && Run({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "self.key", "-out", "self.pem", "-days",
                   days, "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost"},
                  folder, error);
}
