// The program's link code against the simulated units, on simulated time:
// discovery, streams and the brake, through in-memory lines.
#include <gtest/gtest.h>

#include <algorithm>

#include "link/brake.hpp"
#include "link/interface_discovery.hpp"
#include "link/link_fixture.hpp"
#include "link/usb_port.hpp"
#include "link/zra6_protocol.hpp"
#include "link/zra7_protocol.hpp"
#include "sim/unit_emulator.hpp"

namespace torvane::testing {
namespace {

class LinkWithEmulatorTest : public ::testing::Test, public LinkFixture {
 protected:
  // Puts a simulated unit of `model` on `line`: it hears every write at once
  // and sends what falls due as time passes.
  void Attach(const std::shared_ptr<LoopbackLine>& line, sim::UnitModel model) {
    sim::UnitOptions options;
    options.model = model;
    unit = sim::MakeUnitEmulator(options);
    LoopbackLine* l = line.get();  // the line must not own itself through its handler
    line->onWrite = [this, l](const std::string& bytes) {
      unit->Receive(bytes, loop.Milliseconds());
      l->Deliver(unit->Produce(loop.Milliseconds()));
    };
    loop.SetPumpHook([this, l] { l->Deliver(unit->Produce(loop.Milliseconds())); });
  }
  std::unique_ptr<sim::UnitEmulator> unit;
};

TEST_F(LinkWithEmulatorTest, TheZra7IsFoundStreamsAndCarriesTheBrake) {
  SelectZra7();
  Attach(usb, sim::UnitModel::Zra7);
  ASSERT_EQ(DiscoverInterface(ctx), DiscoveryResult::Found);
  std::string received;
  session.link.zra7.onStreamTick = [&] { received += UsbRead(ctx); };
  ASSERT_EQ(StartZra7Stream(ctx), PortResult::Open);
  EXPECT_TRUE(unit->status().streaming);
  SetBrakeLevel(ctx, 50);
  EXPECT_NEAR(unit->status().brakePercent, 50, 1e-9);
  WaitMilliseconds(loop, loop, 300);
  EXPECT_EQ(StopZra7Stream(ctx), PortResult::Closed);
  EXPECT_FALSE(unit->status().streaming);
  const auto frames = std::count(received.begin(), received.end(), '#');
  EXPECT_GE(frames, 170);
  EXPECT_LE(frames, 182);
}

TEST_F(LinkWithEmulatorTest, TheZra6IsFoundAndStreamsAtTheCommandedPeriodAndMask) {
  SelectZra6();
  session.settings.frequency = 500;
  session.settings.RecordForce = true;
  Attach(serial, sim::UnitModel::Zra6);
  ASSERT_EQ(DiscoverInterface(ctx), DiscoveryResult::Found);
  EXPECT_EQ(session.link.serial.UnitVersion, "V2.1  SN 123456");
  ASSERT_EQ(StartZra6Stream(ctx), PortResult::Open);
  EXPECT_EQ(unit->status().samplePeriodMs, 2);
  EXPECT_EQ(unit->status().channelMask, 3);
  loop.Advance(100);
  const std::string stream = ReadSerialAll(ctx);
  EXPECT_GE(stream.size(), 50u * 5);
  EXPECT_EQ(static_cast<std::uint8_t>(stream[0]), 221);
  StopZra6Stream(ctx);
  EXPECT_FALSE(unit->status().streaming);
  SetBrakeLevel(ctx, 100);
  EXPECT_NEAR(unit->status().brakePercent, 100, 1e-9);
}

}  // namespace
}  // namespace torvane::testing
