#include "link/zra7_protocol.hpp"

#include <gtest/gtest.h>

#include "link/link_fixture.hpp"
#include "link/usb_port.hpp"

namespace torvane::testing {
namespace {

constexpr const char* kIdentity = "OK,Torvane,Force Interface,ZRA7,FW 3.10,700123,600,\r\n";
constexpr const char* kParameters = "0,4095,0,4095,0,4095,0,4095,0,4095,600,8,\r\n";

class Zra7ProtocolTest : public ::testing::Test, public LinkFixture {
 protected:
  Zra7ProtocolTest() {
    SelectZra7();
    usb->onWrite = [this](const std::string& bytes) {
      writeTimes.push_back(loop.Milliseconds());
      if (silent) return;
      if (bytes == "VO\r" && loop.Milliseconds() >= answerFrom) usb->Deliver(identity);
      if (bytes == "VH\r") usb->Deliver(kParameters);
    };
  }
  std::vector<std::string> Commands() const { return usb->writes; }

  bool silent = false;
  std::uint64_t answerFrom = 0;
  std::string identity = kIdentity;
  std::vector<std::uint64_t> writeTimes;
};

TEST_F(Zra7ProtocolTest, DiscoveryReadsTheIdentityThenAsksForTheParameters) {
  const std::uint64_t start = loop.Milliseconds();
  EXPECT_TRUE(RunZra7Discovery(ctx));
  const Zra7LinkState& z = session.link.zra7;
  EXPECT_EQ(std::tie(z.Zra7StatusWord, z.Zra7FirmwareVersion, z.Zra7SerialNumber),
            std::tuple("OK" + std::string(14, ' '), "FW 3.10" + std::string(13, ' '),
                       "700123" + std::string(14, ' ')));
  EXPECT_EQ(z.Zra7State, kZra7Parameters);
  EXPECT_EQ(Commands(), (std::vector<std::string>{"VO\r", "VH\r"}));
  EXPECT_EQ(writeTimes, (std::vector<std::uint64_t>{start, start + 600}));
  EXPECT_EQ(usb->dtrChanges, std::vector<bool>{true});
  // Every exchange ends with the port closed; the last reply is kept.
  EXPECT_FALSE(usb->isOpen);
  EXPECT_EQ(z.Zra7ReplyBuffer.substr(0, 6), "0,4095");
  EXPECT_EQ(z.Zra7ReplyBuffer.size(), 4096u);
}

TEST_F(Zra7ProtocolTest, ASilentUnitIsAskedAgainEvery600MsAndIsNotFound) {
  silent = true;
  const std::uint64_t start = loop.Milliseconds();
  EXPECT_FALSE(RunZra7Discovery(ctx));
  EXPECT_EQ(writeTimes,
            (std::vector<std::uint64_t>{start, start + 600, start + 1200, start + 1800}));
  EXPECT_EQ(session.link.zra7.Zra7State, kZra7Identity);
}

TEST_F(Zra7ProtocolTest, ABlankReplyCountsAsNoReply) {
  identity = std::string(40, ' ');
  EXPECT_FALSE(RunZra7Discovery(ctx));
  EXPECT_GE(writeTimes.size(), 2u);
  EXPECT_EQ(writeTimes[1] - writeTimes[0], 600u);
  EXPECT_EQ(session.link.zra7.Zra7StatusWord, std::string(16, ' '));
}

TEST_F(Zra7ProtocolTest, AReplyAfterTheDiscoveryWaitIsNotFoundButStillRecorded) {
  answerFrom = loop.Milliseconds() + 2000;
  EXPECT_FALSE(RunZra7Discovery(ctx));
  EXPECT_FALSE(session.link.zra7.Zra7Found);
  loop.Advance(1200);
  EXPECT_TRUE(session.link.zra7.Zra7Found);
  EXPECT_EQ(Commands().back(), "VH\r");
}

TEST_F(Zra7ProtocolTest, IdentityFieldsArePaddedOrCutTo16And20Characters) {
  const Zra7LinkState& z = session.link.zra7;
  identity = "ABCDEFGHIJKLMNOPQ,maker,text,ZRA7,FW9,SN77,more,\r\n";
  EXPECT_TRUE(RunZra7Discovery(ctx));
  EXPECT_EQ(
      std::tie(z.Zra7StatusWord, z.Zra7FirmwareVersion, z.Zra7SerialNumber),
      std::tuple("ABCDEFGHIJKLMNOP", "FW9" + std::string(17, ' '), "SN77" + std::string(16, ' ')));
  // A status starting with a comma is not split there.
  identity = ",st,maker,text,ZRA7,FW1,SN1,x,\r\n";
  EXPECT_TRUE(RunZra7Discovery(ctx));
  EXPECT_EQ(z.Zra7StatusWord, ",st" + std::string(13, ' '));
  EXPECT_EQ(z.Zra7FirmwareVersion, "FW1" + std::string(17, ' '));
}

TEST(Zra7FieldsTest, FieldHelpersTrimAndSkipALeadingSeparator) {
  std::string text = "  12, 34 ,56  ";
  EXPECT_EQ(FirstField(text), "12");
  EXPECT_EQ(text, "12, 34 ,56");  // the caller's copy is trimmed
  EXPECT_EQ(AfterFirstComma(text), "34 ,56");
  std::string leading = ",a,b";
  EXPECT_EQ(FirstField(leading), ",a");
  EXPECT_EQ(AfterFirstComma(",a,b"), "b");
  std::string none = "abc";
  EXPECT_EQ(FirstField(none), "");
  std::string empty;
  EXPECT_EQ(FirstField(empty), "");
  EXPECT_EQ(AfterFirstComma("abc"), "");
  EXPECT_EQ(AfterFirstComma(","), "");
  EXPECT_EQ(AfterFirstHash("1,2,\r\n#  3,4,"), "3,4,");
  EXPECT_EQ(AfterFirstHash("#1,2,"), "");
}

TEST_F(Zra7ProtocolTest, ArmingTheRunningReplyTimerRestartsItWithTheNewInterval) {
  ASSERT_EQ(Text(OpenUsbPort(ctx)), "USB Port is open.");
  session.link.zra7.Zra7State = kZra7Parameters;
  usb->Deliver(kParameters);
  ArmReplyTimer(ctx, 600);
  loop.Advance(300);
  ArmReplyTimer(ctx, 200);
  EXPECT_EQ(session.link.zra7.USB_Read_Delay->Interval(), 200u);
  loop.Advance(199);
  EXPECT_TRUE(usb->isOpen);  // not fired at the old time, nor yet at the new one
  loop.Advance(1);
  EXPECT_FALSE(usb->isOpen);
  EXPECT_EQ(session.link.zra7.Zra7ReplyBuffer.substr(0, 6), "0,4095");
  EXPECT_FALSE(session.link.zra7.USB_Read_Delay->IsActive());  // one-shot
}

TEST_F(Zra7ProtocolTest, CodesOutsideTheTableSendNothingAndArmNothing) {
  for (std::int16_t code : {std::int16_t{5}, std::int16_t{30}, std::int16_t{300}}) {
    SendZra7Command(ctx, code);
    EXPECT_EQ(session.link.zra7.Zra7State, code);
  }
  EXPECT_TRUE(usb->writes.empty());
  EXPECT_TRUE(usb->dtrChanges.empty());
  EXPECT_TRUE(!session.link.zra7.USB_Read_Delay || !session.link.zra7.USB_Read_Delay->IsActive());
  // Raising DTR forgets a found unit.
  session.link.zra7.Zra7Found = true;
  SendZra7Command(ctx, kZra7RaiseDtr);
  EXPECT_FALSE(session.link.zra7.Zra7Found);
  EXPECT_EQ(session.link.zra7.USB_Read_Delay->Interval(), 200u);
}

TEST_F(Zra7ProtocolTest, TheStreamStartsOnlyForAFoundUnitOnAnOpenPort) {
  EXPECT_EQ(Text(StartZra7Stream(ctx)), "ZRA7 not found");
  EXPECT_TRUE(usb->writes.empty());

  session.link.zra7.Zra7Found = true;
  usb->present = false;
  EXPECT_EQ(Text(StartZra7Stream(ctx)), "USB port failed to open.");
  EXPECT_FALSE(session.link.zra7.Zra7Streaming);

  usb->present = true;
  int ticks = 0;
  session.link.zra7.onStreamTick = [&ticks] { ++ticks; };
  EXPECT_EQ(Text(StartZra7Stream(ctx)), "USB Port is open.");
  EXPECT_EQ(usb->writes.back(), "U1\r");
  EXPECT_TRUE(session.link.zra7.Zra7Streaming);
  loop.Advance(90);
  EXPECT_EQ(ticks, 3);

  EXPECT_EQ(Text(StopZra7Stream(ctx)), "USB Port is closed.");
  EXPECT_EQ(usb->writes.back(), "U0\r");
  EXPECT_FALSE(session.link.zra7.Zra7Streaming);
  loop.Advance(90);
  EXPECT_EQ(ticks, 3);
}

TEST_F(Zra7ProtocolTest, StopReturnsTheCloseTextAlsoWhenU0CannotBeSent) {
  session.link.zra7.Zra7Found = true;
  ASSERT_EQ(Text(StartZra7Stream(ctx)), "USB Port is open.");
  usb->writeFailure = PortStatus::Failed(PortErrorKind::IoError, 5);
  EXPECT_EQ(Text(StopZra7Stream(ctx)), "USB Port failure.");
  EXPECT_FALSE(session.link.zra7.Zra7Streaming);
  EXPECT_FALSE(session.link.zra7.USB_Read_Period->IsActive());
}

TEST_F(Zra7ProtocolTest, ShutdownLeavesDtrLowAndThePortClosed) {
  ShutdownZra7Link(ctx);
  EXPECT_EQ(session.link.usb.LastUsbMessage, "USB Port is closed.");
  EXPECT_EQ(usb->dtrChanges, std::vector<bool>{false});
  EXPECT_FALSE(usb->isOpen);
  EXPECT_EQ(session.link.zra7.Zra7State, kZra7LowerDtr);
  loop.Advance(300);  // the reply tick of code 252 changes nothing
  EXPECT_EQ(session.link.zra7.Zra7State, kZra7LowerDtr);
  EXPECT_TRUE(usb->writes.empty());
}

}  // namespace
}  // namespace torvane::testing
