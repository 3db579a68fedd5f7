#include "config/settings_keys.hpp"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "common/number_text.hpp"
#include "config/ini_file.hpp"
#include "config/settings_io.hpp"
#include "shell/config_session.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::ScopedEnv;
using testing::TempDir;
using testing::TestSession;
using testing::WriteText;

// "{PD}" stands for the program data folder.
constexpr const char* kPD = "{PD}";

// Every key with its defaults, as the settings are specified: the default of
// a missing key (nullptr: never read), the value of "Restore Defaults"
// (nullptr: left alone), and the key and default of the old settings store
// (nullptr: not imported).
struct Expected {
  const char* section;
  const char* key;
  const char* missing;
  const char* restore;
  const char* legacyKey = nullptr;
  const char* legacyDefault = nullptr;
};

const Expected kExpected[] = {
    {"Miscellaneous", "soundstart", "false", "false"},
    {"Miscellaneous", "mmavailable", "true", "true", "mmavailable", "0"},
    {"Miscellaneous", "exceloutput", "true", "true", "exceloutput", "False"},
    {"Miscellaneous", "eccentricstrengthtest", "false", "false", "EST", "0"},
    {"Miscellaneous", "realtimeplot", "true", "true", "realtimeplot", "0"},
    {"Miscellaneous", "firsttime", "true", "true", "FirstTime", "True"},
    {"Miscellaneous", "FirstTimeVistaCompatibleRun", "true", "true"},
    {"Miscellaneous", "ShowSystemStatus", "true", "true"},
    {"Data Collection", "samples", "1000", "1000", "samples", "1000"},
    {"Data Collection", "frequency", "500", "500", "frequency", "500"},
    {"Data Collection", "measurementdelay", "0.0", "0", "measuredelay", "0.0"},
    {"Data Collection", "forcechannels", "1", "4", "forcechannels", "1"},
    {"Data Collection", "comportnum", "1", "1", "CommPort", "1"},
    {"Data Collection", "baudrate", "115200", "115200", "baudrate", "115200"},
    {"Data Collection", "ZRA6Input", "false", "false", "ZRA6Input", "0"},
    {"Data Collection", "ZRA6PlusInput", "true", "false", "ZRA6PlusInput", "0"},
    {"Data Collection", "ZRA7Input", "false", "true", "ZRA7input", "False"},
    {"Data Collection", "RecordForce", "false", "true", "RecordForce", "0"},
    {"Data Collection", "AccelInput", "false", "false"},
    {"Data Collection", "accelcomportnum", "1", "1"},
    {"Data Collection", "accelflowcontrol", "0", "0"},
    {"Data Processing", "dispFc", "0.0", "0", "dispFc", "0.0"},
    {"Data Processing", "velocFc", "16.0", "16", "velocFc", "16.0"},
    {"Data Processing", "accelFc", "10.0", "10", "accelFc", "10.0"},
    {"Data Processing", "forceFc", "0.0", "0"},
    {"Data Processing", "RFDepoch", "30.0", "30"},
    {"Data Processing", "repthreshold", "0.05", "0.05", "repthreshold", "0.05"},
    {"Data Processing", "weight", "80", "80", "weight", "80"},
    {"Data Processing", "flightthres", "50", "50", "flightthres", "10"},
    {"Data Processing", "DispCalSlope", "0.009", "0.009", "DispCalSlope", "0.009"},
    {"Data Processing", "DispInt", "0.0", "0", "DispInt", "0.0"},
    {"Data Processing", "ForceCalSlope", "3.0", "3", "ForceCalSlope", "3.0"},
    {"Data Processing", "ForceInt", "0.0", "0", "ForceInt", "0.0"},
    {"Folders and Files", "ProgramDataDirectory", " ", nullptr},
    {"Folders and Files", "DataDirectory", kPD, nullptr},
    {"Folders and Files", "CalibrationLogFile", "{PD}/QLXCalibration.log", "/QLXCalibration.log"},
    {"Folders and Files", "SquadFileName", "{PD}/Squad.xlsx", "/Squad.xlsx"},
    {"Folders and Files", "VistaCompatible", nullptr, nullptr},
    {"Training Mode", "oversoundfile", "{PD}/over.wav", "/over.wav"},
    {"Training Mode", "undersoundfile", "{PD}/under.wav", "/under.wav"},
    {"Training Mode", "FeedbackThreshold", "2.0", "2", "FeedbackThreshold", "2.0"},
    {"Training Mode", "setdelay", "60", "60", "setdelay", "60"},
    {"Training Mode", "maxreps", "20", "20", "maxreps", "20"},
    {"Training Mode", "showfeedback", "false", "false", "showfeedback", "0"},
    {"Brake Settings", "BrakeLevel", "0.0", "0", "BrakeLevel", "0.0"},
    {"Brake Settings", "TimeToRelease", "0.5", "0.5", "TimeToRelease", "0.5"},
    {"Brake Settings", "BrakeOnUp", "false", "false", "BrakeOnUp", "0"},
    {"Brake Settings", "rampbrake", "false", "false", "rampbrake", "False"},
    {"Brake Settings", "brakecontinuous", "false", "false", "brakecontinuous", "False"},
    {"Brake Settings", "brakeabovezero", "false", "false", "brakeabovezero", "False"},
};

