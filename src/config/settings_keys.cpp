#include "config/settings_keys.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <type_traits>

#include "common/number_text.hpp"
#include "common/text_compare.hpp"
#include "config/ini_file.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

namespace {

using R = SettingsRecord;

constexpr const char* kMisc = kSectionMiscellaneous;
constexpr const char* kCollection = kSectionDataCollection;
constexpr const char* kProcessing = kSectionDataProcessing;
constexpr const char* kFolders = kSectionFoldersAndFiles;
constexpr const char* kTraining = kSectionTrainingMode;
constexpr const char* kBrake = kSectionBrakeSettings;

// The tabs of the configuration window.
constexpr const char* kGeneral = "General";
constexpr const char* kFileLocations = "File Locations";
constexpr const char* kDataCollection = "Data Collection";
constexpr const char* kCalibration = "Calibration";
constexpr const char* kFilters = "Filter Settings";
constexpr const char* kBrakeControl = "Brake Control";

constexpr double kNoLimit = std::numeric_limits<double>::infinity();

// A row of the table, built column by column.
struct Row {
  SettingKey k;

  constexpr Row Folder() const {
    return With([](SettingKey& r) { r.read = SettingRead::Folder; });
  }
  constexpr Row Quiet(const char* olderKey) const {
    return With([=](SettingKey& r) {
      r.read = SettingRead::Quiet;
      r.olderKey = olderKey;
    });
  }
  // The default of a missing key, and the value of "Restore Defaults".
  constexpr Row Defaults(const char* missing, const char* restore) const {
    return With([=](SettingKey& r) {
      r.missing = missing;
      r.restore = restore;
    });
  }
  // The same for a file of the program data folder ("/Squad.xlsx").
  constexpr Row InDataFolder(const char* missing, const char* restore) const {
    return Defaults(missing, restore).With([](SettingKey& r) {
      r.missingKind = SettingDefault::InDataFolder;
    });
  }
  // A missing key takes the current program data folder.
  constexpr Row ProgramDataDefault() const {
    return With([](SettingKey& r) { r.missingKind = SettingDefault::ProgramData; });
  }
  constexpr Row SavedLast() const {
    return With([](SettingKey& r) { r.savedLast = true; });
  }
  constexpr Row Legacy(const char* key, const char* fallback) const {
    return With([=](SettingKey& r) { r.legacy = {key, fallback}; });
  }
  constexpr Row Report(const char* label) const {
    return With([=](SettingKey& r) { r.reportLabel = label; });
  }
  constexpr Row Window(const char* tab, const char* controls) const {
    return With([=](SettingKey& r) {
      r.windowTab = tab;
      r.windowControls = controls;
    });
  }
  // The number box's name in messages and its unit.
  constexpr Row Box(const char* caption, const char* unit) const {
    return With([=](SettingKey& r) {
      r.boxCaption = caption;
      r.unit = unit;
    });
  }
  // The values the setting can mean (see SettingKey::least).
  constexpr Row Range(double least, double most = kNoLimit) const {
    return With([=](SettingKey& r) {
      r.least = least;
      r.most = most;
    });
  }
  constexpr Row Above(double least) const {
    return Range(least).With([](SettingKey& r) { r.leastExcluded = true; });
  }
  constexpr operator SettingKey() const { return k; }

