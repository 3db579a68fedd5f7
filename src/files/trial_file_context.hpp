#pragma once
// What the trial file commands (open, save, close, export) work on: the trial
// in memory, the settings that describe it, the squad whose selected athlete a collected
// trial's file names, and the services the commands ask or report through.

#include <functional>

#include "common/clock.hpp"
#include "common/user_dialogs.hpp"
#include "config/settings_record.hpp"
#include "squads/squad_table.hpp"
#include "trial/status_log.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

struct TrialFileContext {
  TrialDataSet& trial;
  // samples, frequency, RecordForce and weight describe the trial;
  // DataDirectory is where the file dialogs start.
  SettingsRecord& settings;
  SquadTable& squad;
  UserDialogs& dialogs;
  StatusSink& status;
  Clock& clock;     // the date and time of a default file name and of an export
  EventPump& pump;  // lets the window repaint before a file is read
  // Rewrites the status bar from the trial and the settings once a trial is
  // saved; nothing when empty.
  std::function<void()> refreshStatusBar;
};

}  // namespace torvane