bool IsFolder(std::string_view key) {
  return key == "ProgramDataDirectory" || key == "DataDirectory";
}

std::string WithFolder(std::string text, const std::string& folder) {
  if (const std::size_t at = text.find(kPD); at != std::string::npos) {
    text.replace(at, std::string_view(kPD).size(), folder);
  }
  return text;
}

// The record's value of `key` against an expected text: numbers by value
// (as the field holds them), flags and texts as they are.
void ExpectValue(const SettingsRecord& r, const SettingKey& key, const std::string& expected) {
  const std::string got = SettingFileText(r, key);
  switch (key.type) {
    case SettingType::Flag:
    case SettingType::Text:
      EXPECT_EQ(got, expected);
      break;
    case SettingType::Real:
      EXPECT_EQ(static_cast<float>(LeadingNumber(got)), static_cast<float>(LeadingNumber(expected)))
          << got;
      break;
    case SettingType::Int16:
    case SettingType::Int32:
      EXPECT_EQ(LeadingNumber(got), LeadingNumber(expected)) << got;
      break;
  }
}

class SettingDefaults : public ::testing::Test {
 protected:
  TempDir dir;
  ScopedEnv dataDir{"TORVANE_DATA_DIR", dir.path() + "/data"};
  ScopedEnv home{"HOME", dir.path()};
  ScopedEnv templ{"TORVANE_TEMPLATE_DIR", dir.path() + "/no-template"};
  TestSession t;
  SettingsRecord& r = t.session.settings;
};

TEST_F(SettingDefaults, EveryKeyHasTheSpecifiedDefaults) {
  // The table holds exactly these keys, in their sections, importing the old keys.
  ASSERT_EQ(SettingKeys().size(), std::size(kExpected));
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.key);
    const SettingKey* k = FindSettingKey(e.key);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(std::string_view(k->key), e.key);
    EXPECT_EQ(std::string_view(k->section), e.section);
    EXPECT_EQ(k->legacy.key == nullptr, e.legacyKey == nullptr);
    if (k->legacy.key != nullptr && e.legacyKey != nullptr) {
      EXPECT_EQ(std::string_view(k->legacy.key), e.legacyKey);
    }
  }

  // Missing keys: a fresh file gets each default written as it stands.
  const ConfigContext context = ConfigContextOf(t.session);
  LoadSettings(context);
  const std::string folder = r.ProgramDataDirectory;
  ASSERT_FALSE(folder.empty());
  for (const Expected& e : kExpected) {
    if (e.missing == nullptr || IsFolder(e.key)) continue;
    SCOPED_TRACE(e.key);
    const std::string expected = WithFolder(e.missing, folder);
    ExpectValue(r, *FindSettingKey(e.key), expected);
    const IniLookup written = LookupIniValue(e.section, e.key, r.ConfigFilePath);
    if (written.found) {
      EXPECT_EQ(written.value, expected);
    }
  }
  // Keys that are never read are not written by loading.
  EXPECT_FALSE(LookupIniValue("Folders and Files", "VistaCompatible", r.ConfigFilePath).found);
  // The folders, read once the first run is done.
  WriteText(r.ConfigFilePath, "[Miscellaneous]\nFirstTimeVistaCompatibleRun=false\n");
  LoadSettings(context);
  for (const Expected& e : kExpected) {
    if (!IsFolder(e.key)) continue;
    SCOPED_TRACE(e.key);
    ExpectValue(r, *FindSettingKey(e.key), WithFolder(e.missing, r.ProgramDataDirectory));
  }

  // "Restore Defaults", over values that are none of the defaults.
  for (const char* other : {"7", "true"}) {
    for (const SettingKey& k : SettingKeys()) AssignSettingText(r, k, other);
    RestoreDefaultSettings(r);
    for (const Expected& e : kExpected) {
      const SettingKey& k = *FindSettingKey(e.key);
      if (k.read == SettingRead::SaveOnly) continue;  // not a field of the record
      SCOPED_TRACE(std::string(e.key) + " over " + other);
      if (e.restore != nullptr) {
        ExpectValue(r, k, e.restore);
      } else {
        EXPECT_EQ(SettingFileText(r, k), other);  // left alone
      }
    }
  }

  // The import of the old store: its own defaults when it lacks a key,
  // and each key read from where it was kept.
  for (const bool stored : {false, true}) {
    for (const SettingKey& k : SettingKeys()) AssignSettingText(r, k, "3");
    r.ProgramDataDirectory = dir.path();  // where the old store is kept
    std::string store = "[Settings]\n";
    if (stored) {
      for (const Expected& e : kExpected) {
        if (e.legacyKey == nullptr) continue;
        const bool wordFlag = std::string_view(e.legacyDefault) == "False" ||
                              std::string_view(e.legacyDefault) == "True";
        const bool numericFlag = std::string_view(e.legacyDefault) == "0" &&
                                 FindSettingKey(e.key)->type == SettingType::Flag;
        store += std::string(e.legacyKey) + "=" +
                 (wordFlag      ? (std::string_view(e.legacyDefault) == "True" ? "False" : "True")
                  : numericFlag ? "-1"
                                : "7") +
                 "\n";
      }
    }
    WriteText(LegacySettingsPath(r), store);
    ImportRegistrySettings(r);
    for (const Expected& e : kExpected) {
      const SettingKey& k = *FindSettingKey(e.key);
      if (e.legacyKey == nullptr || k.read == SettingRead::SaveOnly) continue;
      SCOPED_TRACE(std::string(e.key) + (stored ? " stored" : " missing"));
      const std::string_view fallback = e.legacyDefault;
      std::string expected = fallback == "0" && k.type == SettingType::Flag ? "false"
                             : fallback == "False"                          ? "false"
                             : fallback == "True"                           ? "true"
                                                                            : std::string(fallback);
      if (stored) {
        expected = k.type == SettingType::Flag ? (expected == "true" ? "false" : "true") : "7";
      }
      if (e.key == std::string_view("BrakeOnUp")) expected = "false";  // always released
      ExpectValue(r, k, expected);
    }
  }
}

