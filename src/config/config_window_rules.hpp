#pragma once
// The rules of the configuration window: every control writes its setting
// the moment it changes; the frequency, the duration (sample count), the
// mass and the brake level are tested as they are entered. The window only
// moves texts between its controls and these functions. (The commands that
// reach the unit or the results workbook belong to the program's shell.)

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/user_dialogs.hpp"
#include "config/config_context.hpp"
#include "config/interface_model.hpp"
#include "config/settings_record.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

inline constexpr const char* kBrakeWarningText = "WARNING Bar May Fall. Check before Applying";
inline constexpr const char* kBrakeIntroText =
    "Torvane Braking System controls eccentric and impact loading";
inline constexpr const char* kNoConnectionText = "No Connection";
inline constexpr const char* kTryingToConnectText = "Trying to Connect";
inline constexpr const char* kConnectionEstablishedText = "Connection Established";

// "Number of Samples = " and the count in format "0.0".
std::string NumberOfSamplesText(std::int32_t samples);
// The duration box's text: samples / frequency (empty while the frequency is 0).
std::string DurationText(const SettingsRecord& settings);

// What a window shows after an edit: a corrected text for the edited box,
// and a new text for the sample-count label.
struct BoxCorrection {
  std::optional<std::string> box;
  std::optional<std::string> samplesLabel;
};

// What the sample frequency and the duration change: the settings, the
// trial's arrays (sized to the sample count), and the messages they show.
struct SamplingContext {
  SettingsRecord& settings;
  TrialDataSet& trial;
  UserDialogs& dialogs;
  std::int16_t maxInterfaceFrequency;  // what the connected ZRA7 can do (600 or less)
};

// The sample frequency box (txtSampleFrequency), when its editing is
// finished: a whole number of hertz the unit can sample at, and more than
// twice every filter cut-off; anything else is refused with a message and
// the box shows the previous frequency. `durationSeconds` is the trial
// duration the sample count follows (the duration box's value).
BoxCorrection SetSampleFrequency(const SamplingContext& context, std::string_view text,
                                 double durationSeconds);
// The duration box (txtDuration), when its editing is finished: a number of
// seconds above 0 that gives at least one sample; the sample count follows.
// No box correction means the count was taken (the status bar should show it).
BoxCorrection SetTrialDuration(const SamplingContext& context, std::string_view text);
// The mass box (txtWeight), when its editing is finished: false when the
// value was refused (the message is shown; the previous mass stays).
bool SetWeight(SettingsRecord& settings, UserDialogs& dialogs, std::string_view text);
// The brake level box (txtBrakeLevel): a level from 0 to 100 %; anything
// else is refused with a message, and the previous level's text is returned
// for the box.
std::optional<std::string> SetBrakeLevelSetting(SettingsRecord& settings, UserDialogs& dialogs,
                                                std::string_view text);

// Selects one unit (its flag set, the other two cleared) and limits the
// frequency to what a ZRA6 or ZRA6+ can do.
void ChooseInterface(SettingsRecord& settings, InterfaceModel model);

// Which data collection controls suit the selected unit.
struct DataCollectionControls {
  bool duration = true;
  bool frequency = true;
  bool serialPort = false;
  bool recordForce = true;
  bool forceChannels = true;
  bool serialFrameVisible = false;
};
DataCollectionControls ControlsForInterface(const SettingsRecord& settings);

// "Restore Defaults": the default of every setting, the data folders found
// again, and the message. Nothing is saved.
void RestoreDefaults(const ConfigContext& context);

}  // namespace torvane
