#include "sim/unit_emulator.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "link/zra6_protocol.hpp"
#include "link/zra7_protocol.hpp"
#include "sim/frame_encoding.hpp"
#include "sim/zra7_frames.hpp"
#include "test_support.hpp"

namespace torvane::sim {
namespace {

using torvane::testing::Bytes;
using torvane::testing::Zra7Frames;

UnitOptions Quiet(UnitModel model) {
  UnitOptions o;
  o.model = model;
  o.sensor.noise = 0;
  return o;
}

// The sample frames of a byte stream with `values` values per frame.
std::vector<std::vector<int>> ByteFrames(const std::string& stream, std::size_t values) {
  std::vector<std::vector<int>> frames;
  const std::size_t size = 1 + 2 * values;
  for (std::size_t p = 0; p + size <= stream.size(); p += size) {
    EXPECT_EQ(static_cast<std::uint8_t>(stream[p]), kSyncByte);
    std::vector<int> frame;
    for (std::size_t v = 0; v < values; ++v) {
      frame.push_back(static_cast<std::uint8_t>(stream[p + 1 + 2 * v]) * 256 +
                      static_cast<std::uint8_t>(stream[p + 2 + 2 * v]));
    }
    frames.push_back(frame);
  }
  return frames;
}

TEST(FrameEncodingTest, TheIdentityReplyIsWhatTheProgramDecodes) {
  const std::string reply = EncodeByteIdentityReply(2, 1, "123456");
  EXPECT_EQ(reply, Bytes({207, 0x21, 0x12, 0x34, 0x56}));
  const UnitIdentity id = DecodeIdentityReply(EncodeByteIdentityReply(3, 12, "907150"), false);
  EXPECT_EQ(id.version, "V3.12");
  EXPECT_EQ(id.serialNumber, "907150");
}

TEST(FrameEncodingTest, Zra7FramesCarryAChecksumOfSixteenBitValues) {
  EXPECT_EQ(EncodeZra7Frame({1, 2, 3, 4, 100, 0}, 7), "#1,2,3,4,100,0,110,7,\r\n");
  EXPECT_EQ(EncodeZra7Frame({1, 2, 3, 4, 100, 0}, 7, 1), "#1,2,3,4,100,0,111,7,\r\n");
  // The top half of the range is written negative, the check value too.
  EXPECT_EQ(EncodeZra7Frame({65535, 0, 0, 0, 0, 0}, 0), "#-1,0,0,0,0,0,-1,0,\r\n");
  EXPECT_EQ(EncodeZra7Frame({40000, 40000, 0, 0, 0, 0}, 65537),
            "#-25536,-25536,0,0,0,0,14464,1,\r\n");
  for (std::int64_t total : {0, 1, 2, 3, 7, 1001, -5}) {
    const auto parts = SplitForce(total);
    EXPECT_EQ(parts[0] + parts[1] + parts[2] + parts[3], total);
    EXPECT_LE(parts[0] - parts[3], 1);
  }
  EXPECT_EQ(EncodeAccelerometerReading(-1.0), "X=-1.000\r\n");
}

TEST(ByteUnitEmulatorTest, StreamsFramesAtTheCommandedPeriodThatMapBackThroughTheCalibration) {
  UnitOptions o = Quiet(UnitModel::Zra6Plus);
  o.body.bodyMass = 90;
  o.sensor.calibration = {0.002, 100, 2.5, 20};
  const auto unit = MakeUnitEmulator(o);
  unit->Receive(Bytes({204}), 0);  // a command may arrive in pieces
  unit->Receive(Bytes({5, 205, 3}), 0);
  const std::string stream = unit->Produce(1000);
  const auto frames = ByteFrames(stream, 2);
  ASSERT_EQ(frames.size(), 201u);
  ASSERT_EQ(stream.size(), 201u * 5);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const BodyState body = unit->profile().At(i * 0.005);
    const double displacement = (frames[i][0] - 100) * 0.002;
    const double force = (frames[i][1] - 20) * 2.5;
    ASSERT_NEAR(displacement, 1.0 + body.displacement, 0.001 + 1e-9) << i;
    ASSERT_NEAR(force, body.force, 1.25 + 1e-9) << i;
  }
  EXPECT_NEAR((frames[0][1] - 20) * 2.5, 90 * kGravity, 1.25);

