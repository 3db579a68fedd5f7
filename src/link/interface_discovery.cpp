#include "link/interface_discovery.hpp"

#include <algorithm>

#include "link/usb_port.hpp"
#include "link/zra6_protocol.hpp"
#include "link/zra7_protocol.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

// The title of plain message boxes: the application's own.
constexpr const char* kApplicationTitle = "Torvane Measurement System";

void CloseSerialPortIfOpen(Session& session) {
  if (session.link.serial.port->IsOpen()) session.link.serial.port->Close();
}

void CloseUsbPortIfFlaggedOpen(Session& session) {
  if (session.link.usb.UsbPortIsOpen) CloseUsbPort(session);
}

bool DiscoverZra6(Session& session) {
  CloseSerialPortIfOpen(session);
  session.link.serial.InterfaceInfoText = CloseUsbPortAtExit(session);
  if (!OpenSerialPort(session)) {
    session.dialogs().ShowMessage(
        MessageIcon::Critical, "Cannot open communications with ZRA6",
        "There is a problem setting up the USB-serial port interface. Please check the driver is "
        "correctly installed and the appropriate COM port determined.");
    return false;
  }
  if (CheckZra6Identity(session)) {
    session.settings.ZRA6Input = true;
    SetStatusPanel(session, 1, "ZRA6 Interface Found");
    AddStatusMessage(session, "ZRA6 interface unit has been found");
    return true;
  }
  session.dialogs().ShowMessage(
      MessageIcon::Critical, "Cannot open communications with ZRA6",
      "There is a problem opening the communications port with the current settings. Check "
      "configuration");
  return false;
}

bool DiscoverZra6Plus(Session& session) {
  CloseSerialPortIfOpen(session);
  CloseUsbPortIfFlaggedOpen(session);
  SerialLinkState& s = session.link.serial;
  s.InterfaceInfoText = OpenUsbPort(session);
  s.InterfaceInfoText = QueryUsbIdentity(session);
  if (s.InterfaceInfoText.find("Version") != std::string::npos) {
    SetStatusPanel(session, 1, "ZRA6Plus Interface Found");
    session.link.UsbUnitMenus = true;
    session.settings.frequency = std::min(session.settings.frequency, std::int32_t{500});
    AddStatusMessage(session, "ZRA6+ interface unit has been found");
    return true;
  }
  session.dialogs().ShowMessage(MessageIcon::None, kApplicationTitle,
                                "ZRA6Plus unit not found.  Check that interface is connected and "
                                "driver is correctly installed");
  return false;
}

bool DiscoverZra7(Session& session) {
  CloseSerialPortIfOpen(session);
  CloseUsbPortIfFlaggedOpen(session);
  if (RunZra7Discovery(session)) {
    AddStatusMessage(session, "ZRA7 interface unit has been found");
    SetStatusPanel(session, 1, "ZRA7 Interface Found");
    session.link.UsbUnitMenus = true;
    AddStatusMessage(session, "600Hz capable ZRA7 detected");
    session.MaxInterfaceFrequency = 600;
    session.settings.frequency = 600;
    return true;
  }
  session.dialogs().ShowMessage(
      MessageIcon::Critical, "Cannot open communications with ZRA7",
      "ZRA7 unit not found.  Check that interface is connected and driver is correctly installed. "
      "Try unplugging from the USB port, wait 10 seconds, plug back in and try again");
  return false;
}

}  // namespace

bool DiscoverInterface(Session& session) {
  AddStatusMessage(session, "Attempting to open data interface");
  bool found = false;
  if (session.settings.ZRA6Input) found = DiscoverZra6(session);
  if (session.settings.ZRA6PlusInput) found = DiscoverZra6Plus(session);
  if (session.settings.ZRA7Input) found = DiscoverZra7(session);
  return found;
}

}  // namespace torvane
