#include "shell/startup.hpp"

#include "common/clock.hpp"
#include "common/paths.hpp"
#include "common/text_file.hpp"
#include "config/data_folders.hpp"
#include "config/settings_io.hpp"
#include "shell/config_session.hpp"
#include "shell/config_window_rules.hpp"
#include "shell/main_menu_state.hpp"
#include "shell/platform_name.hpp"
#include "shell/session.hpp"
#include "shell/spreadsheet_app.hpp"
#include "torvane_version.hpp"

namespace torvane {

namespace {

void Log(Session& session, std::string_view message) {
  AddStatusMessage(session, message);
}

void ShowCriticalFilesMissing(Session& session) {
  session.dialogs().ShowMessage(MessageIcon::Critical, kCriticalFilesTitle, kCriticalFilesText);
}

std::string VersionText() {
  return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
         std::to_string(kVersionRevision);
}

// Step 9 for one sound file.
void RelocateSoundFile(Session& session, std::string& file, std::string_view foundLog) {
  if (FileExists(file)) return;
  file = RelocatedSoundFile(session.settings.ProgramDataDirectory, file);
  if (FileExists(file)) {
    Log(session, std::string(foundLog) + file);
  } else {
    Log(session, "Sound file not found. Please select from Configuration");
  }
}

}  // namespace

void RootSquadFile(Session& session) {
  SettingsRecord& s = session.settings;
  if (s.SquadFileName == "Squad.xls")
    s.SquadFileName = JoinPath(s.ProgramDataDirectory, "Squad.xls");
  Log(session, "Squad file set to " + s.SquadFileName);
}

std::string RelocatedSoundFile(const std::string& folder, const std::string& oldPath) {
  std::string shortened = oldPath;
  const std::size_t separator = shortened.find_first_of("\\/");
  if (separator != std::string::npos) shortened.erase(0, separator + 1);
  const std::size_t blank = shortened.find(' ');
  if (blank != std::string::npos) shortened.erase(0, blank + 1);
  const std::string candidate = JoinPath(folder, NormaliseSeparators(shortened));
  if (FileExists(candidate) || FileNameOf(oldPath).empty()) return candidate;
  // A full path ("C:\Program Files\...\over.wav", or this folder's own
  // path, which holds a blank) loses more than its root by that rule and
  // would change again at every start; the file of the same name in the data
  // folder is what was meant, and stays the same.
  return JoinPath(folder, FileNameOf(oldPath));
}

void RelocateSoundFiles(Session& session) {
  RelocateSoundFile(session, session.settings.oversoundfile, "Over threshold sound file set to ");
  RelocateSoundFile(session, session.settings.undersoundfile, "under threshold sound file set to ");
}

void RepairLoadedSettings(SettingsRecord& s) {
  // A sample count of a million or more cannot be held (and would be
  // allocated at once below): it is repaired like one that is too small.
  if (s.samples < 100 || s.samples >= kMaximumSamples) s.samples = 1000;
  if (s.frequency == 0) s.frequency = 200;
  if (s.weight == 0) s.weight = 70;
}

void LimitFrequencyToInterface(Session& session) {
  SettingsRecord& s = session.settings;
  // Discovery logs "600Hz capable ZRA7 detected" when a ZRA7 answered; a
  // selected ZRA7 that did not answer is not announced here.
  if (s.ZRA7Input) {
    session.MaxInterfaceFrequency = 600;
    s.frequency = 600;
  }
  if (s.ZRA6Input && s.frequency > 500) s.frequency = 500;
  if (s.ZRA6PlusInput && s.frequency > 500) s.frequency = 500;
}

StartupResult RunStartup(Session& session, const StartupWindows& windows,
                         std::string_view commandLine) {
  SettingsRecord& s = session.settings;

  if (s.ShowSystemStatus && windows.ShowStatusWindow) windows.ShowStatusWindow();     // 1
  if (!FindDataFolders(ConfigContextOf(session))) ShowCriticalFilesMissing(session);  // 2
  LoadSettings(ConfigContextOf(session));                                             // 3
  if (!FileExists(JoinPath(s.ProgramDataDirectory, kConfigFileName)) &&               // 4
      !FindDataFolders(ConfigContextOf(session))) {
    ShowCriticalFilesMissing(session);
  }
  if (s.FirstTimeVistaCompatibleRun) {  // 5
    Log(session, "First run of the Torvane Measurement System with this data folder");
    if (RegistrySettingsExist(s)) {
      Log(session, "Reading existing settings from the registry");
      ImportRegistrySettings(s);
    }
    s.FirstTimeVistaCompatibleRun = false;
    SaveSettings(s);
  }
  Log(session, "Starting Torvane Measurement System");  // 6
  Log(session, kFileDescription);
  Log(session, "Version - " + VersionText());
  Log(session, "System configuration loaded");  // 7
  Log(session, "Program Data Folder is " + s.ProgramDataDirectory);
  Log(session, "User Data Folder is " + s.DataDirectory);
  RootSquadFile(session);                                  // 8
  RelocateSoundFiles(session);                             // 9
  SaveSettings(s);                                         // 10
  WaitMilliseconds(session.clock(), session.pump(), 500);  // 11
  RepairLoadedSettings(s);                                 // 12
  if (s.firsttime && windows.ShowFirstRunWindow &&         // 13
      !windows.ShowFirstRunWindow()) {
    return StartupResult::Cancelled;
  }
  if (s.samples <= 100) s.samples = 200;          // 14
  DimensionDataArrays(session.trial, s.samples);  // 15
  Log(session, "Data arrays have been dimensioned");

  DetectWindowsFamily(session);  // 16
  if (session.ModernWindows) {
    Log(session, "Operating system detected: " + OperatingSystemText());
  } else {
    s.exceloutput = false;
    session.dialogs().ShowMessage(
        MessageIcon::Information, "Data output to Microsoft Excel not available",
        "Excel output function not available for this version of Windows and/or Excel.  Function "
        "has been disabled.");
  }
  session.ExcelVersion = DetectExcel();  // 17
  if (session.ExcelVersion.empty()) {
    s.exceloutput = false;
    session.dialogs().ShowMessage(MessageIcon::None, "",
                                  "Microsoft Excel has not been detected. Excel output functions "
                                  "are disabled");
  }
  if (s.exceloutput) StartExcel(session);  // 18

  if (!session.DemoMode) RunInterfaceDiscovery(session);  // 19
  s.AccelInput = false;                                   // 20
  LimitFrequencyToInterface(session);                     // 21, 22
  SaveSettings(s);                                        // 23

  if (session.DemoMode) {  // 24 (the caption stays the product's title)
    SetStatusPanel(session, 1, "Demo/Analysis Mode");
    Log(session, "QLX is running in demonstration mode");
  }
  if (s.exceloutput) {  // 25
    if (!session.ExcelApp.running) {
      Log(session, "There was a problem opening the results workbook");
      session.dialogs().ShowMessage(MessageIcon::None, "",
                                    "Error encountered: Excel object does not exist");
    } else {
      Log(session, "Results workbook writer " + WorkbookWriterText(session.ExcelVersion) +
                       " has been loaded successfully");
    }
  }

  if (windows.ShowMainWindow) windows.ShowMainWindow();  // 26
  Log(session, "Updating status bar");
  UpdateStatusBar(session);
  Log(session, "Displaying windows");
  Log(session, "Loading Squad list");

  // 27: the squad window reads the workbook itself, so it serves with
  // spreadsheet output off too; it opens at start with spreadsheet output.
  if (s.exceloutput && windows.ShowSquadWindow) windows.ShowSquadWindow();
  if (windows.ArrangeWindows) windows.ArrangeWindows();  // 28
  if (windows.LoadVisualFeedbackWindow) windows.LoadVisualFeedbackWindow();

  if (!commandLine.empty()) {  // 29
    const std::string path(commandLine);
    if (session.dialogs().Ask(MessageIcon::None, MessageButtons::OkCancel, "Open",
                              "Open Data File " + path) == DialogAnswer::Ok) {
      if (session.hooks.OpenTrialFile) {
        session.hooks.OpenTrialFile(path);
      } else {
        Log(session, "Trial file not opened (no trial file reader in this program): " + path);
      }
    }
  }
  return StartupResult::Running;
}

void RunShutdown(Session& session) {
  const SettingsRecord& s = session.settings;
  if (s.exceloutput && session.ExcelApp.running) QuitExcel(session);
  if (s.ZRA7Input && session.hooks.ShutdownZra7Link) session.hooks.ShutdownZra7Link();
  if (session.hooks.CloseSerialPortIfOpen) session.hooks.CloseSerialPortIfOpen();
  if (s.ZRA6PlusInput && session.hooks.CloseZra6PlusUsbLink) session.hooks.CloseZra6PlusUsbLink();
}

bool QueryCloseProgram(Session& session) {
  // The analysis window's question covers both a running collection (stop
  // it first?) and a collected trial not saved; it asks nothing otherwise.
  if (session.hooks.QueryCloseAnalysisWindow) return session.hooks.QueryCloseAnalysisWindow();
  return true;
}

}  // namespace torvane