  unit->Receive(Bytes({205, 1}), 1000);  // displacement only: three-byte frames, restarted
  EXPECT_EQ(unit->Produce(1100).size(), 21u * 3);
  unit->Receive(Bytes({205, 0}), 1100);
  EXPECT_EQ(unit->Produce(2000), "");
  EXPECT_FALSE(unit->status().streaming);
}

TEST(ByteUnitEmulatorTest, AnswersIdentityKeepsTheBrakeAndIgnoresAPeriodOfZero) {
  UnitOptions o = Quiet(UnitModel::Zra6);
  o.versionMajor = 1;
  o.versionMinor = 4;
  o.serialDigits = "000042";
  const auto unit = MakeUnitEmulator(o);
  unit->Receive(Bytes({207, 203, 32, 204, 0}), 0);
  EXPECT_EQ(unit->Produce(0), Bytes({207, 0x14, 0x00, 0x00, 0x42}));
  EXPECT_NEAR(unit->status().brakePercent, 12.549, 0.001);
  EXPECT_EQ(unit->status().samplePeriodMs, 5);
}

TEST(ByteUnitEmulatorTest, FaultsSilenceDelayCorruptAndDrop) {
  UnitOptions o = Quiet(UnitModel::Zra6);
  o.faults.silent = true;
  auto unit = MakeUnitEmulator(o);
  unit->Receive(Bytes({207, 204, 5, 205, 3}), 0);
  EXPECT_EQ(unit->Produce(5000), "");

  o.faults = {};
  o.faults.replyDelayMs = 1500;
  unit = MakeUnitEmulator(o);
  unit->Receive(Bytes({207}), 100);
  EXPECT_EQ(unit->Produce(1599), "");
  EXPECT_EQ(unit->Produce(1600).size(), 5u);

  o.faults = {};
  o.faults.corruptEvery = 10;
  unit = MakeUnitEmulator(o);
  unit->Receive(Bytes({204, 5, 205, 3}), 0);
  const auto frames = ByteFrames(unit->Produce(995), 2);
  ASSERT_EQ(frames.size(), 200u);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i][0] >= 4096, (i + 1) % 10 == 0) << i;
    EXPECT_LT(frames[i][1], 4096);
  }

  o.faults = {};
  o.faults.dropEvery = 100;
  unit = MakeUnitEmulator(o);
  unit->Receive(Bytes({204, 5, 205, 3}), 0);
  EXPECT_EQ(unit->Produce(995).size(), 1000u - 10u);
}

TEST(ByteUnitEmulatorTest, ABacklogIsCutToTwoSecondsAndTheSameSeedGivesTheSameStream) {
  UnitOptions o;
  o.model = UnitModel::Zra6;
  const auto a = MakeUnitEmulator(o);
  const auto b = MakeUnitEmulator(o);
  o.sensor.seed = 2;
  const auto c = MakeUnitEmulator(o);
  for (UnitEmulator* unit : {a.get(), b.get(), c.get()}) unit->Receive(Bytes({204, 5, 205, 3}), 0);
  const std::string first = a->Produce(10000);
  EXPECT_EQ(first.size(), 400u * 5);
  EXPECT_EQ(first, b->Produce(10000));
  EXPECT_NE(first, c->Produce(10000));
}

TEST(Zra7EmulatorTest, AnswersCommandsThatMayArriveInPieces) {
  UnitOptions o = Quiet(UnitModel::Zra7);
  o.zra7Firmware = "FW 9.9";
  o.zra7Serial = "SN-0042";
  const auto unit = MakeUnitEmulator(o);
  unit->Receive("V", 0);
  unit->Receive("O\r", 0);
  EXPECT_EQ(unit->Produce(0),
            "OK,Torvane Systems,Force and Position Interface,ZRA7,FW 9.9,SN-0042,600,\r\n");
  unit->Receive("VH\r", 0);
  EXPECT_EQ(unit->Produce(0), "0,65535,0,65535,0,65535,0,65535,0,65535,600,6,\r\n");
  unit->Receive("D2= 2047.5\r", 0);
  EXPECT_NEAR(unit->status().brakePercent, 50.0, 1e-9);
}

TEST(Zra7EmulatorTest, StreamsCheckedFramesAt600HzUntilStopped) {
  UnitOptions o = Quiet(UnitModel::Zra7);
  o.faults.corruptEvery = 7;
  const auto unit = MakeUnitEmulator(o);
  unit->Receive("U1\r", 1000);
  const auto frames = Zra7Frames(unit->Produce(2000));
  ASSERT_EQ(frames.size(), 601u);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i].CheckMatches(), (i + 1) % 7 != 0) << i;
    EXPECT_EQ(frames[i].f[7], static_cast<long>(i));
    const BodyState body = unit->profile().At(i / 600.0);
    const long force = frames[i].f[0] + frames[i].f[1] + frames[i].f[2] + frames[i].f[3];
    EXPECT_NEAR(force * 3.0, body.force, 1.5 + 1e-9) << i;
    EXPECT_NEAR(frames[i].f[4] * 0.009, 1.0 + body.displacement, 0.0045 + 1e-9) << i;
  }
  unit->Receive("U0\r", 2000);
  EXPECT_EQ(unit->Produce(3000), "");
}

TEST(AccelerometerEmulatorTest, OneTogglesReadingsInGThatFollowTheMovement) {
  UnitOptions o = Quiet(UnitModel::Accelerometer);
  o.accelerometerRateHz = 100;
  const auto unit = MakeUnitEmulator(o);
  unit->Receive("x", 0);
  EXPECT_EQ(unit->Produce(1000), "");
  unit->Receive("1", 0);
  const std::string readings = unit->Produce(990);
  EXPECT_EQ(readings.substr(0, 10), "X=-1.000\r\n");  // quiet standing
  std::size_t count = 0;
  for (std::size_t p = 0; (p = readings.find("X=", p)) != std::string::npos; ++p) ++count;
  EXPECT_EQ(count, 100u);
  unit->Receive("1", 1000);
  EXPECT_EQ(unit->Produce(5000), "");
  // In flight the sensor falls freely and reads about 0 g.
  const double flight = -unit->profile().At(2.5).acceleration / 9.80665 - 1.0;
  EXPECT_NEAR(flight, 0.0, 0.001);
}

}  // namespace
}  // namespace torvane::sim
