#include "config/config_window_rules.hpp"

#include "common/number_text.hpp"
#include "config/data_folders.hpp"
#include "config/settings_io.hpp"
#include "common/paths.hpp"
#include "shell/session.hpp"
#include "shell/spreadsheet_app.hpp"

namespace torvane {

namespace {

std::string FrequencyText(std::int32_t frequency) {
  return std::to_string(frequency);
}

void ShowSizeExceeded(Session& session) {
  session.dialogs().ShowMessage(MessageIcon::Critical, "Maximum sample number exceeded",
                                "Maximum data size exceeded. Reduce sample frequency or duration");
}

// The arrays grow when the sample count no longer fits them; a count that
// fits leaves the trial in memory alone.
void EnsureArraysHold(TrialDataSet& trial, std::int32_t samples) {
  if (samples > trial.UpperBound() - 2) DimensionDataArrays(trial, samples);
}

}  // namespace

std::string NumberOfSamplesText(std::int32_t samples) {
  return "Number of Samples = " + FormatNumber(samples, "0.0");
}

std::string DurationText(const SettingsRecord& s) {
  if (s.frequency == 0) return {};
  return ShortNumericTextUnsigned(static_cast<double>(s.samples) / s.frequency);
}

BoxCorrection SampleFrequencyChanged(Session& session, std::string_view text,
                                     double durationSeconds) {
  SettingsRecord& s = session.settings;
  BoxCorrection out;
  if (!session.trial.DataFileName.empty()) {
    session.dialogs().ShowMessage(MessageIcon::None, "",
                                  "Current data file must be closed before changing sample "
                                  "frequency");
    out.box = FrequencyText(s.frequency);
    return out;
  }
  const std::int32_t previousFrequency = s.frequency;
  const std::int32_t previousSamples = s.samples;
  const double value = LeadingNumber(text);
  if (s.ZRA7Input) {
    s.frequency = session.MaxInterfaceFrequency == 600 ? 600 : 200;
    out.box = FrequencyText(s.frequency);
  } else {
    // A ZRA6 or ZRA6+ samples at up to 500 Hz; without a unit (demonstration)
    // stored trials of up to 1000 Hz can be analysed.
    const double limit = (s.ZRA6Input || s.ZRA6PlusInput) ? 500 : 1000;
    if (value >= 0 && value <= limit) {
      s.frequency = ToInt32(value);
    } else {
      s.frequency = 500;
      out.box = "500";
    }
  }
  const double samples = RoundHalfEven(durationSeconds * s.frequency);
  if (samples >= static_cast<double>(kMaximumSamples)) {
    ShowSizeExceeded(session);
    // The count that cannot be held is not kept: the previous frequency and
    // sample count stay, and the box shows them again.
    s.frequency = previousFrequency;
    s.samples = previousSamples;
    out.box = FrequencyText(previousFrequency);
    out.samplesLabel = NumberOfSamplesText(previousSamples);
    return out;
  }
  s.samples = ToInt32(samples);
  out.samplesLabel = NumberOfSamplesText(s.samples);
  DimensionDataArrays(session.trial, s.samples);
  return out;
}

BoxCorrection DurationChanged(Session& session, std::string_view text) {
  SettingsRecord& s = session.settings;
  BoxCorrection out;
  const double samples = RoundHalfEven(LeadingNumber(text) * s.frequency);
  if (samples >= static_cast<double>(kMaximumSamples)) {
    ShowSizeExceeded(session);
    out.box = DurationText(s);
    out.samplesLabel = NumberOfSamplesText(s.samples);
    return out;
  }
  s.samples = ToInt32(samples);
  EnsureArraysHold(session.trial, s.samples);
  out.samplesLabel = NumberOfSamplesText(s.samples);
  UpdateStatusBar(session);
  return out;
}

bool WeightEntered(Session& session, std::string_view text) {
  const double value = LeadingNumber(text);
  if (value <= 0) {
    session.dialogs().ShowMessage(MessageIcon::Critical, "Error entering weight",
                                  "Weight entered must be greater than zero kilograms");
    return false;
  }
  session.settings.weight = static_cast<float>(value);
  return true;
}

std::optional<std::string> BrakeLevelChanged(Session& session, std::string_view text) {
  const double value = LeadingNumber(text);
  if (value > 100) {
    session.settings.BrakeLevel = 100;
  } else if (value < 0) {
    session.settings.BrakeLevel = 0;
  } else {
    session.settings.BrakeLevel = static_cast<float>(value);
    return std::nullopt;
  }
  return ShortNumericText(static_cast<double>(session.settings.BrakeLevel));
}

bool ApplyBrakeSetting(Session& session) {
  const float level = session.settings.BrakeLevel;
  const std::string failure = session.hooks.SetBrakeLevel
                                  ? session.hooks.SetBrakeLevel(level)
                                  : std::string("no interface link in this program");
  if (!failure.empty()) {
    session.dialogs().ShowMessage(MessageIcon::Exclamation, "",
                                  "Error setting brake level: " + failure);
  } else {
    // The status bar shows the level the brake now holds.
    session.BrakePercent = level;
  }
  UpdateStatusBar(session);
  return failure.empty();
}

bool ExcelOutputChanged(Session& session, bool ticked) {
  SettingsRecord& s = session.settings;
  if (!ticked) {
    s.exceloutput = false;
  } else if (session.ModernWindows) {
    session.ExcelVersion = DetectExcel();
    if (!session.ExcelVersion.empty()) {
      s.exceloutput = true;
      if (!session.ExcelApp.running) StartExcel(session);
    } else {
      s.exceloutput = false;
    }
  }
  return s.exceloutput;
}

void ChooseInterface(Session& session, InterfaceModel model) {
  SettingsRecord& s = session.settings;
  s.ZRA6Input = model == InterfaceModel::Zra6;
  s.ZRA6PlusInput = model == InterfaceModel::Zra6Plus;
  s.ZRA7Input = model == InterfaceModel::Zra7;
  if ((s.ZRA6Input || s.ZRA6PlusInput) && s.frequency > 500) s.frequency = 500;
}

DataCollectionControls ControlsForInterface(const SettingsRecord& s) {
  DataCollectionControls c;
  c.serialPort = s.ZRA6Input;
  c.serialFrameVisible = s.ZRA6Input;
  // A ZRA7 always samples at its own rate (600 Hz); the box cannot change it.
  c.frequency = !s.ZRA7Input;
  return c;
}

std::string ConnectInterface(Session& session) {
  const bool found = session.hooks.DiscoverInterface && session.hooks.DiscoverInterface();
  return found ? kConnectionEstablishedText : kNoConnectionText;
}

void RestoreDefaults(Session& session) {
  SettingsRecord& s = session.settings;
  RestoreDefaultSettings(s);
  FindDataFolders(session);
  // The defaults name files of the data folder ("/Squad.xls"); they are
  // rooted in the folder just found, not in the root of the file system.
  for (std::string* file :
       {&s.CalibrationLogFile, &s.SquadFileName, &s.oversoundfile, &s.undersoundfile}) {
    const bool nameInDataFolder = file->size() > 1 &&
                                  (file->front() == '/' || file->front() == '\\') &&
                                  FileNameOf(*file) == file->substr(1);
    if (nameInDataFolder && !s.ProgramDataDirectory.empty()) {
      *file = JoinPath(s.ProgramDataDirectory, *file);
    }
  }
  session.dialogs().ShowMessage(
      MessageIcon::Information, "Complete reset to default settings",
      "System is now reset to default setup. Select appropriate data interface and connect. Force "
      "plate and/or position transducer must be recalibrated before use.");
}

}  // namespace torvane
