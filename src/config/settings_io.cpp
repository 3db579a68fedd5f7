#include "config/settings_io.hpp"

#include <cstdint>
#include <string_view>
#include <variant>

#include "common/number_text.hpp"
#include "common/text_compare.hpp"
#include "config/data_folders.hpp"
#include "config/ini_file.hpp"
#include "common/paths.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

using R = SettingsRecord;
using Field = std::variant<bool R::*, std::int16_t R::*, std::int32_t R::*, float R::*,
                           std::string R::*>;

struct Key {
  const char* section;
  const char* name;
  Field field;
  const char* missing;  // default text when the key is missing or empty
};

// A default that depends on the program data folder: folder + "/" + name.
constexpr const char* kInDataFolder = "\x01";

// Reading order of LoadSettings (the data folders are read separately).
const Key kReadOrder[] = {
    {kSectionMiscellaneous, "soundstart", &R::soundstart, "false"},
    {kSectionMiscellaneous, "mmavailable", &R::mmavailable, "true"},
    {kSectionMiscellaneous, "exceloutput", &R::exceloutput, "true"},
    {kSectionMiscellaneous, "eccentricstrengthtest", &R::eccentricstrengthtest, ""},
    {kSectionMiscellaneous, "realtimeplot", &R::realtimeplot, "true"},
    {kSectionMiscellaneous, "firsttime", &R::firsttime, "true"},
    {kSectionMiscellaneous, "FirstTimeVistaCompatibleRun", &R::FirstTimeVistaCompatibleRun, "true"},
    {kSectionMiscellaneous, "ShowSystemStatus", &R::ShowSystemStatus, "true"},
    {kSectionDataCollection, "samples", &R::samples, "1000"},
    {kSectionDataCollection, "frequency", &R::frequency, "500"},
    {kSectionDataCollection, "measurementdelay", &R::measurementdelay, "0.0"},
    {kSectionDataCollection, "forcechannels", &R::forcechannels, "1"},
    {kSectionDataCollection, "comportnum", &R::comportnum, "1"},
    {kSectionDataCollection, "baudrate", &R::baudrate, "115200"},
    {kSectionDataCollection, "ZRA6Input", &R::ZRA6Input, "false"},
    {kSectionDataCollection, "ZRA6PlusInput", &R::ZRA6PlusInput, "true"},
    {kSectionDataCollection, "ZRA7Input", &R::ZRA7Input, "false"},
    {kSectionDataCollection, "RecordForce", &R::RecordForce, "false"},
    {kSectionDataCollection, "AccelInput", &R::AccelInput, "false"},
    {kSectionDataCollection, "accelcomportnum", &R::accelcomportnum, "1"},
    {kSectionDataProcessing, "dispFc", &R::dispFc, "0.0"},
    {kSectionDataProcessing, "velocFc", &R::velocFc, "16.0"},
    {kSectionDataProcessing, "accelFc", &R::accelFc, "10.0"},
    {kSectionDataProcessing, "forceFc", &R::forceFc, "0.0"},
    {kSectionDataProcessing, "RFDepoch", &R::RFDepoch, "30.0"},
    {kSectionDataProcessing, "repthreshold", &R::repthreshold, "0.05"},
    {kSectionDataProcessing, "weight", &R::weight, "80"},
    {kSectionDataProcessing, "flightthres", &R::flightthres, "50"},
    {kSectionDataProcessing, "DispCalSlope", &R::DispCalSlope, "0.009"},
    {kSectionDataProcessing, "DispInt", &R::DispInt, "0.0"},
    {kSectionDataProcessing, "ForceCalSlope", &R::ForceCalSlope, "3.0"},
    {kSectionDataProcessing, "ForceInt", &R::ForceInt, "0.0"},
    // (the two data folders are read here, see LoadSettings)
    {kSectionFoldersAndFiles, "CalibrationLogFile", &R::CalibrationLogFile, kInDataFolder},
    {kSectionFoldersAndFiles, "SquadFileName", &R::SquadFileName, kInDataFolder},
    {kSectionTrainingMode, "oversoundfile", &R::oversoundfile, kInDataFolder},
    {kSectionTrainingMode, "undersoundfile", &R::undersoundfile, kInDataFolder},
    {kSectionTrainingMode, "FeedbackThreshold", &R::FeedbackThreshold, "2.0"},
    {kSectionTrainingMode, "setdelay", &R::setdelay, "60"},
    {kSectionTrainingMode, "maxreps", &R::maxreps, "20"},
    {kSectionTrainingMode, "showfeedback", &R::showfeedback, "false"},
    {kSectionBrakeSettings, "BrakeLevel", &R::BrakeLevel, "0.0"},
    {kSectionBrakeSettings, "TimeToRelease", &R::TimeToRelease, "0.5"},
    {kSectionBrakeSettings, "BrakeOnUp", &R::BrakeOnUp, "false"},
    {kSectionBrakeSettings, "rampbrake", &R::rampbrake, "false"},
    {kSectionBrakeSettings, "brakecontinuous", &R::brakecontinuous, "false"},
    {kSectionBrakeSettings, "brakeabovezero", &R::brakeabovezero, "false"},
};

