#include "link/interface_discovery.hpp"

#include <gtest/gtest.h>

#include "link/link_fixture.hpp"

namespace torvane::testing {
namespace {

class DiscoveryTest : public ::testing::Test, public LinkFixture {
 protected:
  DiscoveryTest() {
    const auto answer = [this](LoopbackLine& line, const std::string& bytes) {
      if (bytes == std::string(1, static_cast<char>(207))) line.Deliver(byteReply);
      if (bytes == "VO\r") line.Deliver(zra7Reply);
    };
    serial->onWrite = [this, answer](const std::string& bytes) { answer(*serial, bytes); };
    usb->onWrite = [this, answer](const std::string& bytes) { answer(*usb, bytes); };
  }
  const ScriptedDialogs::Shown& OnlyMessage() const {
    EXPECT_EQ(t.dialogs.shown.size(), 1u);
    return t.dialogs.shown.at(0);
  }
  std::string Panel1() const { return session.statusBar.Panel(1).text; }

  std::string byteReply = std::string("\xCF\x21\x12\x34\x56", 5);
  std::string zra7Reply = "OK,Torvane,Force Interface,ZRA7,FW 3.10,700123,600,\r\n";
};

TEST_F(DiscoveryTest, WithNoModelSelectedOnlyTheAttemptIsLogged) {
  EXPECT_EQ(DiscoverInterface(ctx), DiscoveryResult::NoUnitSelected);
  EXPECT_EQ(log, std::vector<std::string>{"Attempting to open data interface"});
  EXPECT_TRUE(t.dialogs.shown.empty());
  EXPECT_EQ(serial->opens + usb->opens, 0);
}

TEST_F(DiscoveryTest, AZra6IsFoundOnItsSerialPortEachTimeAfresh) {
  SelectZra6();
  EXPECT_EQ(DiscoverInterface(ctx), DiscoveryResult::Found);
  EXPECT_EQ(log, (std::vector<std::string>{"Attempting to open data interface",
                                           "ZRA6 interface unit has been found"}));
  EXPECT_EQ(Panel1(), "ZRA6 Interface Found");
  EXPECT_TRUE(t.dialogs.shown.empty());
  EXPECT_EQ(session.link.serial.UnitVersion, "V2.1  SN 123456");
  EXPECT_NE(session.link.serial.InterfaceInfoText.find("CommPort = 1 Settings:  115200,N,8,1"),
            std::string::npos);
  // Discovery again closes and reopens the open serial port.
  ASSERT_EQ(DiscoverInterface(ctx), DiscoveryResult::Found);
  EXPECT_EQ(serial->opens, 2);
  EXPECT_EQ(serial->closes, 1);
}

TEST_F(DiscoveryTest, AZra6PortThatCannotBeOpenedIsReported) {
  SelectZra6();
  serial->present = false;
  EXPECT_EQ(DiscoverInterface(ctx), DiscoveryResult::PortFailed);
  EXPECT_EQ(Msg(OnlyMessage()),
            Message(MessageIcon::Critical, "Cannot open communications with ZRA6",
                    "There is a problem setting up the USB-serial port interface. Please check the "
                    "driver is correctly installed and the appropriate COM port determined."));
  ASSERT_EQ(log.size(), 2u);
  EXPECT_NE(log[1].find("no such device"), std::string::npos);
  EXPECT_EQ(Panel1(), "Interface NOT found");
}

TEST_F(DiscoveryTest, ASilentZra6GivesBothMessages) {
  SelectZra6();
  byteReply.clear();
  EXPECT_EQ(DiscoverInterface(ctx), DiscoveryResult::NotFound);
  ASSERT_EQ(t.dialogs.shown.size(), 2u);
  EXPECT_EQ(Msg(t.dialogs.shown[0]), Message(MessageIcon::Information, "ZRA Interface NOT Found",
                                             "Interface unit has not been found"));
  EXPECT_EQ(Msg(t.dialogs.shown[1]),
            Message(MessageIcon::Critical, "Cannot open communications with ZRA6",
                    "There is a problem opening the communications port with the current "
                    "settings. Check configuration"));
}

TEST_F(DiscoveryTest, AZra6PlusIsFoundAndLimitsTheFrequency) {
  SelectZra6Plus();
  session.settings.frequency = 1000;
  EXPECT_EQ(DiscoverInterface(ctx), DiscoveryResult::Found);
  EXPECT_EQ(log, (std::vector<std::string>{"Attempting to open data interface",
                                           "ZRA6+ interface unit has been found"}));
  EXPECT_EQ(Panel1(), "ZRA6Plus Interface Found");
  EXPECT_TRUE(session.link.UsbUnitMenus);
  EXPECT_EQ(session.settings.frequency, 500);
  EXPECT_EQ(session.link.serial.UnitVersion, "V2.1");
  EXPECT_EQ(session.link.serial.InterfaceInfoText,
            "System Information\nVersion  2. 1\nSerial No. 123456\n");
}

TEST_F(DiscoveryTest, AZra6PlusWhoseReplyLacksTheVersionIsNotFoundThoughThePortOpened) {
  SelectZra6Plus();
  byteReply = "\xCF\x21";  // too short to carry a version
  EXPECT_EQ(DiscoverInterface(ctx), DiscoveryResult::NotFound);
  EXPECT_EQ(usb->opens, 1);
  EXPECT_EQ(Msg(OnlyMessage()),
            Message(MessageIcon::None, "Torvane Measurement System",
                    "ZRA6Plus unit not found.  Check that interface is connected and driver is "
                    "correctly installed"));
  EXPECT_FALSE(session.link.UsbUnitMenus);
}

TEST_F(DiscoveryTest, AZra7IsFoundAndRunsAt600Hz) {
  SelectZra7();
  session.settings.frequency = 200;
  session.MaxInterfaceFrequency = 200;
  EXPECT_EQ(DiscoverInterface(ctx), DiscoveryResult::Found);
  EXPECT_EQ(log, (std::vector<std::string>{"Attempting to open data interface",
                                           "ZRA7 interface unit has been found",
                                           "600Hz capable ZRA7 detected"}));
  EXPECT_EQ(Panel1(), "ZRA7 Interface Found");
  EXPECT_EQ(session.settings.frequency, 600);
  EXPECT_EQ(session.MaxInterfaceFrequency, 600);
  EXPECT_TRUE(session.link.UsbUnitMenus);
}

TEST_F(DiscoveryTest, ASilentZra7IsReportedAfterTheWait) {
  SelectZra7();
  zra7Reply.clear();
  const std::uint64_t start = loop.Milliseconds();
  EXPECT_EQ(DiscoverInterface(ctx), DiscoveryResult::NotFound);
  EXPECT_GE(loop.Milliseconds() - start, 2000u);
  EXPECT_LE(loop.Milliseconds() - start, 2010u);
  EXPECT_EQ(Msg(OnlyMessage()),
            Message(MessageIcon::Critical, "Cannot open communications with ZRA7",
                    "ZRA7 unit not found.  Check that interface is connected and driver is "
                    "correctly installed. Try unplugging from the USB port, wait 10 seconds, plug "
                    "back in and try again"));
  EXPECT_EQ(session.settings.frequency, 200);
  for (const std::string& line : log) EXPECT_EQ(line.find("600Hz"), std::string::npos) << line;
}

TEST_F(DiscoveryTest, WithSeveralModelsSelectedOnlyTheNewestIsLookedFor) {
  SelectZra6();
  SelectZra7();
  zra7Reply.clear();
  EXPECT_EQ(DiscoverInterface(ctx), DiscoveryResult::NotFound);
  EXPECT_EQ(Panel1(), "Interface NOT found");
  EXPECT_EQ(serial->opens, 0);  // the ZRA6 was not asked
}

}  // namespace
}  // namespace torvane::testing