  template <typename F>
  constexpr Row With(F change) const {
    Row copy = *this;
    change(copy.k);
    return copy;
  }
};

// A key and its field; the type follows from the field.
template <typename F>
constexpr Row Key(const char* section, const char* key, F R::*field) {
  SettingKey k;
  k.section = section;
  k.key = key;
  k.field = field;
  if constexpr (std::is_same_v<F, bool>) k.type = SettingType::Flag;
  if constexpr (std::is_same_v<F, std::int16_t>) k.type = SettingType::Int16;
  if constexpr (std::is_same_v<F, std::int32_t>) k.type = SettingType::Int32;
  if constexpr (std::is_same_v<F, float>) k.type = SettingType::Real;
  if constexpr (std::is_same_v<F, std::string>) k.type = SettingType::Text;
  return Row{k};
}

// A flag that is only ever written, always with the same text.
constexpr Row SaveOnlyKey(const char* section, const char* key, const char* text) {
  SettingKey k;
  k.section = section;
  k.key = key;
  k.read = SettingRead::SaveOnly;
  k.missing = text;
  return Row{k};
}

// Who uses which default: `missing` is what LoadSettings (and the headless
// programs' read-only load) take for a missing or empty key, and what
// LoadSettings writes into the file; `restore` is what "Restore Defaults"
// assigns; `legacy.fallback` is what the import of the old store takes when
// the old store lacks the key.
// Built when the program starts (clang cannot build a table of variants at
// compile time).
const SettingKey kKeys[] = {
    Key(kMisc, "soundstart", &R::soundstart)
        .Defaults("false", "false")
        .Window(kGeneral, "CheckSoundOnStart"),
    Key(kMisc, "mmavailable", &R::mmavailable)
        .Defaults("true", "true")
        .Legacy("mmavailable", "0")
        .Report("Multimedia available                  ")
        .Window(kGeneral, "chkMMPC"),
    Key(kMisc, "exceloutput", &R::exceloutput)
        .Defaults("true", "true")
        .Legacy("exceloutput", "False")
        .Report("Send results to a workbook (.xlsx)   ")
        .Window(kGeneral, "CheckExcelOutput"),
    // The eccentric strength test flag was once read from "eccentric strength test"
    // and written to "eccentricstrengthtest", so a value set in the program was
    // lost at the next start; it now uses the one key, and a file that holds only
    // the old key keeps its value.
    Key(kMisc, "eccentricstrengthtest", &R::eccentricstrengthtest)
        .Quiet("eccentric strength test")
        .Defaults("false", "false")
        .Legacy("EST", "0")
        .Window(kGeneral, "chkShowESTLimits"),
    Key(kMisc, "realtimeplot", &R::realtimeplot)
        .Defaults("true", "true")
        .Legacy("realtimeplot", "0")
        .Report("Display real time plot               "),
    Key(kMisc, "firsttime", &R::firsttime)
        .Defaults("true", "true")
        .Legacy("FirstTime", "True")
        .Report("Display the opening window         ")
        .Window(kGeneral, "CheckShowStartupScreen"),
    Key(kMisc, "FirstTimeVistaCompatibleRun", &R::FirstTimeVistaCompatibleRun)
        .Defaults("true", "true"),
    Key(kMisc, "ShowSystemStatus", &R::ShowSystemStatus).Defaults("true", "true"),
    Key(kCollection, "samples", &R::samples)
        .Range(1, static_cast<double>(kMaximumSamples - 1))
        .Defaults("1000", "1000")
        .Legacy("samples", "1000")
        .Report("Samples                            ")
        .Window(kDataCollection, "txtDuration LabelNumberOfSamples"),
    Key(kCollection, "frequency", &R::frequency)
        .Box("Sampling Frequency", "Hz")
        .Range(1)
        .Defaults("500", "500")
        .Legacy("frequency", "500")
        .Report("Frequency                         ")
        .Window(kDataCollection, "txtSampleFrequency"),
    Key(kCollection, "measurementdelay", &R::measurementdelay)
        .Range(0)
        .Defaults("0.0", "0")
        .Legacy("measuredelay", "0.0")
        .Report("Measurement delay                     "),
    // Two defaults: a missing key (and the old store) gives 1 channel,
    // "Restore Defaults" gives 4.
    Key(kCollection, "forcechannels", &R::forcechannels)
        .Range(1, 4)
        .Defaults("1", "4")
        .Legacy("forcechannels", "1")
        .Report("Number of force channels            ")
        .Window(kDataCollection, "optFourForceChannels optOneForceChannel"),
    Key(kCollection, "comportnum", &R::comportnum)
        .Range(1)
        .Defaults("1", "1")
        .Legacy("CommPort", "1")
        .Report("COM port number                       ")
        .Window(kDataCollection, "cboCommPort"),
    Key(kCollection, "baudrate", &R::baudrate)
        .Range(1)
        .Defaults("115200", "115200")
        .Legacy("baudrate", "115200")
        .Report("Baud rate                          "),
    Key(kCollection, "ZRA6Input", &R::ZRA6Input)
        .Defaults("false", "false")
        .Legacy("ZRA6Input", "0")
        .Report("ZRA6 Interface selected            ")
        .Window(kDataCollection, "OptionZRA6Input"),
    // Two defaults for the unit and RecordForce: a missing key gives a ZRA6+
    // without recorded force, "Restore Defaults" a ZRA7 with recorded force.
    Key(kCollection, "ZRA6PlusInput", &R::ZRA6PlusInput)
        .Defaults("true", "false")
        .Legacy("ZRA6PlusInput", "0")
        .Report("ZRA6+ Interface selected          ")
        .Window(kDataCollection, "OptionZRA6PlusInput"),
    Key(kCollection, "ZRA7Input", &R::ZRA7Input)
        .Defaults("false", "true")
        .Legacy("ZRA7input", "False")
        .Report("ZRA7 Interface selected            ")
        .Window(kDataCollection, "OptionZRA7Input"),
    Key(kCollection, "RecordForce", &R::RecordForce)
        .Defaults("false", "true")
        .Legacy("RecordForce", "0")
        .Report("Record Force                           ")
        .Window(kDataCollection, "chkRecordForce"),
    Key(kCollection, "AccelInput", &R::AccelInput)
        .Defaults("false", "false")
        .Window(kDataCollection, "CheckAccelerometerAttached"),
    Key(kCollection, "accelcomportnum", &R::accelcomportnum)
        .Range(1)
        .Defaults("1", "1")
        .Window(kDataCollection, "ComboAccelerometerCommsPort"),
    // The accelerometer port's flow control: 0 none, 1 XON/XOFF, 2 RTS/CTS.
    Key(kCollection, "accelflowcontrol", &R::accelflowcontrol).Range(0, 2).Defaults("0", "0"),
    Key(kProcessing, "dispFc", &R::dispFc)
        .Box("Displacement filter cut-off", "Hz")
        .Range(0)
        .Defaults("0.0", "0")
        .Legacy("dispFc", "0.0")
        .Report("Distance filter cutoff                 ")
        .Window(kFilters, "txtDispFc"),
    Key(kProcessing, "velocFc", &R::velocFc)
        .Box("Velocity filter cut-off", "Hz")
        .Range(0)
        .Defaults("16.0", "16")
        .Legacy("velocFc", "16.0")
        .Report("Velocity filter cutoff                 ")
        .Window(kFilters, "txtVelocFc"),
    Key(kProcessing, "accelFc", &R::accelFc)
        .Box("Acceleration filter cut-off", "Hz")
        .Range(0)
        .Defaults("10.0", "10")
        .Legacy("accelFc", "10.0")
        .Report("Acceleration filter cutoff            ")
        .Window(kFilters, "txtAccelFc"),
    Key(kProcessing, "forceFc", &R::forceFc)
        .Box("Force filter cut-off", "Hz")
        .Range(0)
        .Defaults("0.0", "0")
        .Window(kFilters, "TextForceFc"),
    Key(kProcessing, "RFDepoch", &R::RFDepoch)
        .Box("mRFD epoch", "ms")
        .Above(0)
        .Defaults("30.0", "30")
        .Window(kGeneral, "TextmRFDEpoch"),
    Key(kProcessing, "repthreshold", &R::repthreshold)
        .Box("Repetition Threshold", "m")
        .Range(0)
        .Defaults("0.05", "0.05")
        .Legacy("repthreshold", "0.05")
        .Report("Repetition threshold                 ")
        .Window(kGeneral, "txtRepThreshold"),
    Key(kProcessing, "weight", &R::weight)
        .Box("Mass", "kg")
        .Above(0)
        .Defaults("80", "80")
        .Legacy("weight", "80")
        .Report("Mass                                   ")
        .Window(kGeneral, "txtWeight"),
    // Two defaults: a missing key and "Restore Defaults" give 50, the import of
    // the old store 10 when the old store lacks it.
    Key(kProcessing, "flightthres", &R::flightthres)
        .Box("Flight threshold", "N")
        .Range(0)
        .Defaults("50", "50")
        .Legacy("flightthres", "10")
        .Report("Flight threshold                     ")
        .Window(kGeneral, "txtFlightThreshold"),
    Key(kProcessing, "DispCalSlope", &R::DispCalSlope)
        .Box("Position slope", "m/count")
        .Defaults("0.009", "0.009")
        .Legacy("DispCalSlope", "0.009")
        .Report("Distance calibration slope          ")
        .Window(kCalibration, "txtDSlope"),
    Key(kProcessing, "DispInt", &R::DispInt)
        .Box("Position zero offset", "counts")
        .Defaults("0.0", "0")
        .Legacy("DispInt", "0.0")
        .Report("Distance zero offset (intercept)   ")
        .Window(kCalibration, "txtDInt"),
    Key(kProcessing, "ForceCalSlope", &R::ForceCalSlope)
        .Box("Force slope", "N/count")
        .Defaults("3.0", "3")
        .Legacy("ForceCalSlope", "3.0")
        .Report("Force calibration slope               ")
        .Window(kCalibration, "txtFSlope"),
    Key(kProcessing, "ForceInt", &R::ForceInt)
        .Box("Force zero offset", "counts")
        .Defaults("0.0", "0")
        .Legacy("ForceInt", "0.0")
        .Report("Force zero offset (intercept)       ")
        .Window(kCalibration, "txtFInt"),
    // The folders: "Restore Defaults" finds them again. The headless programs, which
    // never write the file, take the folder they were given for a missing one.
    Key(kFolders, "ProgramDataDirectory", &R::ProgramDataDirectory)
        .Folder()
        .Defaults(" ", nullptr)
        .Report("Program Data Directory               ")
        .Window(kFileLocations, "TextProgramDataDirectory"),
    Key(kFolders, "DataDirectory", &R::DataDirectory)
        .Folder()
        .ProgramDataDefault()
        .Report("Data Directory                       ")
        .Window(kFileLocations, "txtDataDirectory"),
    Key(kFolders, "CalibrationLogFile", &R::CalibrationLogFile)
        .InDataFolder("/QLXCalibration.log", "/QLXCalibration.log")
        .Window(kFileLocations, "txtCalibrationLogFile"),
    Key(kFolders, "SquadFileName", &R::SquadFileName)
        .InDataFolder("/Squad.xlsx", "/Squad.xlsx")
        .Report("Squad file name                      "),
    // Written on every save; nothing reads it.
    SaveOnlyKey(kFolders, "VistaCompatible", "false"),
    // The sound files are read first in their section and written last.
    Key(kTraining, "oversoundfile", &R::oversoundfile)
        .InDataFolder("/over.wav", "/over.wav")
        .SavedLast()
        .Report("Over sound file                      ")
        .Window(kGeneral, "TextSoundFileOver"),
    Key(kTraining, "undersoundfile", &R::undersoundfile)
        .InDataFolder("/under.wav", "/under.wav")
        .SavedLast()
        .Report("Under sound file                      ")
        .Window(kGeneral, "TextSoundFileUnder"),
    Key(kTraining, "FeedbackThreshold", &R::FeedbackThreshold)
        .Box("Feedback Threshold", "")
        .Range(0)
        .Defaults("2.0", "2")
        .Legacy("FeedbackThreshold", "2.0")
        .Report("Feedback Threshold                    ")
        .Window(kGeneral, "txtFeedbackThreshold"),
    Key(kTraining, "setdelay", &R::setdelay)
        .Range(0)
        .Defaults("60", "60")
        .Legacy("setdelay", "60")
        .Report("Set delay                             "),
    Key(kTraining, "maxreps", &R::maxreps)
        .Range(1)
        .Defaults("20", "20")
        .Legacy("maxreps", "20")
        .Report("Maximum repetitions                   "),
    Key(kTraining, "showfeedback", &R::showfeedback)
        .Defaults("false", "false")
        .Legacy("showfeedback", "0")
        .Report("Show feedback                        "),
    Key(kBrake, "BrakeLevel", &R::BrakeLevel)
        .Box("Braking Level", "%")
        .Range(0)
        .Defaults("0.0", "0")
        .Legacy("BrakeLevel", "0.0")
        .Report("Brake Level                           ")
        .Window(kBrakeControl, "txtBrakeLevel"),
    Key(kBrake, "TimeToRelease", &R::TimeToRelease)
        .Range(0)
        .Defaults("0.5", "0.5")
        .Legacy("TimeToRelease", "0.5")
        .Report("Time to release                        "),
    // Read and written, but LoadSettings and the import leave it false.
    Key(kBrake, "BrakeOnUp", &R::BrakeOnUp)
        .Defaults("false", "false")
        .Legacy("BrakeOnUp", "0")
        .Report("Brake on up                          "),
    Key(kBrake, "rampbrake", &R::rampbrake)
        .Defaults("false", "false")
        .Legacy("rampbrake", "False")
        .Report("Ramp up the braking level           ")
        .Window(kBrakeControl, "CheckRampBrake"),
    Key(kBrake, "brakecontinuous", &R::brakecontinuous)
        .Defaults("false", "false")
        .Legacy("brakecontinuous", "False")
        .Report("Apply braking continuously         ")
        .Window(kBrakeControl, "OptionBrakeContinuous"),
    Key(kBrake, "brakeabovezero", &R::brakeabovezero)
        .Defaults("false", "false")
        .Legacy("brakeabovezero", "False")
        .Report("Release brake below zero           ")
        .Window(kBrakeControl, "OptionBrakeAboveZero"),
};

}  // namespace

