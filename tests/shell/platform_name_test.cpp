#include "shell/platform_name.hpp"

#include <gtest/gtest.h>

namespace torvane {
namespace {

TEST(PlatformName, ComesFromOsReleaseElseTheKernel) {
  EXPECT_EQ(
      PlatformName("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n",
                   "Linux", "6.1.0"),
      "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(PlatformName("NAME=Alpine\n", "Linux", "6.1.0"), "Alpine");
  EXPECT_EQ(PlatformName("", "Linux", "6.1.0"), "Linux 6.1.0");
  EXPECT_EQ(PlatformName("PRETTY_NAMEX=no\n", "", ""), "Failed");
}

TEST(PlatformName, TheLoggedOperatingSystemHasTheDistributionAndTheKernelRelease) {
  EXPECT_EQ(OperatingSystemText("PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n", "Linux",
                                "6.1.0-18-amd64"),
            "Debian GNU/Linux 12 (bookworm), kernel Linux 6.1.0-18-amd64");
  EXPECT_EQ(OperatingSystemText("NAME=Alpine\n", "", ""), "Alpine");
  EXPECT_EQ(OperatingSystemText("", "Linux", "6.1.0"), "kernel Linux 6.1.0");
  EXPECT_EQ(OperatingSystemText("", "", ""), "an operating system that does not name itself");
}

TEST(PlatformName, OnlyTheOldConsumerFamilyIsNotModern) {
  EXPECT_FALSE(IsModernPlatform("Windows 98"));
  EXPECT_FALSE(IsModernPlatform("Windows Millennium"));
  EXPECT_TRUE(IsModernPlatform(""));
  EXPECT_TRUE(IsModernPlatform("Windows 2000"));
  EXPECT_TRUE(IsModernPlatform(GetWindowsVersionName()));
}

}  // namespace
}  // namespace torvane
