#include "config/settings_io.hpp"

#include <string_view>

#include "common/number_text.hpp"
#include "common/paths.hpp"
#include "config/data_folders.hpp"
#include "config/ini_file.hpp"
#include "config/number_boxes.hpp"
#include "config/settings_keys.hpp"

namespace torvane {

namespace {

using R = SettingsRecord;

// The default of a missing key, with `folder` as the program data folder.
std::string MissingText(const SettingKey& k, const std::string& folder) {
  switch (k.missingKind) {
    case SettingDefault::InDataFolder:
      return JoinPath(folder, k.missing);
    case SettingDefault::ProgramData:
      return folder;
    case SettingDefault::Text:
      break;
  }
  return k.missing;
}

// A key read without writing: its older key stands in when it is missing.
std::string QuietValue(const SettingKey& k, const std::string& path) {
  IniLookup v = LookupIniValue(k.section, k.key, path);
  if (!v.found && k.olderKey != nullptr) v = LookupIniValue(k.section, k.olderKey, path);
  return v.found ? v.value : std::string(k.missing);
}

void ReadPorts(R& r) {
  r.ports.clear();
  static const char* kNames[] = {"USB"};
  for (const char* name : kNames) {
    const IniLookup v = LookupIniValue(kSectionPorts, name, r.ConfigFilePath);
    if (v.found) r.ports[name] = v.value;
  }
  for (int n = 1; n <= 24; ++n) {
    const std::string name = "COM" + std::to_string(n);
    const IniLookup v = LookupIniValue(kSectionPorts, name, r.ConfigFilePath);
    if (v.found) r.ports[name] = v.value;
  }
}

}  // namespace

void LoadSettings(const ConfigContext& context) {
  R& r = context.settings;
  bool foldersFound = false;
  for (const SettingKey& k : SettingKeys()) {
    switch (k.read) {
      case SettingRead::SaveOnly:
        break;
      case SettingRead::Folder:
        if (!r.FirstTimeVistaCompatibleRun) {
          AssignSettingText(r, k,
                            ReadIniValue(k.section, k.key, MissingText(k, r.ProgramDataDirectory),
                                         r.ConfigFilePath));
        } else if (!foldersFound) {
          FindDataFolders(context);
          foldersFound = true;
        }
        break;
      case SettingRead::Quiet:
        AssignSettingText(r, k, QuietValue(k, r.ConfigFilePath));
        break;
      case SettingRead::Written: {
        std::string missing = MissingText(k, r.ProgramDataDirectory);
        // Without a program data folder a file default is the bare name.
        if (missing.empty()) missing = k.missing;
        AssignSettingText(r, k, ReadIniValue(k.section, k.key, missing, r.ConfigFilePath));
        break;
      }
    }
  }
  r.BrakeOnUp = false;
  ReadPorts(r);
}

void LoadSettingsReadOnly(SettingsRecord& r, const std::string& path,
                          const std::string& dataFolder) {
  r.ConfigFilePath = path;
  const auto read = [&](const SettingKey& k, const std::string& fallback) {
    IniLookup v = LookupIniValue(k.section, k.key, path);
    return v.found ? v.value : fallback;
  };
  for (const SettingKey& k : SettingKeys()) {
    if (k.read == SettingRead::Written)
      AssignSettingText(r, k, read(k, MissingText(k, dataFolder)));
    if (k.read == SettingRead::Quiet) AssignSettingText(r, k, QuietValue(k, path));
  }
  // The folders last: the file defaults above stay rooted in `dataFolder`,
  // which also stands in for a missing program data folder.
  for (const SettingKey& k : SettingKeys()) {
    if (k.read != SettingRead::Folder) continue;
    AssignSettingText(r, k,
                      read(k, k.missingKind == SettingDefault::ProgramData ? r.ProgramDataDirectory
                                                                           : dataFolder));
  }
  r.BrakeOnUp = false;
  ReadPorts(r);
}

bool SetSettingFromText(SettingsRecord& r, std::string_view key, std::string_view value) {
  const SettingKey* k = FindSettingKey(key);
  if (k == nullptr || std::holds_alternative<std::monostate>(k->field)) return false;
  AssignSettingText(r, *k, value);
  return true;
}

bool HoldsSettingKeys(const std::string& path) {
  for (const SettingKey& k : SettingKeys()) {
    if (LookupIniValue(k.section, k.key, path).found) return true;
    if (k.olderKey && LookupIniValue(k.section, k.olderKey, path).found) return true;
  }
  return false;
}

void SaveSettings(const SettingsRecord& r) {
  const std::span<const SettingKey> keys = SettingKeys();
  for (std::size_t first = 0; first < keys.size();) {
    std::size_t end = first;
    while (end < keys.size() && std::string_view(keys[end].section) == keys[first].section) ++end;
    for (const bool last : {false, true}) {
      for (std::size_t i = first; i < end; ++i) {
        const SettingKey& k = keys[i];
        if (k.savedLast != last) continue;
        if (SettingValueValid(r, k)) {
          WriteIniValue(k.section, k.key, SettingFileText(r, k), r.ConfigFilePath);
        } else if (!LookupIniValue(k.section, k.key, r.ConfigFilePath).found) {
          // A value the setting cannot mean (a frequency of 0, a cut-off above
          // half the sampling frequency) never reaches the file: the file
          // keeps what it held, or gets the key's default.
          WriteIniValue(k.section, k.key, MissingText(k, r.ProgramDataDirectory), r.ConfigFilePath);
        }
      }
    }
    first = end;
  }
  for (const auto& [name, device] : r.ports) {
    WriteIniValue(kSectionPorts, name, device, r.ConfigFilePath);
  }
}

std::string LegacySettingsPath(const SettingsRecord& r) {
  return JoinPath(r.ProgramDataDirectory, kLegacySettingsFileName);
}

namespace {

std::string Legacy(const SettingsRecord& r, std::string_view key, std::string_view fallback) {
  const IniLookup v = LookupIniValue("Settings", key, LegacySettingsPath(r));
  return v.found ? v.value : std::string(fallback);
}

}  // namespace

bool RegistrySettingsExist(SettingsRecord& r) {
  r.samples = ToInt32(LeadingNumber(Legacy(r, "samples", "")));
  r.frequency = ToInt32(LeadingNumber(Legacy(r, "frequency", "")));
  return !(r.samples == 0 && r.frequency == 0);
}

void ImportRegistrySettings(SettingsRecord& r) {
  for (const SettingKey& k : SettingKeys()) {
    if (k.legacy.key == nullptr) continue;
    const std::string text = Legacy(r, k.legacy.key, k.legacy.fallback);
    if (k.type != SettingType::Flag) {
      AssignSettingText(r, k, text);
      continue;
    }
    // Flags stored as numbers are true when not 0; those stored as words
    // only when the text is exactly "True".
    const bool storedAsNumber = std::string_view(k.legacy.fallback) == "0";
    AssignSettingText(r, k,
                      BoolToText(storedAsNumber ? LeadingNumber(text) != 0.0 : text == "True"));
  }
  r.BrakeOnUp = false;
}

void RestoreDefaultSettings(SettingsRecord& r) {
  for (const SettingKey& k : SettingKeys()) {
    if (k.restore != nullptr) AssignSettingText(r, k, k.restore);
  }
}

}  // namespace torvane
