#pragma once
// What the number boxes of the configuration window accept: a number within
// what its setting can mean, the filter cut-offs below half the sampling
// frequency. A refused entry is told with its range and unit, and the box
// shows the previous value again, so nothing the program cannot work with
// reaches the settings or the configuration file.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/user_dialogs.hpp"
#include "config/settings_keys.hpp"
#include "config/settings_record.hpp"

namespace torvane {

// The values a number box takes.
struct NumberRange {
  double least = -std::numeric_limits<double>::infinity();
  double most = std::numeric_limits<double>::infinity();
  bool leastExcluded = false;
  bool mostExcluded = false;
  bool whole = false;
  std::string unit;  // "Hz", "" for none
  std::string why;   // why the upper end is where it is, "" for none
};

// The whole text read as one finite number (blanks around it allowed);
// nothing for anything else ("xyz", "80 kg", "", "nan").
std::optional<double> StrictNumber(std::string_view text);
// "a whole number from 1 to 500 Hz", "a number of 0 m or more", …
std::string RangeText(const NumberRange& range);
bool InRange(const NumberRange& range, double value);

// The range of a key's number box with these settings: the key's own range,
// the cut-offs below half the sampling frequency.
NumberRange NumberBoxRange(const SettingsRecord& settings, const SettingKey& key);
// The sampling frequency's range for the selected unit (a ZRA6 or ZRA6+
// samples at up to 500 Hz; without a unit stored trials of up to 1000 Hz
// are analysed).
NumberRange FrequencyRange(const SettingsRecord& settings);

// The text a number box shows for its setting (the calibration slopes with
// their fixed decimals).
std::string NumberBoxText(const SettingsRecord& settings, const SettingKey& key);

// The message of a refused entry: what the box takes, what was typed, and
// that the previous value stays.
std::string RefusalText(std::string_view caption, const NumberRange& range, std::string_view typed,
                        std::string_view previous);
inline constexpr const char* kRefusalTitle = "Setting not accepted";

// A number box's text entered (editing finished): the setting takes it when
// it is within range; otherwise the refusal is shown and the text to put
// back is returned.
std::optional<std::string> EnterNumberSetting(SettingsRecord& settings, UserDialogs& dialogs,
                                              const SettingKey& key, std::string_view text);

// The first filter cut-off that would not be below half of `frequency`;
// nullptr when all are.
const SettingKey* CutOffAboveHalf(const SettingsRecord& settings, double frequency);

// Whether every number setting holds a value it can mean (what SaveSettings
// checks key by key before writing).
bool SettingValueValid(const SettingsRecord& settings, const SettingKey& key);

}  // namespace torvane