// File names of the defaults that live in the program data folder.
std::string_view DataFolderDefaultName(std::string_view key) {
  if (key == "CalibrationLogFile") return "QLXCalibration.log";
  if (key == "SquadFileName") return "Squad.xls";
  if (key == "oversoundfile") return "over.wav";
  return "under.wav";
}

// The first key that reads and writes the eccentric-strength-test flag was
// once "eccentric strength test"; a file that only has the old key keeps its value.
constexpr const char* kOldEccentricKey = "eccentric strength test";

void Assign(R& r, const Field& field, const std::string& text) {
  std::visit(
      [&](auto member) {
        using T = std::remove_reference_t<decltype(r.*member)>;
        if constexpr (std::is_same_v<T, bool>) {
          r.*member = TextToBool(text);
        } else if constexpr (std::is_same_v<T, std::int16_t>) {
          r.*member = ToInt16(LeadingNumber(text));
        } else if constexpr (std::is_same_v<T, std::int32_t>) {
          r.*member = ToInt32(LeadingNumber(text));
        } else if constexpr (std::is_same_v<T, float>) {
          r.*member = static_cast<float>(LeadingNumber(text));
        } else {
          r.*member = text;
        }
      },
      field);
}

std::string Text(const R& r, const Field& field) {
  return std::visit(
      [&](auto member) -> std::string {
        using T = std::remove_cvref_t<decltype(r.*member)>;
        if constexpr (std::is_same_v<T, bool>) {
          return BoolToText(r.*member);
        } else if constexpr (std::is_same_v<T, float>) {
          return ShortNumericText(static_cast<double>(r.*member));
        } else if constexpr (std::is_same_v<T, std::string>) {
          return r.*member;
        } else {
          return ShortNumericText(static_cast<std::int64_t>(r.*member));
        }
      },
      field);
}

