// The main of every window test: a private environment, a QApplication on the
// offscreen platform, then GoogleTest.
#include "support/testroot.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QTemporaryDir root(QDir::tempPath() + QStringLiteral("/qvtest-XXXXXX"));
    if (!root.isValid() || !PrepareTestRoot(root.path()))
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
