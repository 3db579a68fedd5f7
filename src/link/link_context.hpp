#pragma once
// What the interface link works with: its own state, the settings it reads
// (discovery also sets the unit flag and the frequency), the trial whose
// sample counters a stream start resets and whose displacement the brake
// follows, the platform services, and the status log and bar. The program
// makes one from its session; a test may make one from its own parts.

#include <cstdint>
#include <functional>

#include "common/clock.hpp"
#include "common/user_dialogs.hpp"
#include "config/settings_record.hpp"
#include "link/link_state.hpp"
#include "trial/status_log.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

struct LinkContext {
  LinkState& link;
  SettingsRecord& settings;
  TrialDataSet& trial;
  Clock& clock;
  EventPump& pump;
  TimerHost& timers;
  UserDialogs& dialogs;
  StatusSink& status;
  // The brake level now applied, which the status bar shows.
  float& BrakePercent;
  // The highest sample frequency of the unit found.
  std::int16_t& MaxInterfaceFrequency;
  // Redraws the status bar's panels from the settings, the trial and the
  // brake level (the brake switches during a collection).
  std::function<void()> updateStatusBar;
};

}  // namespace torvane
