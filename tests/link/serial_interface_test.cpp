// The serial test of the ZRA6: the send box's byte, its refusals and the
// brake-byte question, the response as shown, and the identity on the
// simulated unit.
#include <gtest/gtest.h>

#include "link/link_fixture.hpp"
#include "link/serial_test.hpp"
#include "link/simulated_unit.hpp"

namespace torvane::testing {
namespace {

class SerialInterfaceTest : public ::testing::Test, public LinkFixture {
 protected:
  SerialInterfaceTest() { SelectZra6(); }
  std::unique_ptr<sim::UnitEmulator> unit;
};

TEST(CommandByteTest, TheSendBoxHoldsOnlyAByteValue) {
  EXPECT_EQ(CommandByteOf("207"), 207);
  EXPECT_EQ(CommandByteOf(" 0 "), 0);
  for (const char* refused : {"", "256", "-1", "1a", "2 0", "0x10", "1000"}) {
    EXPECT_EQ(CommandByteOf(refused), std::nullopt) << refused;
  }
  EXPECT_TRUE(CommandByteTypable(""));
  EXPECT_TRUE(CommandByteTypable("25"));
  for (const char* refused : {"256", "a", " 1", "-", "0255"}) {
    EXPECT_FALSE(CommandByteTypable(refused)) << refused;
  }
  EXPECT_EQ(ResponseText(Bytes({207, 0x21, 0x12, 0x34, 0x56})), "<207>!<18>4V");
}

TEST_F(SerialInterfaceTest, AByteThatCannotBeSentIsRefusedWithAMessageAndNothingWritten) {
  EXPECT_EQ(SendCommandByte(ctx, "300", false), SendOutcome::Refused);
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(Msg(t.dialogs.shown[0]), Message(MessageIcon::Exclamation, "Test Serial Interface",
                                             std::string(kCommandByteRefused)));
  EXPECT_EQ(SendCommandByte(ctx, "5", true), SendOutcome::UnitInUse);
  EXPECT_TRUE(serial->written.empty());
}

TEST_F(SerialInterfaceTest, TheBrakeByteIsSentOnlyWhenTheUserSaysYes) {
  t.dialogs.answers = {DialogAnswer::No, DialogAnswer::Yes};
  EXPECT_EQ(SendCommandByte(ctx, "203", false), SendOutcome::Cancelled);
  EXPECT_TRUE(serial->written.empty());
  EXPECT_EQ(t.dialogs.shown.back().title, "Brake command");
  EXPECT_EQ(SendCommandByte(ctx, "203", false), SendOutcome::Sent);
  EXPECT_EQ(serial->writes.back(), Bytes({203}));
  EXPECT_EQ(t.dialogs.shown.size(), 2u);
  EXPECT_EQ(SendCommandByte(ctx, "204", false), SendOutcome::Sent);  // no question
  EXPECT_EQ(t.dialogs.shown.size(), 2u);
}

TEST_F(SerialInterfaceTest, Byte207ThenReadResponseShowsTheIdentityReply) {
  unit = AttachSimulatedUnit(loop, serial, sim::UnitModel::Zra6);
  EXPECT_EQ(SerialBytesWaiting(ctx), std::nullopt);  // closed
  EXPECT_EQ(SendCommandByte(ctx, "207", false), SendOutcome::Sent);
  EXPECT_EQ(SerialBytesWaiting(ctx), 5u);
  EXPECT_EQ(ReadResponse(ctx, false), "<207>!<18>4V");
  EXPECT_EQ(ReadResponse(ctx, true), std::nullopt);
  EXPECT_EQ(SerialSystemInformation(ctx, false),
            "System Information\nVersion  2. 1\nSerial No. 123456\nCommPort = 1 Settings:  "
            "115200,N,8,1");
}

}  // namespace
}  // namespace torvane::testing
