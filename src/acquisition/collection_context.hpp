#pragma once
// What the collection session works with: the trial it fills, the settings
// it reads and adjusts (frequency, samples, calibration, mass), the analysis
// view, its own state, the interface link, and the program's services.
// Made by the shell from its session; cheap to copy (references).

#include <cstdint>
#include <functional>

#include "acquisition/collection_state.hpp"
#include "common/clock.hpp"
#include "common/user_dialogs.hpp"
#include "config/settings_record.hpp"
#include "link/link_context.hpp"
#include "link/link_state.hpp"
#include "trial/analysis_view.hpp"
#include "trial/status_log.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

struct CollectionContext {
  TrialDataSet& trial;
  SettingsRecord& settings;
  AnalysisView& view;
  CollectionState& collection;
  LinkState& link;
  Clock& clock;
  EventPump& pump;
  TimerHost& timers;
  UserDialogs& dialogs;
  StatusSink& status;
  // Demonstration mode: no unit is used (never stored).
  const bool& demoMode;
  // The highest rate the unit found streams at.
  std::int16_t& maxInterfaceFrequency;
  // The brake level now applied (the brake switches during a collection).
  float& brakePercent;
  // Panels 2 … 7 of the status bar from the settings and the trial.
  std::function<void()> updateStatusBar;
  // A collected trial is in memory, not saved: the file commands follow.
  std::function<void()> trialCollected;
  // Reads the demonstration trial into the trial data set.
  std::function<void()> openDemonstrationTrial;
  // The interface link's view of the same parts.
  LinkContext Link() const {
    return LinkContext{link,           settings, trial,  clock,        pump,
                       timers,         dialogs,  status, brakePercent, maxInterfaceFrequency,
                       updateStatusBar};
  }
};

}  // namespace torvane
