#pragma once
// The operations that other subsystems lend the shell: the interface link
// (discovery, brake, shutdown of the ports), the trial file reader and the
// analysis window's question about an unsaved trial. They are the seam at
// which tests put their own; an unset hook behaves as without a unit
// attached (discovery finds nothing, nothing is sent, nothing to close).

#include <functional>
#include <string>

namespace torvane {

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

struct Session;

// Lends the session the real operations: the link layer's discovery (with
// the menu entries it decides), brake and shutdown, and the trial file
// reader. The programs call it once; tests set their own.
void InstallSubsystemHooks(Session& session);

}  // namespace torvane
