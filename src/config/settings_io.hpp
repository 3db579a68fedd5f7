#pragma once
// Loading and saving the settings record, the one-time import of the old
// settings store, and the values of "Restore Defaults", all from the table
// of keys (settings_keys.hpp).

#include <string>
#include <string_view>

#include "config/config_context.hpp"
#include "config/settings_record.hpp"

namespace torvane {

// Reads every key in the file's reading order, writing the default of each
// missing or empty key into the file as it goes. When
// FirstTimeVistaCompatibleRun reads false the two folders are read from the
// file; otherwise FindDataFolders runs instead. BrakeOnUp ends false.
void LoadSettings(const ConfigContext& context);

// Reads every key from `path` without writing anything: missing keys take
// their defaults (the headless programs never write the configuration file).
// The folders are read from the file; `dataFolder` stands in for the program
// data folder in the defaults that live there. Sets ConfigFilePath to `path`.
void LoadSettingsReadOnly(SettingsRecord& settings, const std::string& path,
                          const std::string& dataFolder);

// Sets one setting from text, with the conversions of the file (key names
// without regard to letter case). False when there is no such key.
bool SetSettingFromText(SettingsRecord& settings, std::string_view key, std::string_view value);

// Whether the file at `path` gives a value to at least one key of the table
// (or to an older key one is still read from): a file that gives none is
// likely not a configuration file at all.
bool HoldsSettingKeys(const std::string& path);

// Writes every key in the save order (numbers in the short numeric text form).
// A number the setting cannot mean is not written: the file keeps the value
// it held (or gets the key's default).
void SaveSettings(const SettingsRecord& settings);

// The old settings store: "QLXLegacySettings.ini", section [Settings], in
// the program data folder. Read once, never written.
std::string LegacySettingsPath(const SettingsRecord& settings);
// Stores the old "samples" and "frequency" (0 when missing) into the record
// and returns true unless both are 0.
bool RegistrySettingsExist(SettingsRecord& settings);
void ImportRegistrySettings(SettingsRecord& settings);

// The values the configuration window's "Restore Defaults" assigns (the
// folders and the configuration path are left alone: they are found again).
void RestoreDefaultSettings(SettingsRecord& settings);

}  // namespace torvane