const Key& KeyNamed(std::string_view name) {
  for (const Key& k : kReadOrder) {
    if (name == k.name) return k;
  }
  return kReadOrder[0];  // not reached: every name below is in the table
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

void LoadSettings(Session& session) {
  R& r = session.settings;
  for (const Key& k : kReadOrder) {
    if (std::string_view(k.name) == "CalibrationLogFile") {
      // The folders come first in their section.
      if (!r.FirstTimeVistaCompatibleRun) {
        r.ProgramDataDirectory =
            ReadIniValue(kSectionFoldersAndFiles, "ProgramDataDirectory", " ", r.ConfigFilePath);
        r.DataDirectory = ReadIniValue(kSectionFoldersAndFiles, "DataDirectory",
                                       r.ProgramDataDirectory, r.ConfigFilePath);
      } else {
        FindDataFolders(session);
      }
    }
    std::string missing = k.missing;
    if (k.missing == kInDataFolder) {
      missing = JoinPath(r.ProgramDataDirectory, DataFolderDefaultName(k.name));
      if (missing.empty()) missing = "/" + std::string(DataFolderDefaultName(k.name));
    }
    if (std::string_view(k.name) == "eccentricstrengthtest") {
      IniLookup v = LookupIniValue(k.section, k.name, r.ConfigFilePath);
      if (!v.found) v = LookupIniValue(k.section, kOldEccentricKey, r.ConfigFilePath);
      Assign(r, k.field, v.found ? v.value : "false");
      continue;
    }
    Assign(r, k.field, ReadIniValue(k.section, k.name, missing, r.ConfigFilePath));
  }
  r.BrakeOnUp = false;
  ReadPorts(r);
}

void LoadSettingsReadOnly(SettingsRecord& r, const std::string& path, const std::string& dataFolder) {
  r.ConfigFilePath = path;
  const auto read = [&](const char* section, std::string_view key, const std::string& fallback) {
    IniLookup v = LookupIniValue(section, key, path);
    return v.found ? v.value : fallback;
  };
  for (const Key& k : kReadOrder) {
    std::string missing = k.missing;
    if (k.missing == kInDataFolder) {
      missing = JoinPath(dataFolder, DataFolderDefaultName(k.name));
    }
    if (std::string_view(k.name) == "eccentricstrengthtest") {
      IniLookup v = LookupIniValue(k.section, k.name, path);
      if (!v.found) v = LookupIniValue(k.section, kOldEccentricKey, path);
      Assign(r, k.field, v.found ? v.value : "false");
      continue;
    }
    Assign(r, k.field, read(k.section, k.name, missing));
  }
  r.ProgramDataDirectory = read(kSectionFoldersAndFiles, "ProgramDataDirectory", dataFolder);
  r.DataDirectory = read(kSectionFoldersAndFiles, "DataDirectory", r.ProgramDataDirectory);
  r.BrakeOnUp = false;
  ReadPorts(r);
}

bool SetSettingFromText(SettingsRecord& r, std::string_view key, std::string_view value) {
  for (const Key& k : kReadOrder) {
    if (EqualsIgnoreCase(k.name, key)) {
      Assign(r, k.field, std::string(value));
      return true;
    }
  }
  if (EqualsIgnoreCase(key, "ProgramDataDirectory")) {
    r.ProgramDataDirectory = value;
    return true;
  }
  if (EqualsIgnoreCase(key, "DataDirectory")) {
    r.DataDirectory = value;
    return true;
  }
  return false;
}

void SaveSettings(const SettingsRecord& r) {
  static const char* const kSaveOrder[] = {
      "soundstart", "mmavailable", "exceloutput", "eccentricstrengthtest", "realtimeplot",
      "firsttime", "FirstTimeVistaCompatibleRun", "ShowSystemStatus",
      "samples", "frequency", "measurementdelay", "forcechannels", "comportnum", "baudrate",
      "ZRA6Input", "ZRA6PlusInput", "ZRA7Input", "RecordForce", "AccelInput", "accelcomportnum",
      "dispFc", "velocFc", "accelFc", "forceFc", "RFDepoch", "repthreshold", "weight",
      "flightthres", "DispCalSlope", "DispInt", "ForceCalSlope", "ForceInt"};
  const std::string& path = r.ConfigFilePath;
  for (const char* name : kSaveOrder) {
    const Key& k = KeyNamed(name);
    WriteIniValue(k.section, k.name, Text(r, k.field), path);
  }
  WriteIniValue(kSectionFoldersAndFiles, "ProgramDataDirectory", r.ProgramDataDirectory, path);
  WriteIniValue(kSectionFoldersAndFiles, "DataDirectory", r.DataDirectory, path);
  WriteIniValue(kSectionFoldersAndFiles, "CalibrationLogFile", r.CalibrationLogFile, path);
  WriteIniValue(kSectionFoldersAndFiles, "SquadFileName", r.SquadFileName, path);
  WriteIniValue(kSectionFoldersAndFiles, "VistaCompatible", "false", path);
  for (const char* name : {"FeedbackThreshold", "setdelay", "maxreps", "showfeedback",
                           "oversoundfile", "undersoundfile", "BrakeLevel", "TimeToRelease",
                           "BrakeOnUp", "rampbrake", "brakecontinuous", "brakeabovezero"}) {
    const Key& k = KeyNamed(name);
    WriteIniValue(k.section, k.name, Text(r, k.field), path);
  }
  for (const auto& [name, device] : r.ports) WriteIniValue(kSectionPorts, name, device, path);
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
  const auto number = [&](std::string_view key, std::string_view fallback) {
    return LeadingNumber(Legacy(r, key, fallback));
  };
  // Flags stored as numbers are true when not 0; those stored as words only
  // when the text is exactly "True".
  const auto numericFlag = [&](std::string_view key) { return number(key, "0") != 0.0; };
  const auto wordFlag = [&](std::string_view key, std::string_view fallback) {
    return Legacy(r, key, fallback) == "True";
  };
  r.samples = ToInt32(number("samples", "1000"));
  r.frequency = ToInt32(number("frequency", "500"));
  r.repthreshold = static_cast<float>(number("repthreshold", "0.05"));
  r.FeedbackThreshold = static_cast<float>(number("FeedbackThreshold", "2.0"));
  r.setdelay = static_cast<float>(number("setdelay", "60"));
  r.maxreps = ToInt16(number("maxreps", "20"));
  r.weight = static_cast<float>(number("weight", "80"));
  r.flightthres = static_cast<float>(number("flightthres", "10"));
  r.RecordForce = numericFlag("RecordForce");
  r.DispCalSlope = static_cast<float>(number("DispCalSlope", "0.009"));
  r.DispInt = static_cast<float>(number("DispInt", "0.0"));
  r.ForceCalSlope = static_cast<float>(number("ForceCalSlope", "3.0"));
  r.ForceInt = static_cast<float>(number("ForceInt", "0.0"));
  r.BrakeLevel = static_cast<float>(number("BrakeLevel", "0.0"));
  r.TimeToRelease = static_cast<float>(number("TimeToRelease", "0.5"));
  r.BrakeOnUp = false;
  r.dispFc = static_cast<float>(number("dispFc", "0.0"));
  r.velocFc = static_cast<float>(number("velocFc", "16.0"));
  r.accelFc = static_cast<float>(number("accelFc", "10.0"));
  r.measurementdelay = ToInt16(number("measuredelay", "0.0"));
  r.mmavailable = numericFlag("mmavailable");
  r.forcechannels = ToInt16(number("forcechannels", "1"));
  r.comportnum = ToInt16(number("CommPort", "1"));
  r.baudrate = ToInt32(number("baudrate", "115200"));
  r.eccentricstrengthtest = numericFlag("EST");
  r.ZRA6Input = numericFlag("ZRA6Input");
  r.ZRA6PlusInput = numericFlag("ZRA6PlusInput");
  r.ZRA7Input = wordFlag("ZRA7input", "False");
  r.realtimeplot = numericFlag("realtimeplot");
  r.showfeedback = numericFlag("showfeedback");
  r.exceloutput = wordFlag("exceloutput", "False");
  r.firsttime = wordFlag("FirstTime", "True");
  r.rampbrake = wordFlag("rampbrake", "False");
  r.brakecontinuous = wordFlag("brakecontinuous", "False");
  r.brakeabovezero = wordFlag("brakeabovezero", "False");
}

void RestoreDefaultSettings(SettingsRecord& r) {
  r.soundstart = false;
  r.mmavailable = true;
  r.exceloutput = true;
  r.eccentricstrengthtest = false;
  r.realtimeplot = true;
  r.firsttime = true;
  r.FirstTimeVistaCompatibleRun = true;
  r.ShowSystemStatus = true;
  r.samples = 1000;
  r.frequency = 500;
  r.measurementdelay = 0;
  r.forcechannels = 4;
  r.comportnum = 1;
  r.baudrate = 115200;
  r.ZRA6Input = false;
  r.ZRA6PlusInput = false;
  r.ZRA7Input = true;
  r.RecordForce = true;
  r.AccelInput = false;
  r.accelcomportnum = 1;
  r.dispFc = 0;
  r.velocFc = 16;
  r.accelFc = 10;
  r.forceFc = 0;
  r.RFDepoch = 30;
  r.repthreshold = 0.05f;
  r.weight = 80;
  r.flightthres = 50;
  r.DispCalSlope = 0.009f;
  r.DispInt = 0;
  r.ForceCalSlope = 3;
  r.ForceInt = 0;
  r.CalibrationLogFile = "/QLXCalibration.log";
  r.SquadFileName = "/Squad.xls";
  r.oversoundfile = "/over.wav";
  r.undersoundfile = "/under.wav";
  r.FeedbackThreshold = 2;
  r.setdelay = 60;
  r.maxreps = 20;
  r.showfeedback = false;
  r.BrakeLevel = 0;
  r.TimeToRelease = 0.5f;
  r.BrakeOnUp = false;
  r.rampbrake = false;
  r.brakecontinuous = false;
  r.brakeabovezero = false;
}

}  // namespace torvane

