#pragma once
// Where the program keeps its data: the configuration file, the status log,
// sounds, the squad workbook and the calibration log.
//
// Candidates, in order: $TORVANE_DATA_DIR when set, else
// "$HOME/Documents/Torvane Measurement System"; then
// "${XDG_DATA_HOME:-$HOME/.local/share}/Torvane Measurement System". When
// neither holds "QLXConfig.ini", the first is created from the program's
// sample data folder (the configuration file itself is then written from
// the defaults as the settings are read).

#include <string>
#include <vector>

#include "config/config_context.hpp"

namespace torvane {

inline constexpr const char* kDataFolderName = "Torvane Measurement System";

// The two candidate folders, from the environment.
std::vector<std::string> DataFolderCandidates();

// The sample data folder installed with the program: $TORVANE_TEMPLATE_DIR,
// else "data" beside or above the executable, else the source tree's.
std::string DataTemplateFolder();

// Finds (or creates) the program data folder; sets ProgramDataDirectory,
// DataDirectory and ConfigFilePath, and says what it found in the status
// log. False when no folder could be found or made (the message is shown).
bool FindDataFolders(const ConfigContext& context);

// Copies every file of `from` (recursively) into `to` that is not there yet;
// an empty text on success, else what failed.
std::string CopyTemplateFolder(const std::string& from, const std::string& to);

}  // namespace torvane
