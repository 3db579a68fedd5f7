#include "link/hotplug_watch.hpp"

#include <sys/stat.h>

#include "link/port_access.hpp"
#include "link/unit_models.hpp"
#include "link/usb_port.hpp"

namespace torvane {

namespace {

bool UsesUsbLayer(InterfaceModel model) {
  return model == InterfaceModel::Zra6Plus || model == InterfaceModel::Zra7;
}

// A stream or a ZRA7 exchange is under way: the unit is in use even when no
// collection runs (a diagnostic window's stream, discovery's reply wait).
bool ExchangeRunning(const LinkState& link) {
  const Timer* replyTimer = link.zra7.USB_Read_Delay.get();
  return link.zra7.Zra7Streaming || link.serial.Zra6PlusStreaming ||
         (replyTimer && replyTimer->IsActive());
}

// The program holds the unit's port open (the ZRA6+ keeps it open after
// discovery, the ZRA6's serial port stays open once used).
bool PortHeldOpen(const LinkState& link) {
  return link.usb.UsbPortIsOpen || (link.serial.port && link.serial.port->IsOpen());
}

}  // namespace

std::string WatchedDevicePath(const SettingsRecord& settings) {
  const InterfaceModel model = SelectedInterfaceModel(settings);
  if (UsesUsbLayer(model)) return UsbDevicePath(settings);
  if (model == InterfaceModel::Zra6) return SerialDevicePath(settings, settings.comportnum);
  return {};
}

std::string WatchedDeviceChoice(const SettingsRecord& settings) {
  const InterfaceModel model = SelectedInterfaceModel(settings);
  const std::string key = UsesUsbLayer(model) ? "USB"
                          : model == InterfaceModel::Zra6
                              ? "COM" + std::to_string(settings.comportnum)
                              : std::string();
  const auto configured = settings.ports.find(key);
  return std::string(UnitModelOf(model).name) + " " + key + "=" +
         (configured == settings.ports.end() ? std::string() : configured->second);
}

bool DevicePresent(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

HotplugWatch::HotplugWatch(LinkContext ctx, HotplugHooks hooks)
    : ctx_(std::move(ctx)), hooks_(std::move(hooks)) {
  if (!hooks_.devicePresent) hooks_.devicePresent = DevicePresent;
  if (!hooks_.devicePath) hooks_.devicePath = WatchedDevicePath;
}

void HotplugWatch::TakeStartingPoint() {
  choice_ = WatchedDeviceChoice(ctx_.settings);
  path_ = hooks_.devicePath(ctx_.settings);
  present_.reset();
  if (!path_.empty()) present_ = hooks_.devicePresent(path_);
}

HotplugWatch::~HotplugWatch() = default;

void HotplugWatch::Start() {
  TakeStartingPoint();
  if (!timer_) timer_ = ctx_.timers.CreateTimer([this] { CheckNow(); });
  timer_->Start(kHotplugCheckMilliseconds);
}

void HotplugWatch::Stop() {
  if (timer_) timer_->Stop();
}

bool HotplugWatch::Running() const {
  return timer_ && timer_->IsActive();
}

HotplugEvent HotplugWatch::CheckNow() {
  if (reporting_ || (hooks_.busy && hooks_.busy()) || ExchangeRunning(ctx_.link)) {
    return HotplugEvent::None;
  }
  if (WatchedDeviceChoice(ctx_.settings) != choice_) {
    TakeStartingPoint();
    return HotplugEvent::None;
  }
  path_ = hooks_.devicePath(ctx_.settings);
  if (path_.empty()) return HotplugEvent::None;
  const bool present = hooks_.devicePresent(path_);
  if (!present_) present_ = present;
  if (present == *present_) return HotplugEvent::None;
  present_ = present;

  reporting_ = true;
  if (present) {
    PluggedIn(path_);
  } else {
    Unplugged(path_);
  }
  reporting_ = false;
  return present ? HotplugEvent::Appeared : HotplugEvent::Disappeared;
}

void HotplugWatch::Unplugged(const std::string& path) {
  const UnitModelDescriptor& unit = SelectedUnitModel(ctx_.settings);
  ctx_.status.AddStatusMessage(std::string(unit.name) + " interface unit has been unplugged from " +
                               path);
  ctx_.status.SetStatusPanel(1, "Interface NOT found");
  // What the program knew of the unit no longer holds: a collection must not
  // start on a unit that is gone, and a handle on a vanished tty would keep
  // the kernel from giving the unit its old name when it comes back.
  ctx_.link.zra7.Zra7Found = false;
  if (ctx_.link.usb.UsbPortIsOpen) CloseUsbPort(ctx_);
  if (unit.model == InterfaceModel::Zra6 && ctx_.link.serial.port &&
      ctx_.link.serial.port->IsOpen()) {
    ctx_.link.serial.port->Close();
  }
  ClearPortFailure(ctx_.link, path);
  if (hooks_.unplugged) hooks_.unplugged();
}

void HotplugWatch::PluggedIn(const std::string& path) {
  const std::string name(SelectedUnitModel(ctx_.settings).name);
  ctx_.status.AddStatusMessage(name + " interface unit has been plugged in at " + path);
  ClearPortFailure(ctx_.link, path);
  // A port already open means the program is talking to the unit (a
  // discovery started from the configuration window): nothing to offer.
  if (PortHeldOpen(ctx_.link)) return;
  ctx_.status.SetStatusPanel(1, name + " Interface plugged in");
  const DialogAnswer answer = ctx_.dialogs.Ask(
      MessageIcon::Question, MessageButtons::YesNo, "Interface unit plugged in",
      "A " + name + " interface unit has been plugged in at " + path + ".\nConnect to it now?");
  if (answer == DialogAnswer::Yes && hooks_.connect) hooks_.connect();
}

}  // namespace torvane