std::span<const SettingKey> SettingKeys() {
  return kKeys;
}

const SettingKey* FindSettingKey(std::string_view key) {
  for (const SettingKey& k : kKeys) {
    if (EqualsIgnoreCase(k.key, key)) return &k;
  }
  return nullptr;
}

void AssignSettingText(SettingsRecord& r, const SettingKey& key, std::string_view text) {
  std::visit(
      [&](auto member) {
        if constexpr (!std::is_same_v<decltype(member), std::monostate>) {
          using F = std::remove_reference_t<decltype(r.*member)>;
          if constexpr (std::is_same_v<F, bool>) {
            r.*member = TextToBool(text);
          } else if constexpr (std::is_same_v<F, std::int16_t>) {
            r.*member = ToInt16(LeadingNumber(text));
          } else if constexpr (std::is_same_v<F, std::int32_t>) {
            r.*member = ToInt32(LeadingNumber(text));
          } else if constexpr (std::is_same_v<F, float>) {
            r.*member = static_cast<float>(LeadingNumber(text));
          } else {
            r.*member = std::string(text);
          }
        }
      },
      key.field);
}

std::string SettingValueProblem(const SettingKey& key, std::string_view text) {
  if (key.type == SettingType::Text) return {};
  if (key.type == SettingType::Flag) {
    if (EqualsIgnoreCase(text, "true") || EqualsIgnoreCase(text, "false")) return {};
    return "not true or false";
  }
  std::string_view number = text;
  if (!number.empty() && number.front() == '+') number.remove_prefix(1);
  double value = 0;
  const auto read = std::from_chars(number.data(), number.data() + number.size(), value);
  if (number.empty() || read.ec != std::errc{} || read.ptr != number.data() + number.size()) {
    return "not a number";
  }
  if (!std::isfinite(value)) return "not a finite number";
  const bool whole = key.type != SettingType::Real;
  if (whole && value != std::floor(value)) return "not a whole number";
  double least = key.least;
  double most = key.most;
  if (key.type == SettingType::Int16) {
    least = std::max(least, double{std::numeric_limits<std::int16_t>::min()});
    most = std::min(most, double{std::numeric_limits<std::int16_t>::max()});
  } else if (key.type == SettingType::Int32) {
    least = std::max(least, double{std::numeric_limits<std::int32_t>::min()});
    most = std::min(most, double{std::numeric_limits<std::int32_t>::max()});
  } else {
    most = std::min(most, double{std::numeric_limits<float>::max()});
    least = std::max(least, -double{std::numeric_limits<float>::max()});
  }
  const auto shown = [](double v) {
    std::string text = ShortNumericText(v);
    if (!text.empty() && text.front() == ' ') text.erase(0, 1);  // the blank of the sign
    return text;
  };
  if (key.leastExcluded ? !(value > least) : !(value >= least)) {
    return std::string(key.leastExcluded ? "must be above " : "must be at least ") + shown(least);
  }
  if (!(value <= most)) return "must be at most " + shown(most);
  return {};
}

namespace {

// The value in the form of the file, with flags given by `yes` and `no`.
std::string ValueText(const SettingsRecord& r, const SettingKey& key, const char* yes,
                      const char* no) {
  return std::visit(
      [&](auto member) -> std::string {
        if constexpr (std::is_same_v<decltype(member), std::monostate>) {
          return key.missing;
        } else {
          using F = std::remove_cvref_t<decltype(r.*member)>;
          if constexpr (std::is_same_v<F, bool>) {
            return r.*member ? yes : no;
          } else if constexpr (std::is_same_v<F, float>) {
            return ShortNumericText(static_cast<double>(r.*member));
          } else if constexpr (std::is_same_v<F, std::string>) {
            return r.*member;
          } else {
            return ShortNumericText(static_cast<std::int64_t>(r.*member));
          }
        }
      },
      key.field);
}

}  // namespace

std::string SettingFileText(const SettingsRecord& r, const SettingKey& key) {
  return ValueText(r, key, "true", "false");
}

std::string SettingReportText(const SettingsRecord& r, const SettingKey& key) {
  return ValueText(r, key, "yes", "no");
}

}  // namespace torvane
