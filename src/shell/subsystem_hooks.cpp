#include "shell/subsystem_hooks.hpp"

#include "files/trial_file.hpp"
#include "link/brake.hpp"
#include "link/interface_discovery.hpp"
#include "link/usb_port.hpp"
#include "link/zra7_protocol.hpp"
#include "shell/analysis_session.hpp"
#include "shell/link_session.hpp"
#include "shell/main_menu_state.hpp"
#include "shell/session.hpp"

namespace torvane {

void InstallSubsystemHooks(Session& session) {
  SubsystemHooks& h = session.hooks;
  h.DiscoverInterface = [&session] {
    const bool found = DiscoverInterface(LinkContextOf(session)) == DiscoveryResult::Found;
    ApplyInterfaceMenus(session);
    return found;
  };
  // The port layer reports its own failures (status log, message boxes).
  h.SetBrakeLevel = [&session](float percent) {
    SetBrakeLevel(LinkContextOf(session), percent);
    return std::string();
  };
  h.ShutdownZra7Link = [&session] { ShutdownZra7Link(LinkContextOf(session)); };
  h.CloseSerialPortIfOpen = [&session] {
    BytePort* port = session.link.serial.port.get();
    if (port && port->IsOpen()) port->Close();
  };
  h.CloseZra6PlusUsbLink = [&session] { CloseUsbPortAtExit(LinkContextOf(session)); };
  h.OpenTrialFile = [&session](const std::string& path) {
    return OpenTrialFile(TrialFileContextOf(session), path).opened;
  };
}

}  // namespace torvane
