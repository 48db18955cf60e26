// The main of every core test executable: a private environment, a
// QCoreApplication for the code that needs an event loop, then GoogleTest.
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/testroot.h"

int main(int argc, char **argv)
{
    QTemporaryDir root(QDir::tempPath() + QStringLiteral("/qvtest-XXXXXX"));
    if (!root.isValid() || !PrepareTestRoot(root.path()))
        return 2;
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
