#pragma once
// The one table of the settings keys. Each key of "QLXConfig.ini" is one
// row: its section and key text, the field of the settings record it fills,
// its type, the default used (and written into the file) when the key is
// missing, the value of "Restore Defaults", its key and default in the old
// settings store, its label in the operational report, and the control of
// the configuration window that edits it. Loading, saving, the import of the
// old store, "Restore Defaults" and the report all work from this table, so
// a key is added, renamed or given a new default in one place.

#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "config/settings_record.hpp"

namespace torvane {

enum class SettingType { Flag, Int16, Int32, Real, Text };

// The record's field of a key; std::monostate for a key that has none.
using SettingField = std::variant<std::monostate, bool SettingsRecord::*,
                                  std::int16_t SettingsRecord::*, std::int32_t SettingsRecord::*,
                                  float SettingsRecord::*, std::string SettingsRecord::*>;

// How LoadSettings reads a key.
enum class SettingRead {
  // Through ReadIniValue: a missing or empty key is written with its default.
  Written,
  // Looked up without writing anything; when the key is missing its older
  // key (`olderKey`) is read in its place, else the default is taken.
  Quiet,
  // One of the two folders: read (and written when missing) only once the
  // first run is done; until then FindDataFolders finds them.
  Folder,
  // Never read: written with its `missing` text on every save.
  SaveOnly,
};

// What a `missing` text stands for.
enum class SettingDefault {
  Text,          // the text as it stands
  InDataFolder,  // a file of the program data folder: the folder + the text ("/Squad.xlsx")
  ProgramData,   // the current ProgramDataDirectory (the text is empty)
};

// The key in the old settings store ("QLXLegacySettings.ini", [Settings]) and
// the text taken when it is missing there. Flags whose default there is "0"
// were stored as numbers (true when not 0); those with "False" or "True" as
// words (true only for the exact text "True").
struct LegacySettingKey {
  const char* key = nullptr;  // nullptr: the import leaves the setting alone
  const char* fallback = nullptr;
};

struct SettingKey {
  const char* section = nullptr;
  const char* key = nullptr;             // as written; keys match without regard to letter case
  SettingType type = SettingType::Flag;  // follows from the field
  SettingField field{};
  SettingRead read = SettingRead::Written;
  SettingDefault missingKind = SettingDefault::Text;
  // The default when the key is missing from the file (see SettingDefault);
  // for a key that is only written, the text it is always written with.
  const char* missing = "";
  // The value "Restore Defaults" assigns; nullptr: left alone (the folders
  // are found again instead).
  const char* restore = nullptr;
  // Written after the other keys of its section (the two sound files).
  bool savedLast = false;
  // The key this setting was once read from (SettingRead::Quiet).
  const char* olderKey = nullptr;
  LegacySettingKey legacy{};
  // The label of its line in the operational report, trailing blanks
  // included; nullptr: not in the report.
  const char* reportLabel = nullptr;
  // The configuration window's tab and the object names of the controls
  // that edit it (blank-separated); nullptr: not shown there.
  const char* windowTab = nullptr;
  const char* windowControls = nullptr;
  // The values a number key can mean: from `least` (excluded when
  // `leastExcluded`) to `most`. Checked for values given on the command
  // line; the file keeps its leading-number rule.
  // The configuration window's number box of this key: its name in messages
  // and the unit shown beside it (nullptr: no number box).
  const char* boxCaption = nullptr;
  const char* unit = nullptr;
  double least = -std::numeric_limits<double>::infinity();
  double most = std::numeric_limits<double>::infinity();
  bool leastExcluded = false;
};

// Every key, section by section in file order; within a section in the
// reading order of LoadSettings.
std::span<const SettingKey> SettingKeys();

// The row of `key` (without regard to letter case); nullptr when there is none.
const SettingKey* FindSettingKey(std::string_view key);

// Sets the key's field from text with the conversions of the file: flags by
// TextToBool; numbers from the leading number of the text (0 without one),
// integers rounded half to even; texts as they are. A key without a field
// is ignored.
void AssignSettingText(SettingsRecord& settings, const SettingKey& key, std::string_view text);

// Why `text` is not a value the key can mean, read strictly (the whole text
// one finite number within the key's range, whole for an integer key; a flag
// "true" or "false" in any letter case; any text for a text key). Empty when
// it is one.
std::string SettingValueProblem(const SettingKey& key, std::string_view text);

// The key's value as SaveSettings writes it: "true"/"false", numbers in the
// short numeric text form, texts as they are (the `missing` text for a key
// without a field).
std::string SettingFileText(const SettingsRecord& settings, const SettingKey& key);

// The key's value as the operational report shows it: flags "yes"/"no",
// numbers in the short numeric text form, texts as they are.
std::string SettingReportText(const SettingsRecord& settings, const SettingKey& key);

}  // namespace torvane
