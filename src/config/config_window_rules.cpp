#include "config/config_window_rules.hpp"

#include "common/number_text.hpp"
#include "common/paths.hpp"
#include "config/data_folders.hpp"
#include "config/number_boxes.hpp"
#include "config/settings_io.hpp"
#include "config/settings_keys.hpp"

namespace torvane {

namespace {

std::string FrequencyText(std::int32_t frequency) {
  return std::to_string(frequency);
}

void ShowSizeExceeded(UserDialogs& dialogs) {
  dialogs.ShowMessage(MessageIcon::Critical, "Maximum sample number exceeded",
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

BoxCorrection SetSampleFrequency(const SamplingContext& context, std::string_view text,
                                 double durationSeconds) {
  SettingsRecord& s = context.settings;
  BoxCorrection out;
  if (!context.trial.DataFileName.empty()) {
    context.dialogs.ShowMessage(MessageIcon::None, "",
                                "Current data file must be closed before changing sample "
                                "frequency");
    out.box = FrequencyText(s.frequency);
    return out;
  }
  const std::int32_t previousFrequency = s.frequency;
  const std::int32_t previousSamples = s.samples;
  if (s.ZRA7Input) {
    s.frequency = context.maxInterfaceFrequency == 600 ? 600 : 200;
    out.box = FrequencyText(s.frequency);
  } else {
    // Text, 0 and more than the unit can do are refused; so is a frequency
    // whose half would not be above every filter cut-off.
    const NumberRange range = FrequencyRange(s);
    const std::optional<double> value = StrictNumber(text);
    std::string refusal;
    if (!value || !InRange(range, *value)) {
      refusal = RefusalText("Sampling Frequency", range, text, FrequencyText(s.frequency));
    } else if (const SettingKey* cutOff = CutOffAboveHalf(s, *value)) {
      refusal = std::string("Sampling Frequency must be more than twice the ") +
                cutOff->boxCaption + " of " + NumberBoxText(s, *cutOff) + " Hz. \"" +
                std::string(text) + "\" is not accepted; the previous value " +
                FrequencyText(s.frequency) + " Hz is kept.";
    }
    if (!refusal.empty()) {
      context.dialogs.ShowMessage(MessageIcon::Exclamation, kRefusalTitle, refusal);
      out.box = FrequencyText(s.frequency);
      return out;
    }
    s.frequency = ToInt32(*value);
  }
  const double samples = RoundHalfEven(durationSeconds * s.frequency);
  if (samples >= static_cast<double>(kMaximumSamples)) {
    ShowSizeExceeded(context.dialogs);
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
  DimensionDataArrays(context.trial, s.samples);
  return out;
}

BoxCorrection SetTrialDuration(const SamplingContext& context, std::string_view text) {
  SettingsRecord& s = context.settings;
  BoxCorrection out;
  const std::optional<double> seconds = StrictNumber(text);
  if (!seconds || !(*seconds > 0) || RoundHalfEven(*seconds * s.frequency) < 1) {
    NumberRange range;
    range.least = 0;
    range.leastExcluded = true;
    range.unit = "s";
    range.why = "at least one sample";
    context.dialogs.ShowMessage(MessageIcon::Exclamation, kRefusalTitle,
                                RefusalText("Sample Period", range, text, DurationText(s)));
    out.box = DurationText(s);
    return out;
  }
  const double samples = RoundHalfEven(*seconds * s.frequency);
  if (samples >= static_cast<double>(kMaximumSamples)) {
    ShowSizeExceeded(context.dialogs);
    out.box = DurationText(s);
    out.samplesLabel = NumberOfSamplesText(s.samples);
    return out;
  }
  s.samples = ToInt32(samples);
  EnsureArraysHold(context.trial, s.samples);
  out.samplesLabel = NumberOfSamplesText(s.samples);
  return out;
}

bool SetWeight(SettingsRecord& settings, UserDialogs& dialogs, std::string_view text) {
  return !EnterNumberSetting(settings, dialogs, *FindSettingKey("weight"), text);
}

std::optional<std::string> SetBrakeLevelSetting(SettingsRecord& settings, UserDialogs& dialogs,
                                                std::string_view text) {
  return EnterNumberSetting(settings, dialogs, *FindSettingKey("BrakeLevel"), text);
}

void ChooseInterface(SettingsRecord& s, InterfaceModel model) {
  SetInterfaceModelFlags(s, model);
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

void RestoreDefaults(const ConfigContext& context) {
  SettingsRecord& s = context.settings;
  RestoreDefaultSettings(s);
  FindDataFolders(context);
  // The defaults name files of the data folder ("/Squad.xlsx"); they are
  // rooted in the folder just found, not in the root of the file system.
  if (!s.ProgramDataDirectory.empty()) {
    for (const SettingKey& k : SettingKeys()) {
      if (k.missingKind == SettingDefault::InDataFolder && k.restore != nullptr) {
        AssignSettingText(s, k, JoinPath(s.ProgramDataDirectory, k.restore));
      }
    }
  }
  context.dialogs.ShowMessage(
      MessageIcon::Information, "Complete reset to default settings",
      "System is now reset to default setup. Select appropriate data interface and connect. Force "
      "plate and/or position transducer must be recalibrated before use.");
}

}  // namespace torvane
