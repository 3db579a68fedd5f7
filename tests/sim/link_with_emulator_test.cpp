// The program's link code against the simulated units, on simulated time:
// discovery, streams and the brake, through in-memory lines.
#include <gtest/gtest.h>

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
  // Puts a simulated unit on `line`: it hears every write at once and sends
  // what falls due as time passes.
  void Attach(const std::shared_ptr<LoopbackLine>& line, sim::UnitOptions options) {
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

sim::UnitOptions Options(sim::UnitModel model) {
  sim::UnitOptions o;
  o.model = model;
  return o;
}

TEST_F(LinkWithEmulatorTest, EachModelIsDiscovered) {
  SelectZra7();
  Attach(usb, Options(sim::UnitModel::Zra7));
  EXPECT_TRUE(DiscoverInterface(session));
  EXPECT_EQ(session.link.zra7.Zra7SerialNumber.substr(0, 6), "700123");

  session.settings.ZRA7Input = false;
  SelectZra6Plus();
  sim::UnitOptions plus = Options(sim::UnitModel::Zra6Plus);
  plus.versionMajor = 3;
  plus.versionMinor = 0;
  plus.serialDigits = "654321";
  Attach(usb, plus);
  EXPECT_TRUE(DiscoverInterface(session));
  EXPECT_EQ(session.link.serial.UnitVersion, "V3.0");
  EXPECT_EQ(session.link.serial.UnitSerialNumber, "654321");

  session.settings.ZRA6PlusInput = false;
  SelectZra6();
  Attach(serial, Options(sim::UnitModel::Zra6));
  EXPECT_TRUE(DiscoverInterface(session));
  EXPECT_EQ(session.link.serial.UnitVersion, "V2.1  SN 123456");
  EXPECT_TRUE(t.dialogs.shown.empty());
}

TEST_F(LinkWithEmulatorTest, ASilentOrLateUnitIsNotFound) {
  SelectZra7();
  sim::UnitOptions late = Options(sim::UnitModel::Zra7);
  late.faults.replyDelayMs = 2500;
  Attach(usb, late);
  EXPECT_FALSE(DiscoverInterface(session));
  // The unit answers the repeated "VO" later still, and the reply is taken.
  loop.Advance(3000);
  EXPECT_TRUE(session.link.zra7.Zra7Found);

  session.settings.ZRA7Input = false;
  SelectZra6Plus();
  sim::UnitOptions silent = Options(sim::UnitModel::Zra6Plus);
  silent.faults.silent = true;
  Attach(usb, silent);
  EXPECT_FALSE(DiscoverInterface(session));
}

TEST_F(LinkWithEmulatorTest, TheZra7StreamStartsStopsAndCarriesTheBrake) {
  SelectZra7();
  Attach(usb, Options(sim::UnitModel::Zra7));
  ASSERT_TRUE(DiscoverInterface(session));
  std::string received;
  session.link.zra7.onStreamTick = [&] { received += UsbRead(session); };
  ASSERT_EQ(StartZra7Stream(session), "USB Port is open.");
  EXPECT_TRUE(unit->status().streaming);
  SetBrakeLevel(session, 50);
  EXPECT_NEAR(unit->status().brakePercent, 50, 1e-9);
  WaitMilliseconds(loop, loop, 300);
  EXPECT_EQ(StopZra7Stream(session), "USB Port is closed.");
  EXPECT_FALSE(unit->status().streaming);
  std::size_t frames = 0;
  for (std::size_t p = 0; (p = received.find('#', p)) != std::string::npos; ++p) ++frames;
  EXPECT_GE(frames, 170u);
  EXPECT_LE(frames, 182u);
}

TEST_F(LinkWithEmulatorTest, TheZra6StreamRunsAtTheCommandedPeriodAndMask) {
  SelectZra6();
  session.settings.frequency = 500;
  session.settings.RecordForce = true;
  Attach(serial, Options(sim::UnitModel::Zra6));
  StartZra6Stream(session);
  EXPECT_EQ(unit->status().samplePeriodMs, 2);
  EXPECT_EQ(unit->status().channelMask, 3);
  loop.Advance(100);
  const std::string stream = ReadSerialAll(session);
  EXPECT_GE(stream.size(), 50u * 5);
  EXPECT_EQ(static_cast<std::uint8_t>(stream[0]), 221);
  StopZra6Stream(session);
  EXPECT_FALSE(unit->status().streaming);
  SetBrakeLevel(session, 100);
  EXPECT_NEAR(unit->status().brakePercent, 100, 1e-9);
}

}  // namespace
}  // namespace torvane::testing
