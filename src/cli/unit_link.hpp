#pragma once
// What `identify` and `record` share: the model named on the command line,
// the configuration file they read, and the port that stands for the
// model's port in a session without windows.

#include <optional>
#include <string>
#include <string_view>

#include "config/settings_record.hpp"

namespace torvane::cli {

enum class UnitChoice { Zra6, Zra6Plus, Zra7, Accelerometer };

// zra6, zra6plus, zra7 (and accel when `acceptAccelerometer`).
std::optional<UnitChoice> ParseUnitChoice(std::string_view name, bool acceptAccelerometer);

// The configuration file named, else the program's own in its data folder,
// else none (the built-in defaults).
std::string ConfigurationFile(const std::string& given);

// Selects the model in the settings and maps its port onto `port`. The
// status log file of the program is left alone.
void SelectUnit(SettingsRecord& settings, UnitChoice unit, const std::string& port);

}  // namespace torvane::cli
