// The link code of the program, in this process, against torvane-sim on a
// pseudo-terminal: streams started and stopped, frames checked, and a unit
// that goes away.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/poll_event_loop.hpp"
#include "e2e/process_runner.hpp"
#include "link/accelerometer_port.hpp"
#include "link/interface_discovery.hpp"
#include "link/usb_port.hpp"
#include "link/zra6_protocol.hpp"
#include "link/zra7_protocol.hpp"
#include "shell/link_session.hpp"
#include "shell/session.hpp"
#include "sim/zra7_frames.hpp"

namespace torvane::testing {
namespace {

struct RealSession {
  PollEventLoop loop;
  ScriptedDialogs dialogs;
  Session session{PlatformServices{loop, loop, loop, dialogs}};
  LinkContext ctx = LinkContextOf(session);
  std::vector<std::string> log;
  RealSession() {
    session.statusLog.messageListeners.push_back(
        [this](std::string_view m) { log.emplace_back(m); });
    session.settings.comportnum = 1;
    session.settings.baudrate = 115200;
    session.settings.accelcomportnum = 2;
  }
};

class SimStreamE2eTest : public ::testing::Test {
 protected:
  std::unique_ptr<BackgroundProgram> StartSimulator(const std::vector<std::string>& args) {
    return testing::StartSimulator(dir, link, args);
  }
  TempDir dir;
  std::string link = dir.File("unit");
};

TEST_F(SimStreamE2eTest, AZra7StreamsFramesWithGoodCheckValuesUntilStopped) {
  auto sim = StartSimulator({"--model", "zra7"});
  RealSession s;
  s.session.settings.ZRA7Input = true;
  s.session.settings.ports["USB"] = link;
  ASSERT_EQ(DiscoverInterface(s.ctx), DiscoveryResult::Found);
  std::string received;
  s.session.link.zra7.onStreamTick = [&] { received += UsbRead(s.ctx); };
  ASSERT_EQ(Text(StartZra7Stream(s.ctx)), "USB Port is open.");
  WaitMilliseconds(s.loop, s.loop, 500);
  EXPECT_EQ(Text(StopZra7Stream(s.ctx)), "USB Port is closed.");

  const std::vector<Zra7Frame> frames = Zra7Frames(received);
  const auto good = std::count_if(frames.begin(), frames.end(),
                                  [](const Zra7Frame& frame) { return frame.CheckMatches(); });
  EXPECT_EQ(good, static_cast<long>(frames.size()));
  EXPECT_GE(good, 240);  // 600 a second for half a second, less the start-up
  EXPECT_LE(good, 330);
}

TEST_F(SimStreamE2eTest, AZra6PlusStreamsSyncedFramesAtTheCommandedRate) {
  auto sim = StartSimulator({"--model", "zra6plus", "--profile", "still"});
  RealSession s;
  s.session.settings.ZRA6PlusInput = true;
  s.session.settings.ports["USB"] = link;
  s.session.settings.frequency = 500;
  s.session.settings.RecordForce = true;
  StartZra6PlusStream(s.ctx);
  std::string stream;
  const std::uint64_t start = s.loop.Milliseconds();
  while (s.loop.Milliseconds() - start < 400) {
    s.loop.ProcessPendingEvents();
    stream += UsbRead(s.ctx);
  }
  StopZra6PlusStream(s.ctx);
  ASSERT_GE(stream.size(),
            50u * 5);  // fewer when the machine is busy, never more than the rate allows
  EXPECT_LE(stream.size(), 230u * 5);
  for (std::size_t p = 0; p + 5 <= stream.size(); p += 5) {
    ASSERT_EQ(static_cast<std::uint8_t>(stream[p]), 221) << p;
    const int force =
        static_cast<std::uint8_t>(stream[p + 3]) * 256 + static_cast<std::uint8_t>(stream[p + 4]);
    ASSERT_NEAR(force * 3.0, 80 * 9.807, 10.0);  // standing still at the default mass
  }
}

TEST_F(SimStreamE2eTest, TheAccelerometerStreamIsSwitchedByOne) {
  auto sim = StartSimulator({"--model", "accel", "--profile", "still", "--noise", "0"});
  RealSession s;
  s.session.settings.ports["COM2"] = link;
  StartStopAccelerometer(s.ctx, true);
  WaitMilliseconds(s.loop, s.loop, 300);
  const std::string readings = ReadAccelerometerAll(s.ctx);
  EXPECT_EQ(readings.substr(0, 10), "X=-1.000\r\n");
  EXPECT_GE(readings.size(), 5u * 10);  // a busy machine delivers fewer
  StartStopAccelerometer(s.ctx, false);
  WaitMilliseconds(s.loop, s.loop, 400);
  FlushAccelerometerInput(s.ctx);
  WaitMilliseconds(s.loop, s.loop, 200);
  EXPECT_EQ(ReadAccelerometerAll(s.ctx), "");
}

TEST_F(SimStreamE2eTest, AUnitThatGoesAwayIsReportedAndNotWaitedFor) {
  auto sim = StartSimulator({"--model", "zra6plus", "--disconnect-after", "0.5"});
  RealSession s;
  s.session.settings.ZRA6PlusInput = true;
  s.session.settings.ports["USB"] = link;
  ASSERT_EQ(Text(OpenUsbPort(s.ctx)), "USB Port is open.");
  EXPECT_EQ(sim->WaitForEnd(3000), 0);
  // The handle is dead: the open tries again, and the device is not there.
  EXPECT_EQ(UsbStatusText(UsbWrite(s.ctx, "\xCF")), "USB I/O error.");
  EXPECT_EQ(Text(OpenUsbPort(s.ctx)), "USB port failed to open.");
  ASSERT_FALSE(s.log.empty());
  EXPECT_NE(s.log.back().find("no such device"), std::string::npos) << s.log.back();
  EXPECT_EQ(UsbRead(s.ctx), "");
}

}  // namespace
}  // namespace torvane::testing
