#pragma once
// The single instances of the running system: one trial, one settings
// record, one squad with its selected athlete, one analysis view, the status
// log and status bar, and the platform services the core calls (clock, event
// pump, timers, dialogs). Created once by each program and once per test,
// and passed by reference to whatever needs it.

#include <cstdint>
#include <string>

#include "acquisition/collection_state.hpp"
#include "common/clock.hpp"
#include "common/user_dialogs.hpp"
#include "config/interface_model.hpp"
#include "config/settings_record.hpp"
#include "link/link_state.hpp"
#include "results/results_worksheet.hpp"
#include "shell/main_menu_state.hpp"
#include "shell/spreadsheet_app.hpp"
#include "shell/status_reporting.hpp"
#include "shell/subsystem_hooks.hpp"
#include "squads/squad_table.hpp"
#include "trial/analysis_view.hpp"
#include "trial/status_log.hpp"
#include "trial/trial_data_set.hpp"
#include "training/training_mode.hpp"

namespace torvane {

struct PlatformServices {
  Clock& clock;
  EventPump& pump;
  TimerHost& timers;
  UserDialogs& dialogs;
};

struct Session;

// The status sink every subsystem reports through: the session's log (kept
// only while ShowSystemStatus is set) and its status bar.
class SessionStatusSink final : public StatusSink {
 public:
  explicit SessionStatusSink(Session& session) : session_(session) {}
  void AddStatusMessage(std::string_view message) override;
  void SetStatusPanel(int number, std::string text) override;

 private:
  Session& session_;
};

struct Session {
  explicit Session(PlatformServices services) : platform(services), status(*this) {}
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  PlatformServices platform;
  Clock& clock() const { return platform.clock; }
  EventPump& pump() const { return platform.pump; }
  TimerHost& timers() const { return platform.timers; }
  UserDialogs& dialogs() const { return platform.dialogs; }

  SettingsRecord settings;
  TrialDataSet trial;
  SquadTable squad;
  AnalysisView view;
  StatusLog statusLog;
  StatusBar statusBar;
  SessionStatusSink status;

  // Shell state of the running program.
  bool DemoMode = false;      // no interface unit is used (never stored)
  bool ModernWindows = true;  // always: this platform has no old family
  std::string ExcelVersion;   // version text of the results workbook writer; empty = absent
  std::int16_t MaxInterfaceFrequency = 600;
  // The unit the last discovery found (None: none answered), which the
  // configuration window's connection label shows when it opens.
  InterfaceModel ConnectedInterface = InterfaceModel::None;
  float BrakePercent = 0;          // brake level currently applied
  bool DataFolderCreated = false;  // this run laid out the data folder from the sample files

  // The results worksheet shared by batch rows and training summaries.
  ResultsOutput results;

  LinkState link;  // the interface link (USB layer, ZRA7, ZRA6, accelerometer)

  // The results workbook (ExcelApp): open while spreadsheet output is on.
  SpreadsheetApp ExcelApp;
  // What the analysis window lends the shell.
  SubsystemHooks hooks;
  // Main-menu entries enabled, disabled, shown or hidden by the core.
  MainMenuState mainMenu;

  CollectionState collection;  // the collection session (Start/Stop, zeroing readings)
  TrainingState training;      // training mode: the set, its analysis and the window's modes
};

// A collection or a zeroing reading is filling the trial: nothing else may
// change it until it ends (opening, Next, the edits, the duration box).
inline bool TrialInUse(const Session& session) {
  return session.collection.phase != CollectionPhase::Idle || session.view.ZeroingInProgress;
}

// What a window says when it refuses to change the trial in use.
inline constexpr const char* kTrialInUseTitle = "Trial in use";
inline constexpr const char* kTrialInUseMessage =
    "The trial cannot be changed while a collection or a zeroing reading runs.";

}  // namespace torvane
