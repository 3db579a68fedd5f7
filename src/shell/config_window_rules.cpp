#include "shell/config_window_rules.hpp"

#include "config/config_window_rules.hpp"
#include "shell/session.hpp"
#include "shell/spreadsheet_app.hpp"

namespace torvane {

bool ApplyBrakeSetting(Session& session) {
  const float level = session.settings.BrakeLevel;
  const std::string failure = session.hooks.SetBrakeLevel
                                  ? session.hooks.SetBrakeLevel(level)
                                  : std::string("no interface link in this program");
  if (!failure.empty()) {
    session.dialogs().ShowMessage(MessageIcon::Exclamation, "",
                                  "Error setting brake level: " + failure);
  } else {
    // The status bar shows the level the brake now holds.
    session.BrakePercent = level;
  }
  UpdateStatusBar(session);
  return failure.empty();
}

bool SetExcelOutput(Session& session, bool ticked) {
  SettingsRecord& s = session.settings;
  if (!ticked) {
    s.exceloutput = false;
  } else if (session.ModernWindows) {
    session.ExcelVersion = DetectExcel();
    if (!session.ExcelVersion.empty()) {
      s.exceloutput = true;
      if (!session.ExcelApp.running) StartExcel(session);
    } else {
      s.exceloutput = false;
    }
  }
  return s.exceloutput;
}

bool RunInterfaceDiscovery(Session& session) {
  const bool found = session.hooks.DiscoverInterface && session.hooks.DiscoverInterface();
  session.ConnectedInterface =
      found ? SelectedInterfaceModel(session.settings) : InterfaceModel::None;
  return found;
}

std::string ConnectInterface(Session& session) {
  return RunInterfaceDiscovery(session) ? kConnectionEstablishedText : kNoConnectionText;
}

std::string ConnectionText(const Session& session) {
  const InterfaceModel connected = session.ConnectedInterface;
  return connected != InterfaceModel::None && connected == SelectedInterfaceModel(session.settings)
             ? kConnectionEstablishedText
             : kNoConnectionText;
}

}  // namespace torvane
