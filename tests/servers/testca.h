#pragma once
// A certificate authority of the tests and a server certificate it signed
// for 127.0.0.1 and localhost, made with the openssl program in a folder of
// the test. The tests put CaPath() into the data folder's
// "trusted-certificates.pem" to trust their servers, as a user would for a
// home server.
#include <QString>

class TestCa {
public:
    // Makes the files in `folder` (created); false with `error` on failure.
    bool Create(const QString &folder, QString *error);

    QString CaPath() const { return m_folder + QStringLiteral("/ca.pem"); }
    QString ServerCertPath() const { return m_folder + QStringLiteral("/server.pem"); }
    QString ServerKeyPath() const { return m_folder + QStringLiteral("/server.key"); }
    // A certificate for 127.0.0.1 that signed itself: trusted by nobody.
    QString SelfSignedCertPath() const { return m_folder + QStringLiteral("/self.pem"); }
    QString SelfSignedKeyPath() const { return m_folder + QStringLiteral("/self.key"); }

private:
    QString m_folder;
};
