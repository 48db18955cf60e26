// The platform services the core uses, where they can run here for real.
#include "platform/elevation.h"
#include "platform/keepawake.h"
#include "platform/mountpoints.h"

#include <QDir>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <unistd.h>

TEST(KeepAwake, WithoutASystemBusNothingHappens)
{
    // Point the system bus at a socket that does not exist before anything connects.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/quorvane-test-bus");
    auto inhibitor = CreateSystemSleepInhibitor();
    QString error;
    EXPECT_TRUE(inhibitor->SetKeepAwake(true, &error)) << error.toStdString();
    EXPECT_FALSE(inhibitor->IsHeld());
    EXPECT_TRUE(inhibitor->SetKeepAwake(false, &error));
}

TEST(Elevation, RelaunchFailsWhereItCannotHelpSoTheJobRunsHere)
{
    auto launcher = CreateSystemElevatedLauncher();
    QString error;
    if (::geteuid() == 0) {
        EXPECT_FALSE(launcher->RelaunchElevated(QStringLiteral("/bin/true"), {QStringLiteral("/admin")}, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("already runs with administrator rights"))) << error.toStdString();
    } else if (QStandardPaths::findExecutable(QStringLiteral("pkexec")).isEmpty()) {
        EXPECT_FALSE(launcher->RelaunchElevated(QStringLiteral("/bin/true"), {QStringLiteral("/admin")}, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("pkexec is not installed"))) << error.toStdString();
    } else {
        GTEST_SKIP() << "pkexec would ask a person for a password";
    }
}

TEST(MountPoints, EveryPathLiesOnTheLongestMountPointAboveIt)
{
    const QStringList all = MountPoints::All();
    EXPECT_TRUE(all.contains(QStringLiteral("/")));
    EXPECT_EQ(MountPoints::Of(QStringLiteral("/")), QStringLiteral("/"));
    const QString here = QDir::currentPath();
    const QString point = MountPoints::Of(here);
    EXPECT_TRUE(all.contains(point)) << point.toStdString();
    const QString real = QDir(here).canonicalPath();
    EXPECT_TRUE(point == QLatin1String("/") || real == point || real.startsWith(point + QLatin1Char('/')))
        << point.toStdString() << " " << real.toStdString();
    for (const QString &other : all) {
        if (other.size() > point.size() && (real == other || real.startsWith(other + QLatin1Char('/'))))
            ADD_FAILURE() << "a longer mount point holds it: " << other.toStdString();
    }
    // A path that does not exist yet lies on the mount point of its existing part.
    EXPECT_EQ(MountPoints::Of(here + QStringLiteral("/not/yet/there")), point);
}
