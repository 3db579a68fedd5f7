#include "link/brake.hpp"

#include <gtest/gtest.h>

#include "link/link_fixture.hpp"
#include "link/usb_port.hpp"

namespace torvane::testing {
namespace {

TEST(BrakeCommandTest, LevelsBecomeBytesAndZra7Values) {
  EXPECT_EQ(BrakeLevelByte(100), 255);
  EXPECT_EQ(BrakeLevelByte(0), 0);
  EXPECT_EQ(BrakeLevelByte(12.5), 32);  // 31.875
  EXPECT_EQ(BrakeLevelByte(50), 128);   // 127.5: halves go to the even neighbour
  EXPECT_EQ(BrakeLevelByte(150), 255);
  EXPECT_EQ(BrakeLevelByte(-5), 0);
  EXPECT_EQ(Zra7BrakeCommand(50), "D2= 2047.5\r");
  EXPECT_EQ(Zra7BrakeCommand(100), "D2= 4095\r");
  EXPECT_EQ(Zra7BrakeCommand(0), "D2= 0\r");
  EXPECT_EQ(Zra7BrakeCommand(12.5), "D2= 511.875\r");
}

class BrakeTest : public ::testing::Test, public LinkFixture {
 protected:
  BrakeTest() {
    DimensionDataArrays(session.trial, 100);
    session.settings.BrakeLevel = 40;
    session.settings.brakeabovezero = true;
  }
  // Stores the next displacement as the collection would, then runs the brake.
  void Sample(float displacement) {
    session.trial.Displacement[static_cast<std::size_t>(++session.trial.SampleCount)] =
        displacement;
    BrakeControl(ctx);
  }
};

TEST_F(BrakeTest, Zra6SendsByteCommandsOnItsSerialPort) {
  SelectZra6();
  EXPECT_EQ(SetBrakeLevel(ctx, 12.5), 0);
  EXPECT_EQ(serial->writes.back(), std::string("\xCB\x20", 2));
  SetBrakeLevel(ctx, 0);
  EXPECT_EQ(serial->writes.back(), std::string("\xCB\x00", 2));
}

TEST_F(BrakeTest, Zra6PlusWritesOnTheOpenPortAndKeepsStreamBytesItReads) {
  SelectZra6Plus();
  EXPECT_EQ(SetBrakeLevel(ctx, 100), 0);
  EXPECT_TRUE(usb->writes.empty());  // never opens the port itself
  EXPECT_EQ(session.link.usb.LastUsbMessage, "");

  ASSERT_EQ(Text(OpenUsbPort(ctx)), "USB Port is open.");
  session.link.serial.Zra6PlusStreaming = true;
  session.link.serial.StreamText = "\xDD\x01";
  usb->Deliver("\x02\xDD\x01\x03");
  SetBrakeLevel(ctx, 100);
  EXPECT_EQ(usb->writes.back(), "\xCB\xFF");
  EXPECT_EQ(session.link.usb.LastUsbMessage, "\x02\xDD\x01\x03");
  EXPECT_EQ(session.link.serial.StreamText, "\xDD\x01\x02\xDD\x01\x03");
}

TEST_F(BrakeTest, Zra7OpensThePortAndLeavesItOpen) {
  SelectZra7();
  SetBrakeLevel(ctx, 50);
  EXPECT_EQ(usb->writes, std::vector<std::string>{"D2= 2047.5\r"});
  EXPECT_TRUE(usb->isOpen);
}

TEST_F(BrakeTest, Zra6BrakesGoingDownThroughZeroAndReleasesGoingUp) {
  SelectZra6();
  Sample(0.02f);
  Sample(0.01f);
  EXPECT_TRUE(serial->writes.empty());
  Sample(0.00f);                                           // down to zero counts as crossing
  EXPECT_EQ(serial->TakeWritten().substr(2), "\xCB\x66");  // after the open's stream-off: 40 %
  EXPECT_EQ(session.BrakePercent, 0);
  Sample(-0.01f);
  Sample(0.00f);  // up to zero counts as crossing
  EXPECT_EQ(serial->TakeWritten(), std::string("\xCB\x00", 2));
  EXPECT_EQ(session.BrakePercent, 40);
  EXPECT_EQ(session.statusBar.Panel(5).text, "Brake 40.0 %");
}

TEST_F(BrakeTest, Zra7ReleasesGoingDownAndBrakesGoingUp) {
  SelectZra7();
  Sample(0.01f);
  Sample(-0.01f);
  EXPECT_EQ(usb->writes.back(), "D2= 0\r");
  EXPECT_EQ(session.BrakePercent, 0);
  Sample(0.01f);
  EXPECT_EQ(usb->writes.back(), "D2= 1638\r");
  EXPECT_EQ(session.BrakePercent, 40);
}

TEST_F(BrakeTest, NothingHappensWithLevelZeroBeforeTheSecondSampleOrWithoutTheSwitch) {
  SelectZra7();
  session.settings.BrakeLevel = 0;
  Sample(0.01f);
  Sample(0.01f);
  Sample(-0.01f);
  EXPECT_TRUE(usb->writes.empty());
  EXPECT_EQ(session.statusBar.Panel(5).text, "Brake setting");  // not even refreshed

  session.settings.BrakeLevel = 40;
  session.trial.SampleCount = 0;
  Sample(0.01f);  // sample 1: no pair yet
  EXPECT_EQ(session.statusBar.Panel(5).text, "Brake setting");
  session.settings.brakeabovezero = false;
  Sample(-0.01f);
  EXPECT_TRUE(usb->writes.empty());
  EXPECT_EQ(session.statusBar.Panel(5).text, "Brake 0.0 %");  // refreshed all the same
}

TEST_F(BrakeTest, ASampleCountBeyondTheArraysIsIgnored) {
  SelectZra7();
  session.trial.SampleCount = static_cast<std::int32_t>(session.trial.Displacement.size());
  BrakeControl(ctx);
  EXPECT_TRUE(usb->writes.empty());
}

}  // namespace
}  // namespace torvane::testing
