// The main of every core test executable: a private environment, a
// QCoreApplication for the code that needs an event loop, then GoogleTest.
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QTemporaryDir root(QDir::tempPath() + QStringLiteral("/qvtest-XXXXXX"));
    if (!root.isValid())
        return 2;
    const QByteArray r = root.path().toUtf8();
    for (const char *sub : {"/home", "/config", "/tmp", "/home/Documents"})
        QDir().mkpath(QString::fromUtf8(r + sub));
    qputenv("QV_TEST_ROOT", r);
    qputenv("HOME", r + "/home");
    qputenv("XDG_CONFIG_HOME", r + "/config");
    qputenv("XDG_DOCUMENTS_DIR", r + "/home/Documents");
    qputenv("TMPDIR", r + "/tmp");
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
