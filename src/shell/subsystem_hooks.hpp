#pragma once
// The operations that other subsystems lend the shell: the interface link
// (discovery, brake, shutdown of the ports), the trial file reader and the
// analysis window's question about an unsaved trial. The program sets them
// once, after creating the session; an unset hook means that subsystem is
// not part of this program, and the shell then behaves as without a unit
// attached (discovery finds nothing, nothing is sent, nothing to close).

#include <functional>
#include <string>

namespace torvane {

// What the interface unit said about itself at discovery, for the operational
// report and the about box. Filled by the link layer.
struct InterfaceIdentityTexts {
  std::string UnitVersion;          // ZRA6 / ZRA6+ identity reply ("V2.1", ZRA6: "V2.1  SN 123456")
  std::string UnitSerialNumber;     // ZRA6 / ZRA6+ serial number ("123456")
  std::string Zra7FirmwareVersion;  // ZRA7 identity field 5 (20 characters)
  std::string Zra7SerialNumber;     // ZRA7 identity field 6 (20 characters)
};

struct SubsystemHooks {
  // Interface discovery for the selected unit; logs and reports on its own
  // (status panel 1, message boxes). True when the unit answered.
  std::function<bool()> DiscoverInterface;
  // Sends a brake level in percent to the selected unit; an empty text when
  // it was sent, else the reason it was not.
  std::function<std::string(float percent)> SetBrakeLevel;
  // Shutdown of the links: the ZRA7's USB port opened and closed and DTR
  // lowered; the ZRA6's serial port closed when open; the ZRA6+ USB link closed.
  std::function<void()> ShutdownZra7Link;
  std::function<void()> CloseSerialPortIfOpen;
  std::function<void()> CloseZra6PlusUsbLink;
  // Reads a trial file into the trial data set (or opens it in the analysis
  // window once that exists); false when it was refused.
  std::function<bool(const std::string& path)> OpenTrialFile;
  // The analysis window's question before a collected, unsaved trial is
  // dropped; false keeps everything as it is (the user chose Cancel).
  std::function<bool()> QueryCloseAnalysisWindow;
};

}  // namespace torvane
