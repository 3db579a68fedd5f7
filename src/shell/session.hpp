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
#include "config/settings_record.hpp"
#include "link/link_state.hpp"
#include "results/results_worksheet.hpp"
#include "shell/main_menu_state.hpp"
#include "shell/spreadsheet_app.hpp"
#include "shell/status_log.hpp"
#include "shell/subsystem_hooks.hpp"
#include "shell/trial_data_set.hpp"
#include "squads/squad_table.hpp"

namespace torvane {

// The analysis window's markers and view, the analysis range the read-outs
// set from the markers, and the phase times of the last results run.
struct AnalysisView {
  std::int32_t Marker1Sample = 0;
  std::int32_t Marker2Sample = 0;
  std::int32_t ViewStart = 0;
  std::int32_t ViewEnd = 0;
  std::int32_t AnalysisStart = 0;
  std::int32_t AnalysisEnd = 0;
  bool ZeroingInProgress = false;
  float AccelerometerOffset = 0;
  double MovementOnsetTime = 0;
  double ZeroVelocityTime = 0;
  double TakeOffTime = 0;
  double LandingTime = 0;
  std::int32_t JumpFrameStartSample = 0;
  std::int32_t JumpFrameEndSample = 0;
};

struct PlatformServices {
  Clock& clock;
  EventPump& pump;
  TimerHost& timers;
  UserDialogs& dialogs;
};

struct Session {
  explicit Session(PlatformServices services) : platform(services) {}
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

  // Shell state of the running program.
  bool DemoMode = false;        // no interface unit is used (never stored)
  bool ModernWindows = true;    // always: this platform has no old family
  std::string ExcelVersion;     // version text of the results workbook writer; empty = absent
  std::int16_t MaxInterfaceFrequency = 600;
  float BrakePercent = 0;       // brake level currently applied
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
};

}  // namespace torvane
