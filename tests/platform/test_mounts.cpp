// SPDX-License-Identifier: GPL-3.0-or-later
// The mount table as the kernel writes it, read into the drives a person browses.
#include "platform/mounts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace velumbra;

namespace {

// Root always first, once, even from nothing; no pseudo, system or bind mounts; octal escapes
// undone.
TEST(MountsTest, KeepsWhatAPersonBrowses)
{
    const std::string table =
        "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
        "26 1 254:0 / / rw,relatime shared:1 - overlay overlay rw,lowerdir=/x\n"
        "40 26 8:2 /@home /home rw shared:5 - btrfs /dev/sda2 rw\n"
        "41 26 8:1 / /boot/efi rw - vfat /dev/sda1 rw\n"
        "45 42 8:17 / /run/media/moi/CLÉ rw - vfat /dev/sdb1 rw\n"
        "46 26 8:33 / /media/moi/Photos\\040de\\040vacances rw - exfat /dev/sdc1 rw\n"
        "47 26 0:50 / /mnt/nas rw - nfs4 nas:/export rw\n"
        "48 26 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
        "50 26 8:3 / /data rw - ext4 /dev/sda3 rw\n"
        "52 26 8:3 /x /var/lib/docker rw - ext4 /dev/sda3 rw\n"
        "53 26 0:53 / /mnt/ram rw - tmpfs tmpfs rw\n"
        "54 26 8:2 / /home rw - btrfs /dev/sda2 rw\n"
        "garbage line\n"
        "55 26 8:4 / relative - ext4 /dev/sda4 rw\n";
    const std::vector<std::string> expected{
        "/", "/data", "/home", "/media/moi/Photos de vacances", "/mnt/nas", "/run/media/moi/CLÉ"};
    EXPECT_EQ(browsableMounts(table), expected);
    EXPECT_EQ(browsableMounts(""), std::vector<std::string>{"/"});
    EXPECT_EQ(unescapeMountField("a\\011b\\134c\\\\d\\9"), "a\tb\\c\\\\d\\9");
}

} // namespace
