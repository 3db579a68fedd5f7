#include "shell/hotplug_session.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "link/link_fixture.hpp"
#include "link/usb_port.hpp"
#include "shell/subsystem_hooks.hpp"

namespace torvane::testing {
namespace {

// A ZRA7 behind the USB layer's loopback line, whose device node a test
// plugs in and pulls out.
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
    nodes["/dev/test-usb"] = present;
    watch = StartHotplugWatch(session, [this](const std::string& path) { return nodes[path]; });
  }
  // Plugs the unit in or out and lets the watch look.
  void Plug(bool present, std::uint64_t ms = kHotplugCheckMilliseconds) {
    nodes["/dev/test-usb"] = present;
    loop.Advance(ms);
  }
  bool Logged(const std::string& line) const {
    return std::find(log.begin(), log.end(), line) != log.end();
  }
  std::string Panel1() const { return session.statusBar.Panel(1).text; }

  std::map<std::string, bool> nodes;
  std::unique_ptr<HotplugWatch> watch;
};

TEST_F(HotplugTest, APluggedInUnitIsOfferedAndYesConnectsItAsConnectDoes) {
  Start(false);
  Plug(true);
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(Msg(t.dialogs.shown[0]),
            Message(MessageIcon::Question, "Interface unit plugged in",
                    "A ZRA7 interface unit has been plugged in at /dev/test-usb.\n"
                    "Connect to it now?"));
  EXPECT_TRUE(Logged("ZRA7 interface unit has been plugged in at /dev/test-usb"));
  EXPECT_TRUE(Logged("ZRA7 interface unit has been found"));
  EXPECT_EQ(Panel1(), "ZRA7 Interface Found");
  EXPECT_TRUE(session.link.zra7.Zra7Found);
  EXPECT_EQ(session.statusBar.Panel(2).text, "Rate 600Hz");
  // Still there a second later: nothing new.
  Plug(true);
  EXPECT_EQ(t.dialogs.shown.size(), 1u);
}

TEST_F(HotplugTest, NoLeavesTheUnitUnconnected) {
  Start(false);
  t.dialogs.answers.push_back(DialogAnswer::No);
  Plug(true);
  EXPECT_FALSE(Logged("Attempting to open data interface"));
  EXPECT_EQ(Panel1(), "ZRA7 Interface plugged in");
  EXPECT_EQ(usb->opens, 0);
}

TEST_F(HotplugTest, AnUnpluggedUnitIsReportedForgottenAndItsPortLetGo) {
  Start(true);
  session.hooks.DiscoverInterface();
  ASSERT_TRUE(session.link.zra7.Zra7Found);
  OpenUsbPort(ctx);  // held open, as a ZRA6+ leaves it after discovery
  const auto shown = t.dialogs.shown.size();
  Plug(false);
  EXPECT_TRUE(Logged("ZRA7 interface unit has been unplugged from /dev/test-usb"));
  EXPECT_EQ(Panel1(), "Interface NOT found");
  EXPECT_FALSE(session.link.zra7.Zra7Found);
  EXPECT_FALSE(session.link.usb.UsbPortIsOpen);
  EXPECT_FALSE(session.link.usb.device.port().IsOpen());
  EXPECT_EQ(t.dialogs.shown.size(), shown);
}

TEST_F(HotplugTest, NothingHappensWhileTheUnitIsInUseAndTheChangeIsSeenAfter) {
  Start(true);
  session.collection.phase = CollectionPhase::Collecting;
  Plug(false, 3000);
  session.collection.phase = CollectionPhase::Idle;
  session.view.ZeroingInProgress = true;
  Plug(false, 3000);
  session.view.ZeroingInProgress = false;
  session.link.zra7.Zra7Streaming = true;
  Plug(false, 3000);
  EXPECT_FALSE(Logged("ZRA7 interface unit has been unplugged from /dev/test-usb"));
  session.link.zra7.Zra7Streaming = false;
  Plug(false);
  EXPECT_EQ(std::count(log.begin(), log.end(),
                       "ZRA7 interface unit has been unplugged from /dev/test-usb"),
            1);
}

TEST_F(HotplugTest, AnotherPortOrModelStartsAfreshAndDemonstrationModeReportsNothing) {
  Start(true);
  nodes["/dev/other"] = false;
  session.settings.ports["USB"] = "/dev/other";
  Plug(false);
  session.settings.ZRA7Input = false;
  session.settings.ZRA6Input = true;  // its serial port /dev/test-com1 is not there either
  loop.Advance(kHotplugCheckMilliseconds);
  session.DemoMode = true;
  nodes["/dev/test-com1"] = true;
  loop.Advance(3000);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(t.dialogs.shown.empty());
}

TEST_F(HotplugTest, AUnitThatComesBackUnderAnotherTtyNameIsStillSeen) {
  // No [Ports] path: the first FTDI tty, /dev/ttyUSB0 while none is there.
  session.settings.ports.erase("USB");
  std::string tty = "/dev/ttyUSB0";
  watch = StartHotplugWatch(
      session, [&](const std::string& path) { return path == tty && nodes[tty]; },
      [&](const SettingsRecord&) { return tty; });
  t.dialogs.answers.push_back(DialogAnswer::No);
  tty = "/dev/ttyUSB1";
  nodes[tty] = true;
  loop.Advance(kHotplugCheckMilliseconds);
  EXPECT_TRUE(Logged("ZRA7 interface unit has been plugged in at /dev/ttyUSB1"));
}

TEST_F(HotplugTest, AUnitThatAppearsWhileItsPortIsOpenIsLoggedButNotOffered) {
  Start(false);
  session.link.usb.UsbPortIsOpen = true;  // Connect's discovery is talking to it
  Plug(true);
  EXPECT_TRUE(Logged("ZRA7 interface unit has been plugged in at /dev/test-usb"));
  EXPECT_TRUE(t.dialogs.shown.empty());
}

}  // namespace
}  // namespace torvane::testing
