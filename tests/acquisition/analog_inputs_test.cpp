// The analog inputs: the ZRA6's single channel readings with their bounded
// wait, the window's tick that never waits, the running minimum and maximum,
// and the live values of the ZRA6+ and ZRA7 streams, against the simulated
// units on loopback lines.
#include "acquisition/analog_inputs.hpp"

#include <gtest/gtest.h>

#include "link/link_fixture.hpp"
#include "link/simulated_unit.hpp"
#include "sim/frame_encoding.hpp"

namespace torvane::testing {
namespace {

class AnalogInputsTest : public ::testing::Test, public LinkFixture {
 protected:
  // Ticks every 100 ms, as the window's timer does, for `ms`; the unit
  // sends between ticks.
  void TickFor(std::uint32_t ms, bool trialInUse = false) {
    for (std::uint32_t t = 0; t < ms; t += kAnalogTickMs) {
      const int before = loop.PumpCalls();
      AnalogInputsTick(ctx, in, trialInUse);
      pumpsInTicks += loop.PumpCalls() - before;
      loop.Advance(kAnalogTickMs - loop.PumpStep());
      loop.ProcessPendingEvents();
    }
  }
  AnalogInputs in;
  int pumpsInTicks = 0;
  std::unique_ptr<sim::UnitEmulator> unit;
};

TEST(AnalogValueTest, AReplyIsTheTwoBytesAfterTheSyncByteMaskedTo12Bits) {
  EXPECT_EQ(Zra6ReplyValue(Bytes({221, 0x0F, 0xFF})), 4095);
  EXPECT_EQ(Zra6ReplyValue(Bytes({7, 221, 0x01, 0x02, 221})), 258);
  EXPECT_EQ(Zra6ReplyValue(Bytes({221, 0xFF, 0xFF})), 4095);  // never above 12 bits
  EXPECT_EQ(Zra6ReplyValue(Bytes({221, 0x0F})), std::nullopt);
  EXPECT_EQ(Zra6ReplyValue(Bytes({0x0F, 0xFF, 0x00})), std::nullopt);
}

TEST(AnalogValueTest, ResetPutsEveryMinimumTo4096AndMaximumTo0SoTheNextReadingTakesBoth) {
  AnalogInputs in;
  LoadAnalogInputs(in, InterfaceModel::Zra6);
  ShowAnalogValue(in.rows[1], 300);
  ShowAnalogValue(in.rows[1], 100);
  EXPECT_EQ(std::tie(in.rows[1].minimum, in.rows[1].maximum), std::tuple(100, 300));
  ResetAnalogInputs(in);
  for (const AnalogRow& row : in.rows) {
    EXPECT_EQ(std::tie(row.minimum, row.maximum), std::tuple(4096, 0));
  }
  ShowAnalogValue(in.rows[1], 200);
  EXPECT_EQ(std::tie(in.rows[1].minimum, in.rows[1].maximum), std::tuple(200, 200));
  EXPECT_EQ(AnalogValueText(in.rows[2].value), "-");
}

TEST(AnalogValueTest, RowsFollowTheUnit) {
  const auto shown = [](InterfaceModel model) {
    AnalogInputs in;
    LoadAnalogInputs(in, model);
    int n = 0;
    for (const AnalogRow& row : in.rows) n += row.shown ? 1 : 0;
    return n;
  };
  EXPECT_EQ(shown(InterfaceModel::Zra6), 4);
  EXPECT_EQ(shown(InterfaceModel::Zra6Plus), 4);
  EXPECT_EQ(shown(InterfaceModel::Zra7), 6);
  EXPECT_EQ(AnalogRowCaption(InterfaceModel::Zra7, 4), "Displacement");
}

TEST(AnalogFrameTest, TheNewestWholeByteFrameIsTakenAndTheRestKept) {
  const std::int64_t a[] = {1, 2, 3, 4095}, b[] = {5, 6, 7, 8};
  std::string text =
      Bytes({9, 9}) + sim::EncodeZra6Frame(a) + sim::EncodeZra6Frame(b) + Bytes({221, 0x00});
  EXPECT_EQ(LatestByteFrame(text, 4), (std::array<std::int32_t, 4>{5, 6, 7, 8}));
  EXPECT_EQ(text, Bytes({221, 0x00}));  // the next frame waits
  std::string alone = sim::EncodeZra6Frame(b);
  EXPECT_EQ(LatestByteFrame(alone, 4), std::nullopt);  // not whole until the next sync byte
}

TEST(AnalogFrameTest, TheNewestCheckedZra7FrameWinsAndNegativeFieldsAreUnsigned) {
  std::string text = sim::EncodeZra7Frame({1, 2, 3, 4, -1, 6}, 1, 0) +
                     sim::EncodeZra7Frame({9, 9, 9, 9, 9, 9}, 2, 1) /* bad check */ + "#1,2,3";
  EXPECT_EQ(LatestZra7Frame(text), (std::array<std::int32_t, 6>{1, 2, 3, 4, 65535, 6}));
  std::string cut = "#1,2,3,4,5,6,21,0,";  // its line end is still to come
  EXPECT_EQ(LatestZra7Frame(cut), std::nullopt);
}

TEST_F(AnalogInputsTest, AZra6ChannelIsReadWithItsMaskBitAndTheStreamSwitchedOff) {
  SelectZra6();
  unit = AttachSimulatedUnit(loop, serial, sim::UnitModel::Zra6);
  const ChannelReading reading = ReadZra6Channel(ctx, 2);
  EXPECT_EQ(reading.status, ReadingStatus::Value);
  EXPECT_EQ(reading.value, 2048);  // the simulated unit's idle channel
  EXPECT_EQ(serial->written, Bytes({205, 0, 204, 100, 205, 4, 205, 0}));
  EXPECT_FALSE(unit->status().streaming);
}

TEST_F(AnalogInputsTest, AUnitThatNeverAnswersGivesNoAnswerWithinTheBound) {
  SelectZra6();
  const std::uint64_t start = loop.Milliseconds();
  const ChannelReading reading = ReadZra6Channel(ctx, 0);
  EXPECT_EQ(reading.status, ReadingStatus::NoAnswer);
  EXPECT_GE(loop.Milliseconds() - start, kAnalogReadingLimitMs);
  EXPECT_LE(loop.Milliseconds() - start, kAnalogReadingLimitMs + 2);
  EXPECT_EQ(serial->written.substr(serial->written.size() - 2), Bytes({205, 0}));
  serial->present = false;
  session.link.serial.port->Close();
  EXPECT_EQ(ReadZra6Channel(ctx, 0).status, ReadingStatus::PortClosed);
}

TEST_F(AnalogInputsTest, TheWindowTickNeverWaitsAndGivesASilentChannelUpAfterTheBound) {
  SelectZra6();
  LoadAnalogInputs(in, InterfaceModel::Zra6);
  TickFor(400);
  EXPECT_EQ(pumpsInTicks, 0);     // not one event ran inside a tick
  EXPECT_EQ(in.channelAsked, 0);  // still waiting for channel 0
  TickFor(200);
  EXPECT_EQ(pumpsInTicks, 0);
  EXPECT_EQ(in.lastStatus, ReadingStatus::NoAnswer);
  EXPECT_EQ(std::tie(in.channelAsked, in.nextChannel), std::tuple(std::nullopt, 1));
  EXPECT_EQ(AnalogStatusText(in), "The interface unit does not answer.");
}

TEST_F(AnalogInputsTest, AnAnsweringZra6FillsEveryRowInATickAndAPausedTickSendsNothing) {
  SelectZra6();
  unit = AttachSimulatedUnit(loop, serial, sim::UnitModel::Zra6);
  LoadAnalogInputs(in, InterfaceModel::Zra6);
  TickFor(100);
  for (int r = 0; r < 4; ++r) ASSERT_TRUE(in.rows[r].value.has_value()) << r;
  EXPECT_EQ(in.rows[3].value, 2048);
  EXPECT_EQ(in.rows[3].minimum, 2048);
  serial->TakeWritten();
  TickFor(300, true);
  EXPECT_EQ(serial->TakeWritten(), "");
  EXPECT_EQ(AnalogStatusText(in), "Readings pause while a collection or a zeroing reading runs.");
  // The serial test window owns the port while it is open: a byte sent by
  // hand and its reply are not taken by the readings.
  session.link.serial.serialTestWindows = 1;
  TickFor(300);
  EXPECT_EQ(serial->TakeWritten(), "");
  EXPECT_EQ(AnalogStatusText(in), "Readings pause while the serial test window is open.");
  session.link.serial.serialTestWindows = 0;
  TickFor(100);
  EXPECT_NE(serial->TakeWritten(), "");
}

TEST_F(AnalogInputsTest, AZra6PlusStreamsChannelsZeroToThreeUntilTheWindowCloses) {
  SelectZra6Plus();
  unit = AttachSimulatedUnit(loop, usb, sim::UnitModel::Zra6Plus);
  LoadAnalogInputs(in, InterfaceModel::Zra6Plus);
  TickFor(300);
  EXPECT_TRUE(unit->status().streaming);
  EXPECT_EQ(unit->status().channelMask, 0x0F);
  EXPECT_EQ(unit->status().samplePeriodMs, 20);
  EXPECT_EQ(in.rows[2].value, 2048);
  EXPECT_TRUE(in.rows[0].value.has_value());
  // A collection takes the unit over: its stream is left to it.
  TickFor(100, true);
  CloseAnalogInputs(ctx, in, true);
  EXPECT_TRUE(unit->status().streaming);
  TickFor(200);
  CloseAnalogInputs(ctx, in, false);
  EXPECT_FALSE(unit->status().streaming);
}

TEST_F(AnalogInputsTest, AZra7ShowsItsSixChannelsLiveAndIsSwitchedOffOnClose) {
  SelectZra7();
  unit = AttachSimulatedUnit(loop, usb, sim::UnitModel::Zra7);
  LoadAnalogInputs(in, InterfaceModel::Zra7);
  TickFor(300);
  EXPECT_TRUE(unit->status().streaming);
  for (int r = 0; r < 6; ++r) EXPECT_TRUE(in.rows[r].value.has_value()) << r;
  EXPECT_FALSE(in.rows[6].value.has_value());
  CloseAnalogInputs(ctx, in, false);
  EXPECT_FALSE(unit->status().streaming);
}

}  // namespace
}  // namespace torvane::testing
