#include "platform/mountpoints.h"

#include <gtest/gtest.h>

TEST(MountPoints, OpticalMountsAreRecognisedByDeviceOrFileSystem)
{
    struct Case {
        const char *device;
        const char *fs;
        bool optical;
    };
    const Case cases[] = {
        {"/dev/sr0", "iso9660", true},
        {"/dev/sr1", "udf", true},
        {"/dev/cdrom", "auto", true},
        {"/dev/loop3", "iso9660", true}, // a mounted disc image
        {"/dev/sdb1", "UDF", true},
        {"/dev/sda1", "ext4", false},
        {"/dev/nvme0n1p2", "btrfs", false},
        {"tmpfs", "tmpfs", false},
        {"//server/share", "cifs", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(MountPoints::IsOpticalMount(QString::fromLatin1(c.device), QString::fromLatin1(c.fs)), c.optical)
            << c.device << " " << c.fs;
}

TEST(MountPoints, TheRootOfThisMachineIsNoOpticalDrive)
{
    EXPECT_FALSE(MountPoints::IsOpticalDrive(QStringLiteral("/")));
    EXPECT_FALSE(MountPoints::IsOpticalDrive(QStringLiteral("/no/such/mount")));
}
