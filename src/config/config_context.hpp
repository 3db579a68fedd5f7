#pragma once
// What finding the data folders, loading the settings and restoring the
// defaults use: the settings record they fill, where they report, and the
// dialogs they show messages through.

#include "common/user_dialogs.hpp"
#include "config/settings_record.hpp"
#include "trial/status_log.hpp"

namespace torvane {

struct ConfigContext {
  SettingsRecord& settings;
  StatusSink& status;
  UserDialogs& dialogs;
  // Set once this run has laid out the data folder from the sample files;
  // it stays set, and every later search of the folders says so in the log.
  bool& dataFolderCreated;
};

}  // namespace torvane
