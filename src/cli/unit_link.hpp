#pragma once
// What `identify` and `record` share: the model named on the command line,
// the configuration file they read, and the port that stands for the
// model's port in a session without windows.

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/settings_record.hpp"

namespace torvane::cli {

enum class UnitChoice { Zra6, Zra6Plus, Zra7, Accelerometer };

// zra6, zra6plus, zra7 (and accel when `acceptAccelerometer`).
std::optional<UnitChoice> ParseUnitChoice(std::string_view name, bool acceptAccelerometer);

// The configuration file named, else the program's own in its data folder,
// else none (the built-in defaults).
std::string ConfigurationFile(const std::string& given);

// The settings as identify and record read them: the configuration file
// (refused when it is given and is not a regular file), then each --set,
// checked strictly; a warning on `err` when a given file holds none of the
// settings keys. Empty when they could be used, else the usage problem.
std::string LoadUnitCommandSettings(
    SettingsRecord& settings, const std::string& config,
    const std::vector<std::pair<std::string, std::string>>& overrides, std::string_view command,
    std::ostream& err);

// The options of every command that talks to a unit: --model, --port,
// --frequency, --config and --set.
struct UnitLinkOptions {
  UnitChoice unit = UnitChoice::Zra7;
  bool modelGiven = false;
  std::string port;
  std::string config;
  std::optional<double> frequency;
  std::vector<std::pair<std::string, std::string>> overrides;
};

// Takes `option` with its `value` when it is one of those options: nothing
// when it is not, an empty text when it was taken, else the problem.
std::optional<std::string> TakeUnitLinkOption(const std::string& option, const std::string& value,
                                              bool acceptAccelerometer, UnitLinkOptions& o);
// The problem when --model or --port was not given, else an empty text.
std::string MissingUnitLinkOption(const UnitLinkOptions& o);

// Selects the model in the settings and maps its port onto `port`. The
// status log file of the program is left alone.
void SelectUnit(SettingsRecord& settings, UnitChoice unit, const std::string& port);

}  // namespace torvane::cli
