#include "shell/hotplug_session.hpp"

#include "shell/config_window_rules.hpp"
#include "shell/link_session.hpp"
#include "shell/session.hpp"
#include "shell/status_reporting.hpp"

namespace torvane {

std::unique_ptr<HotplugWatch> StartHotplugWatch(
    Session& session, std::function<bool(const std::string&)> devicePresent,
    std::function<std::string(const SettingsRecord&)> devicePath) {
  HotplugHooks hooks{
      .devicePresent = std::move(devicePresent),
      .devicePath = std::move(devicePath),
      .busy = [&session] { return session.DemoMode || TrialInUse(session); },
      .connect =
          [&session] {
            const bool found = RunInterfaceDiscovery(session);
            // Discovery may have limited the sample frequency.
            UpdateStatusBar(session);
            return found;
          },
      // The configuration window then says there is no connection.
      .unplugged = [&session] { session.ConnectedInterface = InterfaceModel::None; },
  };
  auto watch = std::make_unique<HotplugWatch>(LinkContextOf(session), std::move(hooks));
  watch->Start();
  return watch;
}

}  // namespace torvane
