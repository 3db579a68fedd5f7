#pragma once
// Unit hot-plug: once a second, while nothing is talking to the unit, the
// watch looks whether the selected unit's device node is there, and reports
// when it comes or goes. A unit pulled out: the status log says so, status
// panel 1 goes back to "Interface NOT found", the program lets go of the
// vanished port and forgets that the unit was found. A unit plugged in: the
// log and panel 1 say so and the user is offered to connect to it, with the
// same discovery as the configuration window's Connect.
//
// The device node is looked at, not the USB bus: a unit behind a USB-serial
// chip is its tty (or a stable link to it under /dev/serial/by-id, or a
// simulator's pseudo-terminal link), and a look at a path costs nothing.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "link/link_context.hpp"

namespace torvane {

inline constexpr std::uint32_t kHotplugCheckMilliseconds = 1000;

enum class HotplugEvent { None, Appeared, Disappeared };

// What the watch asks of the program around it.
struct HotplugHooks {
  // Whether a device node is there; a link counts as the node it names, so a
  // link left behind by a unit that went away counts as absent.
  std::function<bool(const std::string& path)> devicePresent;
  // The device node of the selected unit now (WatchedDevicePath when unset):
  // without a configured path it is the first FTDI tty, which may get another
  // number when the unit comes back.
  std::function<std::string(const SettingsRecord& settings)> devicePath;
  // A collection or a zeroing reading holds the unit (or no unit is used at
  // all): the watch then looks again later.
  std::function<bool()> busy;
  // Connects to the selected unit as the configuration window's Connect does;
  // true when it answered.
  std::function<bool()> connect;
  // The unit went away (after the log and the status bar say so).
  std::function<void()> unplugged;
};

// The device node of the selected model's unit: the USB layer's device for
// the ZRA6+ and ZRA7, the serial port for the ZRA6; empty with no model.
std::string WatchedDevicePath(const SettingsRecord& settings);

// What the settings chose to watch: the model and its configured port. When
// this changes the watch starts afresh; when only the device path found for
// it changes, the unit came back under another name.
std::string WatchedDeviceChoice(const SettingsRecord& settings);

// Whether `path` names a device node that is there now (following links).
bool DevicePresent(const std::string& path);

class HotplugWatch {
 public:
  HotplugWatch(LinkContext ctx, HotplugHooks hooks);
  ~HotplugWatch();
  HotplugWatch(const HotplugWatch&) = delete;
  HotplugWatch& operator=(const HotplugWatch&) = delete;

  // Takes the present state as the starting point (nothing is reported for
  // it) and checks again every second.
  void Start();
  void Stop();
  bool Running() const;

  // One look; what the timer runs. Another model or port chosen starts
  // afresh without a report.
  HotplugEvent CheckNow();

 private:
  void Unplugged(const std::string& path);
  void PluggedIn(const std::string& path);

  LinkContext ctx_;
  HotplugHooks hooks_;
  std::unique_ptr<Timer> timer_;
  void TakeStartingPoint();

  std::string choice_;
  std::string path_;
  std::optional<bool> present_;
  // Set while the watch reports or connects: the waits inside discovery let
  // the timer tick again, and that tick must not report a second time.
  bool reporting_ = false;
};

}  // namespace torvane
