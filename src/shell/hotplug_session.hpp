#pragma once
// The unit hot-plug watch of the running program: it watches the selected
// unit's device node while no collection or zeroing reading runs, and
// connects through the same discovery as the configuration window's Connect.

#include <memory>

#include "link/hotplug_watch.hpp"

namespace torvane {

struct Session;

// A running watch over the session's link; started after start-up's own
// discovery, so that only later changes are reported. In demonstration mode
// it reports nothing.
std::unique_ptr<HotplugWatch> StartHotplugWatch(
    Session& session, std::function<bool(const std::string&)> devicePresent = DevicePresent,
    std::function<std::string(const SettingsRecord&)> devicePath = WatchedDevicePath);

}  // namespace torvane
