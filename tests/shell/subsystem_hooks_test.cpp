#include "shell/subsystem_hooks.hpp"

#include <gtest/gtest.h>

#include "link/link_fixture.hpp"
#include "shell/main_menu_state.hpp"

namespace torvane::testing {
namespace {

// The program's hooks reach the real link: a ZRA7 on a loopback line is
// found, the menus follow, the brake command goes out, shutdown lowers DTR.
TEST(SubsystemHooks, TheProgramsHooksDriveTheLink) {
  LinkFixture f;
  f.usb->onWrite = [&](const std::string& bytes) {
    if (bytes == "VO\r") f.usb->Deliver("OK,Torvane,Force Interface,ZRA7,FW 3.10,700123,600,\r\n");
  };
  f.SelectZra7();
  InstallSubsystemHooks(f.session);
  ASSERT_TRUE(f.session.hooks.DiscoverInterface());
  EXPECT_FALSE(MenuEntry(f.session, "mnuToolsSerial").visible);
  EXPECT_TRUE(MenuEntry(f.session, "mnuToolsViewAnalog").visible);
  // "Performance Enhancement" has nothing to tune here and says why.
  EXPECT_FALSE(MenuEntry(f.session, "mnuToolsPerformance").enabled);
  EXPECT_NE(MenuEntryUnavailableReason("mnuToolsPerformance"), nullptr);
  EXPECT_TRUE(MenuEntry(f.session, "mnuConfigure").enabled);
  EXPECT_EQ(f.session.hooks.SetBrakeLevel(50.0f), "");
  EXPECT_NE(f.usb->written.find("D2= 2047.5\r"), std::string::npos);
  f.session.hooks.ShutdownZra7Link();
  ASSERT_FALSE(f.usb->dtrChanges.empty());
  EXPECT_FALSE(f.usb->dtrChanges.back());
  EXPECT_FALSE(f.session.hooks.OpenTrialFile("/nonexistent/trial.qlx"));
}

}  // namespace
}  // namespace torvane::testing
