#include "link/interface_discovery.hpp"

#include <algorithm>

#include "link/unit_models.hpp"
#include "link/usb_port.hpp"
#include "link/zra6_protocol.hpp"
#include "link/zra7_protocol.hpp"

namespace torvane {

namespace {

// The title of plain message boxes: the application's own.
constexpr const char* kApplicationTitle = "Torvane Measurement System";

void CloseSerialPortIfOpen(LinkState& link) {
  if (link.serial.port->IsOpen()) link.serial.port->Close();
}

void CloseUsbPortIfFlaggedOpen(const LinkContext& ctx) {
  if (ctx.link.usb.UsbPortIsOpen) CloseUsbPort(ctx);
}

}  // namespace

DiscoveryResult DiscoverZra6(const LinkContext& ctx) {
  CloseSerialPortIfOpen(ctx.link);
  ctx.link.serial.InterfaceInfoText = Text(CloseUsbPortAtExit(ctx));
  if (!OpenSerialPort(ctx)) {
    ctx.dialogs.ShowMessage(
        MessageIcon::Critical, "Cannot open communications with ZRA6",
        "There is a problem setting up the USB-serial port interface. Please check the driver is "
        "correctly installed and the appropriate COM port determined.");
    return DiscoveryResult::PortFailed;
  }
  if (CheckZra6Identity(ctx) == DiscoveryResult::Found) {
    ctx.settings.ZRA6Input = true;
    ctx.status.SetStatusPanel(1, "ZRA6 Interface Found");
    ctx.status.AddStatusMessage("ZRA6 interface unit has been found");
    return DiscoveryResult::Found;
  }
  ctx.dialogs.ShowMessage(
      MessageIcon::Critical, "Cannot open communications with ZRA6",
      "There is a problem opening the communications port with the current settings. Check "
      "configuration");
  return DiscoveryResult::NotFound;
}

DiscoveryResult DiscoverZra6Plus(const LinkContext& ctx) {
  CloseSerialPortIfOpen(ctx.link);
  CloseUsbPortIfFlaggedOpen(ctx);
  ctx.link.serial.InterfaceInfoText = Text(OpenUsbPort(ctx));
  if (QueryUsbIdentity(ctx) == DiscoveryResult::Found) {
    ctx.status.SetStatusPanel(1, "ZRA6Plus Interface Found");
    ctx.link.UsbUnitMenus = true;
    ctx.settings.frequency = std::min(ctx.settings.frequency, std::int32_t{500});
    ctx.status.AddStatusMessage("ZRA6+ interface unit has been found");
    return DiscoveryResult::Found;
  }
  ctx.dialogs.ShowMessage(MessageIcon::None, kApplicationTitle,
                          "ZRA6Plus unit not found.  Check that interface is connected and "
                          "driver is correctly installed");
  return DiscoveryResult::NotFound;
}

DiscoveryResult DiscoverZra7(const LinkContext& ctx) {
  CloseSerialPortIfOpen(ctx.link);
  CloseUsbPortIfFlaggedOpen(ctx);
  if (RunZra7Discovery(ctx)) {
    ctx.status.AddStatusMessage("ZRA7 interface unit has been found");
    ctx.status.SetStatusPanel(1, "ZRA7 Interface Found");
    ctx.link.UsbUnitMenus = true;
    ctx.status.AddStatusMessage("600Hz capable ZRA7 detected");
    ctx.MaxInterfaceFrequency = 600;
    ctx.settings.frequency = 600;
    return DiscoveryResult::Found;
  }
  ctx.dialogs.ShowMessage(
      MessageIcon::Critical, "Cannot open communications with ZRA7",
      "ZRA7 unit not found.  Check that interface is connected and driver is correctly installed. "
      "Try unplugging from the USB port, wait 10 seconds, plug back in and try again");
  return DiscoveryResult::NotFound;
}

DiscoveryResult DiscoverInterface(const LinkContext& ctx) {
  ctx.status.AddStatusMessage("Attempting to open data interface");
  return SelectedUnitModel(ctx.settings).discover(ctx);
}

}  // namespace torvane