TEST(SettingValueProblem, OnlyValuesTheSettingCanMean) {
  const std::pair<const char*, const char*> accepted[] = {
      {"forceFc", "50"},       {"forceFc", "0"},         {"RFDepoch", "20.5"},
      {"weight", "+75"},       {"DispInt", "-0.25"},     {"DispCalSlope", "1e-3"},
      {"samples", "1000"},     {"frequency", "1000.0"},  {"forcechannels", "4"},
      {"RecordForce", "TRUE"}, {"RecordForce", "false"}, {"DataDirectory", "any text"},
  };
  for (const auto& [key, value] : accepted) {
    EXPECT_EQ(SettingValueProblem(*FindSettingKey(key), value), "") << key << "=" << value;
  }
  const std::tuple<const char*, const char*, const char*> refused[] = {
      {"forceFc", "fifty", "not a number"},
      {"forceFc", "50Hz", "not a number"},
      {"forceFc", "", "not a number"},
      {"forceFc", "nan", "not a finite number"},
      {"velocFc", "inf", "not a finite number"},
      {"forceFc", "-1", "must be at least 0"},
      {"RFDepoch", "-20", "must be above 0"},
      {"RFDepoch", "0", "must be above 0"},
      {"repthreshold", "-0.05", "must be at least 0"},
      {"weight", "0", "must be above 0"},
      {"forcechannels", "5", "must be at most 4"},
      {"samples", "1000.5", "not a whole number"},
      {"samples", "1e12", "must be at most 999999"},
      {"frequency", "0", "must be at least 1"},
      {"accelFc", "1e39", "must be at most"},
      {"RecordForce", "1", "not true or false"},
  };
  for (const auto& [key, value, problem] : refused) {
    const std::string found = SettingValueProblem(*FindSettingKey(key), value);
    EXPECT_EQ(found.rfind(problem, 0), 0u) << key << "=" << value << ": " << found;
  }
}

TEST(HoldsSettingKeys, AnyKeyOrOlderKeyWithAValue) {
  TempDir dir;
  const std::pair<std::string, bool> cases[] = {
      {"[Data Processing]\r\nforceFc=25\r\n", true},
      {"[Miscellaneous]\r\neccentric strength test=true\r\n", true},
      {"[Data Processing]\r\nforceFc=\r\n", false},
      {"[Elsewhere]\r\nforceFc=25\r\n", false},
      {"\"QLX Data File Version 2\"\r\n500,1,80\r\n", false},
  };
  for (const auto& [text, holds] : cases) {
    WriteText(dir.File("config.ini"), text);
    EXPECT_EQ(HoldsSettingKeys(dir.File("config.ini")), holds) << text;
  }
}

}  // namespace
}  // namespace torvane
