// The hot-plug watch on real device nodes and the real clock: torvane-sim's
// pseudo-terminal link appears when it starts and disappears when it stops.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/poll_event_loop.hpp"
#include "e2e/process_runner.hpp"
#include "shell/hotplug_session.hpp"
#include "shell/session.hpp"
#include "shell/subsystem_hooks.hpp"

namespace torvane::testing {
namespace {

class HotplugE2eTest : public ::testing::Test {
 protected:
  HotplugE2eTest() {
    session.settings.ZRA7Input = true;
    session.settings.ports["USB"] = link;
    session.statusLog.messageListeners.push_back(
        [this](std::string_view message) { log.emplace_back(message); });
    InstallSubsystemHooks(session);
  }
  bool PanelBecomes(const std::string& text, std::uint32_t limitMs) {
    return WaitUntil(loop, loop, limitMs, [&] { return session.statusBar.Panel(1).text == text; });
  }
  bool Logged(const std::string& line) const {
    return std::find(log.begin(), log.end(), line) != log.end();
  }

  TempDir dir;
  std::string link = dir.File("unit");
  PollEventLoop loop;
  ScriptedDialogs dialogs;
  Session session{PlatformServices{loop, loop, loop, dialogs}};
  std::vector<std::string> log;
};

TEST_F(HotplugE2eTest, ASimulatedZra7PluggedInIsConnectedOnYesAndMissedWhenItDiesLeavingItsLink) {
  auto watch = StartHotplugWatch(session);
  auto sim = StartSimulator(dir, link, {"--model", "zra7"});
  // Yes (the scripted default) runs discovery against the simulator.
  ASSERT_TRUE(PanelBecomes("ZRA7 Interface Found", 6000)) << session.statusBar.Panel(1).text;
  EXPECT_TRUE(Logged("ZRA7 interface unit has been plugged in at " + link));
  EXPECT_TRUE(session.link.zra7.Zra7Found);
  // Killed, it leaves its link behind, pointing at a terminal that is gone.
  sim->Signal(SIGKILL);
  sim->Stop();
  ASSERT_TRUE(BackgroundProgram::WaitForPath(link, 10));
  EXPECT_TRUE(PanelBecomes("Interface NOT found", 2500));
  EXPECT_FALSE(session.link.zra7.Zra7Found);
  EXPECT_EQ(dialogs.shown.size(), 1u);
}

}  // namespace
}  // namespace torvane::testing
