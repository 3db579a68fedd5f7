#include "shell/hotplug_session.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "link/link_fixture.hpp"
#include "link/usb_port.hpp"
#include "shell/config_window_rules.hpp"
#include "shell/subsystem_hooks.hpp"

namespace torvane::testing {
namespace {

// A ZRA7 on the USB layer's loopback line, whose device node the test plugs
// in and pulls out; the tty's name is the test's too.
class HotplugTest : public ::testing::Test, public LinkFixture {
 protected:
  HotplugTest() {
    InstallSubsystemHooks(session);
    SelectZra7();
    usb->onWrite = [this](const std::string& bytes) {
      if (bytes == "VO\r") usb->Deliver("OK,Torvane,Force Interface,ZRA7,FW 3.10,700123,600,\r\n");
    };
  }
  void Start(bool present) {
    nodes[tty] = present;
    watch = StartHotplugWatch(
        session, [this](const std::string& path) { return nodes[path]; },
        [this](const SettingsRecord&) { return tty; });
  }
  void Plug(bool present, std::uint64_t ms = kHotplugCheckMilliseconds) {
    nodes[tty] = present;
    loop.Advance(ms);
  }
  long Logged(const std::string& line) const { return std::count(log.begin(), log.end(), line); }
  std::string Panel1() const { return session.statusBar.Panel(1).text; }

  std::string tty = "/dev/test-usb";
  std::map<std::string, bool> nodes;
  std::unique_ptr<HotplugWatch> watch;
};

TEST_F(HotplugTest, APluggedInUnitIsOfferedAndYesConnectsItAsConnectDoes) {
  Start(false);
  Plug(true);
  Plug(true);
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(Msg(t.dialogs.shown[0]),
            Message(MessageIcon::Question, "Interface unit plugged in",
                    "A ZRA7 interface unit has been plugged in at /dev/test-usb.\n"
                    "Connect to it now?"));
  EXPECT_EQ(Logged("ZRA7 interface unit has been plugged in at /dev/test-usb"), 1);
  EXPECT_EQ(Panel1(), "ZRA7 Interface Found");
  EXPECT_EQ(session.statusBar.Panel(2).text, "Rate 600Hz");
  EXPECT_EQ(session.ConnectedInterface, InterfaceModel::Zra7);  // the configuration window's label
}

TEST_F(HotplugTest, NoOrAPortAlreadyOpenLeavesTheUnitAlone) {
  Start(false);
  t.dialogs.answers.push_back(DialogAnswer::No);
  Plug(true);
  EXPECT_EQ(Panel1(), "ZRA7 Interface plugged in");
  EXPECT_EQ(usb->opens, 0);
  Plug(false);
  OpenUsbPort(ctx);  // Connect's discovery is talking to the unit
  Plug(true);
  EXPECT_EQ(Logged("ZRA7 interface unit has been plugged in at /dev/test-usb"), 2);
  EXPECT_EQ(t.dialogs.shown.size(), 1u);
}

TEST_F(HotplugTest, AnUnpluggedUnitIsReportedForgottenAndItsPortLetGo) {
  Start(true);
  ASSERT_TRUE(RunInterfaceDiscovery(session));
  ASSERT_EQ(session.ConnectedInterface, InterfaceModel::Zra7);
  OpenUsbPort(ctx);  // held open, as a ZRA6+ leaves it after discovery
  Plug(false);
  EXPECT_EQ(Logged("ZRA7 interface unit has been unplugged from /dev/test-usb"), 1);
  EXPECT_EQ(Panel1(), "Interface NOT found");
  EXPECT_FALSE(session.link.zra7.Zra7Found);
  EXPECT_FALSE(session.link.usb.device.port().IsOpen());
  EXPECT_EQ(session.ConnectedInterface, InterfaceModel::None);
}

TEST_F(HotplugTest, NothingHappensWhileTheUnitIsInUseAndTheChangeIsSeenAfter) {
  Start(true);
  session.collection.phase = CollectionPhase::Collecting;
  Plug(false, 3000);
  session.collection.phase = CollectionPhase::Idle;
  session.link.zra7.Zra7Streaming = true;
  Plug(false, 3000);
  EXPECT_TRUE(log.empty());
  session.link.zra7.Zra7Streaming = false;
  Plug(false);
  EXPECT_EQ(Logged("ZRA7 interface unit has been unplugged from /dev/test-usb"), 1);
}

TEST_F(HotplugTest, AnotherPortStartsAfreshButAnotherTtyNameForTheSameUnitDoesNot) {
  Start(true);
  session.settings.ports["USB"] = "/dev/other";
  Plug(false);
  EXPECT_TRUE(log.empty());
  t.dialogs.answers.push_back(DialogAnswer::No);
  tty = "/dev/ttyUSB1";  // the first FTDI tty, numbered anew
  Plug(true);
  EXPECT_EQ(Logged("ZRA7 interface unit has been plugged in at /dev/ttyUSB1"), 1);
}

}  // namespace
}  // namespace torvane::testing
