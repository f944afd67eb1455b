// The computer information text: parsing of the system files and the whole text.
#include <gtest/gtest.h>

#include <sys/utsname.h>

#include "app/computer_info.h"
#include "app/src/computer_info.h"
#include "tests/app/ui_test_support.h"

namespace {

TEST(ComputerInfo, OsReleaseNamePrefersThePrettyName) {
    EXPECT_EQ(compinfo::OsReleaseName("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(compinfo::OsReleaseName("NAME='Alpine'\nVERSION=3.19\n"), "Alpine 3.19");
    EXPECT_EQ(compinfo::OsReleaseName("NAME=Plain\n"), "Plain");
    EXPECT_EQ(compinfo::OsReleaseName("ID=nothing\n\n=\n"), "");
}

TEST(ComputerInfo, CpuInfoGivesTheModelAndTheLogicalProcessors) {
    const compinfo::Processor x86 = compinfo::ParseCpuInfo(
        "processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t: Intel(R) Core(TM) i5 CPU @ 2.40GHz\n\n"
        "processor\t: 1\nmodel name\t: Intel(R) Core(TM) i5 CPU @ 2.40GHz\n");
    EXPECT_EQ(x86.model, "Intel(R) Core(TM) i5 CPU @ 2.40GHz");
    EXPECT_EQ(x86.logicalCount, 2);
    const compinfo::Processor arm =
        compinfo::ParseCpuInfo("processor : 0\nBogoMIPS : 108.00\n\nHardware : BCM2835\nModel : Raspberry Pi 4\n");
    EXPECT_EQ(arm.model, "BCM2835");
    EXPECT_EQ(arm.logicalCount, 1);
    const compinfo::Processor none = compinfo::ParseCpuInfo("");
    EXPECT_EQ(none.model, "");
    EXPECT_EQ(none.logicalCount, 0);
}

TEST(ComputerInfo, MemInfoIsReadInKilobytes) {
    const compinfo::Memory memory = compinfo::ParseMemInfo(
        "MemTotal:       16318236 kB\nMemFree:         1000000 kB\nMemAvailable:   10000000 kB\n");
    EXPECT_EQ(memory.totalBytes, 16318236ull * 1024);
    EXPECT_EQ(memory.availableBytes, 10000000ull * 1024);
    const compinfo::Memory old = compinfo::ParseMemInfo("MemTotal: 2048 kB\nMemFree: 1024 kB\n");
    EXPECT_EQ(old.availableBytes, 1024ull * 1024) << "without MemAvailable the free memory counts";
    EXPECT_EQ(compinfo::ParseMemInfo("garbage").totalBytes, 0u);
}

TEST(ComputerInfo, TheTextDescribesThisComputerWithinItsCapacity) {
    TestApp();
    const QString info = GetCompInfo();
    utsname system{};
    ASSERT_EQ(uname(&system), 0);
    EXPECT_TRUE(info.contains(QString::fromUtf8(system.release)));
    EXPECT_TRUE(info.contains(QString::fromUtf8(system.nodename)));
    for (const char* section : {"System\n", "Processor\n", "Memory\n", "Sound\n", "Screens\n"})
        EXPECT_TRUE(info.contains(QString::fromUtf8(section))) << section;
    EXPECT_TRUE(info.contains("Audio system: dummy")) << info.toStdString();
    EXPECT_TRUE(info.contains("    1. ")) << "the offscreen screen is listed";
    EXPECT_FALSE(info.contains("Installed: 0 bytes"));
    EXPECT_LT(info.size(), kCompInfoCapacity);
}

}  // namespace
