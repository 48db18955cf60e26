#include "storage/smbclientlib.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
bool Mapped(const char *library)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
}

// The network-share library (and the libraries it brings) is loaded when a
// share is first used, not when the program starts.
TEST(SmbClientLib, IsLoadedOnlyWhenAShareIsFirstUsed)
{
    EXPECT_FALSE(Mapped("libsmbclient"));
    QString error;
    const SmbClientLib *lib = SmbClientLib::Load(&error);
    ASSERT_NE(lib, nullptr) << error.toStdString();
    EXPECT_TRUE(Mapped("libsmbclient"));
    EXPECT_EQ(SmbClientLib::Load(), lib);
    EXPECT_EQ(&SmbLib(), lib);
    EXPECT_NE(lib->new_context, nullptr);
    EXPECT_NE(lib->getFunctionUtimes, nullptr);
}
} // namespace
